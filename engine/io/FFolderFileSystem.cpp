#include "io/FFolderFileSystem.h"

#include "core/FErrorMessage.h"
#include "core/FLogChannel.h"
#include "core/FLogStream.h"
#include "core/FOperatingSystem.h"
#include "core/FProcessModule.h"
#include "io/FFile.h"
#include "io/FFileInStream.h"
#include "io/FFileOutStreambuf.h"
#include "io/FNativePath.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* k_makerFolder = "Nuvant";

// The operating system's folder of `kind`; empty when it names none.
fs::path systemFolder(FOperatingSystem::Folder kind)
{
    return fs::path(FOperatingSystem::current().folder(kind));
}

std::string productShortName()
{
    const FRefT<FString> name = FProcessModule::productShortName();
    return name.get() != nullptr && !name->empty() ? name->toUtf8() : std::string("Zibbo");
}

// Makes the maker's and the product's folders below `base`. Failure is not
// reported: a later open fails instead (a shared folder the user may not
// write is the usual case). No base, no folder.
fs::path applicationFolder(const fs::path& base, const std::string& product)
{
    if (base.empty()) return {};
    const fs::path folder = base / k_makerFolder / product;
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    return folder;
}

bool isPatternSeparator(char16_t unit)
{
    return unit == u'/' || unit == u'\\';
}

// The entries of `folder` without "." and "..", or none when it cannot be listed.
std::vector<fs::directory_entry> listFolder(const fs::path& folder)
{
    std::vector<fs::directory_entry> hits;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error))
        hits.push_back(*it);
    std::sort(hits.begin(), hits.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path() < b.path(); });
    return hits;
}

// Finds one folder step below `folder` the way Windows would: the exact
// spelling when it exists, else the first name that matches without regard
// to case. `spelled` receives the step as the disk spells it.
bool stepInto(fs::path& folder, const FString& step, FString& spelled)
{
    spelled = step;
    if (step == u"..") {
        folder /= "..";
        return true;
    }
    std::error_code error;
    const fs::path exact = folder / FNativePath::toNative(step);
    if (fs::is_directory(exact, error)) {
        folder = exact;
        return true;
    }
    const FString wanted = FNativePath::lowerAscii(step);
    for (const fs::directory_entry& hit : listFolder(folder)) {
        FString name;
        if (hit.is_directory(error) && FNativePath::toEngine(hit.path().filename(), name) &&
            FNativePath::lowerAscii(name) == wanted) {
            folder = hit.path();
            spelled = name;
            return true;
        }
    }
    return false;
}

} // namespace

FFolderFileSystem::FFolderFileSystem(int32_t kind) : m_kind(kind) {}

int32_t FFolderFileSystem::priorityOf(int32_t kind)
{
    switch (kind) {
    case k_folderExecutable:
        return 1;
    case k_folderCommonAppData:
        return 2;
    case k_folderUserAppData:
        return 3;
    default:
        return 4;
    }
}

FString FFolderFileSystem::computeRoot() const
{
    fs::path folder;
    std::error_code error;
    switch (m_kind) {
    case k_folderExecutable:
        folder = systemFolder(FOperatingSystem::k_executableFolder);
        break;
    case k_folderCommonAppData:
        folder = applicationFolder(systemFolder(FOperatingSystem::k_sharedDataFolder), productShortName());
        break;
    case k_folderUserAppData:
        folder = applicationFolder(systemFolder(FOperatingSystem::k_userDataFolder), productShortName());
        // Settings and saves go here: a player whose progress is not kept
        // must be told once, at start, rather than find out later.
        if (!folder.empty() && !fs::is_directory(folder, error)) {
            ZIBBO_LOG(k_logRelease, false)
                << "The folder for settings and saves cannot be made (" << folder.string().c_str()
                << "); the game goes on, but nothing will be saved.";
        }
        break;
    case k_folderCurrent:
        folder = fs::current_path(error);
        break;
    case k_folderCommonFiles:
        folder = systemFolder(FOperatingSystem::k_sharedFilesFolder);
        if (!folder.empty()) folder = folder / k_makerFolder / k_makerFolder;
        break;
    case k_folderTemp:
        folder = systemFolder(FOperatingSystem::k_tempFolder);
        break;
    default:
        return FString();
    }
    FString root;
    if (folder.empty() || !FNativePath::toEngine(folder, root)) return FString();
    if (!root.empty() && root.view().back() != u'\\') root += u'\\';
    return root;
}

FString FFolderFileSystem::root()
{
    std::call_once(m_rootOnce, [this] { m_root = computeRoot(); });
    return m_root;
}

FFileEntryMap FFolderFileSystem::find(const FString& pattern)
{
    FFileEntryMap found;
    if (m_kind < k_folderExecutable || m_kind > k_folderTemp) return found;

    // The pattern's folder steps are walked one by one (each matched without
    // regard to case); its last step is the name pattern. The location is
    // the folder as the engine spells it, with the steps as the disk does.
    const std::u16string_view text = pattern.view();
    const size_t cut = text.find_last_of(u"/\\");
    const FString namePattern(cut == std::u16string_view::npos ? text : text.substr(cut + 1));
    FString locationText = root();
    fs::path folder = locationText.empty() ? fs::path(".") : FNativePath::toNative(locationText);
    size_t begin = 0;
    if (locationText.empty() && !text.empty() && isPatternSeparator(text[0])) {
        // A whole path, in the folder without root.
        folder = "/";
        locationText = FString(u"\\");
        begin = 1;
    }
    if (cut != std::u16string_view::npos) {
        while (begin <= cut) {
            size_t end = begin;
            while (end < cut && !isPatternSeparator(text[end]))
                ++end;
            const FString step(text.substr(begin, end - begin));
            if (!step.empty() && !(step == u".")) {
                FString spelled;
                if (!stepInto(folder, step, spelled)) return found;
                locationText += spelled;
                locationText += u'\\';
            }
            begin = end + 1;
        }
    }

    FRefT<FString> location;
    const int32_t priority = priorityOf(m_kind);
    std::error_code error;
    for (const fs::directory_entry& hit : listFolder(folder)) {
        FString name;
        if (!FNativePath::toEngine(hit.path().filename(), name) || !FFile::matchPattern(namePattern, name))
            continue;
        if (location.get() == nullptr) location = makeSharedStringCopy(locationText);
        const bool isFile = hit.is_regular_file(error);
        const int64_t size = isFile ? static_cast<int64_t>(hit.file_size(error)) : 0;
        FFileEntry* entry =
            engineNew<FFileEntry>(k_memObject, this, name, location, priority, error ? 0 : size, true);
        if (entry == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (FFileEntry)");
        found.insert_or_assign(FNativePath::lowerAscii(name), makeRef(entry));
    }
    return found;
}

FRefT<FInStream> FFolderFileSystem::open(const FRefT<FFileEntry>& entry)
{
    return FFileInStream::open(entry->path());
}

FRefT<FOutStream> FFolderFileSystem::create(const FString& name, int32_t limit)
{
    const bool whole = !name.empty() && isPatternSeparator(name[0]);
    FString path = whole ? name : root();
    if (!whole) {
        if (!path.empty() && path.view().back() != u'\\') path += u'\\';
        path += name;
    }
    FFileOutStreambuf* buffer = engineNew<FFileOutStreambuf>(k_memObject, path, limit);
    if (buffer == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (FFileOutStreambuf)");
    return FOutStream::make(buffer);
}
