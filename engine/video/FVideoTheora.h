#pragma once

#include "video/FVideoPlanes.h"
#include "video/FVideoPlayer.h"

#include <ogg/ogg.h>
#include <theora/theoradec.h>

#include <cstdint>
#include <memory>

class FTheoraHeader;
class FTheoraStreamState;
class FVideoHost;

// The player of Theora video in an Ogg container (".theora"), through
// libtheora's decoder. The three headers are read once; each target then
// plays the video from the start with a reader and decoder of its own, one
// frame per call, into a new 32-bit B, G, R, A picture. There is no random
// access: asking for frame 0 restarts, any other number takes the next frame.
// At the end every call answers k_endOfVideo and shows the last picture again.
class FVideoTheora : public FVideoPlayer
{
public:
    explicit FVideoTheora(FVideoHost& host);
    ~FVideoTheora() override;

    void unload() override;
    int32_t showKeyFrame(FVideoTarget& target, int32_t key) override;
    int32_t seekFrame(FVideoTarget& target, int32_t frame, bool noOutput = false) override;
    int32_t keyFrameFrame(int32_t key) override;
    int32_t frameCount() override;
    int32_t keyFrameCount() override;
    int32_t keyFrameLength(int32_t key) override;
    void releaseTarget(FVideoTarget& target) override;
    void storeFrame(FVideoTarget& target, int32_t frame) override;
    void dropFrames(int32_t first, int32_t last) override;
    void dropAllFrames() override;
    void readHeader() override;

    // The chroma subsampling of the stream read: 0 4:2:0, 2 4:2:2, 3 4:4:4.
    int32_t pixelFormat() const;
    // The picture of a decoded frame of a stream described by info, as the
    // colour conversion takes it.
    static FVideoPlanes planesOf(const th_info& info, const th_ycbcr_buffer& buffer);

private:
    FTheoraStreamState& targetState(FVideoTarget& target);
    bool nextPacket(FTheoraStreamState& state, ogg_packet& packet);
    void showPicture(FVideoTarget& target, FTheoraStreamState& state);

    FVideoHost& m_host;
    std::unique_ptr<FTheoraHeader> m_header;
};
