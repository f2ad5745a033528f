#pragma once

#include "core/FRef.h"
#include "io/FInStream.h"

#include <cstdint>

class FRawData;

// An input stream over bytes in memory that belong to someone else: the
// bytes of a loaded raw-data asset, or a block read by an asset's preload.
// The stream keeps a handle on the block's holder. A preload block lives as
// long as the stream; a raw-data asset replaces the bytes under every handle
// when it loads again, so its readers keep it loaded while they read.
class FAssetStream : public FInStream
{
public:
    FAssetStream(FRef block, void* data, int64_t size);

    // Loads the asset first when it has not finished loading.
    static FRefT<FInStream> make(FRawData& data);
    // A stream over size bytes at data inside the block that `block` holds.
    static FRefT<FInStream> makeOver(FRef block, void* data, int64_t size);
    // A stream over its own copy of size bytes at data (size may be 0).
    static FRefT<FInStream> makeCopy(const void* data, int64_t size);

private:
    FRef m_block;
};
