#include "video/FTheoraHeader.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "io/FInStream.h"

#include <cstdio>

FTheoraHeader::FTheoraHeader(FRefT<FInStream> source)
    : m_source(std::move(source)), m_reader(m_source, m_source->position())
{
    th_info_init(&m_info);
    th_comment_init(&m_comment);
}

FTheoraHeader::~FTheoraHeader()
{
    th_setup_free(m_setup);
    th_comment_clear(&m_comment);
    th_info_clear(&m_info);
}

namespace {

const char* pixelFormatName(th_pixel_fmt format)
{
    switch (format) {
    case TH_PF_420:
        return "4:2:0";
    case TH_PF_422:
        return "4:2:2";
    case TH_PF_444:
        return "4:4:4";
    default:
        return "Unknown chroma sampling";
    }
}

const char* colourSpaceName(th_colorspace space)
{
    switch (space) {
    case TH_CS_UNSPECIFIED:
        return "Unspecified";
    case TH_CS_ITU_REC_470M:
        return "ITU Rec 470M; NTSC";
    case TH_CS_ITU_REC_470BG:
        return "ITU Rec 470BG; PAL";
    default:
        return "Unknown color space";
    }
}

} // namespace

void FTheoraHeader::read()
{
    findTheoraStream();
    readRemainingHeaders();
    char serialText[16];
    std::snprintf(serialText, sizeof(serialText), "%x", static_cast<unsigned>(serial()));
    ZIBBO_LOG(k_logFile, false) << "Ogg logical stream " << serialText << " is Theora " << m_info.frame_width
                                << "x" << m_info.frame_height << ", "
                                << (m_info.fps_denominator != 0
                                        ? double(m_info.fps_numerator) / m_info.fps_denominator
                                        : 0.0)
                                << "fps, PixelFormat " << int(m_info.pixel_fmt) << " ("
                                << pixelFormatName(m_info.pixel_fmt) << "), content " << m_info.pic_width
                                << "x" << m_info.pic_height << ", offset " << m_info.pic_x << "x"
                                << m_info.pic_y << " colorspace " << int(m_info.colorspace) << " ("
                                << colourSpaceName(m_info.colorspace) << ")";
    if (m_info.fps_denominator == 0)
        ZIBBO_FAIL(msgFileCorrupted, "fps_denominator (" << m_info.fps_denominator << ") != 0");
    // Frame buffers are allocated from these sizes: a few header bytes must
    // not ask for gigabytes.
    if (m_info.frame_width > k_maximumDimension || m_info.frame_height > k_maximumDimension ||
        m_info.pic_width == 0 || m_info.pic_height == 0)
        ZIBBO_FAIL(msgFileCorrupted, "frame (" << m_info.frame_width << " x " << m_info.frame_height
                                               << ") within " << k_maximumDimension << ", picture ("
                                               << m_info.pic_width << " x " << m_info.pic_height
                                               << ") not empty");
}

void FTheoraHeader::findTheoraStream()
{
    bool found = false;
    ogg_page page;
    for (;;) {
        if (!m_reader.nextPage(page)) ZIBBO_FAIL_TEXT("Header read: stream done");
        if (!ogg_page_bos(&page)) break;
        ogg_stream_state test;
        ogg_stream_init(&test, ogg_page_serialno(&page));
        ogg_stream_pagein(&test, &page);
        ogg_packet packet;
        if (!found && ogg_stream_packetout(&test, &packet) > 0 &&
            th_decode_headerin(&m_info, &m_comment, &m_setup, &packet) > 0) {
            m_reader.adoptStream(test, ogg_page_serialno(&page));
            m_headersRead = 1;
            found = true;
        } else {
            ogg_stream_clear(&test);
            ZIBBO_LOG(k_logPerf, false) << "BOS for non-theora. Ignored. Could be better optimized";
        }
    }
    if (!found) ZIBBO_FAIL_TEXT("Does not have Theora initialized");
    // Frame data may share a page with the last headers, so playback starts
    // at this page and passes over header packets.
    m_dataStart = m_reader.unreturnedStart() - page.header_len - page.body_len;
    ogg_stream_pagein(&m_reader.stream(), &page);
}

void FTheoraHeader::readRemainingHeaders()
{
    ogg_packet packet;
    ogg_page page;
    while (m_headersRead < 3) {
        const int result = ogg_stream_packetout(&m_reader.stream(), &packet);
        if (result < 0) ZIBBO_FAIL_TEXT("Error parsing Theora stream headers. Corrupt stream?");
        if (result > 0) {
            if (th_decode_headerin(&m_info, &m_comment, &m_setup, &packet) <= 0)
                ZIBBO_FAIL_TEXT("Could not get Theora headers");
            ++m_headersRead;
            continue;
        }
        if (!m_reader.nextPage(page))
            ZIBBO_FAIL_TEXT("Header read:  Cannot read 2 additional Vorbis headers");
        ogg_stream_pagein(&m_reader.stream(), &page);
    }
}
