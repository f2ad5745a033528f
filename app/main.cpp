// Entry point of the game: the program's arguments become the one command
// line the engine parses, and the application runs on this (main) thread.
#include "PlatformBackends.h"
#include "core/FProcessModule.h"
#include "core/FRef.h"
#include "core/FString.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameApplication.h"
#include "platform/FDurableStoragePosix.h"
#include "platform/FFatalMessageSdl.h"
#include "platform/FOperatingSystemLinux.h"
#include "platform/FSingleInstance.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    FOperatingSystemLinux::install();
    FDurableStoragePosix::install();
    FFatalMessageSdl fatalMessage;
    FFatalMessageBox::install(&fatalMessage);

    int exitCode = 1;
    try {
        const std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + argc);
        FRefT<FString> commandLine =
            makeSharedStringCopy(FString(FProcessModule::joinCommandLine(words).c_str()));
        // Only the first copy runs; a second one hands its command line over.
        exitCode = runSingleInstance(commandLine, [](FRefT<FString> line) {
            runGameApplication(platformBackends(), line, &createZibboUserInterface);
        });
    } catch (...) {
        // Failures were shown when they were raised.
        exitCode = 1;
    }
    FFatalMessageBox::install(nullptr);
    return exitCode;
}
