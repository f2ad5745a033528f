#include "asset/FRawData.h"

#include "asset/FAssetLoader.h"
#include "core/FApplication.h"
#include "core/FErrorMessage.h"

FRawData::FRawData() : m_data(makeRefHolder(nullptr))
{
    setLoader(findService<FAssetLoader>(k_slotRawDataLoader));
}

void FRawData::readAll()
{
    FMutexLock lock(this->lock());
    FInStream* stream = waitSource();
    if (stream == nullptr) ZIBBO_FAIL(msgIllegalOperation, "source of asset (" << id() << ") != NULL");
    const int64_t size = stream->remaining();
    uint8_t* block = static_cast<uint8_t*>(engineAlloc(k_memData, static_cast<size_t>(size > 0 ? size : 1)));
    if (block == nullptr) ZIBBO_FAIL(msgSystemError, "engineAlloc (" << size << ")");
    const std::streamsize got = stream->buffer()->sgetn(reinterpret_cast<char*>(block), size);
    if (got != size) {
        engineFree(block);
        ZIBBO_FAIL(msgFileCorrupted, "sizeRead (" << got << ") == sizeToRead (" << size << ")");
    }
    m_data.setTarget(block);
    m_dataSize = size;
}
