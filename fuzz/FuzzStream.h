#pragma once

// Hands a harness body the input as one whole engine stream. Failure reports
// are the expected answer to bad input, so they are quietened and caught;
// anything else (a crash, a hang, a sanitizer report) is a fault.

#include "core/FDebug.h"
#include "core/FMemory.h"
#include "io/FInStream.h"
#include "io/FMemoryStreambuf.h"
#include "support/QuietErrorHandler.h"

#include <cstddef>
#include <cstdint>
#include <vector>

template <class Read> void readFuzzInput(const uint8_t* data, std::size_t size, Read read)
{
    QuietErrorHandler::installForProcess();
    std::vector<uint8_t> bytes(data, data + size);
    FInStream stream(
        engineNew<FMemoryStreambuf>(k_memStream, bytes.data(), static_cast<int64_t>(bytes.size())));
    try {
        read(stream);
    } catch (const FDebug::VellumcoreException&) {
    } catch (const FDebug::TreatedException&) {
    }
}
