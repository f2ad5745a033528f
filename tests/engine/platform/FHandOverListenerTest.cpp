#include "platform/FHandOverListener.h"
#include "platform/FHandOverRecord.h"
#include "platform/FHandOverSender.h"
#include "platform/FUnixSocket.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <sys/socket.h>
#include <unistd.h>

namespace {
std::string uniqueName(const char* what)
{
    return "zibbo-test-" + std::to_string(getpid()) + "-" + what;
}

struct Received
{
    std::mutex lock;
    std::vector<std::u16string> texts;
    std::atomic<bool> accept{true};

    FHandOverListener::Receiver receiver()
    {
        return [this](std::u16string&& text) {
            std::lock_guard<std::mutex> guard(lock);
            texts.push_back(std::move(text));
            return accept.load();
        };
    }
    std::vector<std::u16string> snapshot()
    {
        std::lock_guard<std::mutex> guard(lock);
        return texts;
    }
};

std::vector<std::uint8_t> header(std::uint32_t kind, std::uint32_t size)
{
    std::vector<std::uint8_t> out;
    for (std::uint32_t v : {kind, size})
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return out;
}
} // namespace

TEST(FHandOverListener, DeliversTextAndRepliesWhetherTaken)
{
    Received received;
    FHandOverListener listener(received.receiver());
    const std::string name = uniqueName("deliver");
    ASSERT_TRUE(listener.start(name));

    std::int32_t reply = -7;
    ASSERT_EQ(FHandOverSender::send(name, FHandOverRecord::encodeCommandLine(u"/a:b c"), reply),
              FHandOverSender::Result::replied);
    EXPECT_EQ(reply, 0);

    received.accept = false;
    ASSERT_EQ(FHandOverSender::send(name, FHandOverRecord::encodeCommandLine(u""), reply),
              FHandOverSender::Result::replied);
    EXPECT_EQ(reply, 1);

    EXPECT_EQ(received.snapshot(), (std::vector<std::u16string>{u"/a:b c", u""}));
}

TEST(FHandOverListener, DropsMalformedRecordsAndKeepsServing)
{
    Received received;
    FHandOverListener listener(received.receiver());
    const std::string name = uniqueName("malformed");
    ASSERT_TRUE(listener.start(name));

    auto withText = [](std::vector<std::uint8_t> bytes, std::initializer_list<int> text) {
        for (int b : text)
            bytes.push_back(static_cast<std::uint8_t>(b));
        return bytes;
    };
    const struct
    {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"foreign kind", withText(header(2, 4), {'x', 0, 0, 0})},
        {"size beyond the bound", header(1, FHandOverRecord::k_maxDataBytes + 2)},
        {"odd size", withText(header(1, 3), {'x', 0, 0})},
        {"zero size", header(1, 0)},
        {"text without its zero", withText(header(1, 4), {'x', 0, 'y', 0})},
        {"short header", {1, 0, 0}},
        {"text shorter than announced", withText(header(1, 8), {'x', 0})},
    };
    for (const auto& c : cases) {
        FUnixSocket client = FUnixSocket::connectTo(name);
        ASSERT_TRUE(client.isValid()) << c.what;
        client.setTimeout(5000);
        ASSERT_EQ(client.writeAll(c.bytes.data(), c.bytes.size()), FUnixSocket::Io::ok) << c.what;
        // Ends our side so that a short record is not waited for.
        shutdown(client.fd(), SHUT_WR);
        std::uint8_t reply[4];
        // Dropped: closed (or reset, when unread bytes were left) without a reply.
        EXPECT_NE(client.readExact(reply, sizeof reply), FUnixSocket::Io::ok) << c.what;
    }
    EXPECT_TRUE(received.snapshot().empty());

    std::int32_t reply = -1;
    ASSERT_EQ(FHandOverSender::send(name, FHandOverRecord::encodeCommandLine(u"after"), reply),
              FHandOverSender::Result::replied);
    EXPECT_EQ(reply, 0);
    EXPECT_EQ(received.snapshot(), std::vector<std::u16string>{u"after"});
}

TEST(FHandOverListener, NameIsExclusiveAndFreedOnStop)
{
    Received received;
    const std::string name = uniqueName("exclusive");
    FHandOverListener first(received.receiver());
    FHandOverListener second(received.receiver());
    ASSERT_TRUE(first.start(name));
    EXPECT_FALSE(second.start(name));
    first.stop();

    std::int32_t reply = 0;
    EXPECT_EQ(FHandOverSender::send(name, FHandOverRecord::encodeCommandLine(u"x"), reply),
              FHandOverSender::Result::nobodyListening);
    EXPECT_TRUE(second.start(name));
}

// Abstract socket names carry no permissions: each end asks who is at the
// other and deals only with its own user. Another user is played by the
// injected look-up; one that cannot tell counts as a stranger.
TEST(FHandOverListener, BothEndsDealOnlyWithTheirOwnUser)
{
    const FUnixSocket::PeerUserLookup stranger = [](const FUnixSocket&, unsigned& uid) {
        uid = static_cast<unsigned>(getuid()) + 1;
        return true;
    };
    const FUnixSocket::PeerUserLookup unknown = [](const FUnixSocket&, unsigned&) { return false; };
    const FUnixSocket::PeerUserLookup self = [](const FUnixSocket& socket, unsigned& uid) {
        return socket.peerUser(uid);
    };
    const struct
    {
        const char* what;
        FUnixSocket::PeerUserLookup listenerSees;
        FUnixSocket::PeerUserLookup senderSees;
        FHandOverSender::Result result;
        std::size_t delivered;
    } cases[] = {
        {"same user", self, self, FHandOverSender::Result::replied, 1},
        {"sender of another user", stranger, self, FHandOverSender::Result::noReply, 0},
        {"sender of an unknown user", unknown, self, FHandOverSender::Result::noReply, 0},
        {"listener of another user", self, stranger, FHandOverSender::Result::foreignListener, 0},
        {"listener of an unknown user", self, unknown, FHandOverSender::Result::foreignListener, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Received received;
        FHandOverListener listener(received.receiver(), c.listenerSees);
        const std::string name = uniqueName("peer");
        ASSERT_TRUE(listener.start(name));
        std::int32_t reply = -1;
        EXPECT_EQ(
            FHandOverSender::send(name, FHandOverRecord::encodeCommandLine(u"secret"), reply, c.senderSees),
            c.result);
        listener.stop();
        EXPECT_EQ(received.snapshot().size(), c.delivered);
    }
}
