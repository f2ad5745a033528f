#pragma once

#include <string>

// Where the running copy of the game can be found by a second copy: the lock
// file whose exclusive lock marks the first copy, and the name of the local
// socket on which it accepts a second copy's command line. Both are per user.
// ZIBBO_INSTANCE adds a suffix to both names so that separate sets of copies
// (parallel tests, for one) do not see each other.
struct FInstanceNames
{
    std::string lockPath;
    // Name in the abstract socket namespace, without its leading zero byte.
    std::string socketName;

    static FInstanceNames fromEnvironment();
};
