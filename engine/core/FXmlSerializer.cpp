#include "core/FXmlSerializer.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"

#include <tinyxml.h>

#include <cctype>
#include <charconv>
#include <cstring>
#include <exception>
#include <iterator>
#include <locale>
#include <sstream>

namespace {

// The XML parser descends recursively, one level per open element, so a file
// of a few hundred kilobytes of open tags would exhaust the stack. Our files
// nest a handful of levels; deeper files are read as having no content.
constexpr int k_maxElementDepth = 256;

// The parser steps over a whole multi-byte character at once, so a lead byte
// just before the end of a damaged file carries it past the terminating zero
// (and entity tests read a few bytes ahead). Zero bytes after the text keep
// those reads inside the buffer and end the parse there.
constexpr std::size_t k_parserPadding = 16;

bool startsWith(const std::string& text, std::size_t at, const char* prefix)
{
    return text.compare(at, std::strlen(prefix), prefix) == 0;
}

// The parser takes '<' followed by a letter, '_' or any byte from 127 up as
// the start of an element.
bool startsElement(unsigned char c)
{
    return std::isalpha(c) != 0 || c == '_' || c >= 127;
}

// An upper bound of the element nesting the parser will build from `text`:
// comments, CDATA sections and declarations are skipped as the parser skips
// them, and quoted attribute values cannot end a tag.
bool nestingWithin(const std::string& text, int limit)
{
    int depth = 0;
    std::size_t i = 0;
    auto skipPast = [&](const char* end) {
        std::size_t found = text.find(end, i);
        i = found == std::string::npos ? text.size() : found + std::strlen(end);
    };
    while (i < text.size()) {
        if (text[i] != '<' || i + 1 == text.size()) {
            ++i;
            continue;
        }
        unsigned char next = static_cast<unsigned char>(text[i + 1]);
        if (startsWith(text, i, "<!--")) {
            i += 4;
            skipPast("-->");
        } else if (startsWith(text, i, "<![CDATA[")) {
            i += 9;
            skipPast("]]>");
        } else if (next == '/') {
            depth = depth > 0 ? depth - 1 : 0;
            i += 2;
        } else if (next == '!' || next == '?') {
            i += 2;
            skipPast(">");
        } else if (startsElement(next)) {
            char quote = 0;
            bool selfClosing = false;
            for (i += 2; i < text.size(); ++i) {
                char c = text[i];
                if (quote != 0) {
                    quote = c == quote ? 0 : quote;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    selfClosing = text[i - 1] == '/';
                    ++i;
                    break;
                }
            }
            if (!selfClosing && ++depth > limit) {
                return false;
            }
        } else {
            ++i;
        }
    }
    return true;
}

template <class T> std::string numberText(const T& value)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}

bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// UTF-8 of the text: a surrogate pair (an emoji a player typed) as its one
// four-byte character. A surrogate without its partner is no character at
// all and is written as '-', so that the file stays valid UTF-8.
std::string utf8Text(const FString& value)
{
    std::u16string units(value.view());
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (isHighSurrogate(units[i]) && i + 1 < units.size() && isLowSurrogate(units[i + 1])) {
            ++i;
        } else if (isHighSurrogate(units[i]) || isLowSurrogate(units[i])) {
            units[i] = u'-';
        }
    }
    return FString(std::u16string_view(units)).toUtf8();
}

// The reverse of utf8Text. FString's own decoder takes characters of the
// Basic Multilingual Plane only; a well-formed four-byte character between
// them becomes its surrogate pair, and everything else goes through that
// decoder and its checks.
FString textOfUtf8(const std::string& text)
{
    FString value;
    std::string plain;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool fourBytes = bytes[i] >= 0xF0 && bytes[i] <= 0xF4 && i + 3 < text.size() &&
                               (bytes[i + 1] & 0xC0) == 0x80 && (bytes[i + 2] & 0xC0) == 0x80 &&
                               (bytes[i + 3] & 0xC0) == 0x80;
        const std::uint32_t code = fourBytes ? (bytes[i] & 0x07u) << 18 | (bytes[i + 1] & 0x3Fu) << 12 |
                                                   (bytes[i + 2] & 0x3Fu) << 6 | (bytes[i + 3] & 0x3Fu)
                                             : 0;
        if (code < 0x10000 || code > 0x10FFFF) {
            plain += static_cast<char>(bytes[i]);
            continue;
        }
        value.append(FString(plain.c_str()));
        plain.clear();
        const char16_t pair[2] = {static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)),
                                  static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF))};
        value.append(pair, pair + 2);
        i += 3;
    }
    value.append(FString(plain.c_str()));
    return value;
}

