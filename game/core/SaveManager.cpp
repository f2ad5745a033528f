#include "game/core/SaveManager.h"

#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "io/FFolderFileSystem.h"
#include "io/FMemoryInStream.h"
#include "io/FMemoryOutStreambuf.h"

#include <cstring>

namespace {

// The digest covers these texts around the file's bytes, without their
// terminating zeros.
const char k_salt1[] = "TroisQuatreRoulePommeBaluchonTirel";
const char k_salt2[] = "LapinBleuSousLeComptoirIlPleutSurLaGrangeVer";
static_assert(sizeof(k_salt1) - 1 == 34 && sizeof(k_salt2) - 1 == 44);

const char16_t k_sideSuffix[] = u".crc";
const char16_t k_dataTemp[] = u".tmp";
const char16_t k_sideTemp[] = u".crc.tmp";
const char16_t k_sideCommitted[] = u".crc.new";
const char16_t k_badSuffix[] = u".bad";

FString withSuffix(const FString& name, const char16_t* suffix)
{
    FString result = name;
    result += FString(suffix);
    return result;
}

template <class T> FRefT<T> nullTarget()
{
    return makeSignaledRef<T>(nullptr);
}

bool sameDigest(const FDigestBytes& digest, const std::string& side)
{
    return side.size() == digest.length && std::memcmp(side.data(), digest.data(), side.size()) == 0;
}

} // namespace

SaveManager::SaveManager(FDurableStorage* storage)
    : m_storage(storage != nullptr ? *storage : FDurableStorage::current())
{
}

SaveManager::~SaveManager() = default;

bool SaveManager::attachDefaultFileSystem()
{
    if (m_fileSystem.get() == nullptr) {
        FFolderFileSystem* folder =
            engineNew<FFolderFileSystem>(k_memObject, FFolderFileSystem::k_folderUserAppData);
        if (folder != nullptr) m_fileSystem = FRefT<FFileSystem>(makeSignaledRef(folder));
    }
    return true;
}

FString SaveManager::pathOf(const FString& name)
{
    if (m_fileSystem.get() == nullptr) return FString();
    FString path = m_fileSystem->root();
    if (path.empty()) return FString();
    path += name;
    return path;
}

FDigestBytes SaveManager::digestOf(const std::string& bytes)
{
    FDigestContext* context = FDigest::newSha1Context();
    FDigestBytes digest;
    try {
        FDigest::update(context, k_salt1, sizeof(k_salt1) - 1);
        if (!bytes.empty()) FDigest::update(context, bytes.data(), bytes.size());
        FDigest::update(context, k_salt2, sizeof(k_salt2) - 1);
        digest = FDigest::finishDigest(context);
    } catch (...) {
        FDigest::destroyDigestContext(context);
        throw;
    }
    FDigest::destroyDigestContext(context);
    return digest;
}

bool SaveManager::finishCommitted(const FString& path)
{
    // The new pair goes in place, the data first.
    const FString dataTemp = withSuffix(path, k_dataTemp);
    if (m_storage.exists(dataTemp) && !m_storage.replace(dataTemp, path)) return false;
    return m_storage.replace(withSuffix(path, k_sideCommitted), withSuffix(path, k_sideSuffix));
}

bool SaveManager::recover(const FString& name)
{
    const FString path = pathOf(name);
    if (path.empty()) return false;
    bool finished = true;
    if (m_storage.exists(withSuffix(path, k_sideCommitted))) {
        finished = finishCommitted(path);
        ZIBBO_LOG(k_logRelease, false) << "SaveManager: " << (finished ? "finished" : "could not finish")
                                       << " an interrupted save of " << name;
    } else {
        m_storage.remove(withSuffix(path, k_dataTemp));
    }
    m_storage.remove(withSuffix(path, k_sideTemp));
    return finished;
}

void SaveManager::findFiles(FFileEntryMap& found, const FString& name)
{
    found.clear();
    if (m_fileSystem.get() == nullptr) return;
    recover(name);
    found = m_fileSystem->find(name);
}

bool SaveManager::verifyBytes(const FString& name, const std::string& bytes)
{
    std::string side;
    if (!m_storage.read(withSuffix(pathOf(name), k_sideSuffix), side, k_maxFileBytes)) {
        ZIBBO_LOG(k_logDefault, false) << name << ": Error Verifying Checksum: checksum file not found!";
        return false;
    }
    const FDigestBytes digest = digestOf(bytes);
    if (side.size() != digest.length) {
        ZIBBO_LOG(k_logDefault, false) << name << ": CheckSum Length Mismatched!";
        return false;
    }
    if (!sameDigest(digest, side)) {
        ZIBBO_LOG(k_logDefault, false) << name << ": CheckSum Mismatched!";
        return false;
    }
    ZIBBO_LOG(k_logDefault, false) << name << ": CheckSum OK!";
    return true;
}

