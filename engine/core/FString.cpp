#include "core/FString.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <cuchar>
#include <functional>
#include <limits>
#include <new>
#include <stdexcept>

FString::FString() noexcept
{
    setInlineEmpty();
}

FString::FString(const char* utf8) : FString()
{
    decodeUtf8(utf8);
}

FString::FString(const char16_t* text) : FString()
{
    if (text != nullptr) {
        append(text, text + std::char_traits<char16_t>::length(text));
    }
}

FString::FString(const char16_t* first, const char16_t* last) : FString()
{
    append(first, last);
}

FString::FString(std::u16string_view text) : FString()
{
    append(text);
}

FString::FString(const FString& other) : FString()
{
    append(other);
}

FString::FString(FString&& other) noexcept
{
    takeFrom(other);
}

void FString::takeFrom(FString& other) noexcept
{
    if (other.isInline()) {
        setInlineEmpty();
        std::size_t units = other.length();
        std::memcpy(m_inline, other.m_inline, (units + 1) * sizeof(char16_t));
        m_end = m_inline + units;
    } else {
        m_heap = other.m_heap;
        m_end = other.m_end;
        m_capEnd = other.m_capEnd;
    }
    other.setInlineEmpty();
}

FString& FString::operator=(const FString& other)
{
    if (this != &other) {
        clear();
        append(other);
    }
    return *this;
}

FString& FString::operator=(FString&& other) noexcept
{
    if (this != &other) {
        freeStorage();
        takeFrom(other);
    }
    return *this;
}

FString::~FString()
{
    freeStorage();
}

void FString::setInlineEmpty() noexcept
{
    m_inline[0] = 0;
    m_end = m_inline;
    m_capEnd = m_inline + k_inlineUnits;
}

void FString::freeStorage() noexcept
{
    if (!isInline()) {
        engineFree(m_heap);
        setInlineEmpty();
    }
}

void FString::reserve(std::size_t units)
{
    std::size_t have = static_cast<std::size_t>(m_capEnd - start());
    if (units < have) {
        return;
    }
    if (units >= std::numeric_limits<std::size_t>::max() / (2 * sizeof(char16_t))) {
        throw std::length_error("FString::reserve");
    }
    std::size_t want = std::max(units + 1, have * 2);
    std::size_t units0 = length();
    auto* block = static_cast<char16_t*>(engineAlloc(k_memGeneral, want * sizeof(char16_t)));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(block, start(), (units0 + 1) * sizeof(char16_t));
    freeStorage();
    m_heap = block;
    m_end = block + units0;
    m_capEnd = block + want;
}

void FString::clear() noexcept
{
    m_end = start();
    *m_end = 0;
}

void FString::assign(const char16_t* first, const char16_t* last)
{
    // Through a copy, so that a range inside this string is read before the
    // storage changes.
    FString copy(first, last);
    *this = static_cast<FString&&>(copy);
}

void FString::append(const char16_t* first, const char16_t* last)
{
    if (first == last) {
        return;
    }
    std::size_t units = static_cast<std::size_t>(last - first);
    std::size_t units0 = length();
    // A range inside this string moves when the storage regrows.
    std::less_equal<const char16_t*> lessEqual;
    bool inside = lessEqual(start(), first) && lessEqual(first, m_end);
    std::size_t offset = inside ? static_cast<std::size_t>(first - start()) : 0;
    reserve(units0 + units);
    if (inside) {
        first = start() + offset;
    }
    std::memmove(m_end, first, units * sizeof(char16_t));
    m_end += units;
    *m_end = 0;
}

void FString::pushBack(char16_t unit)
{
    reserve(length() + 1);
    *m_end++ = unit;
    *m_end = 0;
}

