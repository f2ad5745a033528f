#include "platform/FSingleInstance.h"

#include "platform/FInstanceLock.h"
#include "platform/FInstanceNames.h"
#include "platform/FOperatingSystemLinux.h"
#include "platform/FPlatformSpecificModuleSdl.h"

#include <cstdio>
#include <string>

int runSingleInstance(FRefT<FString> commandLine, const FApplicationRunner& runApplication,
                      const FUnixSocket::PeerUserLookup& peerUser)
{
    FInstanceLock lock(FInstanceNames::fromEnvironment().lockPath);
    std::string failure;
    for (int attempt = 0; attempt < k_instanceAttempts; ++attempt) {
        // A lock that cannot be taken for another reason than a running copy
        // does not keep the game from starting.
        if (lock.tryAcquire() != FInstanceLock::Result::heldElsewhere) {
            try {
                runApplication(commandLine);
            } catch (...) {
                lock.release();
                return 1;
            }
            lock.release();
            return 0;
        }
        bool hopeless = false;
        try {
            if (FPlatformSpecificModuleSdl::findRunningInstance(commandLine, failure, hopeless, peerUser)) {
                // Without a window nothing shows that the running copy took it.
                if (FOperatingSystemLinux::variable("ZIBBO_HEADLESS") == "1")
                    std::fprintf(stderr,
                                 "The command line was handed over to the copy of the game that runs\n");
                return 0;
            }
        } catch (...) {
            return 1;
        }
        if (hopeless) break;
    }
    std::fprintf(stderr,
                 "Another copy of the game is running, but the command line could not be handed to it: %s\n",
                 failure.c_str());
    return k_handOverFailedExit;
}
