#include "io/FDurableStorage.h"

#include <atomic>

namespace {

std::atomic<FDurableStorage*> s_installedStorage{nullptr};
FDurableStorage s_noStorage;

} // namespace

bool FDurableStorage::write(const FString&, const void*, size_t)
{
    return false;
}

bool FDurableStorage::replace(const FString&, const FString&)
{
    return false;
}

bool FDurableStorage::remove(const FString&)
{
    return false;
}

bool FDurableStorage::exists(const FString&)
{
    return false;
}

bool FDurableStorage::read(const FString&, std::string&, size_t)
{
    return false;
}

bool FDurableStorage::flushFolder(const FString&)
{
    return false;
}

FDurableStorage* FDurableStorage::install(FDurableStorage* storage)
{
    return s_installedStorage.exchange(storage);
}

FDurableStorage& FDurableStorage::current()
{
    FDurableStorage* installed = s_installedStorage.load();
    return installed != nullptr ? *installed : s_noStorage;
}
