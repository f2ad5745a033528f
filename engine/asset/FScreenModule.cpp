#include "asset/FScreenModule.h"

#include "asset/FAssetKits.h"
#include "asset/FScreenFormat.h"
#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FSystemLocale.h"
#include "io/FFileSystemService.h"

namespace {

FAppListener** screenSlot()
{
    FApplication* application = FApplication::instance();
    return application != nullptr ? application->serviceSlot(k_slotScreen) : nullptr;
}

FFileSystemService& fileSystems()
{
    auto* files = findService<FFileSystemService>(k_slotFileSystems);
    if (files == nullptr) ZIBBO_FAIL(msgIllegalOperation, "file-system service (NULL) != NULL");
    return *files;
}

void mountAll(FFileSystemService& files, const FFileEntryMap& found, std::list<FRefT<FFileSystem>>& kits)
{
    for (const auto& [key, entry] : found) {
        FRefT<FFileSystem> kit;
        files.mountArchive(kit, entry);
        kits.push_front(kit);
    }
}

void prioritiseUpdates(FFileEntryMap& found)
{
    for (auto& [key, entry] : found) {
        if (entry->priority() == FAssetKits::k_mainPriority) continue;
        const int32_t priority = FAssetKits::priorityOfExtension(entry->extension());
        if (priority >= 0) entry->setPriority(priority);
    }
}

} // namespace

FScreenModule::FScreenModule(FScreenFileReader::ObjectFactory factory)
    : FScreenService(screenSlot()), m_factory(factory)
{
}

FScreenModule::~FScreenModule()
{
    m_registry.clear();
}

void FScreenModule::onLaunch()
{
    FSystemLocale locale;
    getSystemLocale(locale);
    loadAssetKits(locale);
}

void FScreenModule::loadAssetKits(const FSystemLocale& locale)
{
    FFileSystemService& files = fileSystems();
    FString suffix = FAssetKits::languageSuffix(locale);
    FString mainPattern = FAssetKits::mainPattern(suffix);
    FString updatePattern = FAssetKits::updatePattern(suffix);
    const FString languagePattern = FAssetKits::languagePattern(suffix);
    ZIBBO_LOG(k_logSystem, false) << "Loading Asset Kit: " << mainPattern << ", " << updatePattern;

    FFileEntryMap found;
    files.search(found, mainPattern);
    if (found.empty()) {
        ZIBBO_LOG(k_logSystem, false) << "File not found: " << mainPattern;
        suffix.clear();
        mainPattern = FAssetKits::mainPattern(suffix);
        updatePattern = FAssetKits::updatePattern(suffix);
        ZIBBO_LOG(k_logSystem, false)
            << "Trying to load default asset kit: " << mainPattern << ", " << updatePattern;
        ZIBBO_LOG(k_logSystem, false) << "Trying to load language file named : " << languagePattern;
        files.search(found, mainPattern);
        if (found.empty()) ZIBBO_FAIL(msgFileMissing, mainPattern);
    }
    for (auto& [key, entry] : found)
        entry->setPriority(FAssetKits::k_mainPriority);
    files.search(found, updatePattern);
    prioritiseUpdates(found);
    mountAll(files, found, m_kits);

    FFileEntryMap languages;
    files.search(languages, languagePattern);
    prioritiseUpdates(languages);
    mountAll(files, languages, m_kits);

    // Searched first: opening a name that matches nothing is the file
    // systems' own failure, which reads as a fault of the program rather than
    // of the installation.
    FFileEntryMap targets;
    files.search(targets, FString(u"GWTarget"));
    if (targets.empty()) ZIBBO_FAIL(msgFileMissing, "GWTarget");
    FRefT<FInStream> target;
    files.openEntry(target, targets.begin()->second);
    FInStream* reader = waitForRefTarget(target);
    if (reader == nullptr) ZIBBO_FAIL(msgFileMissing, "GWTarget");
    const FString name = FAssetKits::readTarget(*reader);
    if (FApplication* application = FApplication::instance()) application->setName(name);
}

int32_t FScreenModule::useCount(int32_t folder) const
{
    FMutexLock lock(m_bindLock);
    return folder >= 0 && folder < static_cast<int32_t>(m_folderUseCounts.size())
               ? m_folderUseCounts[static_cast<size_t>(folder)]
               : 0;
}

void FScreenModule::readScreenFile(FScreenOwner* owner, int32_t folder, int32_t hint, int32_t language,
                                   bool reload)
{
    if (folder < 0) ZIBBO_FAIL(msgIllegalOperation, "folder (" << folder << ") >= 0");
    FMutexLock lock(m_bindLock);
    const size_t index = static_cast<size_t>(folder);
    bool alreadyBound = false;
    std::vector<int32_t> scratch;
    std::vector<int32_t>* ids = &scratch;
    if (!reload) {
        if (m_folderUseCounts.size() <= index) {
            m_folderUseCounts.resize(index + 1, 0);
            m_folderIds.resize(index + 1);
        }
        alreadyBound = m_folderUseCounts[index] > 0;
        ++m_folderUseCounts[index];
        if (!alreadyBound) {
            ids = &m_folderIds[index];
            ids->reserve(ids->size() + static_cast<size_t>(hint > 0 ? hint : 0));
        }
    }
    const size_t before = ids->size();
    try {
        FRefT<FInStream> stream;
        fileSystems().openByName(stream, FScreenFormat::screenPath(folder));
        FInStream* reader = waitForRefTarget(stream);
        if (reader == nullptr) ZIBBO_FAIL(msgFileMissing, FScreenFormat::screenPath(folder));
        FScreenFileReader::Options options;
        options.folder = folder;
        options.language = language;
        options.alreadyBound = alreadyBound;
        options.reload = reload;
        options.owner = owner;
        FScreenFileReader(m_registry, m_factory).read(*reader, options, *ids);
    } catch (...) {
        // A failed read leaves the folder as it was: not bound by this read,
        // without the entries that only this read added.
        if (!reload) {
            --m_folderUseCounts[index];
            if (!alreadyBound) {
                takeBack(*ids, before);
                ids->resize(before);
            }
        }
        throw;
    }
    if (ids != &scratch) {
        for (size_t i = before; i < ids->size(); ++i)
            ++m_idUses[(*ids)[i]];
    }
}

void FScreenModule::takeBack(const std::vector<int32_t>& ids, std::size_t from)
{
    for (size_t i = from; i < ids.size(); ++i) {
        if (m_idUses.count(ids[i]) == 0) m_registry.erase(ids[i]);
    }
}

void FScreenModule::unbind(int32_t folder)
{
    FMutexLock lock(m_bindLock);
    if (folder < 0 || folder >= static_cast<int32_t>(m_folderUseCounts.size())) return;
    const size_t index = static_cast<size_t>(folder);
    if (m_folderUseCounts[index] <= 0) return;
    if (--m_folderUseCounts[index] >= 1) return;
    for (int32_t id : m_folderIds[index]) {
        auto uses = m_idUses.find(id);
        if (uses != m_idUses.end() && --uses->second > 0) continue;
        if (uses != m_idUses.end()) m_idUses.erase(uses);
        m_registry.erase(id);
    }
    m_folderIds[index].clear();
}
