// Feeds arbitrary bytes to the HTTP reply reader as a peer would send them:
// the first byte picks the size of the pieces, the rest is the reply, and the
// connection ends after it. Whatever arrives, the reader must stay inside its
// buffers and keep its promises about the body.

#include "net/FHttpReplyParser.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::size_t step = 1 + data[0] % 64;
    ++data;
    --size;
    // A small body limit lets the fuzzer reach it.
    FHttpReplyParser parser(FHttpReplyParser::k_headerBufferSize, 4096);
    for (std::size_t at = 0; at < size && parser.state() != FHttpReplyParser::State::failed; at += step)
        parser.feed(data + at, step < size - at ? step : size - at);
    parser.finish();

    check(parser.header().size() <= FHttpReplyParser::k_headerBufferSize);
    check(parser.body().size() <= 4096);
    const int64_t length = parser.contentLength();
    if (length >= 0) check(static_cast<int64_t>(parser.body().size()) <= length);
    if (parser.state() == FHttpReplyParser::State::complete) {
        check(parser.status() == 200);
        if (length >= 0) check(static_cast<int64_t>(parser.body().size()) == length);
    }
    check(parser.state() == FHttpReplyParser::State::complete ||
          parser.state() == FHttpReplyParser::State::failed);

    int status = 0;
    std::string reason;
    FHttpReplyParser::parseStatus(std::string_view(reinterpret_cast<const char*>(data), size), status,
                                  reason);
    check(status >= 0 && reason.size() <= size + 64);
    FHttpReplyParser::parseContentLength(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
