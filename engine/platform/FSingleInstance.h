#pragma once

#include "core/FString.h"

#include <functional>

// Runs the application unless another copy of the game already runs for this
// user; a second copy hands its command line to the running one instead and
// ends. The first copy holds the instance lock for the whole run.
//
// Returns the process exit code: 0 after a run or a hand-over (also when no
// running copy could be reached), 1 when the hand-over or the run threw.
using FApplicationRunner = std::function<void(FRefT<FString> commandLine)>;

inline constexpr int k_instanceAttempts = 5;

int runSingleInstance(FRefT<FString> commandLine, const FApplicationRunner& runApplication);
