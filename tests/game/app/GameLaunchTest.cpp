// The real game, started headless beside a kit with the tuning values: it
// launches the game module and, while the intro screen does not exist, ends
// with the factory's report on standard error and a failure status.

#include "engine/core/KernelTestSupport.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/zipwriter/ZipWriter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The exit status once the game has ended within the limit; otherwise the
// game is killed and -1 returned.
int waitForExit(pid_t pid, int limitMs)
{
    int status = 0;
    for (int waited = 0; waited < limitMs; waited += 10) {
        if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        ::usleep(10000);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

TEST(GameLaunchTest, TheFirstScreenThatDoesNotExistYetEndsTheGameWithItsReport)
{
    ScratchFolder scratch;
    ZipWriter kit;
    kit.add("GWTarget", writeTarget("Launch"));
    kit.add("Scripts/params.lua", readFile(std::string(ZIBBO_CONTENT_DIR) + "/Scripts/params.lua"));
    kit.writeTo("Zibbo.zip");

    // Its own single-instance names, so that no other copy takes the command
    // line; headless, so that the report opens no dialog.
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (text.rfind("ZIBBO_INSTANCE=", 0) != 0 && text.rfind("ZIBBO_HEADLESS=", 0) != 0)
            environment.push_back(text);
    }
    environment.push_back("ZIBBO_INSTANCE=game-launch-" + std::to_string(::getpid()));
    environment.push_back("ZIBBO_HEADLESS=1");
    environment.push_back("SDL_VIDEODRIVER=offscreen");
    environment.push_back("SDL_AUDIODRIVER=dummy");
    std::vector<char*> envp;
    for (std::string& text : environment)
        envp.push_back(text.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 2, "stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::string program = ZIBBO_GAME_BINARY;
    char* argv[] = {program.data(), nullptr};
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(spawned, 0);

    const int exitCode = waitForExit(pid, 20000);
    const std::string errors = readFile("stderr.txt");
    EXPECT_EQ(exitCode, 1) << errors;
    EXPECT_NE(errors.find("screen kind 1 (IntroScreen) is not built yet"), std::string::npos) << errors;
}

} // namespace
