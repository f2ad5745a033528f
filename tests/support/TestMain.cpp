// Main of every test binary: tests run headless whichever way they are started
// (ctest, the binary by hand, a debugger), so a failed check never opens a
// dialog and SDL never needs a display or a sound device. The engine meets the
// operating system and its durable files as the game does.
#include "platform/FDurableStoragePosix.h"
#include "platform/FOperatingSystemLinux.h"

#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    FOperatingSystemLinux::install();
    FDurableStoragePosix::install();
    setenv("ZIBBO_HEADLESS", "1", 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