// Text made only of what the XML reader skips between elements (white space
// and the byte-order marks it ignores) would read back as no text at all;
// such text is written as character data, which is read back unchanged and
// cannot hold "]]>" here.
bool isSkippedByReader(const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
            continue;
        }
        const bool ignoredMark = text.compare(i, 3, "\xEF\xBB\xBF") == 0 ||
                                 text.compare(i, 3, "\xEF\xBF\xBE") == 0 ||
                                 text.compare(i, 3, "\xEF\xBF\xBF") == 0;
        if (!ignoredMark) {
            return false;
        }
        i += 2;
    }
    return true;
}

// Saved texts (a player's name) must come back exactly, spaces and all; the
// parser would otherwise fold runs of white space. The switch is
// process-wide, so it is thrown once.
void keepWhiteSpace()
{
    static const bool kept = (TiXmlBase::SetCondenseWhiteSpace(false), true);
    (void)kept;
}

// The decoding rules of the readers below without their failure reports:
// FString's own (no overlong forms, no surrogates) plus the well-formed
// four-byte characters that textOfUtf8 turns into surrogate pairs, so that
// every text utf8Text writes is judged readable.
bool isStrictUtf8(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t tails = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            tails = 0;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            tails = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            tails = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            // U+10000 to U+10FFFF, nothing shorter or beyond.
            tails = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (text.size() - i - 1 < tails) return false;
        for (std::size_t k = 1; k <= tails; ++k) {
            const unsigned char tail = static_cast<unsigned char>(text[i + k]);
            if (tail < (k == 1 ? low : 0x80) || tail > (k == 1 ? high : 0xBF)) return false;
        }
        i += tails + 1;
    }
    return true;
}

bool isCount(const std::string& text)
{
    std::int32_t parsed = 0;
    const char* last = text.data() + text.size();
    auto [end, error] = std::from_chars(text.data(), last, parsed);
    return error == std::errc() && end == last;
}

bool nodesReadable(const TiXmlNode* node)
{
    for (const TiXmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
        if (const TiXmlText* text = child->ToText()) {
            if (!isStrictUtf8(text->ValueStr())) return false;
        } else if (const TiXmlElement* element = child->ToElement()) {
            const std::string* count = element->Attribute(std::string("count"));
            if (count != nullptr && !isCount(*count)) return false;
            if (!nodesReadable(element)) return false;
        }
    }
    return true;
}

char* copyCString(const char* text)
{
    std::size_t length = text == nullptr ? 0 : std::strlen(text);
    char* block = static_cast<char*>(engineAlloc(k_memCString, length + 1));
    if (block == nullptr) {
        ZIBBO_FAIL(msgSystemError, "engineAlloc (" << static_cast<std::uint64_t>(length + 1) << ")");
    }
    if (length > 0) {
        std::memcpy(block, text, length);
    }
    block[length] = '\0';
    return block;
}

} // namespace

FXmlSerializer::FXmlSerializer(const FRef& file, std::istream* (*inStreamOf)(void*))
    : FSerializer(true), m_document(engineNew<TiXmlDocument>(k_memObject)), m_file(file),
      m_uncaughtAtStart(std::uncaught_exceptions())
{
    if (m_document == nullptr) {
        ZIBBO_FAIL(msgSystemError, "engineNew (TiXmlDocument)");
    }
    try {
        m_in = inStreamOf(waitForRefTarget(m_file));
        if (m_in != nullptr) {
            std::string text((std::istreambuf_iterator<char>(*m_in)), std::istreambuf_iterator<char>());
            if (nestingWithin(text, k_maxElementDepth)) {
                text.append(k_parserPadding, '\0');
                keepWhiteSpace();
                m_document->Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
            }
        }
        enterSection("root");
    } catch (...) {
        engineDelete(m_document);
        throw;
    }
}