// Strict UTF-8: every malformed sequence is a failure. Only units of the Basic
// Multilingual Plane come out (four-byte sequences are rejected), and the
// encoded surrogates D800-DFFF and overlong forms are refused.
void FString::decodeUtf8(const char* utf8)
{
    if (utf8 == nullptr) {
        return;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8);
    const std::size_t byteCount = std::strlen(utf8);

    // Pass 1: count the characters, rejecting bytes that can never lead one.
    std::size_t characters = 0;
    for (std::size_t i = 0; i < byteCount; ++characters) {
        unsigned b = bytes[i];
        if (b < 0x80) {
            i += 1;
        } else if (b <= 0xBF) {
            ZIBBO_FAIL(msgIllegalOperation, "UTF-8: !UTF8-char : UTF8-tail (" << b << ")");
        } else if (b <= 0xDF) {
            i += 2;
        } else if (b <= 0xEF) {
            i += 3;
        } else if (b <= 0xF4) {
            ZIBBO_FAIL(msgIllegalOperation, "UTF8-4 (" << b << ")");
        } else {
            ZIBBO_FAIL(msgIllegalOperation, "UTF-8 (" << b << ")");
        }
    }
    reserve(characters);

    // Pass 2: decode.
    int pending = 0;
    std::uint16_t value = 0;
    bool leadE0 = false;
    bool leadED = false;
    for (std::size_t i = 0; i < byteCount; ++i) {
        unsigned b = bytes[i];
        if (b < 0x80) {
            if (pending != 0) {
                ZIBBO_FAIL(msgIllegalOperation, "UTF8-tail: UTF8-1 (" << b << ")");
            }
            value = static_cast<std::uint16_t>(b);
        } else if (b <= 0xBF) {
            if (pending < 1) {
                ZIBBO_FAIL(msgIllegalOperation, "UTF8-char: UTF8-tail (" << b << ")");
            }
            if (pending == 2) {
                if (leadE0 && b < 0xA0) {
                    ZIBBO_FAIL(msgIllegalOperation, "UTF-8: overlong (e0 " << b << ")");
                }
                if (leadED && b > 0x9F) {
                    ZIBBO_FAIL(msgIllegalOperation, "UTF-8: overlong (ed " << b << ")");
                }
            }
            --pending;
            value = static_cast<std::uint16_t>((value << 6) | (b & 0x3F));
        } else if (b <= 0xDF) {
            if (pending != 0) {
                ZIBBO_FAIL(msgIllegalOperation, "UTF8-tail: UTF8-2 (" << b << ")");
            }
            if (b == 0xC0 || b == 0xC1) {
                ZIBBO_FAIL(msgIllegalOperation, "UTF-8: overlong (" << b << ")");
            }
            pending = 1;
            value = static_cast<std::uint16_t>(b & 0x1F);
            continue;
        } else if (b <= 0xEF) {
            if (pending != 0) {
                ZIBBO_FAIL(msgIllegalOperation, "UTF8-tail: UTF8-3 (" << b << ")");
            }
            leadE0 = b == 0xE0;
            leadED = b == 0xED;
            pending = 2;
            value = static_cast<std::uint16_t>(b & 0x0F);
            continue;
        } else if (b <= 0xF4) {
            ZIBBO_FAIL(msgIllegalOperation, "UTF8-4 (" << b << ")");
        } else {
            ZIBBO_FAIL(msgIllegalOperation, "UTF-8: (" << b << ")");
        }
        if (pending == 0) {
            pushBack(static_cast<char16_t>(value));
        }
    }
    if (pending != 0) {
        ZIBBO_FAIL(msgIllegalOperation, "UTF-8: supplementalBytes");
    }
}

void FString::assignUtf8(const char* utf8)
{
    FString decoded(utf8);
    *this = static_cast<FString&&>(decoded);
}

std::string FString::toAscii() const
{
    std::string out;
    out.reserve(length());
    for (char16_t unit : view()) {
        out.push_back(unit < 128 ? static_cast<char>(unit) : '-');
    }
    return out;
}

std::string FString::toLowBytes() const
{
    std::string out;
    out.reserve(length());
    for (char16_t unit : view()) {
        out.push_back(static_cast<char>(unit & 0xFF));
    }
    return out;
}

std::string FString::toNarrow() const
{
    std::string out;
    out.reserve(length());
    std::mbstate_t state{};
    char bytes[MB_LEN_MAX];
    for (char16_t unit : view()) {
        std::size_t produced = std::c16rtomb(bytes, unit, &state);
        if (produced == static_cast<std::size_t>(-1)) {
            // The locale cannot represent this character: the text ends before it,
            // so no character is ever cut in half.
            break;
        }
        out.append(bytes, produced);
    }
    return out;
}

std::string FString::toUtf8() const
{
    std::string out;
    out.reserve(length());
    const char16_t* p = begin();
    const char16_t* e = end();
    while (p != e) {
        std::uint32_t code = *p++;
        if (code >= 0xD800 && code <= 0xDBFF && p != e && *p >= 0xDC00 && *p <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (*p++ - 0xDC00u);
        }
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

std::vector<FString> FString::split(char16_t separator, bool firstOnly, std::vector<int>& positions) const
{
    std::vector<FString> pieces;
    const char16_t* text = begin();
    const char16_t* textEnd = end();
    const char16_t* cursor = text;
    while (cursor != textEnd) {
        const char16_t* pieceStart = cursor;
        while (cursor != textEnd && *cursor != separator) {
            ++cursor;
        }
        pieces.emplace_back(pieceStart, cursor);
        positions.push_back(static_cast<int>(pieceStart - text));
        if (firstOnly) {
            pieces.emplace_back(cursor, textEnd);
            positions.push_back(static_cast<int>(cursor - text));
            break;
        }
        if (cursor != textEnd) {
            ++cursor;
        }
    }
    return pieces;
}

void FString::destroy(FString* heapString) noexcept
{
    engineDelete(heapString);
}

FString operator+(const FString& a, const FString& b)
{
    FString sum;
    sum.reserve(a.length() + b.length());
    sum.append(a);
    sum.append(b);
    return sum;
}

namespace {
void destroyString(void* target)
{
    FString::destroy(static_cast<FString*>(target));
}
} // namespace

FRefT<FString> makeStringRef(FString* heapString)
{
    return FRefT<FString>(makeHolderRef(heapString, &destroyString));
}

FRefT<FString> makeSharedStringCopy(const FString& text)
{
    FString* copy = engineNew<FString>(k_memObject, text);
    if (copy == nullptr) {
        return {};
    }
    return makeStringRef(copy);
}

void formatThousands(std::int32_t value, char* out)
{
    if (value < 0) {
        out[0] = 0;
        return;
    }
    if (value == 0) {
        out[0] = '0';
        out[1] = 0;
        return;
    }
    // Digits from the least significant one, a separator after every third.
    char reversed[k_formatThousandsSize];
    int count = 0;
    int digits = 0;
    while (value > 0) {
        if (digits > 0 && digits % 3 == 0) {
            reversed[count++] = ',';
        }
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
        ++digits;
    }
    for (int i = 0; i < count; ++i) {
        out[i] = reversed[count - 1 - i];
    }
    out[count] = 0;
}
