#include "FakeSockets.h"
#include "NetworkEvents.h"

#include "core/FApplication.h"
#include "net/FHttpClient.h"
#include "net/FNetworkClientConnector.h"
#include "net/FNetworkEndPoint.h"
#include "net/FNetworkModule.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

bool eventually(const std::function<bool()>& condition)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class NetworkModuleTest : public ::testing::Test
{
protected:
    void start()
    {
        m_module->launch();
        m_module->run();
    }
    void stop()
    {
        m_module->requestStop();
        ASSERT_TRUE(m_module->waitStopped(5000));
    }

    FApplication m_application;
    NetworkEvents m_events{m_application};
    FakeSockets m_sockets;
    std::unique_ptr<FNetworkModule> m_module = std::make_unique<FNetworkModule>(m_sockets);
};

TEST_F(NetworkModuleTest, ObjectsAreRegisteredUntilReleasedOrUnregistered)
{
    auto* service = static_cast<FNetworkService*>(m_application.service(k_slotNetwork));
    ASSERT_NE(service, nullptr);
    start();
    FRefT<FHttpClient> client = service->createHttpClient(FHttpClient::k_http11, 8080);
    FRefT<FNetworkClientConnector> connector = service->createClientConnector();
    FRefT<FNetworkEndPoint> endPoint = service->createEndPoint();
    ASSERT_TRUE(client.get() && connector.get() && endPoint.get());
    EXPECT_EQ(client->port(), 8080);
    EXPECT_EQ(m_module->registeredCount(), 3u);

    service->releaseHttpClient(client);
    EXPECT_FALSE(m_module->isRegistered(client.get()));
    // A client the module never made is only traced.
    FRefT<FHttpClient> stranger = makeRef(new FHttpClient(m_sockets, 0, 80));
    service->releaseHttpClient(stranger);
    EXPECT_EQ(m_module->registeredCount(), 2u);

    service->postUnregister(connector);
    EXPECT_TRUE(eventually([&] { return !m_module->isRegistered(connector.get()); }));
    EXPECT_TRUE(m_module->isRegistered(endPoint.get()));
    stop();
}

TEST_F(NetworkModuleTest, TheModuleClosesWhatIsStillRegisteredAndHandlesStayValid)
{
    FRefT<FNetworkEndPoint> endPoint = m_module->createEndPoint();
    FRefT<FHttpClient> client = m_module->createHttpClient(0, 80);
    ASSERT_TRUE(endPoint->isOpen());
    ASSERT_TRUE(client->isReady());
    m_module.reset();
    EXPECT_EQ(m_application.service(k_slotNetwork), nullptr);
    EXPECT_FALSE(endPoint->isOpen());
    EXPECT_FALSE(client->isReady());
}

TEST_F(NetworkModuleTest, AGetOfAClientTheModuleDoesNotKnowFails)
{
    FHttpClient stranger(m_sockets, 0, 80);
    stranger.get(makeSharedStringCopy(FString("127.0.0.1")), makeSharedStringCopy(FString("/")));
    EXPECT_EQ(m_events.take(),
              (std::vector<NetworkEvents::Event>{{"failed", FHttpClient::k_failConnectOrSend, {}}}));
}

TEST_F(NetworkModuleTest, CreatingReleasingAndUnregisteringOnManyThreadsAtOnce)
{
    start();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < 200; ++i) {
                if ((i + t) % 2 == 0) {
                    m_module->releaseHttpClient(m_module->createHttpClient(0, 80));
                } else {
                    m_module->postUnregister(m_module->createClientConnector());
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_TRUE(eventually([&] { return m_module->registeredCount() == 0; }));
    stop();
}

} // namespace
