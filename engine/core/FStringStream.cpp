#include "core/FStringStream.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

FStringStream::~FStringStream()
{
    if (m_target != nullptr) {
        *m_target = static_cast<FString&&>(m_text);
    }
}

FString FStringStream::take() noexcept
{
    return static_cast<FString&&>(m_text);
}

FStringStream& FStringStream::operator<<(const FString& text)
{
    m_text.append(text);
    return *this;
}

FStringStream& FStringStream::operator<<(std::u16string_view text)
{
    m_text.append(text);
    return *this;
}

FStringStream& FStringStream::operator<<(const char16_t* text)
{
    if (text != nullptr) {
        m_text.append(std::u16string_view(text));
    }
    return *this;
}

FStringStream& FStringStream::operator<<(char16_t unit)
{
    m_text.pushBack(unit);
    return *this;
}

FStringStream& FStringStream::operator<<(const char* text)
{
    if (text == nullptr) {
        return *this;
    }
    return appendBytes(text, text + std::strlen(text));
}

FStringStream& FStringStream::operator<<(const std::string& text)
{
    return appendBytes(text.data(), text.data() + text.size());
}

FStringStream& FStringStream::operator<<(std::string_view text)
{
    return appendBytes(text.data(), text.data() + text.size());
}

FStringStream& FStringStream::operator<<(char byte)
{
    m_text.pushBack(static_cast<char16_t>(static_cast<unsigned char>(byte)));
    return *this;
}

FStringStream& FStringStream::operator<<(double value)
{
    char buffer[64];
    int written = std::snprintf(buffer, sizeof buffer, "%g", value);
    if (written > 0) {
        appendBytes(buffer, buffer + std::min<int>(written, static_cast<int>(sizeof buffer) - 1));
    }
    return *this;
}

FStringStream& FStringStream::operator<<(const void* pointer)
{
    char buffer[2 + 2 * sizeof(std::uintptr_t)] = {'0', 'x'};
    auto result =
        std::to_chars(buffer + 2, buffer + sizeof buffer, reinterpret_cast<std::uintptr_t>(pointer), 16);
    return appendBytes(buffer, result.ptr);
}

FStringStream& FStringStream::appendSigned(std::int64_t value)
{
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return appendBytes(buffer, result.ptr);
}

FStringStream& FStringStream::appendUnsigned(std::uint64_t value)
{
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return appendBytes(buffer, result.ptr);
}

FStringStream& FStringStream::appendBytes(const char* first, const char* last)
{
    m_text.reserve(m_text.length() + static_cast<std::size_t>(last - first));
    for (const char* p = first; p != last; ++p) {
        m_text.pushBack(static_cast<char16_t>(static_cast<unsigned char>(*p)));
    }
    return *this;
}