FXmlSerializer::FXmlSerializer(const FRef& file, std::ostream* (*outStreamOf)(void*))
    : FSerializer(false), m_document(engineNew<TiXmlDocument>(k_memObject)), m_file(file),
      m_uncaughtAtStart(std::uncaught_exceptions())
{
    if (m_document == nullptr) {
        ZIBBO_FAIL(msgSystemError, "engineNew (TiXmlDocument)");
    }
    try {
        m_out = outStreamOf(waitForRefTarget(m_file));
        enterSection("root");
    } catch (...) {
        engineDelete(m_document);
        throw;
    }
}

FXmlSerializer::~FXmlSerializer()
{
    if (!isLoading() && !m_closed && std::uncaught_exceptions() == m_uncaughtAtStart) {
        try {
            close();
        } catch (const std::exception&) {
            // Reported to the error handler when it was raised.
        }
    }
    engineDelete(m_document);
    m_elements.clear();
}

void FXmlSerializer::close()
{
    if (isLoading() || m_closed) {
        return;
    }
    m_closed = true;
    if (m_out == nullptr) {
        ZIBBO_FAIL_TEXT("No file to write the document to");
    }
    *m_out << *m_document;
    m_out->flush();
    if (!*m_out) {
        ZIBBO_FAIL_TEXT("Could not write the document");
    }
}

TiXmlNode* FXmlSerializer::current() const noexcept
{
    return m_elements.empty() ? static_cast<TiXmlNode*>(m_document) : m_elements.back();
}

void FXmlSerializer::enterSection(const char* name)
{
    if (!isLoading()) {
        // The element just made is the one entered, so a name written twice in
        // one section keeps both values.
        m_elements.push_back(current()->LinkEndChild(new TiXmlElement(name))->ToElement());
        return;
    }
    TiXmlElement* element = current()->FirstChildElement(name);
    if (element == nullptr) {
        ZIBBO_FAIL_TEXT("Could not go in section " << name);
    }
    m_elements.push_back(element);
}

void FXmlSerializer::leaveSection()
{
    if (!m_elements.empty()) {
        m_elements.pop_back();
    }
}

bool FXmlSerializer::hasSection(const char* name) const
{
    return current()->FirstChildElement(name) != nullptr;
}

bool FXmlSerializer::hasValue(const char* name) const
{
    const TiXmlElement* element = current()->FirstChildElement(name);
    const TiXmlNode* first = element == nullptr ? nullptr : element->FirstChild();
    return first != nullptr && first->ToText() != nullptr;
}

bool FXmlSerializer::isReadable(const std::string& text)
{
    if (!nestingWithin(text, k_maxElementDepth)) return false;
    std::string padded = text;
    padded.append(k_parserPadding, '\0');
    keepWhiteSpace();
    TiXmlDocument document;
    document.Parse(padded.c_str(), nullptr, TIXML_ENCODING_UTF8);
    return document.FirstChildElement("root") != nullptr && nodesReadable(&document);
}

bool FXmlSerializer::canHoldText(const FString& text)
{
    const std::u16string_view units = text.view();
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i] < 0x20 || isLowSurrogate(units[i])) return false;
        if (isHighSurrogate(units[i])) {
            if (i + 1 == units.size() || !isLowSurrogate(units[i + 1])) return false;
            ++i;
        }
    }
    return true;
}

void FXmlSerializer::writeText(const char* name, const std::string& text)
{
    enterSection(name);
    auto* node = new TiXmlText(text);
    node->SetCDATA(!text.empty() && isSkippedByReader(text));
    m_elements.back()->LinkEndChild(node);
    leaveSection();
}

