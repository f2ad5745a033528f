#pragma once

#include <theora/theoradec.h>

#include <cstdint>
#include <memory>
#include <vector>

// A bare libtheora decode of a whole Ogg file in memory, frame by frame, for
// tests and benchmarks to compare the engine's player with.
class TheoraReference
{
public:
    explicit TheoraReference(const std::vector<uint8_t>& file);
    ~TheoraReference();

    // Decodes the next frame; false at the end of the stream.
    bool nextFrame();
    // The planes of the last decoded frame.
    const th_ycbcr_buffer& planes() const { return m_planes; }
    const th_info& info() const { return m_info; }

private:
    struct State;
    std::unique_ptr<State> m_state;
    th_info m_info;
    th_ycbcr_buffer m_planes;
};
