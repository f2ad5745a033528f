// Every test of this binary runs headless and with instance names of its own,
// so that parallel test processes (and a game running meanwhile) do not meet.
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {
const bool s_environmentSet = [] {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("ZIBBO_HEADLESS", "1", 0);
    const std::string instance = "test-" + std::to_string(getpid());
    setenv("ZIBBO_INSTANCE", instance.c_str(), 1);
    return true;
}();
}
