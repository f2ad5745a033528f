#pragma once

#include "core/FRef.h"

#include <cstdint>

class FScreen;

// The screen of a screen kind (0..16, see ScreenKind), built with the
// application, for the user-interface module to enter. Runs on whichever
// thread builds the screen. A number that is no kind, and a kind whose screen
// is not built yet, raise a failure report naming the kind; it never hands
// back an empty screen for its caller to use. It lives in the factories
// library, above the game's widgets and screens, because its cases construct
// the screen classes; game/core never includes it.
FRefT<FScreen> createScreen(std::int32_t kind);

// The factory's signature, for the user-interface module to hold.
using ScreenFactoryFunction = FRefT<FScreen> (*)(std::int32_t kind);
