#include "io/FMemoryOutStreambuf.h"

#include "core/FErrorMessage.h"

#include <algorithm>

FMemoryOutStreambuf::FMemoryOutStreambuf(int64_t limit) : FOutStreambuf(limit) {}

FMemoryOutStreambuf::int_type FMemoryOutStreambuf::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof())) return 0;
    const char_type byte = traits_type::to_char_type(c);
    xsputn(&byte, 1);
    return c;
}

std::streamsize FMemoryOutStreambuf::xsputn(const char_type* s, std::streamsize n)
{
    // The bytes up to the limit are kept before a write past it fails.
    const std::streamsize allowed =
        static_cast<std::streamsize>(std::max<int64_t>(0, std::min<int64_t>(n, remaining())));
    m_bytes.append(s, static_cast<size_t>(allowed));
    if (n > allowed) ZIBBO_FAIL_TEXT("Writing to file more than allowed!");
    return allowed;
}
