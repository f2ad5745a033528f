#pragma once

// Shared pieces of the asset tests: a counting asset kind with a loader that
// reads its whole source (and fails on a source that starts with 'X'), and
// memory streams to attach.

#include "engine/core/KernelTestSupport.h"

#include "asset/FAsset.h"
#include "asset/FAssetLoader.h"
#include "asset/FAssetStream.h"
#include "core/FErrorMessage.h"
#include "core/FMemory.h"

#include <atomic>
#include <string>

namespace assettest {

class CountingAsset : public FAsset
{
public:
    std::string content;
    std::atomic<int> releases{0};
    void releaseData(bool) override
    {
        ++releases;
        content.clear();
    }
};

class CountingLoader : public FAssetLoader
{
public:
    CountingLoader() : FAssetLoader(nullptr) {}
    std::atomic<int> loads{0};

    void load(FAsset& asset) override
    {
        ++loads;
        FInStream* stream = asset.waitSource();
        std::string bytes(static_cast<size_t>(stream->remaining()), '\0');
        stream->read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!bytes.empty() && bytes[0] == 'X') ZIBBO_FAIL(msgFileCorrupted, "content (X) != X");
        static_cast<CountingAsset&>(asset).content = bytes;
    }

protected:
    FAsset* newAsset() override { return engineNew<CountingAsset>(k_memObject); }
};

// A stream over a copy of `text`, kept alive by the stream.
inline FRefT<FInStream> memoryStream(const std::string& text)
{
    return FAssetStream::makeCopy(text.data(), static_cast<int64_t>(text.size()));
}

} // namespace assettest
