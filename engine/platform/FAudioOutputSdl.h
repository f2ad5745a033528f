#pragma once

#include "audio/FAudioOutput.h"

#include <cstdint>
#include <memory>

// The sound device on SDL: 44100 Hz, stereo, signed 16-bit. Its callback only
// copies queued frames out of the mixer's ring (silence when the mixer is
// behind); it never mixes and never takes the audio lock.
class FAudioOutputSdl final : public FAudioOutput
{
public:
    // Frames per device callback (about 23 ms).
    static constexpr int k_deviceFrames = 1024;

    FAudioOutputSdl() = default;
    ~FAudioOutputSdl() override;

    static std::unique_ptr<FAudioOutput> create();

    bool open(FAudioRing& ring) override;
    void close() override;

private:
    bool openDevice(FAudioRing& ring);
    static void callback(void* ring, std::uint8_t* stream, int length);

    std::uint32_t m_device = 0;
    bool m_subsystem = false;
};
