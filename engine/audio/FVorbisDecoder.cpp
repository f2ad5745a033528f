#include "audio/FVorbisDecoder.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"

#include <algorithm>
#include <cmath>

FVorbisDecoder::FVorbisDecoder(ReadAt read) : m_read(static_cast<ReadAt&&>(read))
{
    open();
}

FVorbisDecoder::~FVorbisDecoder()
{
    close();
}

void FVorbisDecoder::open()
{
    ogg_sync_init(&m_sync);
    vorbis_info_init(&m_info);
    vorbis_comment_init(&m_comment);
}

void FVorbisDecoder::close()
{
    if (m_decoding) {
        vorbis_block_clear(&m_block);
        vorbis_dsp_clear(&m_dsp);
    }
    if (m_haveStream) ogg_stream_clear(&m_stream);
    vorbis_comment_clear(&m_comment);
    vorbis_info_clear(&m_info);
    ogg_sync_clear(&m_sync);
    m_decoding = false;
    m_haveStream = false;
}

int64_t FVorbisDecoder::readBlock()
{
    char* buffer = ogg_sync_buffer(&m_sync, k_blockBytes);
    const int64_t got = buffer != nullptr ? m_read(m_offset, buffer, k_blockBytes) : 0;
    if (got > 0) {
        ogg_sync_wrote(&m_sync, static_cast<long>(got));
        m_offset += got;
    }
    return got;
}

void FVorbisDecoder::readHeaders()
{
    // The first pages: beginning-of-stream pages until one that is not. The
    // Vorbis stream is the first whose first packet is a Vorbis header.
    bool scanning = true;
    while (scanning) {
        if (readBlock() <= 0) ZIBBO_FAIL(msgFileCorrupted, "Header read: stream done");
        ogg_page page;
        int result;
        while (scanning && (result = ogg_sync_pageout(&m_sync, &page)) != 0) {
            if (result < 0) continue; // a hole: skip it
            if (!ogg_page_bos(&page)) {
                if (!m_haveStream) ZIBBO_FAIL(msgFileCorrupted, "Does not have Vorbis initialized");
                ogg_stream_pagein(&m_stream, &page);
                scanning = false;
                break;
            }
            ogg_stream_state candidate;
            ogg_stream_init(&candidate, ogg_page_serialno(&page));
            ogg_stream_pagein(&candidate, &page);
            ogg_packet packet;
            if (!m_haveStream && ogg_stream_packetout(&candidate, &packet) == 1 &&
                vorbis_synthesis_headerin(&m_info, &m_comment, &packet) >= 0) {
                m_stream = candidate;
                m_haveStream = true;
            } else {
                ZIBBO_LOG(k_logPerf, false) << "BOS for non-vorbis. Ignored. Could be better optimized";
                ogg_stream_clear(&candidate);
            }
        }
    }
    // The comment and setup headers, from as many further pages as they take.
    for (int headers = 1; headers < 3;) {
        ogg_packet packet;
        const int result = ogg_stream_packetout(&m_stream, &packet);
        if (result < 0) ZIBBO_FAIL(msgFileCorrupted, "Error parsing Vorbis stream headers. Corrupt stream?");
        if (result == 1) {
            if (vorbis_synthesis_headerin(&m_info, &m_comment, &packet) < 0)
                ZIBBO_FAIL(msgFileCorrupted, "Could not get Vorbis headers");
            ++headers;
            continue;
        }
        ogg_page page;
        const int paged = ogg_sync_pageout(&m_sync, &page);
        if (paged > 0) {
            ogg_stream_pagein(&m_stream, &page);
        } else if (paged == 0 && readBlock() <= 0) {
            ZIBBO_FAIL(msgFileCorrupted, "Error parsing Vorbis stream headers. Corrupt stream?");
        }
    }
    if (m_info.channels < 1 || m_info.channels > 2 || m_info.rate < 1)
        ZIBBO_FAIL(msgFileCorrupted,
                   "channels (" << m_info.channels << ") in 1..2, rate (" << m_info.rate << ") > 0");
}

void FVorbisDecoder::takePcm(std::vector<int16_t>& out)
{
    float** pcm = nullptr;
    int frames;
    while ((frames = vorbis_synthesis_pcmout(&m_dsp, &pcm)) > 0) {
        if (m_skip > 0) {
            const int dropped = static_cast<int>(std::min<int64_t>(frames, m_skip));
            vorbis_synthesis_read(&m_dsp, dropped);
            m_skip -= dropped;
            m_frame += dropped;
            continue;
        }
        const int channels = m_info.channels;
        const std::size_t base = out.size();
        out.resize(base + static_cast<std::size_t>(frames) * channels);
        int16_t* to = out.data() + base;
        for (int i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c) {
                float value = pcm[c][i] * 32767.0f;
                if (value > 32767.0f) value = 32767.0f;
                if (value < -32768.0f) value = -32768.0f;
                *to++ = static_cast<int16_t>(value); // truncates toward zero
            }
        }
        vorbis_synthesis_read(&m_dsp, frames);
        m_frame += frames;
    }
}

void FVorbisDecoder::step(std::vector<int16_t>& out)
{
    if (!m_decoding) {
        if (vorbis_synthesis_init(&m_dsp, &m_info) != 0)
            ZIBBO_FAIL(msgFileCorrupted, "vorbis_synthesis_init (" << m_info.channels << ") == 0");
        vorbis_block_init(&m_dsp, &m_block);
        m_decoding = true;
    }
    ogg_packet packet;
    const int result = ogg_stream_packetout(&m_stream, &packet);
    if (result == 1) {
        if (vorbis_synthesis(&m_block, &packet) == 0) vorbis_synthesis_blockin(&m_dsp, &m_block);
        takePcm(out);
    } else if (result == 0) {
        ogg_page page;
        const int paged = ogg_sync_pageout(&m_sync, &page);
        if (paged > 0) {
            ogg_stream_pagein(&m_stream, &page);
        } else if (paged == 0 && readBlock() <= 0) {
            // Data that ends before the stream's last page is a cut file:
            // what it holds would play as a shorter sound, its loop past
            // the end.
            if (m_stream.e_o_s == 0) ZIBBO_FAIL(msgFileCorrupted, "Ogg: Could not read more bytes");
            m_ended = true;
        }
    }
    // result < 0: a gap in the packets; go on with the next one.
}

bool FVorbisDecoder::decode(std::vector<int16_t>& out, std::size_t minSamples)
{
    const std::size_t target = out.size() + minSamples;
    out.insert(out.end(), m_carry.begin(), m_carry.end());
    m_carry.clear();
    while (!m_ended && out.size() < target)
        step(out);
    return !m_ended;
}

void FVorbisDecoder::seek(int64_t frame)
{
    if (frame < this->frame()) {
        // The decoder's state cannot be taken back: decode again from the
        // start of the data.
        close();
        open();
        m_offset = 0;
        m_frame = 0;
        m_ended = false;
        m_carry.clear();
        readHeaders();
    }
    const auto channels = static_cast<std::size_t>(m_info.channels);
    const std::size_t carried =
        std::min(m_carry.size() / channels, static_cast<std::size_t>(frame - this->frame()));
    m_carry.erase(m_carry.begin(), m_carry.begin() + static_cast<std::ptrdiff_t>(carried * channels));
    if (!m_carry.empty()) return;
    m_skip = frame - m_frame;
    while (m_skip > 0 && !m_ended)
        step(m_carry);
    m_skip = 0;
}
