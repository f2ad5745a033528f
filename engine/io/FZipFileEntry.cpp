#include "io/FZipFileEntry.h"

FZipFileEntry::FZipFileEntry(FFileSystem* owner, FString name, FRefT<FString> location, int32_t priority,
                             const Directory& directory)
    : FFileEntry(owner, std::move(name), std::move(location), priority, directory.uncompressedSize,
                 !directory.encrypted),
      m_directory(directory)
{
}
