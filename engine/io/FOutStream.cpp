#include "io/FOutStream.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"

FOutStream::FOutStream(FOutStreambuf* buffer) : std::ostream(buffer), m_buffer(buffer)
{
    exceptions(std::ios_base::badbit);
}

FOutStream::~FOutStream()
{
    engineDelete(m_buffer);
}

FRefT<FOutStream> FOutStream::make(FOutStreambuf* buffer)
{
    FOutStream* stream = nullptr;
    try {
        stream = engineNew<FOutStream>(k_memObject, buffer);
    } catch (...) {
        engineDelete(buffer);
        throw;
    }
    if (stream == nullptr) {
        engineDelete(buffer);
        ZIBBO_FAIL(msgSystemError, "engineNew (FOutStream)");
    }
    return makeSignaledRef(stream);
}

void FOutStream::writeUInt8(uint8_t value)
{
    const int_type val = m_buffer->sputc(static_cast<char>(value));
    if (val == traits_type::eof()) ZIBBO_FAIL(msgFileCorrupted, "val == eof");
}

void FOutStream::writeUInt16(uint16_t value)
{
    writeUInt8(static_cast<uint8_t>(value >> 8));
    writeUInt8(static_cast<uint8_t>(value));
}

void FOutStream::writeUInt32(uint32_t value)
{
    const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                           static_cast<char>(value >> 8), static_cast<char>(value)};
    m_buffer->sputn(bytes, 4);
}
