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

    // Reads up to `size` bytes at `offset` of the stream; 0 at the end.
    using ReadAt = std::function<int64_t(int64_t offset, void* buffer, int64_t size)>;

    explicit FVorbisDecoder(ReadAt read);
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
    // The frame the next decode starts at.
    int64_t frame() const
    {
        if (m_carry.empty()) return m_frame;
        return m_frame - static_cast<int64_t>(m_carry.size() / static_cast<std::size_t>(m_info.channels));
    }
    // Moves to `frame` (after readHeaders): forward by decoding and dropping
    // the frames between, back by starting again from the first byte.
    void seek(int64_t frame);

private:
    void open();
    void close();
    // Reads one block into the sync layer; the bytes read.
    int64_t readBlock();
    // One packet, page or block further; sets m_ended at the end of the data.
    void step(std::vector<int16_t>& out);
    // Takes the decoded frames, first dropping those a seek skips.
    void takePcm(std::vector<int16_t>& out);

    ReadAt m_read;
    int64_t m_offset = 0; // of the next block to read
    int64_t m_frame = 0;  // frames taken or dropped so far
    int64_t m_skip = 0;   // frames still to drop
    // What the packet that ended a seek held after the seek's frame: the
    // decoder hands it out first, as it cannot keep it once it goes on.
    std::vector<int16_t> m_carry;

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
