#include "DebugStream.h"
#include "FakeSockets.h"
#include "Loopback.h"

#include "core/FApplication.h"
#include "core/FLogStream.h"
#include "net/FDebugChannelModule.h"
#include "platform/FSocketPosix.h"

#include <gtest/gtest.h>

#include <future>
#include <iostream>
#include <sstream>

namespace {

FRefT<FString> line(const char* utf8)
{
    return makeSharedStringCopy(FString(utf8));
}

// Keeps what the process log (standard error) gets during a test.
class CapturedErrors
{
public:
    CapturedErrors() : m_previous(std::cerr.rdbuf(m_text.rdbuf())) {}
    ~CapturedErrors() { std::cerr.rdbuf(m_previous); }
    std::string text() const { return m_text.str(); }

private:
    std::ostringstream m_text;
    std::streambuf* m_previous;
};

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(DebugChannelTest, TheHostComesFromAFirstArgumentWrittenExactlySo)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/debug:127.0.0.1", "127.0.0.1"},
        {"/debug:viewer /window:1", "viewer"},
        {"/debug:\"far host\" x", "far host"},
        {"/DEBUG:viewer", ""},
        {"/debug:", ""},
        {"x /debug:viewer", ""},
        {"", ""},
    };
    for (const auto& [commandLine, host] : cases)
        EXPECT_EQ(FDebugChannelModule::hostFromCommandLine(FString(commandLine)).toUtf8(), host)
            << commandLine;
}

TEST(DebugChannelTest, MessagesAreFieldsEachEndedByAnAmpersandThenAZeroByte)
{
    using namespace std::string_literals;
    EXPECT_EQ(FDebugChannelModule::composeMessage("MSG_CLEAR_WIDGETS", {}), "MSG_CLEAR_WIDGETS&\0"s);
    EXPECT_EQ(FDebugChannelModule::composeMessage("MSG_LOG", {"Release", "text"}),
              "MSG_LOG&Release&text&\0"s);
    EXPECT_EQ(FDebugChannelModule::composeMessage("MSG_LOG_TYPE", {""}), "MSG_LOG_TYPE&&\0"s);
    int a = 0;
    int b = 0;
    EXPECT_NE(FDebugChannelModule::objectText(&a), FDebugChannelModule::objectText(&b));
    EXPECT_EQ(FDebugChannelModule::objectText(&a).substr(0, 2), "0x");
}

TEST(DebugChannelTest, WithoutAUsableArgumentThePublishedChannelSendsNothing)
{
    for (const char* commandLine : {"", "/DEBUG:127.0.0.1", "/debug:nowhere", "/window:1"}) {
        FApplication application;
        FakeSockets sockets;
        {
            FDebugChannelModule module(sockets, line(commandLine));
            auto* channel = static_cast<FDebugChannelService*>(application.service(k_slotDebugChannel));
            ASSERT_EQ(channel, &module.service());
            EXPECT_FALSE(module.isConnected());
            channel->logLine("Release", "text");
            channel->assetNew(&module);
            channel->clearWidgets();
        }
        EXPECT_EQ(application.service(k_slotDebugChannel), nullptr);
        EXPECT_EQ(sockets.connects, 0) << commandLine;
        EXPECT_EQ(sockets.sendCalls, 0) << commandLine;
    }
}

