// The real game, started headless with "/debug:127.0.0.1", streams to a
// viewer that this test plays on the loopback interface. The game is asked to
// close the way a desktop session closes it (SIGTERM, which the platform layer
// turns into its quit event), and must end cleanly with the stream complete.

#include "DebugStream.h"
#include "Loopback.h"

#include "engine/core/KernelTestSupport.h"
#include "net/FDebugChannelModule.h"
#include "support/GameProcess.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/zipwriter/ZipWriter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Starts the game in the caller's scratch folder, beside the smallest main
// kit it can mount.
pid_t startGame(const std::string& argument)
{
    ZipWriter kit;
    kit.add("GWTarget", writeTarget("Debug Stream"));
    kit.writeTo("Zibbo.zip");
    return gameprocess::start(ZIBBO_GAME_BINARY, {argument}, "net-debug");
}

// True once the game handles SIGTERM itself; before that the signal would
// simply kill it.
bool catchesTerm(pid_t pid, int limitMs)
{
    return gameprocess::catchesSignal(pid, SIGTERM, limitMs);
}

// An orderly end: the quit that SIGTERM asks for (0), or the game's own
// failure report when its run stops at a screen that does not exist yet (1),
// whichever comes first. A crash or a hang is neither.
bool endedInOrder(int exitCode)
{
    return exitCode == 0 || exitCode == 1;
}

TEST(GameDebugStreamTest, AHeadlessRunStreamsItsLogChannelsAndClosesTheStreamCleanly)
{
    ScratchFolder scratch;
    loopback::Fd listener(loopback::listenOn(FDebugChannelModule::k_port));
    ASSERT_GE(listener.get(), 0) << "port 11111 stayed taken";
    const pid_t game = startGame("/debug:127.0.0.1");
    ASSERT_GT(game, 0);

    loopback::Fd viewer(loopback::acceptOne(listener.get(), 20000));
    std::string stream;
    const bool greeted = viewer.get() >= 0 && loopback::readUntil(viewer.get(), stream,
                                                                  std::string("MSG_LOG_TYPE&&\0", 15), 20000);
    // Close the game whatever happened, and only then judge.
    const bool closable = catchesTerm(game, 20000);
    ::kill(game, SIGTERM);
    const bool ended = viewer.get() >= 0 && loopback::readToEnd(viewer.get(), stream, 20000);
    const int exitCode = gameprocess::waitForExit(game, 20000);

    ASSERT_GE(viewer.get(), 0) << "the game never connected";
    EXPECT_TRUE(closable);
    EXPECT_TRUE(greeted);
    EXPECT_TRUE(ended) << "the stream was not closed when the game ended";
    EXPECT_TRUE(endedInOrder(exitCode)) << exitCode;

    const std::vector<std::string> messages = splitMessages(stream);
    const std::vector<std::string> greeting = channelGreeting();
    ASSERT_GE(messages.size(), greeting.size());
    EXPECT_EQ(std::vector<std::string>(messages.begin(), messages.begin() + greeting.size()), greeting);
    // Whatever the run logged afterwards is whole "MSG_LOG&<channel>&<text>&" messages.
    for (std::size_t i = greeting.size(); i < messages.size(); ++i) {
        const std::string& message = messages[i];
        EXPECT_EQ(message.rfind("MSG_LOG&", 0), 0u) << message;
        EXPECT_EQ(message.back(), '&') << message;
    }
    EXPECT_EQ(stream.back(), '\0');
}

TEST(GameDebugStreamTest, AnUpperCaseSwitchOpensNoConnection)
{
    ScratchFolder scratch;
    loopback::Fd listener(loopback::listenOn(FDebugChannelModule::k_port));
    ASSERT_GE(listener.get(), 0) << "port 11111 stayed taken";
    const pid_t game = startGame("/DEBUG:127.0.0.1");
    ASSERT_GT(game, 0);
    // Once the game handles SIGTERM its module list is built: a connection
    // would have been made by then.
    const bool closable = catchesTerm(game, 20000);
    loopback::Fd viewer(loopback::acceptOne(listener.get(), 0));
    ::kill(game, SIGTERM);
    EXPECT_TRUE(closable);
    const int exitCode = gameprocess::waitForExit(game, 20000);
    EXPECT_TRUE(endedInOrder(exitCode)) << exitCode;
    EXPECT_LT(viewer.get(), 0);
}

} // namespace
