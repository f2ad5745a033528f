#include "engine/core/KernelTestSupport.h"

#include "core/FApplication.h"
#include "core/FClockService.h"
#include "core/FLogListener.h"
#include "core/FLogStream.h"
#include "core/FTimedLogStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

class RecordingListener : public FLogListener
{
public:
    using FLogListener::FLogListener;
    void logLine(const char* channel, const char* text) override { lines.emplace_back(channel, text); }
    std::vector<std::pair<std::string, std::string>> lines;
};

class FakeClock : public FClockService
{
public:
    using FClockService::FClockService;
    std::uint32_t now() override { return time; }
    std::int64_t wallTime() override { return 0; }
    int adjust(int delta) override { return delta; }
    std::uint32_t time = 0;
};

std::string readFile(const std::string& name)
{
    std::ifstream file(name, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

// An application with a listener, run in a scratch folder, with the process
// log captured.
class LogFixture : public testing::Test
{
protected:
    LogFixture() : m_previousLog(std::cerr.rdbuf(m_processLog.rdbuf())) {}
    ~LogFixture() override { std::cerr.rdbuf(m_previousLog); }

    std::string processLog() const { return m_processLog.str(); }
    static std::string here(int line)
    {
        return "tests/engine/core/FLogStreamTest (" + std::to_string(line) + ") : ";
    }

    ScratchFolder m_folder;
    FApplication m_application;
    RecordingListener m_listener{m_application.serviceSlot(k_slotDebugChannel)};

private:
    std::stringstream m_processLog;
    std::streambuf* m_previousLog;
};

TEST_F(LogFixture, LineWithLocationGoesToEverySinkWithTimeStampOnlyInTheProcessLog)
{
    FakeClock clock(m_application.serviceSlot(k_slotClock));
    clock.time = 1234;
    int line = __LINE__ + 1;
    FLogStream(ZIBBO_HERE, "PANEL", false) << "caf" << FString(u"\x00E9") << ' ' << 42;

    ASSERT_EQ(m_listener.lines.size(), 1u);
    EXPECT_EQ(m_listener.lines[0].first, "PANEL");
    EXPECT_EQ(m_listener.lines[0].second, here(line) + "caf- 42");
    EXPECT_EQ(processLog(), here(line) + "caf\xC3\xA9 42 [ @ 1234]\n");
    EXPECT_FALSE(std::filesystem::exists("PANEL.log"));
}

TEST_F(LogFixture, ListenerGetsAsciiProcessLogKeepsTheLetters)
{
    FLogStream("STORY", false) << FString(u"\x00E9t\x00E9 \x20AC");
    ASSERT_EQ(m_listener.lines.size(), 1u);
    EXPECT_EQ(m_listener.lines[0].second, "-t- -");
    EXPECT_EQ(processLog(), "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\n");
}

TEST_F(LogFixture, WithoutClockTheTimeStampIsEmpty)
{
    int line = __LINE__ + 1;
    FLogStream(ZIBBO_HERE, "TEST", false) << "x";
    EXPECT_EQ(processLog(), here(line) + "x [ @ ]\n");
}

TEST_F(LogFixture, LineWithoutLocationHasNoTimeStamp)
{
    FakeClock clock(m_application.serviceSlot(k_slotClock));
    clock.time = 5;
    FLogStream("Release", false) << "plain";
    EXPECT_EQ(processLog(), "plain\n");
    ASSERT_EQ(m_listener.lines.size(), 1u);
    EXPECT_EQ(m_listener.lines[0].second, "plain");
}

TEST_F(LogFixture, FileSinkAppendsAsciiLinesToTheChannelFile)
{
    {
        std::ofstream earlier("MODEL.log", std::ios::binary);
        earlier << "earlier\n";
    }
    FakeClock clock(m_application.serviceSlot(k_slotClock));
    clock.time = 7;
    FLogStream("MODEL", true) << "one " << FString(u"\x00E9\x00E9");
    int line = __LINE__ + 1;
    FLogStream(ZIBBO_HERE, "MODEL", true) << "two";
    EXPECT_EQ(readFile("MODEL.log"), "earlier\none --\n" + here(line) + "two [ @ 7]\n");
    EXPECT_FALSE(std::filesystem::exists("PANEL.log"));
}

TEST_F(LogFixture, SuppressedLineIsDroppedEverywhere)
{
    {
        FLogStream line("PANEL", true);
        line << "never";
        line.suppress();
    }
    EXPECT_TRUE(m_listener.lines.empty());
    EXPECT_EQ(processLog(), "");
    EXPECT_FALSE(std::filesystem::exists("PANEL.log"));
}

TEST_F(LogFixture, LogSiteRunsOnlyForEnabledChannels)
{
    int evaluated = 0;
    auto mark = [&evaluated] { return ++evaluated; };
    ZIBBO_LOG(k_logPanel, false) << "on " << mark();
    ZIBBO_LOG(k_logWarn, false) << "off " << mark();
    ZIBBO_LOG_PLAIN(k_logRelease, false) << "on " << mark();
    ZIBBO_LOG_PLAIN(k_logNetworkHttp, false) << "off " << mark();
    EXPECT_EQ(evaluated, 2);
    ASSERT_EQ(m_listener.lines.size(), 2u);
    EXPECT_EQ(m_listener.lines[0].first, "PANEL");
    EXPECT_EQ(m_listener.lines[1], std::make_pair(std::string("Release"), std::string("on 2")));
}

TEST_F(LogFixture, TimedLineAddsTheElapsedMilliseconds)
{
    FakeClock clock(m_application.serviceSlot(k_slotClock));
    clock.time = 0xFFFFFFF0u; // the reading wraps past 0 during the operation
    int line = __LINE__ + 2;
    {
        FTimedLogStream timed(ZIBBO_HERE);
        timed << "loaded";
        clock.time = 0x10;
    }
    ASSERT_EQ(m_listener.lines.size(), 1u);
    EXPECT_EQ(m_listener.lines[0].first, "Timer");
    EXPECT_EQ(m_listener.lines[0].second, here(line) + "loaded - Operation time: 32ms");
    EXPECT_EQ(processLog(), here(line) + "loaded - Operation time: 32ms [ @ 16]\n");
    EXPECT_FALSE(std::filesystem::exists("Timer.log")); // "DiskLoad" is off
}

TEST_F(LogFixture, LinesFromManyThreadsArriveWhole)
{
    constexpr int k_threads = 4;
    constexpr int k_lines = 50;
    std::vector<std::thread> threads;
    for (int t = 0; t < k_threads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < k_lines; ++i) {
                FLogStream("SPRITE", true) << "thread " << t << " line " << i;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    ASSERT_EQ(m_listener.lines.size(), static_cast<std::size_t>(k_threads * k_lines));
    std::set<std::string> seen;
    for (const auto& entry : m_listener.lines) {
        seen.insert(entry.second);
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(k_threads * k_lines));
    EXPECT_TRUE(seen.count("thread 3 line 49"));
    std::string file = readFile("SPRITE.log");
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), k_threads * k_lines);
}

TEST(FLogStreamWithoutApplication, LineStillReachesTheProcessLog)
{
    ASSERT_EQ(FApplication::instance(), nullptr);
    std::stringstream captured;
    std::streambuf* previous = std::cerr.rdbuf(captured.rdbuf());
    FLogStream("PANEL", false) << "early";
    std::cerr.rdbuf(previous);
    EXPECT_EQ(captured.str(), "early\n");
}

TEST(FLogChannelTest, OnlyTheBuiltInChannelsAreEnabled)
{
    std::vector<std::string> names;
    std::set<std::string> enabled;
    for (const FLogChannel* channel = FLogChannel::first(); channel != nullptr; channel = channel->next) {
        names.emplace_back(channel->name);
        if (channel->isOn()) {
            enabled.insert(channel->name);
        }
        EXPECT_EQ(channel->parameter, 0) << channel->name;
    }
    EXPECT_EQ(enabled, (std::set<std::string>{"PANEL", "SPRITE", "STORY", "TEST", "MODEL", "Release"}));
    ASSERT_EQ(names.size(), 34u);
    // Listed from the last registered channel back to the first.
    EXPECT_EQ(names.front(), "ShowNumTracks");
    EXPECT_EQ(names[1], "Jpeg");
    EXPECT_EQ(names.back(), "PANEL");
}

TEST(FLogChannelTest, LookUpAndTheModelValues)
{
    EXPECT_EQ(FLogChannel::find("Assert"), &k_logAssert);
    EXPECT_EQ(FLogChannel::find("NetworkRaw")->parent, &k_logNetwork);
    EXPECT_EQ(FLogChannel::find("Timer"), nullptr);
    EXPECT_EQ(k_logModel.width, 800);
    EXPECT_EQ(k_logModel.height, 600);
    EXPECT_FLOAT_EQ(k_logModel.fieldOfView, 1.0471976f);
}

struct SubChannelCase
{
    int parentEnabled;
    int childEnabled;
    bool runs;
};

class SubChannel : public testing::TestWithParam<SubChannelCase>
{
};

TEST_P(SubChannel, RunsOnlyWhenParentAndChildAreOn)
{
    const FLogChannel parent{nullptr, "Parent", GetParam().parentEnabled, 0, nullptr};
    const FLogChannel child{&parent, "Child", GetParam().childEnabled, 0, &parent};
    EXPECT_EQ(child.isOn(), GetParam().runs);
    bool ran = false;
    std::stringstream captured;
    std::streambuf* previous = std::cerr.rdbuf(captured.rdbuf());
    ZIBBO_LOG_PLAIN(child, false) << (ran = true);
    std::cerr.rdbuf(previous);
    EXPECT_EQ(ran, GetParam().runs);
}

INSTANTIATE_TEST_SUITE_P(Kernel, SubChannel,
                         testing::Values(SubChannelCase{1, 1, true}, SubChannelCase{1, 0, false},
                                         SubChannelCase{0, 1, false}, SubChannelCase{0, 0, false}));

} // namespace
