#include "asset/FAssetLoader.h"

#include "asset/FAsset.h"
#include "asset/FAssetStream.h"
#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "io/FFileSystem.h"
#include "io/FFileSystemService.h"

FAsset& FAssetLoader::assetIn(FRef& handle)
{
    if (FAsset* present = handle.as<FAsset>()) return *present;
    FAsset* asset = newAsset();
    if (asset == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (asset)");
    if (handle.isNull()) {
        handle = makeHolderRef(asset, &FRefDeleters::deleteObject<FAsset>);
        if (handle.isNull()) ZIBBO_FAIL(msgSystemError, "makeHolderRef (NULL)");
    } else {
        // Every copy of the handle sees the new asset. The holder must delete
        // assets (FAsset::emptyHandle).
        handle.setTarget(asset);
    }
    return *asset;
}

void FAssetLoader::createFromStream(FRef& handle, FRefT<FInStream> stream)
{
    FAsset& asset = assetIn(handle);
    asset.setLoader(this);
    asset.setSource(std::move(stream));
}

void FAssetLoader::createFromPath(FRef& handle, const FString& path)
{
    FAsset& asset = assetIn(handle);
    asset.setLoader(this);
    openSourceWith(asset, path);
}

void FAssetLoader::createFromFile(FRef& handle, const FRefT<FFileEntry>& entry)
{
    FAsset& asset = assetIn(handle);
    asset.setLoader(this);
    openSource(asset, entry);
}

void FAssetLoader::attachFile(FAsset& asset, const FRefT<FFileEntry>& entry)
{
    asset.setLoader(this);
    openSource(asset, entry);
}

void FAssetLoader::openSource(FAsset& target, const FRefT<FFileEntry>& entry)
{
    if (entry.get() == nullptr || entry->owner() == nullptr)
        ZIBBO_FAIL(msgIllegalOperation, "file entry (NULL) != NULL");
    FRefT<FInStream> stream = entry->owner()->open(entry);
    // Waiting for the stream is waiting until the file is open.
    waitForRefTarget(stream);
    target.setSource(std::move(stream));
}

void FAssetLoader::openSourceWith(FAsset& target, const FString& path)
{
    auto* files = findService<FFileSystemService>(k_slotFileSystems);
    if (files == nullptr) ZIBBO_FAIL(msgIllegalOperation, "No file systems to open " << path);
    FRefT<FInStream> stream;
    files->openByName(stream, path);
    waitForRefTarget(stream);
    target.setSource(std::move(stream));
}

FRefT<FInStream> FAssetLoader::openMemorySubStream(int64_t size, FRef block)
{
    void* data = block.get();
    return FAssetStream::makeOver(std::move(block), data, size);
}
