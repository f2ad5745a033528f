#include "io/FZipModule.h"

#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FTimedLogStream.h"
#include "io/FZipModuleArchive.h"

#include <optional>

FZipModule::FZipModule() = default;

FZipModule::Service::Service() : FZipService(findServiceSlot(k_slotZip)) {}

void FZipModule::Service::openArchive(FRefT<FFileSystem>& archive, const FRefT<FFileEntry>& entry,
                                      const uint32_t* keys)
{
    read(archive, entry, nullptr, keys);
}

void FZipModule::Service::openArchiveFromStream(FRefT<FFileSystem>& archive, const FRefT<FFileEntry>& entry,
                                                const FRefT<FInStream>& stream, const uint32_t* keys)
{
    read(archive, entry, &stream, keys);
}

void FZipModule::Service::read(FRefT<FFileSystem>& archive, const FRefT<FFileEntry>& entry,
                               const FRefT<FInStream>* stream, const uint32_t* keys)
{
    std::optional<FTimedLogStream> timer;
    if (k_logDiskLoad.isOn()) {
        timer.emplace(ZIBBO_HERE);
        *timer << "Archive ";
        if (stream == nullptr) *timer << entry->name();
    }

    FZipModuleArchive* made = engineNew<FZipModuleArchive>(k_memObject, entry, keys);
    if (made == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (FZipModuleArchive)");
    // The caller holds the archive before it is read, so whatever was read
    // before a failure stays reachable.
    archive = FRefT<FFileSystem>(makeSignaledRef<FFileSystem>(made));

    if (stream == nullptr) {
        ZIBBO_LOG(k_logFile, false) << "Opening archive " << entry->name();
        made->read(entry->owner()->open(entry));
    } else {
        ZIBBO_LOG(k_logFile, false) << "Opening archive from streambuf";
        waitForRefTarget(*stream);
        made->read(*stream);
    }
    ZIBBO_LOG(k_logFile, false) << "Archive created as " << static_cast<const void*>(made);
}
