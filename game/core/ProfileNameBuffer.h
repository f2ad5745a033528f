#pragma once

#include "core/FString.h"

#include <cstdint>

// The profile being created: the front-end screens fill it in step by step
// before the game module adds it to the profile manager.
struct ProfileNameBuffer
{
    FString name;
    int16_t avatar = 0;
    uint8_t difficulty = 0;
};
