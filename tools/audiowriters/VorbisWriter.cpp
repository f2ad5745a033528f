#include "tools/audiowriters/VorbisWriter.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <stdexcept>

namespace {

void append(std::vector<uint8_t>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

} // namespace

std::vector<uint8_t> writeVorbis(const VorbisSpec& spec, const std::vector<int16_t>& samples)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, spec.channels, spec.rate, spec.quality) != 0) {
        vorbis_info_clear(&info);
        throw std::runtime_error("vorbis_encode_init_vbr refused the format");
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    if (spec.loops) {
        vorbis_comment_add_tag(&comment, "loopstart", std::to_string(spec.loopStart).c_str());
        vorbis_comment_add_tag(&comment, "looplength", std::to_string(spec.loopLength).c_str());
    }
    for (const std::string& text : spec.comments)
        vorbis_comment_add(&comment, text.c_str());
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x5a1b0c);

    std::vector<uint8_t> out;
    ogg_packet header, commentPacket, setup;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentPacket, &setup);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentPacket);
    ogg_stream_packetin(&stream, &setup);
    ogg_page page;
    // Audio starts on a fresh page after the headers.
    while (ogg_stream_flush(&stream, &page) != 0)
        append(out, page);

    const int frames = static_cast<int>(samples.size()) / spec.channels;
    constexpr int k_block = 1024;
    for (int done = 0; done <= frames;) {
        const int n = std::min(k_block, frames - done);
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, n);
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < spec.channels; ++c)
                    buffer[c][i] = samples[static_cast<size_t>(done + i) * spec.channels + c] / 32768.0f;
        }
        vorbis_analysis_wrote(&dsp, n); // 0 marks the end
        done += n > 0 ? n : 1;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0)
                    append(out, page);
            }
        }
    }
    while (ogg_stream_flush(&stream, &page) != 0)
        append(out, page);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}
