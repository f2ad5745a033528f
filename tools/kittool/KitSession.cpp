#include "tools/kittool/KitSession.h"

#include "core/FErrorMessage.h"
#include "io/FArchiveKeys.h"
#include "io/FFolderFileSystem.h"
#include "io/FNativePath.h"

#include <cstdio>

KitSession::KitSession() : m_previousHandler(FErrorHandler::install(this)) {}

KitSession::~KitSession()
{
    FErrorHandler::install(m_previousHandler);
}

bool KitSession::handleError(const FString& text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().c_str());
    return true;
}

FRefT<FFileEntry> KitSession::kitEntry(const std::string& path)
{
    FString name;
    if (!FNativePath::toEngine(path, name)) ZIBBO_FAIL_TEXT("Not a usable kit name: " << path);
    const FFileEntryMap found = m_plainFolder.find(name);
    if (found.size() != 1) ZIBBO_FAIL(msgIllegalOperation, "No file is named: " << name);
    return found.begin()->second;
}

FRefT<FFileSystem> KitSession::openKit(const std::string& path)
{
    FRefT<FFileSystem> kit;
    m_zip.service().openArchive(kit, kitEntry(path), k_archiveKeys);
    return kit;
}
