#include "io/FFileOutStreambuf.h"

#include "core/FErrorMessage.h"
#include "io/FFileStreambuf.h"

#include <algorithm>

FFileOutStreambuf::FFileOutStreambuf(const FString& path, int64_t limit)
    : FOutStreambuf(limit), m_file(FFileStreambuf::open(path, std::ios_base::out))
{
}

FFileOutStreambuf::~FFileOutStreambuf()
{
    m_file->close();
}

void FFileOutStreambuf::failLimit()
{
    ZIBBO_FAIL_TEXT("Writing to file more than allowed!");
}

FFileOutStreambuf::int_type FFileOutStreambuf::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof())) return 0;
    if (m_written >= m_dataSize) failLimit();
    if (traits_type::eq_int_type(m_file->sputc(traits_type::to_char_type(c)), traits_type::eof()))
        return traits_type::eof();
    ++m_written;
    return c;
}

std::streamsize FFileOutStreambuf::xsputn(const char_type* s, std::streamsize n)
{
    // The bytes up to the limit are written before a write past it fails.
    const std::streamsize allowed =
        static_cast<std::streamsize>(std::min<int64_t>(n, m_dataSize - m_written));
    const std::streamsize put = allowed > 0 ? m_file->sputn(s, allowed) : 0;
    m_written += put;
    if (put == allowed && n > allowed) failLimit();
    return put;
}

FFileOutStreambuf::pos_type FFileOutStreambuf::seekoff(off_type, std::ios_base::seekdir,
                                                       std::ios_base::openmode)
{
    return pos_type(m_written);
}

FFileOutStreambuf::pos_type FFileOutStreambuf::seekpos(pos_type, std::ios_base::openmode)
{
    return pos_type(m_written);
}

int FFileOutStreambuf::sync()
{
    return m_file->pubsync();
}
