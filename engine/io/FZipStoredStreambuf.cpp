#include "io/FZipStoredStreambuf.h"

#include "core/FLogStream.h"
#include "io/FSeekTarget.h"
#include "io/FStreamProcessor.h"

FZipStoredStreambuf::FZipStoredStreambuf(const FZipMemberInfo& member)
    : FSubStreambuf(member.archive, member.dataStart, member.compressedSize),
      m_bufferSize(member.compressedSize < k_maxChunk ? int64_t(member.compressedSize) + 64
                                                      : k_maxChunk + 64),
      m_crc(member.crc, member.uncompressedSize)
{
    m_dataSize = member.uncompressedSize;
}

FZipStoredStreambuf::int_type FZipStoredStreambuf::underflow()
{
    if (m_failure) m_failure.raise();
    return bufferedUnderflow(m_bufferSize, inputLeft());
}

void FZipStoredStreambuf::readSource(char* dest, int64_t count)
{
    readInput(dest, count);
}

void FZipStoredStreambuf::onBlockRead(int64_t streamPos, const char* data, int64_t count)
{
    m_crc.feed(streamPos, data, count);
    if (!m_crc.failed()) return;
    try {
        m_crc.raiseFailure();
    } catch (...) {
        m_failure = FDeferredFailure::caught(std::current_exception());
    }
    m_failure.raise();
}

FZipStoredStreambuf::pos_type FZipStoredStreambuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                                           std::ios_base::openmode)
{
    const int64_t here = position();
    const int64_t target = FSeekTarget::resolve(off, dir, here, m_currentEback, m_dataSize, "");
    if (target == here) return pos_type(here);

    if (processor() == nullptr) {
        clearGetArea();
        m_currentEback = target;
        setInputConsumed(target);
        return pos_type(target);
    }

    // Decrypted bytes only come in order: skip forward, or start over.
    int64_t skip = target - here;
    if (skip < 0) {
        clearGetArea();
        m_currentEback = 0;
        setInputConsumed(0);
        processor()->reset();
        skip = target;
    }
    if (skip > 0) {
        ZIBBO_LOG(k_logPerf, false) << "Seekoff with processor, skipping " << skip << " bytes";
    }
    while (position() < target) {
        if (gptr() == egptr() && traits_type::eq_int_type(underflow(), traits_type::eof())) break;
        const int64_t step = std::min<int64_t>(target - position(), egptr() - gptr());
        gbump(static_cast<int>(step));
    }
    return pos_type(position());
}

FZipStoredStreambuf::pos_type FZipStoredStreambuf::seekpos(pos_type pos, std::ios_base::openmode mode)
{
    return seekoff(off_type(pos), std::ios_base::beg, mode);
}
