#pragma once

// Shared by the sound harnesses: loads the input through one loader module
// into a sample, decoded whole. Failure reports are the expected answer to bad
// input; anything else (a crash, a hang, a sanitizer report) is a fault.

#include "asset/FAssetStream.h"
#include "audio/FSample.h"
#include "core/FErrorHandler.h"
#include "core/FMemory.h"
#include "support/QuietErrorHandler.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

template <class Loader> int fuzzSoundLoader(const uint8_t* data, std::size_t size)
{
    QuietErrorHandler::installForProcess();
    static Loader loader;
    void* block = engineAlloc(k_memData, size + 1);
    if (size > 0) std::memcpy(block, data, size);
    FSample sample;
    sample.setEntryFlags(FAsset::k_flagLoadOnUse);
    sample.setLoader(&loader);
    sample.setSource(FAssetStream::makeOver(makeRefHolder(block), block, static_cast<int64_t>(size)));
    sample.complete(); // a failure leaves the sample failed and empty
    return 0;
}
