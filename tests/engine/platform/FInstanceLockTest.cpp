#include "platform/FInstanceLock.h"

#include "PlatformTestSupport.h"
#include "platform/FInstanceNames.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {
std::string tempLockPath(const char* name)
{
    return (std::filesystem::temp_directory_path() /
            ("zibbo-test-" + std::to_string(getpid()) + "-" + name + ".lock"))
        .string();
}

} // namespace

TEST(FInstanceLock, SecondHolderIsRefusedUntilRelease)
{
    const std::string path = tempLockPath("second");
    FInstanceLock first(path);
    FInstanceLock second(path);
    ASSERT_EQ(first.tryAcquire(), FInstanceLock::Result::acquired);
    EXPECT_EQ(second.tryAcquire(), FInstanceLock::Result::heldElsewhere);
    EXPECT_FALSE(second.isHeld());
    first.release();
    EXPECT_EQ(second.tryAcquire(), FInstanceLock::Result::acquired);
    second.release();
    std::filesystem::remove(path);
}

TEST(FInstanceLock, KilledHolderLeavesNoStaleLock)
{
    const std::string path = tempLockPath("killed");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FInstanceLock lock(path);
        const char ok = lock.tryAcquire() == FInstanceLock::Result::acquired ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        for (;;)
            pause();
    }
    close(ready[1]);
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    close(ready[0]);
    ASSERT_EQ(ok, 'y');

    FInstanceLock lock(path);
    EXPECT_EQ(lock.tryAcquire(), FInstanceLock::Result::heldElsewhere);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(lock.tryAcquire(), FInstanceLock::Result::acquired);
    lock.release();
    std::filesystem::remove(path);
}

TEST(FInstanceLock, UnopenableFileIsUnavailable)
{
    FInstanceLock lock("/nonexistent-folder-of-zibbo/x.lock");
    EXPECT_EQ(lock.tryAcquire(), FInstanceLock::Result::unavailable);
    EXPECT_FALSE(lock.isHeld());
}

TEST(FInstanceNames, FollowRuntimeFolderUserAndInstance)
{
    const std::string uid = std::to_string(getuid());
    {
        EnvGuard runtime("XDG_RUNTIME_DIR", "/run/user/77");
        EnvGuard instance("ZIBBO_INSTANCE", nullptr);
        const FInstanceNames names = FInstanceNames::fromEnvironment();
        EXPECT_EQ(names.lockPath, "/run/user/77/zibbo.lock");
        EXPECT_EQ(names.socketName, "Zibbo-" + uid);
    }
    {
        EnvGuard runtime("XDG_RUNTIME_DIR", nullptr);
        EnvGuard instance("ZIBBO_INSTANCE", "t/1");
        const FInstanceNames names = FInstanceNames::fromEnvironment();
        EXPECT_EQ(names.lockPath, "/tmp/zibbo-t_1-" + uid + ".lock");
        EXPECT_EQ(names.socketName, "Zibbo-t_1-" + uid);
    }
}
