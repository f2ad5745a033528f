#pragma once

#include "audio/FAudioBuffer.h"
#include "audio/FAudioNodeData.h"
#include "audio/FAudioOutput.h"
#include "audio/FAudioRing.h"
#include "core/FRef.h"
#include "core/FSemaphore.h"
#include "core/FThreadTask.h"

#include <cstdint>
#include <functional>
#include <memory>

class FAudioLock;

// Connects the mix graph to the sound output. A mixer thread of its own wakes
// every 37 ms and mixes the root bus into the ring frames the device has taken
// since the last pass, so what is written now is heard about 150 ms later. It
// owns the root context (clock, span, output buffer over the ring) and tells
// listeners how long until a frame written now is heard. Without a device the
// play position follows the clock, so sounds still end on time.
class FAudioPlatform
{
public:
    static constexpr int k_rate = 44100;
    static constexpr int k_channels = 2;
    static constexpr int k_ringMilliseconds = 150;
    static constexpr int k_periodMs = 37;
    // Output delay the latency estimate adds for the device (100 ms).
    static constexpr int k_deviceDelayFrames = 4410;
    // Without a device, a stall longer than this is not caught up.
    static constexpr std::uint64_t k_maxCatchUpFrames = 10 * k_rate;

    // Milliseconds of the engine clock (wrapping).
    using Clock = std::function<std::uint32_t()>;
    struct Options
    {
        Clock clock;             // default: the clock service, else the steady clock
        bool mixerThread = true; // false: the owner calls mixToCursor
    };

    // Opens the output (a null one, or one that fails, leaves no device) and
    // starts mixing.
    FAudioPlatform(FAudioLock& lock, std::unique_ptr<FAudioOutput> output, Options options);
    FAudioPlatform(FAudioLock& lock, std::unique_ptr<FAudioOutput> output);
    // Stops the mixer thread, then closes the device.
    ~FAudioPlatform();
    FAudioPlatform(const FAudioPlatform&) = delete;
    FAudioPlatform& operator=(const FAudioPlatform&) = delete;

    // One refill of the frames played since the last one.
    void mixToCursor();
    // Milliseconds from now until the frame at `frameTime` is heard.
    int latency(std::int64_t frameTime);

    bool hasDevice() const { return m_device; }
    FAudioRing& ring() { return m_ring; }
    FAudioNodeData& rootContext() { return m_context; }
    int ahead() const { return m_ahead; }
    std::int64_t clockFrames() const;

private:
    class MixerTask final : public FThreadTask
    {
    public:
        explicit MixerTask(FAudioPlatform& owner) : m_owner(owner) {}
        void main() override;

        FSemaphore m_stop;
        FSemaphore m_done;

    private:
        FAudioPlatform& m_owner;
    };

    void open();
    // Without a device: the play position that the clock gives.
    void followClock();
    void mixSpan(int start, int count);

    FAudioLock& m_lock;
    std::unique_ptr<FAudioOutput> m_output;
    Clock m_clock;
    FAudioNodeData m_context;
    FAudioRing m_ring;
    FRefT<FAudioBuffer> m_buffer;
    int m_ahead = 0;
    bool m_device = false;
    bool m_closing = false; // under the audio lock
    std::uint32_t m_lastMs = 0;
    std::uint64_t m_elapsedMs = 0;
    std::unique_ptr<MixerTask> m_mixer;
};
