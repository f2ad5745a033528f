#include "net/FHttpReplyParser.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view k_headerEnd = "\r\n\r\n";
constexpr std::string_view k_lineEnd = "\r\n";
constexpr std::string_view k_noReason = "No error description given by server.";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

} // namespace

FHttpReplyParser::FHttpReplyParser(std::size_t headerBufferSize, int64_t maxBodyBytes)
    : m_headerBufferSize(headerBufferSize), m_maxBodyBytes(maxBodyBytes)
{
}

void FHttpReplyParser::feed(const void* bytes, std::size_t size)
{
    std::string carry;
    std::string_view input(static_cast<const char*>(bytes), size);
    while (!input.empty()) {
        if (m_state == State::body) {
            takeBody(input);
            return;
        }
        if (m_state != State::header) return;
        // The header must end within the header buffer; bytes past the room
        // left stay in the input until the end is found.
        const std::size_t room = m_headerBufferSize - m_pending.size();
        const std::size_t taken = std::min(room, input.size());
        const std::size_t searchFrom = m_pending.size() >= 3 ? m_pending.size() - 3 : 0;
        m_pending.append(input.substr(0, taken));
        input.remove_prefix(taken);
        const std::size_t end = m_pending.find(k_headerEnd, searchFrom);
        if (end == std::string::npos) {
            if (m_pending.size() >= m_headerBufferSize) fail(Failure::headerTooLong);
            continue;
        }
        std::string rest = m_pending.substr(end + k_headerEnd.size());
        rest.append(input);
        m_header = m_pending.substr(0, end);
        m_pending.clear();
        onHeader();
        carry = std::move(rest);
        input = carry;
    }
}

void FHttpReplyParser::onHeader()
{
    parseStatus(m_header, m_status, m_reason);
    // An interim reply (100 Continue and the like) precedes the real one.
    if (m_status >= 100 && m_status < 200) return;
    if (m_status != 200) {
        fail(Failure::status);
        return;
    }
    m_contentLength = parseContentLength(m_header);
    if (m_contentLength == k_invalidLength || m_contentLength > m_maxBodyBytes) {
        fail(Failure::badContentLength);
        return;
    }
    m_state = m_contentLength == 0 ? State::complete : State::body;
    if (m_contentLength > 0)
        m_body.reserve(static_cast<std::size_t>(std::min<int64_t>(m_contentLength, 65536)));
}

void FHttpReplyParser::takeBody(std::string_view& input)
{
    const int64_t limit = m_contentLength >= 0 ? m_contentLength : m_maxBodyBytes;
    const auto missing = static_cast<std::size_t>(limit - static_cast<int64_t>(m_body.size()));
    const std::size_t taken = std::min(missing, input.size());
    m_body.insert(m_body.end(), input.begin(), input.begin() + static_cast<std::ptrdiff_t>(taken));
    if (m_contentLength >= 0) {
        // Bytes past the declared length are not part of this reply.
        if (static_cast<int64_t>(m_body.size()) == m_contentLength) m_state = State::complete;
    } else if (taken < input.size()) {
        fail(Failure::bodyTooLong);
    }
    input = {};
}

void FHttpReplyParser::finish()
{
    if (m_state == State::body && m_contentLength < 0)
        m_state = State::complete;
    else if (m_state == State::header || m_state == State::body)
        fail(Failure::truncated);
}

void FHttpReplyParser::fail(Failure failure)
{
    m_state = State::failed;
    m_failure = failure;
}

std::size_t FHttpReplyParser::wanted() const
{
    if (m_state == State::header) return k_headerStep;
    if (m_state != State::body || m_contentLength < 0) return k_bodyStep;
    return static_cast<std::size_t>(
        std::min<int64_t>(k_bodyStep, m_contentLength - static_cast<int64_t>(m_body.size())));
}

void FHttpReplyParser::parseStatus(std::string_view header, int& status, std::string& reason)
{
    const std::string_view line = header.substr(0, header.find(k_lineEnd));
    std::size_t at = line.find(' ');
    at = at == std::string_view::npos ? line.size() : at;
    while (at < line.size() && line[at] == ' ')
        ++at;
    const std::size_t codeEnd = std::min(line.find(' ', at), line.size());
    // Read like atoi (leading digits only, 0 without any), but held below
    // an overflow: a long run of digits is simply not a known status.
    status = 0;
    for (std::size_t i = at; i < codeEnd && std::isdigit(static_cast<unsigned char>(line[i])); ++i)
        status = std::min(status * 10 + (line[i] - '0'), 100000);
    if (codeEnd < line.size()) {
        std::size_t from = codeEnd;
        while (from < line.size() && line[from] == ' ')
            ++from;
        reason.assign(line.substr(from));
    } else {
        reason.assign(k_noReason);
    }
}

int64_t FHttpReplyParser::parseContentLength(std::string_view header)
{
    constexpr std::string_view name = "Content-Length:";
    // Header names are matched at the start of a line only, so that a value
    // mentioning the name is never taken for it.
    std::size_t lineStart = header.find(k_lineEnd);
    while (lineStart != std::string_view::npos) {
        lineStart += k_lineEnd.size();
        const std::size_t lineEnd = std::min(header.find(k_lineEnd, lineStart), header.size());
        std::string_view line = header.substr(lineStart, lineEnd - lineStart);
        if (startsWithIgnoringCase(line, name)) {
            line.remove_prefix(name.size());
            while (!line.empty() && isBlank(line.front()))
                line.remove_prefix(1);
            while (!line.empty() && isBlank(line.back()))
                line.remove_suffix(1);
            if (line.empty() || line.size() > 18) return k_invalidLength;
            int64_t value = 0;
            for (char c : line) {
                if (!std::isdigit(static_cast<unsigned char>(c))) return k_invalidLength;
                value = value * 10 + (c - '0');
            }
            return value;
        }
        lineStart = lineEnd < header.size() ? lineEnd : std::string_view::npos;
    }
    return k_unknownLength;
}
