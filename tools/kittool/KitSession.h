#pragma once

#include "core/FApplication.h"
#include "core/FErrorHandler.h"
#include "core/FThreadPoolModule.h"
#include "io/FFileSystem.h"
#include "io/FZLibModule.h"
#include "io/FZipModule.h"

#include <string>

// The engine as kittool uses it to read kits: an application with the thread
// pool, zip and zlib services, and an error handler that writes every
// failure report to standard error.
class KitSession : private FErrorHandler
{
public:
    KitSession();
    ~KitSession() override;

    // The kit at `path` (a real path), read through the engine's archive
    // reader as a file of the folder without root.
    FRefT<FFileSystem> openKit(const std::string& path);

private:
    bool handleError(const FString& text) override;

    FApplication m_application;
    FThreadPoolModule m_threadPool;
    FZipModule m_zip;
    FZLibModule m_zlib;
    FErrorHandler* m_previousHandler;
};
