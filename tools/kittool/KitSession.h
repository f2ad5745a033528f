#pragma once

#include "core/FApplication.h"
#include "core/FErrorHandler.h"
#include "core/FThreadPoolModule.h"
#include "io/FFileSystem.h"
#include "io/FFolderFileSystem.h"
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
    // The kit's file at `path` (a real path); it refers to the session's
    // folder file system, which lives as long as the session.
    FRefT<FFileEntry> kitEntry(const std::string& path);

    FApplication& application() { return m_application; }

private:
    bool handleError(const FString& text) override;

    FApplication m_application;
    FThreadPoolModule m_threadPool;
    FZipModule m_zip;
    FZLibModule m_zlib;
    FFolderFileSystem m_plainFolder{FFolderFileSystem::k_folderNone};
    FErrorHandler* m_previousHandler;
};
