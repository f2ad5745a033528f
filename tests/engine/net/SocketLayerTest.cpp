// Addresses, end points and the error codes: the scripted socket system where
// a fault must be provoked, real loopback sockets where the system's own
// behaviour matters.

#include "FakeSockets.h"
#include "Loopback.h"

#include "core/FString.h"
#include "net/FNetworkAddress.h"
#include "net/FNetworkEndPoint.h"
#include "platform/FSocketPosix.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <thread>

namespace {

FRefT<FString> text(const char* utf8)
{
    return makeSharedStringCopy(FString(utf8));
}

TEST(NetworkErrorTest, SystemErrorsMapToTheEngineCodes)
{
    const std::pair<int, FNetworkError> cases[] = {
        {ENOMEM, k_netNoMemory},
        {EMFILE, k_netTooManySockets},
        {EADDRINUSE, k_netAddressInUse},
        {EADDRNOTAVAIL, k_netAddressNotAvailable},
        {ENETDOWN, k_netNetworkDown},
        {ENETUNREACH, k_netNetworkUnreachable},
        {ENETRESET, k_netNetworkReset},
        {ECONNABORTED, k_netConnectionAborted},
        {ECONNRESET, k_netConnectionReset},
        {EPIPE, k_netConnectionReset},
        {ENOBUFS, k_netNoBuffers},
        {ETIMEDOUT, k_netTimedOut},
        {ECONNREFUSED, k_netConnectionRefused},
        {EHOSTDOWN, k_netHostDown},
        {EHOSTUNREACH, k_netHostUnreachable},
        {ENOTCONN, k_netOther},
        {EBADF, k_netOther},
        {0, k_netNoError},
    };
    for (const auto& [error, code] : cases)
        EXPECT_EQ(FSocketPosix::codeOfErrno(error), code) << std::strerror(error);
    EXPECT_EQ(FSocketPosix::codeOfResolverError(EAI_NONAME), k_netHostNotFound);
    EXPECT_EQ(FSocketPosix::codeOfResolverError(EAI_AGAIN), k_netOther);
}

TEST(NetworkAddressTest, NumericTextNeedsNoLookUpAndReadsBack)
{
    FSocketPosix& sockets = FSocketPosix::instance();
    const FNetworkAddress address(sockets, text("127.0.0.1"), 80);
    ASSERT_TRUE(address.isValid());
    const uint32_t value = address.address();
    const uint16_t port = address.port();
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    const auto* portBytes = reinterpret_cast<const unsigned char*>(&port);
    EXPECT_EQ((std::vector<int>{bytes[0], bytes[1], bytes[2], bytes[3]}), (std::vector<int>{127, 0, 0, 1}));
    EXPECT_EQ((std::vector<int>{portBytes[0], portBytes[1]}), (std::vector<int>{0x00, 0x50}));
    EXPECT_EQ(address.family(), FNetworkAddress::k_familyIpv4);
    FString back;
    int backPort = 0;
    ASSERT_TRUE(address.toText(back, &backPort));
    EXPECT_EQ(back, FString("127.0.0.1"));
    EXPECT_EQ(backPort, 80);
}

TEST(NetworkAddressTest, NamesAreLookedUpAndUnknownNamesLeaveTheAddressInvalid)
{
    FakeSockets sockets;
    sockets.names = {{"viewer", 0x0100007f}};
    const FNetworkAddress known(sockets, text("viewer"), 8080);
    EXPECT_TRUE(known.isValid());
    EXPECT_EQ(known.hostPort(), 8080);
    EXPECT_EQ(FNetworkAddress::dottedText(known.address()), "127.0.0.1");

    const FNetworkAddress unknown(sockets, text("nowhere"), 80);
    EXPECT_FALSE(unknown.isValid());
    EXPECT_EQ(unknown.lastError(), k_netHostNotFound);
    FString none;
    EXPECT_FALSE(unknown.toText(none, nullptr));

    // 0.0.0.0 reads as no address, so it is looked up by name.
    const int before = sockets.lookUps;
    EXPECT_FALSE(FNetworkAddress(sockets, text("0.0.0.0"), 80).isValid());
    EXPECT_EQ(sockets.lookUps, before + 1);

    // No text at all: invalid, and no look-up.
    EXPECT_FALSE(FNetworkAddress(sockets, FRefT<FString>(), 80).isValid());
    EXPECT_EQ(sockets.lookUps, before + 1);

    FNetworkEndPoint endPoint(sockets);
    EXPECT_FALSE(endPoint.connect(unknown));
    EXPECT_EQ(sockets.connects, 0);
}

TEST(NetworkEndPointTest, PartialSendsAreRepeatedUntilEveryByteIsSent)
{
    FakeSockets sockets;
    sockets.sendStep = 3;
    FNetworkEndPoint endPoint(sockets);
    const std::string message = "MSG_LOG&Release&a line of text&";
    EXPECT_EQ(endPoint.send(message.data(), message.size()), static_cast<int64_t>(message.size()));
    EXPECT_EQ(sockets.sent, message);
    EXPECT_EQ(sockets.sendCalls, static_cast<int>((message.size() + 2) / 3));
}

TEST(NetworkEndPointTest, AFailedOrStalledSendReportsFailureWithItsError)
{
    FakeSockets sockets;
    FNetworkEndPoint failing(sockets);
    sockets.sendStep = -1;
    EXPECT_EQ(failing.send("abc", 3), -1);
    EXPECT_EQ(failing.lastError(), k_netConnectionReset);

    FakeSockets stalled;
    stalled.writable = false;
    FNetworkEndPoint bounded(stalled);
    bounded.setSendTimeout(100);
    EXPECT_EQ(bounded.send("abc", 3), -1);
    EXPECT_EQ(bounded.lastError(), k_netTimedOut);
    EXPECT_EQ(stalled.sendCalls, 0);
    EXPECT_LE(stalled.now, 100);
}

TEST(NetworkEndPointTest, ATimeOutOfZeroLooksOnceInsteadOfWaitingForever)
{
    FakeSockets sockets;
    FNetworkEndPoint endPoint(sockets);
    EXPECT_FALSE(endPoint.poll(0));
    EXPECT_FALSE(endPoint.accept(0).get());
    endPoint.setReceiveTimeout(0);
    char buffer[4];
    EXPECT_EQ(endPoint.receive(buffer, sizeof(buffer)), 0);
    EXPECT_EQ(sockets.readWaits, (std::vector<int>{0, 0, 0}));
    EXPECT_TRUE(endPoint.isOpen());
}

TEST(NetworkEndPointTest, AFailedConnectClosesUntilTheNextOpen)
{
    FakeSockets sockets;
    sockets.connectSucceeds = false;
    FNetworkEndPoint endPoint(sockets);
    const FNetworkAddress address(sockets, text("127.0.0.1"), 80);
    EXPECT_FALSE(endPoint.connect(address));
    EXPECT_FALSE(endPoint.isOpen());
    EXPECT_EQ(endPoint.lastError(), k_netConnectionRefused);
    sockets.connectSucceeds = true;
    EXPECT_FALSE(endPoint.connect(address));
    EXPECT_EQ(sockets.connects, 1);
    ASSERT_TRUE(endPoint.open());
    EXPECT_EQ(endPoint.lastError(), k_netNoError);
    EXPECT_TRUE(endPoint.connect(address));
}

TEST(NetworkEndPointTest, LoopbackListenAcceptTransferAndPeerClose)
{
    FSocketPosix& sockets = FSocketPosix::instance();
    FNetworkEndPoint listener(sockets);
    ASSERT_TRUE(listener.bind(FNetworkAddress(sockets, text("127.0.0.1"), 0)));
    ASSERT_TRUE(listener.listen(2));
    const int port = listener.localAddress().hostPort();
    ASSERT_GT(port, 0);

    // Nothing pending: no end point, and the listener stays usable.
    EXPECT_FALSE(listener.accept(10).get());
    EXPECT_TRUE(listener.isOpen());

    FNetworkEndPoint client(sockets);
    ASSERT_TRUE(client.connect(FNetworkAddress(sockets, text("127.0.0.1"), port)));
    EXPECT_EQ(client.peerAddress().hostPort(), port);
    FRefT<FNetworkEndPoint> served = listener.accept(5000);
    ASSERT_TRUE(served.get());
    EXPECT_EQ(FNetworkAddress::dottedText(served->peerAddress().address()), "127.0.0.1");
    EXPECT_EQ(served->localAddress().hostPort(), port);

    std::string big(300000, 'x');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>('a' + i % 26);
    std::thread sender(
        [&] { EXPECT_EQ(client.send(big.data(), big.size()), static_cast<int64_t>(big.size())); });
    std::string got;
    served->setReceiveTimeout(5000);
    std::vector<char> buffer(65536);
    while (got.size() < big.size()) {
        const int64_t n = served->receive(buffer.data(), buffer.size());
        if (n <= 0) break;
        got.append(buffer.data(), static_cast<std::size_t>(n));
    }
    sender.join();
    EXPECT_EQ(got, big);

    client.close();
    EXPECT_EQ(served->receive(buffer.data(), buffer.size()), 0);
    EXPECT_TRUE(served->peerClosed());
}

TEST(NetworkEndPointTest, AClosedEndPointFailsAtOnce)
{
    FakeSockets sockets;
    FNetworkEndPoint endPoint(sockets);
    endPoint.close();
    char buffer[4];
    EXPECT_EQ(endPoint.receive(buffer, 4), -1);
    EXPECT_EQ(endPoint.send("x", 1), -1);
    EXPECT_FALSE(endPoint.poll(-1));
    EXPECT_TRUE(sockets.readWaits.empty());
}

} // namespace
