#pragma once

#include "audio/FAudioModule.h"
#include "core/FRef.h"
#include "core/FString.h"

#include <vector>

class FModule;
class FSocketSystem;

// The platform's classes behind the engine modules that meet the system. The
// program's main chooses them (the game's own, or a test's); the module list
// only puts them in their places. A part left empty leaves its module out.
struct ApplicationBackends
{
    // Sockets of the network and debug channel modules.
    FSocketSystem* sockets = nullptr;
    FModule* (*makeGraphics)() = nullptr;
    FAudioModule::OutputFactory audioOutput;
    // The window, its input and the cursor.
    FModule* (*makePlatformWindow)() = nullptr;
    FModule* (*makeGamePads)() = nullptr;
};

// Runs the whole application on the calling (main) thread: makes the
// application object, builds and starts the modules, runs the main loop until
// a quit is requested, then stops everything. `makeGameModule` (when given)
// makes the game module, which is appended after the engine modules. Returns
// 0; failures leave as exceptions once every module is gone.
using GameModuleMaker = FModule* (*)();
int runGameApplication(const ApplicationBackends& backends, FRefT<FString> commandLine,
                       GameModuleMaker makeGameModule = nullptr);

// Creates every engine module in the order that, with their priorities,
// fixes the start and stop order, and appends them to `modules`.
void buildApplicationModules(std::vector<FModule*>& modules, FRefT<FString> commandLine,
                             const ApplicationBackends& backends);
