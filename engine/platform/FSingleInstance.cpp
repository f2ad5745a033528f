#include "platform/FSingleInstance.h"

#include "platform/FInstanceLock.h"
#include "platform/FInstanceNames.h"
#include "platform/FPlatformSpecificModuleSdl.h"

int runSingleInstance(FRefT<FString> commandLine, const FApplicationRunner& runApplication)
{
    FInstanceLock lock(FInstanceNames::fromEnvironment().lockPath);
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
        try {
            if (FPlatformSpecificModuleSdl::findRunningInstance(commandLine)) return 0;
        } catch (...) {
            return 1;
        }
    }
    return 0;
}
