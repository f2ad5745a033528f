#include "net/FHttpReplyParser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using State = FHttpReplyParser::State;
using Failure = FHttpReplyParser::Failure;

FHttpReplyParser parsed(const std::string& reply, bool closed = false, std::size_t step = 0)
{
    FHttpReplyParser parser;
    if (step == 0) {
        parser.feed(reply.data(), reply.size());
    } else {
        for (std::size_t at = 0; at < reply.size(); at += step)
            parser.feed(reply.data() + at, std::min(step, reply.size() - at));
    }
    if (closed) parser.finish();
    return parser;
}

TEST(HttpReplyParserTest, StatusLines)
{
    struct Case
    {
        const char* header;
        int status;
        const char* reason;
    } const cases[] = {
        {"HTTP/1.1 200 OK", 200, "OK"},
        {"HTTP/1.0 404 Not Found\r\nServer: x", 404, "Not Found"},
        {"HTTP/1.1   500    Internal  Error", 500, "Internal  Error"},
        {"HTTP/1.1 204", 204, "No error description given by server."},
        {"HTTP/1.1 abc Bad", 0, "Bad"},
        {"HTTP/1.1 2000 Too Long", 2000, "Too Long"},
        {"garbage", 0, "No error description given by server."},
        {"", 0, "No error description given by server."},
    };
    for (const Case& c : cases) {
        int status = -1;
        std::string reason;
        FHttpReplyParser::parseStatus(c.header, status, reason);
        EXPECT_EQ(status, c.status) << c.header;
        EXPECT_EQ(reason, c.reason) << c.header;
    }
}

TEST(HttpReplyParserTest, ContentLengthIsAPlainDecimalOnItsOwnLine)
{
    const int64_t unknown = FHttpReplyParser::k_unknownLength;
    const int64_t invalid = FHttpReplyParser::k_invalidLength;
    const std::pair<const char*, int64_t> cases[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 12", 12},
        {"HTTP/1.1 200 OK\r\nContent-length:12", 12},
        {"HTTP/1.1 200 OK\r\ncontent-length:   7  \r\nServer: x", 7},
        {"HTTP/1.1 200 OK\r\nContent-Length: 0", 0},
        {"HTTP/1.1 200 OK\r\nContent-Length: -5", invalid},
        {"HTTP/1.1 200 OK\r\nContent-Length: twelve", invalid},
        {"HTTP/1.1 200 OK\r\nContent-Length: 12abc", invalid},
        {"HTTP/1.1 200 OK\r\nContent-Length: ", invalid},
        {"HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999", invalid},
        {"HTTP/1.1 200 OK\r\nServer: x", unknown},
        {"HTTP/1.1 200 OK\r\nX-Original-Content-Length: 5", unknown},
        {"HTTP/1.1 200 Content-Length: 5", unknown},
    };
    for (const auto& [header, length] : cases)
        EXPECT_EQ(FHttpReplyParser::parseContentLength(header), length) << header;
}

TEST(HttpReplyParserTest, ABodyOfTheDeclaredLengthCompletesTheReplyWhateverTheSteps)
{
    const std::string reply = "HTTP/1.0 200 OK\r\nContent-length: 12\r\n\r\nhello world!trailing bytes";
    for (std::size_t step : {std::size_t{0}, std::size_t{1}, std::size_t{3}, std::size_t{16}}) {
        FHttpReplyParser parser = parsed(reply, false, step);
        ASSERT_EQ(parser.state(), State::complete) << step;
        EXPECT_EQ(std::string(parser.body().begin(), parser.body().end()), "hello world!");
        EXPECT_EQ(parser.header(), "HTTP/1.0 200 OK\r\nContent-length: 12");
    }
}

