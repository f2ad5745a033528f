#pragma once

#include "core/FRef.h"
#include "core/FString.h"

#include <vector>

class FModule;

// Runs the whole application on the calling (main) thread: makes the
// application object, builds and starts the modules, runs the main loop until
// a quit is requested, then stops everything. `makeGameModule` (when given)
// makes the game module, which is appended after the engine modules. Returns
// 0; failures leave as exceptions once every module is gone.
using GameModuleMaker = FModule* (*)();
int runGameApplication(FRefT<FString> commandLine, GameModuleMaker makeGameModule = nullptr);

// Creates every engine module in the order that, with their priorities,
// fixes the start and stop order, and appends them to `modules`.
void buildApplicationModules(std::vector<FModule*>& modules, FRefT<FString> commandLine);
