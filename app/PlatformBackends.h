#pragma once

#include "core/FMemory.h"
#include "game/core/GameApplication.h"
#include "platform/FAudioOutputSdl.h"
#include "platform/FGamePadModuleSdl.h"
#include "platform/FGraphSdl.h"
#include "platform/FPlatformSpecificModuleSdl.h"
#include "platform/FSocketPosix.h"

// The backends of this platform: SDL2 for the window, input, pads, sound and
// OpenGL, POSIX sockets. The game's main runs on them, and so do the tests
// that start the whole application (offscreen video, dummy audio).
inline ApplicationBackends platformBackends()
{
    ApplicationBackends backends;
    backends.sockets = &FSocketPosix::instance();
    backends.makeGraphics = []() -> FModule* { return engineNew<FGraphSdl>(k_memObject); };
    backends.audioOutput = FAudioModule::OutputFactory(&FAudioOutputSdl::create);
    backends.makePlatformWindow = []() -> FModule* {
        return engineNew<FPlatformSpecificModuleSdl>(k_memObject);
    };
    backends.makeGamePads = []() -> FModule* { return engineNew<FGamePadModuleSdl>(k_memObject); };
    return backends;
}
