#pragma once

#include "core/FRef.h"

#include <cstdint>

class FVideo;

// What a story character needs of the screen that owns it: the clips of its
// two sets (normal and alternate). The gameplay screen implements it.
class CharacterClipHost
{
public:
    enum Clip : int32_t {
        k_idle = 0,
        k_pose1 = 1,
        k_leadIn = 2,
        k_pose2Hold = 3,
        k_pose3 = 4,
        k_pose4 = 5,
        k_pose5 = 6,
        k_pose6 = 7,
    };

    virtual ~CharacterClipHost() = default;
    virtual FRefT<FVideo> characterClip(bool alternateSet, Clip clip) = 0;
};