TEST(DebugChannelTest, ALoopbackViewerGetsTheChannelsTheLogAndTheWidgetAndAssetEvents)
{
    loopback::Fd listener(loopback::listenOn(FDebugChannelModule::k_port));
    ASSERT_GE(listener.get(), 0) << "port 11111 stayed taken";
    FApplication application;
    std::string stream;
    {
        auto module =
            std::make_unique<FDebugChannelModule>(FSocketPosix::instance(), line("/debug:127.0.0.1"));
        ASSERT_TRUE(module->isConnected());
        loopback::Fd viewer(loopback::acceptOne(listener.get(), 5000));
        ASSERT_GE(viewer.get(), 0);
        {
            CapturedErrors errors;
            ZIBBO_LOG_PLAIN(k_logRelease, false) << FString(u"caf\u00e9 au lait");
        }
        FDebugChannelService& channel = module->service();
        const int parent = 0;
        const int widget = 0;
        const int asset = 0;
        const std::string p = FDebugChannelModule::objectText(&parent);
        const std::string w = FDebugChannelModule::objectText(&widget);
        const std::string a = FDebugChannelModule::objectText(&asset);
        channel.clearWidgets();
        channel.addWidget(&parent, &widget, "FButton 10,20");
        channel.reparentWidget(&widget, &parent);
        channel.assetNew(&asset);
        channel.assetName(&asset);
        channel.assetType(&asset);
        channel.assetState(&asset, 3);
        channel.assetDelete(&asset);
        channel.framesPerSecond(60);
        channel.ramAllocation(&asset, 4096);
        channel.ramDeallocation(&asset);
        channel.vramAllocation(1, 2, 3);
        channel.vramDeallocation(4);
        module.reset();
        ASSERT_TRUE(loopback::readToEnd(viewer.get(), stream, 5000));

        std::vector<std::string> expected = channelGreeting();
        ASSERT_EQ(expected.front(), "MSG_LOG_TYPE&ShowNumTracks&");
        ASSERT_EQ(expected[expected.size() - 2], "MSG_LOG_TYPE&PANEL&");
        const std::vector<std::string> events = {
            "MSG_LOG&Release&caf- au lait&",
            "MSG_CLEAR_WIDGETS&",
            "MSG_ADD_WIDGET&" + p + "&" + w + "&FButton 10,20&",
            "MSG_REPARENT_WIDGET&" + w + "&" + p + "&",
            "MSG_ASSET_NEW&" + a + "&",
            "MSG_ASSET_NAME&" + a + "&" + a + "&",
            "MSG_ASSET_TYPE&" + a + "&FAsset&",
            "MSG_ASSET_STATE&" + a + "&3&",
            "MSG_ASSET_DELETE&" + a + "&",
            "MSG_FPS&60&",
            "MSG_RAM_ALLOCATION&" + a + "&4096&",
            "MSG_RAM_DEALLOCATION&" + a + "&",
            "MSG_VRAM_ALLOCATION&1&2&3&",
            "MSG_VRAM_DEALLOCATION&4&",
        };
        expected.insert(expected.end(), events.begin(), events.end());
        EXPECT_EQ(splitMessages(stream), expected);
    }
}

TEST(DebugChannelTest, AViewerThatStopsReadingDoesNotHoldUpLogging)
{
    loopback::Fd listener(loopback::listenOn(FDebugChannelModule::k_port, 20000, 4096));
    ASSERT_GE(listener.get(), 0) << "port 11111 stayed taken";
    FApplication application;
    FDebugChannelModule module(FSocketPosix::instance(), line("/debug:127.0.0.1"));
    ASSERT_TRUE(module.isConnected());
    loopback::Fd viewer(loopback::acceptOne(listener.get(), 5000));
    ASSERT_GE(viewer.get(), 0);

    // Far more than the connection can buffer; the viewer never reads.
    constexpr int k_lines = 2000;
    const std::string text(8192, 'L');
    CapturedErrors errors;
    auto logging = std::async(std::launch::async, [&] {
        for (int i = 0; i < k_lines; ++i)
            ZIBBO_LOG_PLAIN(k_logRelease, false) << text.c_str();
    });
    const bool finished = logging.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    if (!finished) viewer.reset(); // a send blocked for good: end it so that the test can end
    logging.wait();
    ASSERT_TRUE(finished) << "logging froze behind the stalled viewer";
    EXPECT_FALSE(module.isConnected());
    const std::string log = errors.text();
    EXPECT_EQ(occurrences(log, "Debug channel closed: the viewer stopped reading."), 1u);
    EXPECT_EQ(occurrences(log, text), static_cast<std::size_t>(k_lines));
}

} // namespace
