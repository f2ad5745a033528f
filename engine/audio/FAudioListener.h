#pragma once

#include "core/FDelegate.h"

#include <cstdint>

class FAudioNode;

// What a listener handle refers to: the delegate a listener set calls. End and
// fade-end sets call `onNotify`; position and beat sets call `onProgress`.
class FAudioListener
{
public:
    using Notify = FDelegate<void(std::intptr_t)>;
    using Progress = FDelegate<void(FAudioNode*, int, int, int)>;

    FAudioListener() = default;
    ~FAudioListener()
    {
        freeAndNull(onNotify);
        freeAndNull(onProgress);
    }
    FAudioListener(const FAudioListener&) = delete;
    FAudioListener& operator=(const FAudioListener&) = delete;

    Notify* onNotify = nullptr;
    Progress* onProgress = nullptr;
};