std::string FXmlSerializer::readText(const char* name, bool emptyWhenMissing)
{
    enterSection(name);
    const TiXmlNode* first = m_elements.back()->FirstChild();
    const TiXmlText* text = first == nullptr ? nullptr : first->ToText();
    std::string result = text == nullptr ? std::string() : text->ValueStr();
    leaveSection();
    if (text == nullptr && !emptyWhenMissing) {
        ZIBBO_FAIL_TEXT("No text");
    }
    return result;
}

// Numbers are decoded like every text, then extracted as a stream would:
// leading blanks are skipped and the extraction stops at the first character
// that cannot continue the number ("12abc" reads 12). A failed extraction
// leaves the value unchanged and clears the valid flag.
template <class T> void FXmlSerializer::readNumber(const char* name, T& value)
{
    const FString decoded = textOfUtf8(readText(name, false));
    std::wistringstream in(std::wstring(decoded.begin(), decoded.end()));
    in.imbue(std::locale::classic());
    T number{};
    in >> number;
    setValid(!in.fail());
    if (isValid()) {
        value = number;
    }
}

void FXmlSerializer::writeBoolDefault(const char* name, const bool& value, const bool& defaultValue)
{
    if (value != defaultValue) {
        writeText(name, value ? "true" : "false");
    }
    if (observer() != nullptr) {
        observer()->writeBool(name, value);
    }
}

void FXmlSerializer::writeBool(const char* name, const bool& value)
{
    writeText(name, value ? "true" : "false");
    if (observer() != nullptr) {
        observer()->writeBool(name, value);
    }
}

void FXmlSerializer::writeUIntDefault(const char* name, const std::uint32_t& value,
                                      const std::uint32_t& defaultValue)
{
    if (value != defaultValue) {
        writeText(name, numberText(value));
    }
    if (observer() != nullptr) {
        observer()->writeUInt(name, value);
    }
}

void FXmlSerializer::writeUInt(const char* name, const std::uint32_t& value)
{
    writeText(name, numberText(value));
    if (observer() != nullptr) {
        observer()->writeUInt(name, value);
    }
}

void FXmlSerializer::writeIntDefault(const char* name, const std::int32_t& value,
                                     const std::int32_t& defaultValue)
{
    if (value != defaultValue) {
        writeText(name, numberText(value));
    }
    if (observer() != nullptr) {
        observer()->writeInt(name, value);
    }
}

void FXmlSerializer::writeInt(const char* name, const std::int32_t& value)
{
    writeText(name, numberText(value));
    if (observer() != nullptr) {
        observer()->writeInt(name, value);
    }
}

void FXmlSerializer::writeDoubleDefault(const char* name, const double& value, const double& defaultValue)
{
    if (value != defaultValue) {
        writeText(name, numberText(value));
    }
    if (observer() != nullptr) {
        observer()->writeDouble(name, value);
    }
}

void FXmlSerializer::writeDouble(const char* name, const double& value)
{
    writeText(name, numberText(value));
    if (observer() != nullptr) {
        observer()->writeDouble(name, value);
    }
}

void FXmlSerializer::writeCStringDefault(const char* name, const char* const& value,
                                         const char* const& defaultValue)
{
    if (value != defaultValue) {
        writeText(name, value == nullptr ? std::string() : std::string(value));
    }
    if (observer() != nullptr) {
        observer()->writeCString(name, value);
    }
}

void FXmlSerializer::writeCString(const char* name, const char* const& value)
{
    writeText(name, value == nullptr ? std::string() : std::string(value));
    if (observer() != nullptr) {
        observer()->writeCString(name, value);
    }
}

void FXmlSerializer::writeStringDefault(const char* name, const FString& value, const FString& defaultValue)
{
    if (!(value == defaultValue)) {
        writeText(name, utf8Text(value));
    }
    if (observer() != nullptr) {
        observer()->writeString(name, value);
    }
}

void FXmlSerializer::writeString(const char* name, const FString& value)
{
    writeText(name, utf8Text(value));
    if (observer() != nullptr) {
        observer()->writeString(name, value);
    }
}

