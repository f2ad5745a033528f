#pragma once

// The base of the twelve generated world layouts: a layout part that files
// assets and captions under their item keys. Every id a layout fetches must be
// in its folder; one that is not fails the scene's construction with a report
// naming the folder, the id and the key, and the generated constructor then
// releases what it had filed and the folder before the failure goes on.

#include "game/worlds/NamedRefMap.h"
#include "ui/FLayoutPart.h"

#include <cstddef>
#include <cstdint>

struct WorldLayoutEntry
{
    int32_t id;
    const char* key;
};

class WorldSceneLayoutBase : public FLayoutPart
{
protected:
    FRef fetchWorldAsset(int32_t id, const char* key) const;
    FRef fetchWorldText(int32_t id, const char* key) const;
    void fileAssets(NamedRefMap& table, const WorldLayoutEntry* entries, std::size_t count) const;
    void fileTexts(NamedRefMap& table, const WorldLayoutEntry* entries, std::size_t count) const;

    template <std::size_t N> void fileAssets(NamedRefMap& table, const WorldLayoutEntry (&entries)[N]) const
    {
        fileAssets(table, entries, N);
    }
    template <std::size_t N> void fileTexts(NamedRefMap& table, const WorldLayoutEntry (&entries)[N]) const
    {
        fileTexts(table, entries, N);
    }

private:
    FRef checked(FRef found, const char* map, int32_t id, const char* key) const;
};
