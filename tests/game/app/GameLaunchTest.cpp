// The real game, started headless beside a kit with the tuning values: it
// launches the game module and, while the intro screen does not exist, ends
// with the factory's report on standard error and a failure status.

#include "engine/core/KernelTestSupport.h"
#include "support/GameProcess.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/zipwriter/ZipWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(GameLaunchTest, TheFirstScreenThatDoesNotExistYetEndsTheGameWithItsReport)
{
    ScratchFolder scratch;
    ZipWriter kit;
    kit.add("GWTarget", writeTarget("Launch"));
    kit.add("Scripts/params.lua", readFile(std::string(ZIBBO_CONTENT_DIR) + "/Scripts/params.lua"));
    kit.writeTo("Zibbo.zip");

    const pid_t pid = gameprocess::start(ZIBBO_GAME_BINARY, {}, "game-launch", "stderr.txt");
    ASSERT_GT(pid, 0);

    const int exitCode = gameprocess::waitForExit(pid, 20000);
    const std::string errors = readFile("stderr.txt");
    EXPECT_EQ(exitCode, 1) << errors;
    EXPECT_NE(errors.find("screen kind 1 (IntroScreen) is not built yet"), std::string::npos) << errors;
}

} // namespace