TEST(HttpReplyParserTest, OutcomesOfWholeReplies)
{
    const std::string longHeader = "HTTP/1.1 200 OK\r\nX-Filler: " + std::string(1100, 'f') + "\r\n\r\nbody";
    // A header that ends exactly at the end of the header buffer still fits.
    const std::string base = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nX: ";
    const std::string fitting = base + std::string(1024 - base.size() - 4, 'f') + "\r\n\r\nok";
    const std::string overFull = base + std::string(1024 - base.size() - 3, 'f') + "\r\n\r\nok";
    struct Case
    {
        const char* name;
        std::string reply;
        bool closed;
        State state;
        Failure failure;
        int status;
        std::string body;
    } const cases[] = {
        {"interim 100 skipped",
         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc", false,
         State::complete, Failure::none, 200, "abc"},
        {"two interim replies",
         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 102 Processing\r\n\r\nHTTP/1.1 200 OK\r\n\r\nz", true,
         State::complete, Failure::none, 200, "z"},
        {"404 abandons the reply", "HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nabc", false,
         State::failed, Failure::status, 404, ""},
        {"no length: body runs to the close", "HTTP/1.0 200 OK\r\n\r\nuntil the end", true, State::complete,
         Failure::none, 200, "until the end"},
        {"no length, still open", "HTTP/1.0 200 OK\r\n\r\nso far", false, State::body, Failure::none, 200,
         "so far"},
        {"zero length", "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", false, State::complete, Failure::none,
         200, ""},
        {"closed inside the body", "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nshort", true, State::failed,
         Failure::truncated, 200, "short"},
        {"closed inside the header", "HTTP/1.0 200 OK\r\nContent-", true, State::failed, Failure::truncated,
         0, ""},
        {"negative length", "HTTP/1.0 200 OK\r\nContent-Length: -1\r\n\r\nabc", false, State::failed,
         Failure::badContentLength, 200, ""},
        {"huge length", "HTTP/1.0 200 OK\r\nContent-Length: 4294967297\r\n\r\nabc", false, State::failed,
         Failure::badContentLength, 200, ""},
        {"header longer than its buffer", longHeader, true, State::failed, Failure::headerTooLong, 0, ""},
        {"header filling its buffer exactly", fitting, false, State::complete, Failure::none, 200, "ok"},
        {"header one byte over its buffer", overFull, false, State::failed, Failure::headerTooLong, 0, ""},
    };
    for (const Case& c : cases) {
        FHttpReplyParser parser = parsed(c.reply, c.closed);
        EXPECT_EQ(parser.state(), c.state) << c.name;
        EXPECT_EQ(parser.failure(), c.failure) << c.name;
        EXPECT_EQ(parser.status(), c.status) << c.name;
        EXPECT_EQ(std::string(parser.body().begin(), parser.body().end()), c.body) << c.name;
    }
}

TEST(HttpReplyParserTest, AnUndeclaredBodyStopsAtTheLimitAndStepsFollowThePhase)
{
    FHttpReplyParser parser(1024, 10);
    const std::string head = "HTTP/1.0 200 OK\r\n\r\n";
    parser.feed(head.data(), 5);
    EXPECT_EQ(parser.wanted(), FHttpReplyParser::k_headerStep);
    parser.feed(head.data() + 5, head.size() - 5);
    EXPECT_EQ(parser.wanted(), FHttpReplyParser::k_bodyStep);
    parser.feed("0123456789", 10);
    EXPECT_EQ(parser.state(), State::body);
    parser.feed("x", 1);
    EXPECT_EQ(parser.state(), State::failed);
    EXPECT_EQ(parser.failure(), Failure::bodyTooLong);

    FHttpReplyParser declared;
    const std::string reply = "HTTP/1.0 200 OK\r\nContent-Length: 1500\r\n\r\n";
    declared.feed(reply.data(), reply.size());
    EXPECT_EQ(declared.wanted(), 1024u);
    const std::string part(1000, 'b');
    declared.feed(part.data(), part.size());
    EXPECT_EQ(declared.wanted(), 500u);
}

} // namespace
