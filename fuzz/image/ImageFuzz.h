#pragma once

// Shared by the image harnesses: feeds the input to one loader as a whole
// stream. Failure reports are the expected answer to bad input; anything else
// (a crash, a hang, a sanitizer report) is a fault.

#include "core/FDebug.h"
#include "core/FErrorHandler.h"
#include "core/FMemory.h"
#include "image/FImage.h"
#include "io/FInStream.h"
#include "io/FMemoryStreambuf.h"
#include "support/QuietErrorHandler.h"

#include <cstddef>
#include <cstdint>
#include <vector>

template <class Load> int fuzzImageLoader(const uint8_t* data, std::size_t size, Load load)
{
    static QuietErrorHandler quiet;
    static FErrorHandler* const previous = FErrorHandler::install(&quiet);
    (void)previous;
    std::vector<uint8_t> bytes(data, data + size);
    FInStream stream(
        engineNew<FMemoryStreambuf>(k_memStream, bytes.data(), static_cast<int64_t>(bytes.size())));
    FImage image;
    try {
        load(stream, image);
    } catch (const FDebug::VellumcoreException&) {
    } catch (const FDebug::TreatedException&) {
    }
    return 0;
}
