// Feeds arbitrary bytes to the archive reader as a whole archive, then opens
// every member it found and reads it (with a few seeks), through the stored,
// inflating and decrypting member streams. Failure reports are the expected
// answer to bad input; anything else (a crash, a hang, a sanitizer report)
// is a fault.
#include "core/FApplication.h"
#include "core/FDebug.h"
#include "core/FErrorHandler.h"
#include "core/FThreadPoolModule.h"
#include "io/FArchiveKeys.h"
#include "io/FFileEntry.h"
#include "io/FMemoryStreambuf.h"
#include "io/FZLibModule.h"
#include "io/FZipModule.h"
#include "support/QuietErrorHandler.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct Engine
{
    FApplication application;
    FThreadPoolModule threadPool;
    FZipModule zip;
    FZLibModule zlib;
    QuietErrorHandler quiet;
    FErrorHandler* previous = FErrorHandler::install(&quiet);
};

// Members may claim up to 4 GB; a bounded read keeps each run short.
constexpr int64_t k_readLimit = 1 << 20;

void readMember(FFileSystem& archive, const FRefT<FFileEntry>& entry)
{
    FRefT<FInStream> stream = archive.open(entry);
    FInStreambuf& buffer = *stream->buffer();
    char block[4096];
    int64_t total = 0;
    std::streamsize got;
    while (total < k_readLimit && (got = buffer.sgetn(block, sizeof block)) > 0)
        total += got;
    const int64_t size = buffer.dataSize();
    if (size > 0) {
        buffer.pubseekpos(std::min<int64_t>(size / 2, k_readLimit));
        buffer.sbumpc();
        buffer.pubseekoff(-1, std::ios_base::cur);
        buffer.pubseekpos(0);
        buffer.sgetn(block, sizeof block);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Engine* engine = new Engine;
    std::vector<char> bytes(data, data + size);
    FRefT<FFileEntry> source(makeRef(engineNew<FFileEntry>(
        k_memObject, nullptr, FString(u"fuzz.zip"), makeSharedStringCopy(u""), 4, int64_t(size), true)));
    try {
        FRefT<FInStream> stream =
            FInStream::make(engineNew<FMemoryStreambuf>(k_memObject, bytes.data(), int64_t(bytes.size())));
        FRefT<FFileSystem> archive;
        engine->zip.service().openArchiveFromStream(archive, source, stream, k_archiveKeys);
        for (const auto& [key, entry] : archive->entries()) {
            try {
                readMember(*archive.get(), entry);
            } catch (const FDebug::VellumcoreException&) {
            }
        }
    } catch (const FDebug::VellumcoreException&) {
    }
    return 0;
}
