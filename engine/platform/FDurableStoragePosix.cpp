#include "platform/FDurableStoragePosix.h"

#include "platform/FDurableFile.h"

bool FDurableStoragePosix::write(const FString& path, const void* data, size_t size)
{
    return FDurableFile::write(path, data, size);
}

bool FDurableStoragePosix::replace(const FString& from, const FString& to)
{
    return FDurableFile::replace(from, to);
}

bool FDurableStoragePosix::remove(const FString& path)
{
    return FDurableFile::remove(path);
}

bool FDurableStoragePosix::exists(const FString& path)
{
    return FDurableFile::exists(path);
}

bool FDurableStoragePosix::read(const FString& path, std::string& bytes, size_t maxBytes)
{
    return FDurableFile::read(path, bytes, maxBytes);
}

bool FDurableStoragePosix::flushFolder(const FString& folder)
{
    return FDurableFile::flushFolder(folder);
}

void FDurableStoragePosix::install()
{
    static FDurableStoragePosix s_storage;
    FDurableStorage::install(&s_storage);
}
