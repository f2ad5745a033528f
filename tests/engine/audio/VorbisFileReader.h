#pragma once

// libvorbisfile over bytes in memory: the reference decoder that tests and
// benchmarks compare the engine's Vorbis loader with.

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace audiotest {

struct VorbisFileCursor
{
    const std::vector<uint8_t>* bytes;
    size_t at = 0;
};

// Opens `file` on `cursor` (which must outlive the file); false when
// libvorbisfile refuses it.
inline bool openVorbisFile(OggVorbis_File& file, VorbisFileCursor& cursor)
{
    ov_callbacks callbacks{};
    callbacks.read_func = [](void* to, size_t size, size_t count, void* source) -> size_t {
        auto* c = static_cast<VorbisFileCursor*>(source);
        const size_t n = std::min(size * count, c->bytes->size() - c->at);
        std::memcpy(to, c->bytes->data() + c->at, n);
        c->at += n;
        return n / size;
    };
    return ov_open_callbacks(&cursor, &file, nullptr, 0, callbacks) == 0;
}

} // namespace audiotest
