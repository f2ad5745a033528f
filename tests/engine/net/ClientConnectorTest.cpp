#include "FakeSockets.h"
#include "Loopback.h"

#include "core/FString.h"
#include "io/FInStream.h"
#include "net/FNetworkClientConnector.h"
#include "platform/FSocketPosix.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

std::string bytesOf(FInStream& stream)
{
    std::string out(static_cast<std::size_t>(stream.remaining()), '\0');
    stream.read(out.data(), static_cast<std::streamsize>(out.size()));
    return out;
}

struct CutCase
{
    std::vector<std::string> packets;
    uint32_t wanted;
    std::string buffer; // empty: no buffer yet
    int32_t queuedAfter;
    std::size_t packetsAfter;
};

TEST(ClientConnectorTest, UserBuffersAreCutFromTheQueueOldestFirst)
{
    const std::string hundred = [] {
        std::string s(100, ' ');
        for (int i = 0; i < 100; ++i)
            s[i] = static_cast<char>('!' + i % 90);
        return s;
    }();
    const CutCase cases[] = {
        {{hundred}, 50, hundred.substr(0, 50), 50, 1},
        {{"0123456789", "abcdefghij", "ABCDEFGHIJ"}, 25, "0123456789abcdefghijABCDE", 5, 1},
        {{"0123456789"}, 10, "0123456789", 0, 0},
        {{"0123"}, 10, "", 4, 1},
    };
    for (const CutCase& c : cases) {
        FakeSockets sockets;
        FNetworkClientConnector connector(sockets);
        for (const std::string& packet : c.packets)
            connector.queuePacket(packet.data(), packet.size());
        int32_t budget = 1000;
        // Enough already queued: no socket call at all.
        EXPECT_EQ(connector.receivePacket(c.wanted, &budget), !c.buffer.empty());
        if (!c.buffer.empty()) {
            EXPECT_TRUE(sockets.readWaits.empty());
        }
        FRefT<FInStream> buffer;
        uint32_t count = 99;
        connector.flushUserBuffer(buffer, false, &count);
        EXPECT_EQ(count, c.buffer.size());
        if (c.buffer.empty()) {
            EXPECT_EQ(buffer.get(), nullptr);
        } else {
            EXPECT_EQ(bytesOf(*buffer), c.buffer);
        }
        EXPECT_EQ(connector.queuedBytes(), c.queuedAfter);
        EXPECT_EQ(connector.packetCount(), c.packetsAfter);
    }
}

TEST(ClientConnectorTest, AForcedFlushTakesEverythingAndTheRestFollowsInOrder)
{
    FakeSockets sockets;
    FNetworkClientConnector connector(sockets);
    connector.queuePacket("abcdef", 6);
    connector.queuePacket("ghi", 3);
    int32_t budget = 10;
    ASSERT_TRUE(connector.receivePacket(4, &budget));
    FRefT<FInStream> first;
    connector.flushUserBuffer(first, false, nullptr);
    EXPECT_EQ(bytesOf(*first), "abcd");
    FRefT<FInStream> rest;
    uint32_t count = 0;
    connector.flushUserBuffer(rest, true, &count);
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(bytesOf(*rest), "efghi");
    EXPECT_EQ(connector.queuedBytes(), 0);
}

TEST(ClientConnectorTest, ReceivingStopsAtTheWantedCountTheBudgetOrThePeerClosing)
{
    {
        FakeSockets sockets;
        sockets.chunks = {"0123456789", "abcdefghij"};
        sockets.receiveCost = 5;
        FNetworkClientConnector connector(sockets);
        int32_t budget = 100;
        EXPECT_TRUE(connector.receivePacket(15, &budget));
        EXPECT_EQ(connector.queuedBytes(), 20);
        EXPECT_EQ(budget, 90);
        EXPECT_FALSE(connector.readEnded());
    }
    {
        // Nothing arrives: the budget is spent and the read gives up.
        FakeSockets sockets;
        FNetworkClientConnector connector(sockets);
        int32_t budget = 100;
        EXPECT_FALSE(connector.receivePacket(1, &budget));
        EXPECT_EQ(budget, 0);
    }
    {
        // The peer closed (a zero-byte receive): the read ends with budget left.
        FakeSockets sockets;
        sockets.chunks = {"abc", ""};
        sockets.receiveCost = 1;
        FNetworkClientConnector connector(sockets);
        int32_t budget = 30000;
        EXPECT_FALSE(connector.receivePacket(10, &budget));
        EXPECT_TRUE(connector.readEnded());
        EXPECT_EQ(budget, 30000 - 2);
        EXPECT_EQ(connector.queuedBytes(), 3);
    }
}

TEST(ClientConnectorTest, SendingNothingSucceedsWithoutTheSocketAndSendsAreWhole)
{
    FakeSockets sockets;
    sockets.sendStep = 4;
    FNetworkClientConnector connector(sockets);
    EXPECT_TRUE(connector.sendBuffer(nullptr, 0));
    EXPECT_EQ(sockets.sendCalls, 0);
    EXPECT_TRUE(connector.sendBuffer("0123456789", 10));
    EXPECT_EQ(sockets.sent, "0123456789");
    EXPECT_EQ(connector.activity(), FNetworkClientConnector::k_idle);

    sockets.sendStep = -1;
    EXPECT_FALSE(connector.sendBuffer("x", 1));
    EXPECT_EQ(connector.failedActivity(), FNetworkClientConnector::k_sending);
    // A reset connection gets a fresh socket for the next attempt.
    EXPECT_TRUE(connector.endPoint().isOpen());
}

TEST(ClientConnectorTest, ARefusedConnectionGivesUpAfterOneAttempt)
{
    // A port nobody listens on: bind one, note it, close it.
    int port = 0;
    {
        loopback::Fd probe(loopback::listenOn(0));
        port = loopback::portOf(probe.get());
    }
    FSocketPosix& sockets = FSocketPosix::instance();
    FNetworkClientConnector connector(sockets);
    ASSERT_TRUE(connector.isReady());
    const FNetworkAddress address(sockets, makeSharedStringCopy(FString("127.0.0.1")), port);
    EXPECT_FALSE(connector.connect(address));
    EXPECT_EQ(connector.failedActivity(), FNetworkClientConnector::k_connecting);
    EXPECT_EQ(connector.activity(), FNetworkClientConnector::k_idle);
    EXPECT_EQ(connector.endPoint().lastError(), k_netConnectionRefused);
}

} // namespace
