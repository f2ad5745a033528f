// Plays another copy of the game for the single-instance tests.
//   instance_helper hold-lock        takes the instance lock, prints "locked", waits to be killed
//   instance_helper start ARGS...    starts as the game does with ARGS as its command line;
//                                    ends with 3 when it became the first copy and ran
#include "platform/FInstanceLock.h"
#include "platform/FInstanceNames.h"
#include "platform/FSingleInstance.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {
constexpr int k_ranTheApplication = 3;
}

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "hold-lock") {
        FInstanceLock lock(FInstanceNames::fromEnvironment().lockPath);
        if (lock.tryAcquire() != FInstanceLock::Result::acquired) return 2;
        std::puts("locked");
        std::fflush(stdout);
        for (;;)
            pause();
    }
    if (mode == "start") {
        std::string text;
        for (int i = 2; i < argc; ++i)
            text += (i > 2 ? " " : "") + std::string(argv[i]);
        return runSingleInstance(makeSharedStringCopy(FString(text.c_str())),
                                 [](FRefT<FString>) { std::_Exit(k_ranTheApplication); });
    }
    return 2;
}
