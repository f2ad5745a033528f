#pragma once

#include "core/FAppListener.h"
#include "core/FRef.h"
#include "core/FString.h"
#include "io/FFileEntry.h"
#include "io/FInStream.h"

#include <cstdint>

class FAsset;

// What a loader module publishes in its application service slot: it decodes
// assets of its kind and creates them from streams, paths and listed files.
// Assets keep a pointer to the interface of their loader and call load from
// whichever thread completes them; a loader keeps no state between loads, so
// one loader may decode several assets on several threads at once.
class FAssetLoader : public FAppListener
{
public:
    using FAppListener::FAppListener;

    // Decodes the asset's content from its source, on the calling thread.
    virtual void load(FAsset& asset) = 0;

    // Each makes sure the handle's family holds an asset of this loader's
    // kind (creating one when the family has no target yet), makes this the
    // asset's loader and attaches the source: the stream itself, the file the
    // path names in the mounted file systems, or the listed file.
    void createFromStream(FRef& handle, FRefT<FInStream> stream);
    void createFromPath(FRef& handle, const FString& path);
    void createFromFile(FRef& handle, const FRefT<FFileEntry>& entry);
    // Makes this the asset's loader and opens the file for it.
    void attachFile(FAsset& asset, const FRefT<FFileEntry>& entry);

    // Opens a listed file and attaches it as the target's source. The file
    // is open before setSource runs, since setSource may decode at once.
    static void openSource(FAsset& target, const FRefT<FFileEntry>& entry);
    // The same for a path looked up in every mounted file system.
    static void openSourceWith(FAsset& target, const FString& path);
    // A stream over the whole block that `block` holds (size bytes); the
    // stream keeps the block alive.
    static FRefT<FInStream> openMemorySubStream(int64_t size, FRef block);

protected:
    // A new, empty asset of the module's kind (made with engineNew).
    virtual FAsset* newAsset() = 0;

private:
    FAsset& assetIn(FRef& handle);
};
