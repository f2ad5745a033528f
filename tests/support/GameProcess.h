#pragma once

// Starts the real game binary headless, for the tests that watch a whole run:
// with its own single-instance names (so that no other copy, another test or
// a player, takes the command line instead), the offscreen and dummy SDL
// drivers, and no dialog for a failure report.

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace gameprocess {

// The game's process id, or -1 when it could not be started. `instance`
// names its single-instance lock; `errorFile`, when given, receives its
// standard error. `settings` ("NAME=value") replace the test's own variables
// of those names; "NAME=" alone removes one.
inline pid_t start(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& instance, const std::string& errorFile = std::string(),
                   const std::vector<std::string>& settings = {})
{
    auto replaced = [&settings](const std::string& text) {
        for (const std::string& setting : settings)
            if (text.compare(0, setting.find('=') + 1, setting, 0, setting.find('=') + 1) == 0) return true;
        return false;
    };
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (text.rfind("ZIBBO_INSTANCE=", 0) != 0 && text.rfind("ZIBBO_HEADLESS=", 0) != 0 && !replaced(text))
            environment.push_back(text);
    }
    for (const std::string& setting : settings)
        if (setting.back() != '=') environment.push_back(setting);
    environment.push_back("ZIBBO_INSTANCE=" + instance + "-" + std::to_string(::getpid()));
    environment.push_back("ZIBBO_HEADLESS=1");
    environment.push_back("SDL_VIDEODRIVER=offscreen");
    environment.push_back("SDL_AUDIODRIVER=dummy");
    std::vector<char*> envp;
    for (std::string& text : environment)
        envp.push_back(text.data());
    envp.push_back(nullptr);

    std::string path = program;
    std::vector<std::string> words = arguments;
    std::vector<char*> argv{path.data()};
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (!errorFile.empty())
        ::posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                           0644);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

// True once the game handles `signal` itself (the platform layer turns
// SIGTERM into its quit event); false when it ended or the time ran out
// first.
inline bool catchesSignal(pid_t pid, int signal, int limitMs)
{
    for (int waited = 0; waited < limitMs; waited += 10) {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("State:", 0) == 0 && line.find('Z') != std::string::npos) return false;
            if (line.rfind("SigCgt:", 0) == 0 &&
                ((std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1) != 0)
                return true;
        }
        ::usleep(10000);
    }
    return false;
}

// The exit status once the game has ended within the time limit (128 when a
// signal ended it); otherwise the game is killed and -1 returned.
inline int waitForExit(pid_t pid, int limitMs)
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

} // namespace gameprocess
