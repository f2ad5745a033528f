#pragma once

// Reads an HTTP reply from the bytes as they arrive: the header (bounded by
// the header buffer), interim 1xx replies skipped, the status line, the
// declared body length and the body. Everything it is given is untrusted.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class FHttpReplyParser
{
public:
    enum class State { header, body, complete, failed };
    enum class Failure {
        none,
        headerTooLong,    // no header end within the header buffer
        badContentLength, // negative, not a number, or above the body limit
        bodyTooLong,      // an undeclared body grew past the body limit
        status,           // a final status other than 200
        truncated,        // the connection ended before the reply was complete
    };

    static constexpr std::size_t k_headerBufferSize = 1024;
    static constexpr int64_t k_maxBodyBytes = 64 * 1024 * 1024;
    static constexpr std::size_t k_headerStep = 16;
    static constexpr std::size_t k_bodyStep = 1024;
    static constexpr int64_t k_unknownLength = -1;
    static constexpr int64_t k_invalidLength = -2;

    explicit FHttpReplyParser(std::size_t headerBufferSize = k_headerBufferSize,
                              int64_t maxBodyBytes = k_maxBodyBytes);

    // Takes the next received bytes.
    void feed(const void* bytes, std::size_t size);
    // The connection ended: a body without declared length is complete now,
    // anything else unfinished is truncated.
    void finish();

    State state() const { return m_state; }
    Failure failure() const { return m_failure; }
    // The final (or, while failed on it, the offending) status and reason.
    int status() const { return m_status; }
    const std::string& reason() const { return m_reason; }
    // The final reply's header text, without the blank line that ends it.
    const std::string& header() const { return m_header; }
    int64_t contentLength() const { return m_contentLength; }
    const std::vector<unsigned char>& body() const { return m_body; }
    // How many bytes the next read step should wait for.
    std::size_t wanted() const;

    // The status code (read after the first blanks of the first line) and
    // the reason phrase, or a fixed text when the line has none.
    static void parseStatus(std::string_view header, int& status, std::string& reason);
    // The declared body length, k_unknownLength when no Content-Length line
    // exists, k_invalidLength when its value is not a plain decimal number.
    static int64_t parseContentLength(std::string_view header);

private:
    void onHeader();
    void takeBody(std::string_view& input);
    void fail(Failure failure);

    std::size_t m_headerBufferSize;
    int64_t m_maxBodyBytes;
    State m_state = State::header;
    Failure m_failure = Failure::none;
    std::string m_pending;
    std::string m_header;
    int m_status = 0;
    std::string m_reason;
    int64_t m_contentLength = k_unknownLength;
    std::vector<unsigned char> m_body;
};
