#pragma once

// What a level reads of its world: the world's named tables and its few
// single assets. Each world's scene overrides exactly the getters of what it
// holds; the defaults here say "this world has none" (a null table, an empty
// handle).
//
// Table pointers stay valid while the scene lives and are never changed by
// callers; asset getters hand out a counted copy, which may outlive the scene.

#include "core/FRef.h"
#include "game/worlds/NamedRefMap.h"

class WorldScene
{
public:
    virtual ~WorldScene();

    virtual const NamedAssetMap* getBackgroundTiles() const { return nullptr; }
    virtual const NamedAssetMap* getCreatures() const { return nullptr; }
    virtual const NamedAssetMap* getHints() const { return nullptr; }
    virtual const NamedAssetMap* getPhotographs() const { return nullptr; }
    virtual const NamedAssetMap* getPictures() const { return nullptr; }
    virtual const NamedAssetMap* getSpecialDrabb() const { return nullptr; }
    virtual const NamedAssetMap* getSpecialScroll() const { return nullptr; }
    virtual const NamedAssetMap* getSpecialZibbo() const { return nullptr; }
    virtual const NamedAssetMap* getSpecialVessa() const { return nullptr; }
    virtual const NamedAssetMap* getSpecialStarmantle() const { return nullptr; }
    virtual const NamedAssetMap* getSpecialTuff() const { return nullptr; }
    virtual const NamedAssetMap* getReservedTable() const { return nullptr; }
    virtual const NamedTextMap* getVignetteCaptions() const { return nullptr; }
    virtual const NamedAssetMap* getDifferences() const { return nullptr; }
    virtual const NamedAssetMap* getWatchers() const { return nullptr; }
    virtual const NamedAssetMap* getTravelers() const { return nullptr; }
    virtual FRef getBaseImage() const { return makeNullRef(); }
    virtual const NamedAssetMap* getAnimations() const { return nullptr; }
    virtual const NamedAssetMap* getHotSpots() const { return nullptr; }
    virtual FRef getReservedAsset1() const { return makeNullRef(); }
    virtual FRef getReservedAsset2() const { return makeNullRef(); }
    virtual FRef getMusic() const { return makeNullRef(); }
    virtual FRef getAmbientSound() const { return makeNullRef(); }
    virtual FRef getExtraAsset() const { return makeNullRef(); }
};
