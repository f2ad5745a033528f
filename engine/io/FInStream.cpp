#include "io/FInStream.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"

FInStream::FInStream(FInStreambuf* buffer) : std::istream(buffer), m_buffer(buffer)
{
    exceptions(std::ios_base::badbit);
}

FInStream::~FInStream()
{
    engineDelete(m_buffer);
}

FRefT<FInStream> FInStream::make(FInStreambuf* buffer)
{
    FInStream* stream = nullptr;
    try {
        stream = engineNew<FInStream>(k_memObject, buffer);
    } catch (...) {
        engineDelete(buffer);
        throw;
    }
    if (stream == nullptr) {
        engineDelete(buffer);
        ZIBBO_FAIL(msgSystemError, "engineNew (FInStream)");
    }
    return makeSignaledRef(stream);
}

uint8_t FInStream::readUInt8()
{
    const int_type val = m_buffer->sbumpc();
    if (val == traits_type::eof()) ZIBBO_FAIL(msgFileCorrupted, "val != eof");
    return static_cast<uint8_t>(val);
}

uint16_t FInStream::readUInt16()
{
    const uint16_t high = readUInt8();
    return static_cast<uint16_t>((high << 8) | readUInt8());
}

uint32_t FInStream::readUInt32()
{
    unsigned char bytes[4];
    const std::streamsize got = m_buffer->sgetn(reinterpret_cast<char*>(bytes), 4);
    if (got != 4) ZIBBO_FAIL(msgFileCorrupted, "sgetn (" << static_cast<int64_t>(got) << ") == 4");
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
}
