#include "video/FVideoTheora.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"
#include "image/FImage.h"
#include "io/FInStream.h"
#include "video/FTheoraHeader.h"
#include "video/FTheoraStreamState.h"
#include "video/FVideoHost.h"
#include "video/FVideoTarget.h"

#include <cstddef>

FVideoTheora::FVideoTheora(FVideoHost& host) : m_host(host) {}

FVideoTheora::~FVideoTheora() = default;

void FVideoTheora::unload()
{
    m_header.reset();
}

void FVideoTheora::readHeader()
{
    unload();
    auto header = std::make_unique<FTheoraHeader>(m_host.sourceStreamHandle());
    header->read();
    const th_info& info = header->info();
    m_host.setFrameRate(info.fps_numerator / info.fps_denominator);
    m_host.setPictureSize(static_cast<int32_t>(info.pic_width), static_cast<int32_t>(info.pic_height));
    m_header = std::move(header);
}

int32_t FVideoTheora::pixelFormat() const
{
    return m_header != nullptr ? static_cast<int32_t>(m_header->info().pixel_fmt) : -1;
}

FTheoraStreamState& FVideoTheora::targetState(FVideoTarget& target)
{
    if (auto* state = dynamic_cast<FTheoraStreamState*>(target.decoderState())) return *state;
    FTheoraStreamState* state =
        engineNew<FTheoraStreamState>(k_memObject, m_header->source(), m_header->dataStart());
    if (state == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (NULL)");
    target.setDecoderState(state);
    state->initStream(m_header->serial());
    return *state;
}

bool FVideoTheora::nextPacket(FTheoraStreamState& state, ogg_packet& packet)
{
    ogg_page page;
    for (;;) {
        const int result = ogg_stream_packetout(&state.stream(), &packet);
        // Header packets (first bit set) come again after a restart; a
        // negative result is a gap in the data, which the decoder rides over.
        if (result > 0 && (packet.bytes == 0 || (packet.packet[0] & 0x80) == 0)) return true;
        if (result != 0) continue;
        if (!state.nextPage(page)) return false;
        // Pages of other logical streams are not taken.
        ogg_stream_pagein(&state.stream(), &page);
    }
}

int32_t FVideoTheora::seekFrame(FVideoTarget& target, int32_t frame, bool noOutput)
{
    m_host.complete();
    m_host.requestRedraw();
    if (m_header == nullptr) ZIBBO_FAIL(msgIllegalOperation, "Theora header read");
    FTheoraStreamState& state = targetState(target);
    if (frame == 0 || state.decoder() == nullptr) {
        // A fresh decoder: playback restarts with the first key frame.
        state.restart(m_header->dataStart());
        th_dec_ctx* decoder = th_decode_alloc(&m_header->info(), m_header->setup());
        if (decoder == nullptr) ZIBBO_FAIL(msgFileCorrupted, "th_decode_alloc (NULL)");
        state.setDecoder(decoder);
    }
    ogg_packet packet;
    const bool more = nextPacket(state, packet);
    if (more) {
        ogg_int64_t granule = 0;
        const int result = th_decode_packetin(state.decoder(), &packet, &granule);
        if (result < 0 && result != TH_DUPFRAME)
            ZIBBO_FAIL(msgFileCorrupted, "th_decode_packetin (" << result << ") >= 0");
    }
    // At the end the decoder still holds the last picture, shown once more.
    if (!noOutput) showPicture(target, state);
    return more ? frame : k_endOfVideo;
}

FVideoPlanes FVideoTheora::planesOf(const th_info& info, const th_ycbcr_buffer& buffer)
{
    FVideoPlanes planes;
    for (int p = 0; p < 3; ++p) {
        planes.m_data[p] = buffer[p].data;
        planes.m_stride[p] = buffer[p].stride;
    }
    planes.m_xShift = info.pixel_fmt == TH_PF_444 ? 0 : 1;
    planes.m_yShift = info.pixel_fmt == TH_PF_420 ? 1 : 0;
    planes.m_pictureX = static_cast<int32_t>(info.pic_x);
    planes.m_pictureY = static_cast<int32_t>(info.pic_y);
    planes.m_width = static_cast<int32_t>(info.pic_width);
    planes.m_height = static_cast<int32_t>(info.pic_height);
    return planes;
}

void FVideoTheora::showPicture(FVideoTarget& target, FTheoraStreamState& state)
{
    th_ycbcr_buffer buffer;
    if (th_decode_ycbcr_out(state.decoder(), buffer) != 0)
        ZIBBO_FAIL(msgFileCorrupted, "th_decode_ycbcr_out (0)");
    const FVideoPlanes planes = planesOf(m_header->info(), buffer);

    const int32_t pitch = planes.m_width * 4;
    auto* pixels = static_cast<uint8_t*>(
        engineAlloc(k_memImage, static_cast<std::size_t>(pitch) * static_cast<std::size_t>(planes.m_height)));
    if (pixels == nullptr) ZIBBO_FAIL(msgSystemError, "engineAlloc (NULL)");
    planes.convert(pixels, pitch);
    FRefT<FImage> picture = makeRef(engineNew<FImage>(k_memObject));
    if (picture.get() == nullptr) {
        engineFree(pixels);
        ZIBBO_FAIL(msgSystemError, "engineNew (NULL)");
    }
    const FImagePoint size{planes.m_width, planes.m_height};
    picture->setPlacedPixels(size, k_pixelBgra8, pixels, size, {0, 0}, pitch, 1.0f);
    target.setSourceImage(std::move(picture));
}

void FVideoTheora::releaseTarget(FVideoTarget& target)
{
    target.setDecoderState(nullptr);
}

int32_t FVideoTheora::showKeyFrame(FVideoTarget&, int32_t)
{
    return 0;
}

int32_t FVideoTheora::keyFrameFrame(int32_t)
{
    return 0;
}

int32_t FVideoTheora::frameCount()
{
    return k_endOfVideo;
}

int32_t FVideoTheora::keyFrameCount()
{
    return 0;
}

int32_t FVideoTheora::keyFrameLength(int32_t)
{
    return 0;
}

void FVideoTheora::storeFrame(FVideoTarget&, int32_t) {}

void FVideoTheora::dropFrames(int32_t, int32_t) {}

void FVideoTheora::dropAllFrames() {}
