#include "tools/videowriters/TheoraReference.h"

#include <ogg/ogg.h>

#include <cstring>
#include <stdexcept>

struct TheoraReference::State
{
    ogg_sync_state sync;
    ogg_stream_state stream;
    bool hasStream = false;
    th_comment comment;
    th_setup_info* setup = nullptr;
    th_dec_ctx* decoder = nullptr;

    bool nextPacket(ogg_packet& packet)
    {
        for (;;) {
            const int r = ogg_stream_packetout(&stream, &packet);
            if (r > 0) return true;
            if (r < 0) continue;
            ogg_page page;
            if (ogg_sync_pageout(&sync, &page) <= 0) return false;
            ogg_stream_pagein(&stream, &page);
        }
    }
};

TheoraReference::TheoraReference(const std::vector<uint8_t>& file) : m_state(std::make_unique<State>())
{
    State& s = *m_state;
    ogg_sync_init(&s.sync);
    th_comment_init(&s.comment);
    th_info_init(&m_info);
    std::memset(m_planes, 0, sizeof(m_planes));
    char* buffer = ogg_sync_buffer(&s.sync, static_cast<long>(file.size()));
    std::memcpy(buffer, file.data(), file.size());
    ogg_sync_wrote(&s.sync, static_cast<long>(file.size()));

    ogg_page page;
    int headers = 0;
    while (ogg_sync_pageout(&s.sync, &page) > 0) {
        if (!ogg_page_bos(&page)) {
            if (s.hasStream) ogg_stream_pagein(&s.stream, &page);
            break;
        }
        ogg_stream_state test;
        ogg_stream_init(&test, ogg_page_serialno(&page));
        ogg_stream_pagein(&test, &page);
        ogg_packet packet;
        if (!s.hasStream && ogg_stream_packetout(&test, &packet) > 0 &&
            th_decode_headerin(&m_info, &s.comment, &s.setup, &packet) > 0) {
            s.stream = test;
            s.hasStream = true;
            headers = 1;
        } else {
            ogg_stream_clear(&test);
        }
    }
    if (!s.hasStream) throw std::runtime_error("no Theora stream");
    ogg_packet packet;
    while (headers < 3) {
        if (!s.nextPacket(packet)) throw std::runtime_error("Theora headers incomplete");
        if (th_decode_headerin(&m_info, &s.comment, &s.setup, &packet) <= 0)
            throw std::runtime_error("bad Theora header");
        ++headers;
    }
    s.decoder = th_decode_alloc(&m_info, s.setup);
    if (s.decoder == nullptr) throw std::runtime_error("th_decode_alloc failed");
}

TheoraReference::~TheoraReference()
{
    State& s = *m_state;
    if (s.decoder != nullptr) th_decode_free(s.decoder);
    th_setup_free(s.setup);
    if (s.hasStream) ogg_stream_clear(&s.stream);
    th_comment_clear(&s.comment);
    th_info_clear(&m_info);
    ogg_sync_clear(&s.sync);
}

bool TheoraReference::nextFrame()
{
    ogg_packet packet;
    if (!m_state->nextPacket(packet)) return false;
    ogg_int64_t granule = 0;
    const int r = th_decode_packetin(m_state->decoder, &packet, &granule);
    if (r < 0 && r != TH_DUPFRAME) throw std::runtime_error("th_decode_packetin failed");
    th_decode_ycbcr_out(m_state->decoder, m_planes);
    return true;
}
