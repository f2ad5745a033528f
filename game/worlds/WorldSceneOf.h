#pragma once

// A world's scene: its generated layout first, then the scene interface. The
// getters every world answers read the layout's members; the few categories
// only some worlds have answer from the layout when it holds them, and as the
// interface's defaults (no table, an empty handle) when it does not.

#include "game/worlds/WorldScene.h"

template <class Layout> class WorldSceneOf final : public Layout, public WorldScene
{
public:
    const NamedAssetMap* getBackgroundTiles() const override { return &this->m_backgroundTiles; }
    const NamedAssetMap* getHints() const override { return &this->m_hints; }
    const NamedAssetMap* getPictures() const override { return &this->m_pictures; }
    const NamedAssetMap* getSpecialDrabb() const override { return &this->m_specialDrabb; }
    const NamedAssetMap* getSpecialScroll() const override { return &this->m_specialScroll; }
    const NamedAssetMap* getSpecialZibbo() const override { return &this->m_specialZibbo; }
    const NamedAssetMap* getSpecialVessa() const override { return &this->m_specialVessa; }
    const NamedAssetMap* getSpecialStarmantle() const override { return &this->m_specialStarmantle; }
    const NamedAssetMap* getSpecialTuff() const override { return &this->m_specialTuff; }
    const NamedAssetMap* getDifferences() const override { return &this->m_differences; }
    const NamedAssetMap* getAnimations() const override { return &this->m_animations; }
    const NamedAssetMap* getHotSpots() const override { return &this->m_hotSpots; }
    FRef getBaseImage() const override { return this->m_baseImage; }
    FRef getMusic() const override { return this->m_music; }
    FRef getAmbientSound() const override { return this->m_ambientSound; }

    const NamedAssetMap* getCreatures() const override
    {
        if constexpr (Layout::k_hasCreatures)
            return &this->m_creatures;
        else
            return nullptr;
    }
    const NamedAssetMap* getPhotographs() const override
    {
        if constexpr (Layout::k_hasPhotographs)
            return &this->m_photographs;
        else
            return nullptr;
    }
    const NamedAssetMap* getTravelers() const override
    {
        if constexpr (Layout::k_hasTravelers)
            return &this->m_travelers;
        else
            return nullptr;
    }
    const NamedAssetMap* getWatchers() const override
    {
        if constexpr (Layout::k_hasWatchers)
            return &this->m_watchers;
        else
            return nullptr;
    }
    const NamedTextMap* getVignetteCaptions() const override
    {
        if constexpr (Layout::k_hasCaptions)
            return &this->m_captions;
        else
            return nullptr;
    }
    FRef getExtraAsset() const override
    {
        if constexpr (Layout::k_hasExtraAsset)
            return this->m_extraAsset;
        else
            return makeNullRef();
    }
};
