#pragma once

// Composes text: values are streamed in (text, and numbers in decimal); when
// the stream is bound to a target string, the text is assigned to it when the
// stream is destroyed.

#include "core/FString.h"

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

class FStringStream
{
public:
    FStringStream() noexcept = default;
    explicit FStringStream(FString& target) noexcept : m_target(&target) {}
    ~FStringStream();
    FStringStream(const FStringStream&) = delete;
    FStringStream& operator=(const FStringStream&) = delete;

    const FString& str() const noexcept { return m_text; }
    // Hands the text over; the stream is empty afterwards.
    FString take() noexcept;

    FStringStream& operator<<(const FString& text);
    FStringStream& operator<<(std::u16string_view text);
    FStringStream& operator<<(const char16_t* text);
    FStringStream& operator<<(char16_t unit);
    // Narrow text is taken byte by byte (each byte one unit): meant for ASCII.
    FStringStream& operator<<(const char* text);
    FStringStream& operator<<(const std::string& text);
    FStringStream& operator<<(std::string_view text);
    FStringStream& operator<<(char byte);
    FStringStream& operator<<(double value);
    // Hexadecimal address ("0x...").
    FStringStream& operator<<(const void* pointer);

    template <std::integral T> FStringStream& operator<<(T value)
    {
        if constexpr (std::is_same_v<T, bool>) {
            return appendSigned(value ? 1 : 0);
        } else if constexpr (std::is_signed_v<T>) {
            return appendSigned(static_cast<std::int64_t>(value));
        } else {
            return appendUnsigned(static_cast<std::uint64_t>(value));
        }
    }

private:
    FStringStream& appendSigned(std::int64_t value);
    FStringStream& appendUnsigned(std::uint64_t value);
    FStringStream& appendBytes(const char* first, const char* last);

    FString m_text;
    FString* m_target = nullptr;
};
