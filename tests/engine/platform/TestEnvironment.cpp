// Every test of this binary runs headless and with instance names of its own,
// so that parallel test processes (and a game running meanwhile) do not meet.
#include "platform/FInstanceNames.h"
#include "platform/FRuntimeFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {
const bool s_environmentSet = [] {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("ZIBBO_HEADLESS", "1", 0);
    const std::string instance = "test-" + std::to_string(getpid());
    setenv("ZIBBO_INSTANCE", instance.c_str(), 1);
    // The platform module settles the runtime folder when it starts; settled
    // here, every test and helper names the same instance lock.
    FRuntimeFolder::prepareOnce();
    return true;
}();

// The lock file of a running copy stays behind on purpose (the lock is what
// counts, not the file); this process's own name is used by no one else, so
// its file is removed at the end.
class InstanceFileCleanup : public testing::Environment
{
public:
    void TearDown() override { std::remove(FInstanceNames::fromEnvironment().lockPath.c_str()); }
};

testing::Environment* const s_cleanup = testing::AddGlobalTestEnvironment(new InstanceFileCleanup);
} // namespace
