// The real game, started headless beside a kit with the tuning values: it
// launches the game module and, while the intro screen does not exist, ends
// with the factory's report on standard error and a failure status.

#include "engine/core/KernelTestSupport.h"
#include "support/GameProcess.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/zipwriter/ZipWriter.h"

#include <gtest/gtest.h>

#include <csignal>
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

// A kit is replaceable content: tuning values that start with a line taking
// more memory or time than a script may have end the game with a report
// naming the script, also when the player asks it to close meanwhile.
TEST(GameLaunchTest, TuningValuesPastTheirBoundsEndTheGameWithAReport)
{
    const struct
    {
        const char* firstLine;
        const char* report;
    } cases[] = {
        {"string.rep('x', 2^30)",
         "string.rep: a result of 1073741824 bytes is past the script's memory limit"},
        {"string.find(string.rep('a', 400), string.rep('.-', 4)..'b')",
         "the script ran past its budget of instructions"},
        {"local t = {} for i = 1, 1e9 do t[i] = i end", "the script ran past its memory limit of 64 MB"},
    };
    const std::string params = readFile(std::string(ZIBBO_CONTENT_DIR) + "/Scripts/params.lua");
    for (const auto& c : cases) {
        for (const bool terminate : {false, true}) {
            SCOPED_TRACE(std::string(c.firstLine) + (terminate ? " (SIGTERM)" : ""));
            ScratchFolder scratch;
            ZipWriter kit;
            kit.add("GWTarget", writeTarget("Launch"));
            kit.add("Scripts/params.lua", std::string(c.firstLine) + "\n" + params);
            kit.writeTo("Zibbo.zip");

            const pid_t pid = gameprocess::start(ZIBBO_GAME_BINARY, {}, "game-bounds", "stderr.txt");
            ASSERT_GT(pid, 0);
            if (terminate && gameprocess::catchesSignal(pid, SIGTERM, 20000)) {
                ::kill(pid, SIGTERM);
            }
            const int exitCode = gameprocess::waitForExit(pid, 20000);
            const std::string errors = readFile("stderr.txt");
            if (terminate) {
                // Ended before or after its report, never by the signal's default.
                EXPECT_TRUE(exitCode == 0 || exitCode == 1) << exitCode << errors;
                continue;
            }
            EXPECT_EQ(exitCode, 1) << errors;
            EXPECT_NE(errors.find("Error while executing Scripts/params.lua"), std::string::npos) << errors;
            EXPECT_NE(errors.find(c.report), std::string::npos) << errors;
        }
    }
}

} // namespace
