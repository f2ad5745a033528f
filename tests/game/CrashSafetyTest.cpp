// Saves interrupted by a kill or a full disk: the next start must find the
// previous save or the new one, never a pair that fails its check.
#include "game/core/GlobalSettings.h"
#include "game/core/ProfileManager.h"

#include "SaveFolder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>

namespace {

using CrashSafetyTest = SaveFolderTest;

// The name of slot 0's profile in a fresh start, or "<failed>" when the file
// did not load.
std::string loadedName()
{
    SaveManager manager;
    manager.attachDefaultFileSystem();
    PlayerProfile profile(FString("<>"));
    const FRefT<FInStream> stream = manager.loadData(ProfileManager::fileNameOf(0));
    if (waitForRefTarget(stream) == nullptr || !profile.load(stream)) return "<failed>";
    return profile.name().toUtf8();
}

// Saves slot 0 over and over with the names first+1, first+2, ... and
// reports each completed save on `fd`; never returns.
[[noreturn]] void saveLoop(int fd, long first)
{
    SaveManager manager;
    manager.attachDefaultFileSystem();
    ProfileManager profiles(manager);
    // Ready: the kill timer starts with the first save.
    if (write(fd, &first, sizeof first) != static_cast<ssize_t>(sizeof first)) _exit(4);
    for (long n = first + 1;; ++n) {
        profiles.getProfile(0)->setName(FString(std::to_string(n).c_str()));
        if (!profiles.saveProfile(0)) _exit(3);
        if (write(fd, &n, sizeof n) != static_cast<ssize_t>(sizeof n)) _exit(4);
    }
}

TEST_F(CrashSafetyTest, AKilledSaveLeavesThePreviousOrTheNewProfile)
{
    {
        SaveManager manager;
        manager.attachDefaultFileSystem();
        ProfileManager profiles(manager);
        profiles.getProfile(0)->setName(FString("0"));
        ASSERT_TRUE(profiles.saveProfile(0));
    }
    std::mt19937 random(20261210);
    long saved = 0;
    long saveMicros = 5000; // until measured
    int progressed = 0;
    const int rounds = 200;
    for (int round = 0; round < rounds; ++round) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeFds[0]);
            saveLoop(pipeFds[1], saved);
        }
        close(pipeFds[1]);
        long completed = saved;
        ASSERT_EQ(read(pipeFds[0], &completed, sizeof completed), static_cast<ssize_t>(sizeof completed));
        // Kill after 0 or 1 completed saves, at a random point of the next one:
        // the wait is drawn from the time a save has been taking, so the kills
        // spread over all its steps however fast the disk is.
        const int wholeSaves = static_cast<int>(random() % 2);
        auto last = std::chrono::steady_clock::now();
        for (int i = 0; i < wholeSaves; ++i) {
            ASSERT_EQ(read(pipeFds[0], &completed, sizeof completed), static_cast<ssize_t>(sizeof completed));
            const auto now = std::chrono::steady_clock::now();
            saveMicros = std::chrono::duration_cast<std::chrono::microseconds>(now - last).count();
            last = now;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % std::max<long>(saveMicros, 1)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the save loop ended by itself: " << WEXITSTATUS(status);
        for (long n = 0; read(pipeFds[0], &n, sizeof n) == static_cast<ssize_t>(sizeof n);)
            completed = n;
        close(pipeFds[0]);

        // The last completed save, or the one under way when the kill came.
        const std::string name = loadedName();
        ASSERT_NE(name, "<failed>") << "round " << round;
        const long found = std::stol(name);
        ASSERT_GE(found, completed) << "round " << round;
        ASSERT_LE(found, completed + 1) << "round " << round;
        progressed += found > saved ? 1 : 0;
        saved = found;
    }
    // Rounds that waited for whole saves moved the profile on.
    EXPECT_GT(progressed, 0);
}

// Runs `body` in a child whose files may not grow past `limit` bytes and
// answers its exit code.
template <class Body> int withFileLimit(rlim_t limit, Body body)
{
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of killing
        const rlimit small{limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &small) != 0) _exit(90);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

TEST_F(CrashSafetyTest, AFullDiskReportsFailureAndKeepsThePreviousSave)
{
    {
        SaveManager manager;
        manager.attachDefaultFileSystem();
        GlobalSettings settings(manager);
        ASSERT_TRUE(settings.load());
        settings.setLastProfile(FString("Ann"));
        ProfileManager profiles(manager);
        ASSERT_TRUE(profiles.createInitialFiles());
        ASSERT_TRUE(profiles.addProfile(FString("Ann"), 0, 0));
    }
    // Room for a side file, not for a profile or the settings.
    const int result = withFileLimit(64, [] {
        SaveManager manager;
        manager.attachDefaultFileSystem();
        ProfileManager profiles(manager);
        if (!profiles.createInitialFiles()) return 10;
        profiles.getProfile(0)->setName(FString("Bo"));
        if (profiles.saveProfile(0)) return 11;
        if (!profiles.getProfile(0)->isChanged()) return 12;
        GlobalSettings settings(manager);
        if (!settings.load()) return 13;
        bool saved = true;
        settings.setLastProfile(FString("Bo"));
        saved = settings.save();
        return saved ? 14 : 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(loadedName(), "Ann");
    SaveManager manager;
    manager.attachDefaultFileSystem();
    GlobalSettings settings(manager);
    EXPECT_TRUE(settings.load());
    EXPECT_EQ(settings.lastProfile(), FString("Ann"));
    for (const char* leftover : {"Pdl_0.p.tmp", "Pdl_0.p.crc.tmp", "Pdl_0.p.crc.new", "globalsDL.dat.tmp"})
        EXPECT_FALSE(exists(leftover)) << leftover;
}

} // namespace
