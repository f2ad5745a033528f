#include "io/FInStreambuf.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"

#include <algorithm>
#include <cstring>

namespace {
// Bytes before gptr that a refill keeps, so a reader can step back a little.
constexpr int64_t k_putbackBytes = 64;
} // namespace

FInStreambuf::FInStreambuf(int64_t dataSize) : m_dataSize(dataSize) {}

FInStreambuf::~FInStreambuf()
{
    engineFree(m_refillBuffer);
}

int64_t FInStreambuf::position() const
{
    return m_currentEback + (gptr() - eback());
}

int64_t FInStreambuf::remaining() const
{
    return m_dataSize - position();
}

bool FInStreambuf::isDirectAccess() const
{
    return true;
}

void FInStreambuf::start() {}

std::streambuf* FInStreambuf::setbuf(char_type*, std::streamsize)
{
    return this;
}

FInStreambuf::pos_type FInStreambuf::seekoff(off_type, std::ios_base::seekdir, std::ios_base::openmode)
{
    return pos_type(off_type(-1));
}

FInStreambuf::pos_type FInStreambuf::seekpos(pos_type, std::ios_base::openmode)
{
    return pos_type(off_type(-1));
}

int FInStreambuf::sync()
{
    return 0;
}

std::streamsize FInStreambuf::showmanyc()
{
    return 0;
}

FInStreambuf::int_type FInStreambuf::underflow()
{
    return traits_type::eof();
}

FInStreambuf::int_type FInStreambuf::pbackfail(int_type)
{
    return traits_type::eof();
}

FInStreambuf::int_type FInStreambuf::overflow(int_type)
{
    return traits_type::eof();
}

int64_t FInStreambuf::backUpSource(int64_t)
{
    return 0;
}

void FInStreambuf::readSource(char*, int64_t count)
{
    ZIBBO_FAIL(msgIllegalOperation, "readSource (" << count << ") of a buffer without source");
}

void FInStreambuf::onBlockRead(int64_t, const char*, int64_t) {}

void FInStreambuf::clearGetArea()
{
    setg(nullptr, nullptr, nullptr);
}

FInStreambuf::int_type FInStreambuf::bufferedUnderflow(int64_t bufferSize, int64_t sourceLeft)
{
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());

    if (m_refillBuffer == nullptr) {
        m_refillBuffer = static_cast<char*>(engineAlloc(k_memStream, static_cast<size_t>(bufferSize)));
        if (m_refillBuffer == nullptr) ZIBBO_FAIL(msgSystemError, "engineAlloc (" << bufferSize << ")");
        m_refillSize = bufferSize;
    }

    const int64_t keep = std::min<int64_t>(gptr() - eback(), k_putbackBytes);
    int64_t toRead = std::min({m_refillSize - keep, remaining(), sourceLeft});
    if (toRead <= 0) return traits_type::eof();

    const int64_t oldBytes = egptr() - eback();
    if (keep > 0) std::memmove(m_refillBuffer, gptr() - keep, static_cast<size_t>(keep));

    // Right after a seek the get area is empty: read a little before the
    // target again so that a putback area exists.
    int64_t back = 0;
    if (keep == 0 && m_currentEback > 0) {
        back = backUpSource(std::min(m_currentEback, k_putbackBytes));
        toRead = std::min(toRead, m_refillSize - back);
    }

    m_currentEback += oldBytes - keep - back;
    clearGetArea();
    char* const fresh = m_refillBuffer + keep;
    readSource(fresh, back + toRead);
    onBlockRead(m_currentEback + keep, fresh, back + toRead);
    setg(m_refillBuffer, fresh + back, fresh + back + toRead);
    return traits_type::to_int_type(*gptr());
}
