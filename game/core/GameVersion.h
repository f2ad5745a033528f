#pragma once

#include "core/FString.h"

// The game's version as the options screen shows it.
FString getVersionString();
