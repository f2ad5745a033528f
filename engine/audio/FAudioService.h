#pragma once

#include "core/FAppListener.h"
#include "core/FRef.h"

class FAudioLock;
class FAudioNode;
class FSound;

// The audio module's interface in the audio service slot. Callers never touch
// the mix graph directly: they make sounds and buses here and drive the sounds.
class FAudioService : public FAppListener11
{
public:
    using FAppListener11::FAppListener11;

    // A sound on a new channel of the root bus. `out`'s family now refers to
    // the new sound; the sound it referred to before (if any) is released.
    virtual void createSound(FRefT<FSound>& out) = 0;
    // The same on a new channel of `bus`.
    virtual void createSoundInBus(const FRefT<FAudioNode>& bus, FRefT<FSound>& out) = 0;
    // Removes the sound's channel from `bus`; nothing when it is not there.
    virtual void releaseSound(const FRefT<FAudioNode>& bus, FSound* sound) = 0;
    // A new empty bus, to be routed into a sound with FSound::setSample.
    virtual void createBus(FRefT<FAudioNode>& out) = 0;
    // The length of the output ring.
    virtual int getBufferMilliseconds() = 0;
    virtual FAudioLock* getAudioLock() = 0;
    virtual void addCallback(int key, const FRef& handle) = 0;
    virtual void removeCallback(int key) = 0;
    virtual void clearCallbacks() = 0;
    // The output object's handle (empty before launch).
    virtual FRef* getPlatform() = 0;
};
