#pragma once

// A scratch folder made the current folder, and the application with the
// modules that read loose files, kits and compressed members from it: what
// every test needs that binds screen-file folders.
#include "core/FApplication.h"
#include "core/FThreadPoolModule.h"
#include "engine/core/KernelTestSupport.h"
#include "io/FFileSystemModule.h"
#include "io/FZLibModule.h"
#include "io/FZipModule.h"

struct ScratchFileModules
{
    ScratchFolder scratch;
    FApplication application;
    FThreadPoolModule threadPool;
    FZipModule zip;
    FZLibModule zlib;
    FFileSystemModule files;
};