void FXmlSerializer::readBoolDefault(const char* name, bool& value, const bool& defaultValue)
{
    if (!hasSection(name)) {
        value = defaultValue;
        if (observer() != nullptr) {
            observer()->readBool(name, value);
        }
        return;
    }
    readBool(name, value);
}

void FXmlSerializer::readBool(const char* name, bool& value)
{
    const FString text = textOfUtf8(readText(name, false));
    value = text == u"true" || text == u"1";
    if (observer() != nullptr) {
        observer()->readBool(name, value);
    }
}

void FXmlSerializer::readUIntDefault(const char* name, std::uint32_t& value,
                                     const std::uint32_t& defaultValue)
{
    if (!hasSection(name)) {
        value = defaultValue;
        setValid(true);
        if (observer() != nullptr) {
            observer()->readUInt(name, value);
        }
        return;
    }
    readUInt(name, value);
}

void FXmlSerializer::readUInt(const char* name, std::uint32_t& value)
{
    readNumber(name, value);
    if (observer() != nullptr) {
        observer()->readUInt(name, value);
    }
}

void FXmlSerializer::readIntDefault(const char* name, std::int32_t& value, const std::int32_t& defaultValue)
{
    if (!hasSection(name)) {
        value = defaultValue;
        setValid(true);
        if (observer() != nullptr) {
            observer()->readInt(name, value);
        }
        return;
    }
    readInt(name, value);
}

void FXmlSerializer::readInt(const char* name, std::int32_t& value)
{
    readNumber(name, value);
    if (observer() != nullptr) {
        observer()->readInt(name, value);
    }
}

void FXmlSerializer::readDoubleDefault(const char* name, double& value, const double& defaultValue)
{
    if (!hasSection(name)) {
        // Taken as it is: passing it through the 6-digit text form would change
        // a default such as 0.1234567.
        value = defaultValue;
        setValid(true);
        if (observer() != nullptr) {
            observer()->readDouble(name, value);
        }
        return;
    }
    readDouble(name, value);
}

void FXmlSerializer::readDouble(const char* name, double& value)
{
    readNumber(name, value);
    if (observer() != nullptr) {
        observer()->readDouble(name, value);
    }
}

void FXmlSerializer::readCStringDefault(const char* name, char*& value, const char* const& defaultValue)
{
    if (!hasSection(name)) {
        value = copyCString(defaultValue);
        if (observer() != nullptr) {
            observer()->readCString(name, value);
        }
        return;
    }
    readCString(name, value);
}

void FXmlSerializer::readCString(const char* name, char*& value)
{
    // An empty text is saved as an element without text.
    value = copyCString(readText(name, true).c_str());
    if (observer() != nullptr) {
        observer()->readCString(name, value);
    }
}

void FXmlSerializer::readStringDefault(const char* name, FString& value, const FString& defaultValue)
{
    if (!hasSection(name)) {
        value = defaultValue;
        if (observer() != nullptr) {
            observer()->readString(name, value);
        }
        return;
    }
    readString(name, value);
}

void FXmlSerializer::readString(const char* name, FString& value)
{
    // An empty string is saved as an element without text.
    value = textOfUtf8(readText(name, true));
    if (observer() != nullptr) {
        observer()->readString(name, value);
    }
}

void FXmlSerializer::beginArray(const char* name, std::int32_t& count)
{
    enterSection(name);
    if (isLoading()) {
        count = -1;
        const std::string* stored = m_elements.back()->Attribute(std::string("count"));
        if (stored != nullptr) {
            const char* first = stored->data();
            const char* last = first + stored->size();
            std::int32_t parsed = 0;
            auto [end, error] = std::from_chars(first, last, parsed);
            if (error != std::errc() || end != last) {
                leaveSection();
                ZIBBO_FAIL_TEXT("Invalid count");
            }
            count = parsed;
        }
    } else if (count != -1) {
        m_elements.back()->SetAttribute("count", count);
    }
    if (observer() != nullptr) {
        observer()->beginArray(name, count);
    }
}

void FXmlSerializer::endArray(const char* name)
{
    leaveSection();
    if (observer() != nullptr) {
        observer()->endArray(name);
    }
}