bool SaveManager::verifyChecksum(const FString& name)
{
    std::string bytes;
    if (!m_storage.read(pathOf(name), bytes, k_maxFileBytes)) {
        if (!m_storage.exists(withSuffix(pathOf(name), k_sideSuffix))) {
            ZIBBO_LOG(k_logDefault, false) << name << ": Error Verifying Checksum: checksum file not found!";
        }
        return false;
    }
    return verifyBytes(name, bytes);
}

FDigestBytes SaveManager::computeChecksum(const FString& name)
{
    std::string bytes;
    if (!m_storage.read(pathOf(name), bytes, k_maxFileBytes)) {
        ZIBBO_LOG(k_logDefault, false) << "Error Writing Checksum: " << name << " file not found!";
        return FDigestBytes();
    }
    return digestOf(bytes);
}

FRefT<FInStream> SaveManager::loadData(const FString& name)
{
    FFileEntryMap found;
    findFiles(found, name);
    std::string bytes;
    if (found.empty() || !m_storage.read(pathOf(name), bytes, k_maxFileBytes)) {
        ZIBBO_LOG(k_logDefault, false) << "SaveManager::loadData(): File '" << name << "' not found.";
        return nullTarget<FInStream>();
    }
    // The bytes that are judged are the bytes that are parsed.
    if (!verifyBytes(name, bytes)) {
        ZIBBO_LOG(k_logDefault, false)
            << "SaveManager::loadData(): Checksum mismatch for file '" << name << "'";
        return nullTarget<FInStream>();
    }
    m_lastFileName = name;
    return FMemoryInStream::make(std::move(bytes));
}

FRefT<FOutStream> SaveManager::saveData(const FString& name, int32_t allowed)
{
    m_lastFileName = name;
    m_pendingStream = FRefT<FOutStream>();
    m_pendingBuffer = nullptr;
    if (m_fileSystem.get() == nullptr) return nullTarget<FOutStream>();
    FMemoryOutStreambuf* buffer = engineNew<FMemoryOutStreambuf>(k_memObject, allowed);
    if (buffer == nullptr) return nullTarget<FOutStream>();
    m_pendingStream = FOutStream::make(buffer);
    m_pendingBuffer = buffer;
    m_pendingName = name;
    return m_pendingStream;
}

bool SaveManager::commit(const FString& name, const std::string& bytes)
{
    const FString path = pathOf(name);
    if (path.empty() || !recover(name)) return false;
    const FDigestBytes digest = digestOf(bytes);
    const FString dataTemp = withSuffix(path, k_dataTemp);
    const FString sideTemp = withSuffix(path, k_sideTemp);
    const FString sideCommitted = withSuffix(path, k_sideCommitted);
    if (!m_storage.write(dataTemp, bytes.data(), bytes.size()) ||
        !m_storage.write(sideTemp, digest.data(), digest.length) ||
        // Both temporaries must be on the disk before the commit's name is.
        !m_storage.flushFolder(pathOf(FString())) || !m_storage.replace(sideTemp, sideCommitted)) {
        m_storage.remove(dataTemp);
        m_storage.remove(sideTemp);
        ZIBBO_LOG(k_logRelease, false)
            << "SaveManager: could not save " << name << "; the previous save stays.";
        return false;
    }
    // Committed: a failure from here on is finished by the next recovery.
    return finishCommitted(path);
}

bool SaveManager::writeChecksum(const FString& name)
{
    if (m_pendingBuffer != nullptr && m_pendingName == name) {
        const bool written = m_pendingStream->good() && commit(name, m_pendingBuffer->bytes());
        m_pendingStream = FRefT<FOutStream>();
        m_pendingBuffer = nullptr;
        return written;
    }
    // No new content: the side file of the file as it stands.
    const FDigestBytes digest = computeChecksum(name);
    const FString path = pathOf(name);
    if (digest.bytes.get() == nullptr || path.empty()) return false;
    const FString sideTemp = withSuffix(path, k_sideTemp);
    return m_storage.write(sideTemp, digest.data(), digest.length) &&
           m_storage.replace(sideTemp, withSuffix(path, k_sideSuffix));
}

bool SaveManager::keepAsBad(const FString& name)
{
    const FString path = pathOf(name);
    if (path.empty()) return false;
    const FString side = withSuffix(path, k_sideSuffix);
    bool kept = m_storage.replace(path, withSuffix(path, k_badSuffix));
    // The kept pair is one file's: an older kept side file goes.
    kept = (m_storage.exists(side) ? m_storage.replace(side, withSuffix(side, k_badSuffix))
                                   : m_storage.remove(withSuffix(side, k_badSuffix))) &&
           kept;
    ZIBBO_LOG(k_logRelease, false) << "SaveManager: " << name << " failed its check; "
                                   << (kept ? "kept as " : "could not keep it as ") << name << ".bad";
    return kept;
}
