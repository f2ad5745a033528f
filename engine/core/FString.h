#pragma once

// The engine's text type: UTF-16 code units with a zero unit kept after the
// text. Up to 15 units live inside the object; longer text lives in engine
// memory. Text enters from UTF-8 through a strict decoder that raises a
// failure for every malformed sequence.

#include "core/FRef.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class FString
{
public:
    static constexpr std::size_t k_inlineUnits = 16;

    FString() noexcept;
    // Decodes zero-terminated UTF-8 (null reads as empty); raises a failure on
    // malformed input.
    FString(const char* utf8);
    // Units up to the first zero unit.
    FString(const char16_t* text);
    FString(const char16_t* first, const char16_t* last);
    explicit FString(std::u16string_view text);
    FString(const FString& other);
    FString(FString&& other) noexcept;
    FString& operator=(const FString& other);
    FString& operator=(FString&& other) noexcept;
    ~FString();

    // Decodes UTF-8 and replaces the text; on a failure the text is unchanged.
    void assignUtf8(const char* utf8);
    void assign(const char16_t* first, const char16_t* last);

    void append(const char16_t* first, const char16_t* last);
    void append(const FString& other) { append(other.begin(), other.end()); }
    void append(std::u16string_view text) { append(text.data(), text.data() + text.size()); }
    void pushBack(char16_t unit);
    void reserve(std::size_t units);
    void clear() noexcept;

    FString& operator+=(const FString& other)
    {
        append(other);
        return *this;
    }
    FString& operator+=(char16_t unit)
    {
        pushBack(unit);
        return *this;
    }

    std::size_t length() const noexcept { return static_cast<std::size_t>(m_end - start()); }
    std::size_t size() const noexcept { return length(); }
    bool empty() const noexcept { return m_end == start(); }
    // Text units that fit without regrowing.
    std::size_t capacity() const noexcept { return static_cast<std::size_t>(m_capEnd - start()) - 1; }
    // True while the text lives inside the object (no heap storage).
    bool isInline() const noexcept { return m_capEnd == m_inline + k_inlineUnits; }

    const char16_t* c_str() const noexcept { return start(); }
    const char16_t* begin() const noexcept { return start(); }
    const char16_t* end() const noexcept { return m_end; }
    char16_t operator[](std::size_t index) const noexcept { return start()[index]; }
    std::u16string_view view() const noexcept { return {start(), length()}; }

    int compare(const FString& other) const noexcept { return view().compare(other.view()); }

    // One byte per unit: below 128 unchanged, every other unit '-'. For text
    // that leaves the process as bytes (log listener, log files, debug channel).
    std::string toAscii() const;
    // Text in the current locale's multibyte encoding, for system calls. Stops
    // before the first character the locale cannot represent; never cuts a
    // character in half.
    std::string toNarrow() const;
    // The low 8 bits of each unit (the text carried by exceptions).
    std::string toLowBytes() const;
    // UTF-8, for the process log.
    std::string toUtf8() const;

    // Cuts the text at `separator`; appends each piece's start index to
    // `positions`. Leading and doubled separators give empty pieces, a trailing
    // one none. With `firstOnly` the text is cut once: the second piece is the
    // rest from the first separator on (separator included), or empty.
    std::vector<FString> split(char16_t separator, bool firstOnly, std::vector<int>& positions) const;

    // Destroys a string made in engine memory (engineNew).
    static void destroy(FString* heapString) noexcept;

private:
    char16_t* start() noexcept { return isInline() ? m_inline : m_heap; }
    const char16_t* start() const noexcept { return isInline() ? m_inline : m_heap; }
    void setInlineEmpty() noexcept;
    void freeStorage() noexcept;
    // Moves the other string's text (or storage) here; this string holds none.
    void takeFrom(FString& other) noexcept;
    void decodeUtf8(const char* utf8);

    union {
        char16_t m_inline[k_inlineUnits];
        char16_t* m_heap;
    };
    char16_t* m_end;
    char16_t* m_capEnd;
};

inline bool operator==(const FString& a, const FString& b) noexcept
{
    return a.view() == b.view();
}
inline bool operator==(const FString& a, std::u16string_view b) noexcept
{
    return a.view() == b;
}
inline bool operator==(const FString& a, const char16_t* b) noexcept
{
    return a.view() == std::u16string_view(b);
}
inline bool operator<(const FString& a, const FString& b) noexcept
{
    return a.view() < b.view();
}
FString operator+(const FString& a, const FString& b);

template <> struct std::hash<FString>
{
    std::size_t operator()(const FString& text) const noexcept
    {
        return std::hash<std::u16string_view>()(text.view());
    }
};

// Handles on strings: the holder destroys the string with its last reference.
FRefT<FString> makeStringRef(FString* heapString);
// A copy of `text` in engine memory, held by a new handle.
FRefT<FString> makeSharedStringCopy(const FString& text);

// Room needed by formatThousands: 10 digits, 3 separators and the terminator.
inline constexpr std::size_t k_formatThousandsSize = 14;
// Decimal text of `value` with ',' between groups of three digits ("1,234");
// "0" for 0 and the empty text for a negative value. `out` holds at least
// k_formatThousandsSize bytes.
void formatThousands(std::int32_t value, char* out);
