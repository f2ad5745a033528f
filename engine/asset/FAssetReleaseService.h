#pragma once

#include "core/FAppListener.h"
#include "core/FDelegate.h"
#include "core/FRef.h"

// The asset-release module's interface: idle listeners that its background
// tick calls every 100 ms. A listener is a handle on a callback cell
// (makeCallbackHolder); one whose target is gone is dropped uncalled.
class FAssetReleaseService : public FAppListener
{
public:
    using FAppListener::FAppListener;
    using Listener = FRefT<FCallbackCell<void()>>;

    // Adds the listener, or takes back an earlier removal of it.
    virtual void addListener(const Listener& listener) = 0;
    // Marks the listener removed; it leaves at the next sweep and is not
    // called any more.
    virtual void removeListener(const Listener& listener) = 0;
};
