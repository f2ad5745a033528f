#include "asset/FAssetStream.h"

#include "asset/FRawData.h"
#include "core/FErrorMessage.h"
#include "io/FMemoryStreambuf.h"

#include <cstring>

namespace {

FInStreambuf* newBuffer(void* data, int64_t size)
{
    FMemoryStreambuf* buffer = engineNew<FMemoryStreambuf>(k_memObject, data, size);
    if (buffer == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (FMemoryStreambuf)");
    return buffer;
}

} // namespace

FAssetStream::FAssetStream(FRef block, void* data, int64_t size)
    : FInStream(newBuffer(data, size)), m_block(std::move(block))
{
}

FRefT<FInStream> FAssetStream::make(FRawData& data)
{
    data.ensureLoaded();
    FMutexLock lock(data.lock());
    return makeOver(data.dataHandle(), data.dataHandle().get(), data.dataSize());
}

FRefT<FInStream> FAssetStream::makeOver(FRef block, void* data, int64_t size)
{
    FAssetStream* stream = engineNew<FAssetStream>(k_memObject, std::move(block), data, size);
    if (stream == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (FAssetStream)");
    FRefT<FInStream> handle(makeSignaledHolderRef(stream, &FRefDeleters::deleteObject<FInStream>));
    if (handle.isNull()) ZIBBO_FAIL(msgSystemError, "makeSignaledHolderRef (NULL)");
    return handle;
}

FRefT<FInStream> FAssetStream::makeCopy(const void* data, int64_t size)
{
    // One byte more, so that an empty copy is still a block of its own.
    void* block = engineAlloc(k_memData, static_cast<size_t>(size) + 1);
    if (block == nullptr) ZIBBO_FAIL(msgSystemError, "engineAlloc (" << size << ")");
    if (size > 0) std::memcpy(block, data, static_cast<size_t>(size));
    return makeOver(makeRefHolder(block), block, size);
}
