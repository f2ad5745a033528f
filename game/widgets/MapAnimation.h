#pragma once

#include <cstdint>

// What the map view drives of an ambient animation of its scene: the frame
// step and, after each move of the scene, whether its companion sound should
// stay loaded. The map's animation sprites implement it.
class MapAnimation
{
public:
    virtual ~MapAnimation() = default;
    virtual void update(int32_t elapsedMs) = 0;
    virtual void updateCompanionLoad() = 0;
};
