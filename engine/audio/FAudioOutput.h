#pragma once

class FAudioRing;

// The sound device behind the mixer: it plays the ring at 44100 frames per
// second, 16-bit stereo, taking only the frames the mixer has queued (silence
// when it is behind) and counting what it took as the play position.
class FAudioOutput
{
public:
    virtual ~FAudioOutput() = default;

    // Starts playing `ring`; false when no device could be opened (then the
    // mixer keeps time on the clock instead).
    virtual bool open(FAudioRing& ring) = 0;
    // Stops and closes the device; the ring is not read afterwards.
    virtual void close() = 0;
};
