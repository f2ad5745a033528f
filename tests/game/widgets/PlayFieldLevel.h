#pragma once

// A level's play field as the gameplay screen lays it out: the background
// grid from a world's tile table and one searchable sprite per item layer,
// each layer a picture of the whole scene whose stored pixels cover only the
// item. Shared by the play-field tests and the benchmark.
#include "core/FMemory.h"
#include "game/core/SearchableObject.h"
#include "game/widgets/MapView.h"
#include "game/widgets/SearchableSprite.h"
#include "game/worlds/NamedRefMap.h"
#include "image/FImage.h"

#include <deque>
#include <vector>

// Where item layer `index` keeps its pixels: spread over the scene, each of
// its own size (and never a tile's size).
inline FRectI playFieldItemRect(int32_t index)
{
    const int32_t left = 40 + (index * 233) % 2300;
    const int32_t top = 30 + (index * 151) % 1520;
    return {left, top, left + 24 + index % 17, top + 18 + index % 13};
}

struct PlayFieldLevel
{
    std::deque<SearchableObject> items;
    std::vector<FRefT<SearchableSprite>> sprites;

    void build(MapView& map, int32_t worldIndex, const NamedRefMap& tiles,
               const std::vector<FRefT<FImage>>& layers)
    {
        map.buildBackgroundTiles(worldIndex, tiles);
        for (const FRefT<FImage>& layer : layers) {
            SearchableObject& item = items.emplace_back();
            item.setPlayer(0);
            item.setState(SearchableObject::k_stateListed);
            auto sprite = makeRef(engineNew<SearchableSprite>(k_memObject, map.content(), true));
            sprite->setItem(&item);
            sprite->setImage(layer, true);
            sprite->prepare();
            item.listeners().add(sprite->stateListener());
            item.listeners().notify(item);
            sprites.push_back(sprite);
        }
    }
};
