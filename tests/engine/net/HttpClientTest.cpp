#include "FakeSockets.h"
#include "HttpPeer.h"
#include "NetworkEvents.h"

#include "core/FApplication.h"
#include "core/FRandomService.h"
#include "core/FString.h"
#include "net/FHttpClient.h"
#include "net/FNetworkModule.h"
#include "platform/FSocketPosix.h"

#include <gtest/gtest.h>

namespace {

using Event = NetworkEvents::Event;

FRefT<FString> text(const std::string& utf8)
{
    return makeSharedStringCopy(FString(utf8.c_str()));
}

// Draws 0, 1, 2 ... so that a boundary is known in advance.
class CountingRandom : public FRandomService
{
public:
    explicit CountingRandom(FApplication& application) : FRandomService(application.serviceSlot(k_slotRandom))
    {
    }
    void seed(uint32_t) override {}
    uint32_t range(uint32_t lo, uint32_t hi) override { return lo + m_next++ % (hi - lo + 1); }
    uint32_t next() override { return m_next++; }

private:
    uint32_t m_next = 0;
};

class HttpClientTest : public ::testing::Test
{
protected:
    FApplication m_application;
    NetworkEvents m_events{m_application};
    FSocketPosix& m_sockets = FSocketPosix::instance();
};

TEST_F(HttpClientTest, UrlsSplitIntoHostAndPath)
{
    struct Case
    {
        const char* url;
        const char* host;
        const char* path;
    } const cases[] = {
        {"http://example.test/a/b.txt", "example.test", "/a/b.txt"},
        {"example.test/a", "example.test", "/a"},
        {"HTTP://example.test/a", "HTTP:", "//example.test/a"},
        {"http://example.test", "example.test", "/"},
        {"", "", "/"},
    };
    for (const Case& c : cases) {
        FString host;
        FString path;
        FHttpClient::splitUrl(FString(c.url), host, path);
        EXPECT_EQ(host.toUtf8(), c.host) << c.url;
        EXPECT_EQ(path.toUtf8(), c.path) << c.url;
    }
}

TEST_F(HttpClientTest, GetRequestsCarryTheVersionAndTheHostLine)
{
    struct Case
    {
        int32_t version;
        int32_t port;
        const char* request;
    } const cases[] = {
        {FHttpClient::k_http10, 80, "GET /a/b.txt HTTP/1.0\r\nHost: H\r\n\r\n"},
        {FHttpClient::k_http11, 80, "GET /a/b.txt HTTP/1.1\r\nHost: H\r\n\r\n"},
        {FHttpClient::k_http10, 8080, "GET /a/b.txt HTTP/1.0\r\nHost: H:8080\r\n\r\n"},
        {7, 80, "GET /a/b.txt\r\nHost: H\r\n\r\n"},
    };
    for (const Case& c : cases) {
        FHttpClient client(m_sockets, c.version, c.port);
        EXPECT_EQ(client.getRequestText(FString("H"), FString("/a/b.txt")), c.request);
    }
}

TEST_F(HttpClientTest, GetJobsRunOnTheNetworkThreadOneConnectionEach)
{
    FNetworkModule module(m_sockets);
    module.launch();
    module.run();
    for (int32_t version : {FHttpClient::k_http10, FHttpClient::k_http11}) {
        // The reply comes in small pieces, so the header completes across several reads.
        HttpPeer peer({"HTTP/1.1 200 OK\r\nCont", "ent-Length: 5\r\n", "\r\nhel", "lo"}, true, 5, 2);
        FRefT<FHttpClient> client = module.createHttpClient(version, peer.port());
        for (int round = 0; round < 2; ++round)
            client->getUrl(text("http://127.0.0.1/files/x.txt"));
        const std::vector<Event> events = m_events.waitFor(6);
        const Event once[] = {{"getSent", 0, {}}, {"reply", 0, "hello"}, {"disconnected", 0, {}}};
        EXPECT_EQ(events, (std::vector<Event>{once[0], once[1], once[2], once[0], once[1], once[2]}));
        m_events.take();
        const std::string expected = std::string("GET /files/x.txt ") +
                                     (version == 0 ? "HTTP/1.0" : "HTTP/1.1") +
                                     "\r\nHost: 127.0.0.1:" + std::to_string(peer.port()) + "\r\n\r\n";
        EXPECT_EQ(peer.requests(), (std::vector<std::string>{expected, expected}));
        module.releaseHttpClient(client);
    }
    module.requestStop();
    EXPECT_TRUE(module.waitStopped(5000));
}

struct ReplyCase
{
    const char* name;
    std::vector<std::string> pieces;
    bool closeAfter;
    bool result;
    std::vector<Event> events; // after "postSent"
    int32_t status;
    const char* reason;
};

TEST_F(HttpClientTest, RepliesToAPostAreReadOnTheCallersThread)
{
    const std::string longHeader = "HTTP/1.1 200 OK\r\nX-Filler: " + std::string(1500, 'f') + "\r\n\r\nbody";
    const ReplyCase cases[] = {
        {"200 with length",
         {"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nbody"},
         false,
         true,
         {{"reply", 0, "body"}},
         200,
         "OK"},
        {"200 without length",
         {"HTTP/1.0 200 Fine\r\n\r\nall of", " it"},
         true,
         true,
         {{"reply", 0, "all of it"}},
         200,
         "Fine"},
        {"404",
         {"HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nnah"},
         false,
         false,
         {{"failed", 404, {}}},
         404,
         "Not Found"},
        {"100 Continue first",
         {"HTTP/1.1 100 Continue\r\n\r\n", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"},
         false,
         true,
         {{"reply", 0, "ok"}},
         200,
         "OK"},
        {"long header", {longHeader}, true, false, {{"failed", FHttpClient::k_failBadReply, {}}}, 200, "OK"},
        {"peer closes early",
         {"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nonly this"},
         true,
         false,
         {{"failed", FHttpClient::k_failBadReply, {}}},
         200,
         "OK"},
        {"peer never answers", {}, false, false, {{"failed", FHttpClient::k_failTimeout, {}}}, 200, "OK"},
    };
    for (const ReplyCase& c : cases) {
        HttpPeer peer(c.pieces, c.closeAfter, 2);
        FHttpClient client(m_sockets, FHttpClient::k_http10, peer.port());
        client.setReplyTimeout(300);
        const std::string form = "a=1&b=2";
        ASSERT_TRUE(client.post(text("127.0.0.1"), text("/form"), form.data(),
                                static_cast<uint32_t>(form.size()), "application/x-www-form-urlencoded"))
            << c.name;
        EXPECT_EQ(client.readReplyDefault(), c.result) << c.name;
        std::vector<Event> expected = {{"postSent", 0, {}}};
        expected.insert(expected.end(), c.events.begin(), c.events.end());
        EXPECT_EQ(m_events.take(), expected) << c.name;
        EXPECT_EQ(client.status(), c.status) << c.name;
        EXPECT_EQ(client.reason()->toUtf8(), c.reason) << c.name;
        client.close();
        const std::vector<std::string> requests = peer.requests();
        ASSERT_EQ(requests.size(), 1u) << c.name;
        EXPECT_EQ(requests[0],
                  "POST /form HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(peer.port()) +
                      "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: 7\r\n\r\n" +
                      form)
            << c.name;
    }
}

TEST_F(HttpClientTest, AMultipartPostDeclaresItsBoundary)
{
    CountingRandom random(m_application);
    HttpPeer peer({"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n"});
    FHttpClient client(m_sockets, FHttpClient::k_http10, peer.port());
    const std::string data = "payload";
    ASSERT_TRUE(client.postVariantUrl(text("http://127.0.0.1/upload"), data.data(), 7, "multipart/form-data",
                                      text("end")));
    EXPECT_TRUE(client.readReply(5000));
    const std::string boundary = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
    const std::string body = "--" + boundary + "\r\n\r\npayload\r\n--" + boundary + "--\r\nend";
    const std::vector<std::string> requests = peer.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], "POST /upload HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(peer.port()) +
                               "\r\nContent-Type: multipart/form-data; boundary=" + boundary +
                               "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
}

TEST_F(HttpClientTest, AReplyCompletedInThePassThatSpendsTheBudgetIsNoTimeOut)
{
    FakeSockets sockets;
    sockets.receiveCost = 2000;
    sockets.chunks = {"HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc"};
    FHttpClient client(sockets, FHttpClient::k_http11, 80);
    EXPECT_TRUE(client.readReply(1000));
    EXPECT_EQ(m_events.take(), (std::vector<Event>{{"reply", 0, "abc"}}));
}

TEST_F(HttpClientTest, AFailedConnectionIsReported)
{
    int port = 0;
    {
        loopback::Fd probe(loopback::listenOn(0));
        port = loopback::portOf(probe.get());
    }
    FHttpClient client(m_sockets, FHttpClient::k_http10, port);
    EXPECT_FALSE(client.post(text("127.0.0.1"), text("/"), "x", 1, "text/plain"));
    client.runGet(text("127.0.0.1"), text("/"));
    const Event failed{"failed", FHttpClient::k_failConnectOrSend, {}};
    EXPECT_EQ(m_events.take(), (std::vector<Event>{failed, failed}));
}

} // namespace
