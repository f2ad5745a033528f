#pragma once

#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include <cstdint>
#include <functional>
#include <vector>

// One pass over an Ogg Vorbis stream through libogg and libvorbis: finds the
// Vorbis logical stream, reads its three header packets (across as many pages
// as they take, never past the end of the data) and decodes packets to
// interleaved 16-bit samples. Other logical streams are ignored.
class FVorbisDecoder
{
public:
    static constexpr int k_blockBytes = 4096;

    // Reads up to `size` bytes at the reader's position; 0 at the end.
    using ReadBytes = std::function<int64_t(void* buffer, int64_t size)>;

    explicit FVorbisDecoder(ReadBytes read);
    ~FVorbisDecoder();
    FVorbisDecoder(const FVorbisDecoder&) = delete;
    FVorbisDecoder& operator=(const FVorbisDecoder&) = delete;

    // Failed checks for a stream without Vorbis headers.
    void readHeaders();
    const vorbis_comment& comments() const { return m_comment; }
    const vorbis_info& info() const { return m_info; }
    int channels() const { return m_info.channels; }
    long rate() const { return m_info.rate; }
    long serial() const { return m_stream.serialno; }

    // Decodes until `out` holds at least `minSamples` more samples (all
    // channels together) or the data ends; false once the data has ended.
    bool decode(std::vector<int16_t>& out, std::size_t minSamples);

private:
    // Reads one block into the sync layer; the bytes read.
    int64_t readBlock();
    void takePcm(std::vector<int16_t>& out);

    ReadBytes m_read;
    ogg_sync_state m_sync{};
    ogg_stream_state m_stream{};
    vorbis_info m_info{};
    vorbis_comment m_comment{};
    vorbis_dsp_state m_dsp{};
    vorbis_block m_block{};
    bool m_haveStream = false;
    bool m_decoding = false;
    bool m_ended = false;
};
