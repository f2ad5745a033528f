#pragma once

#include "core/FAppListener.h"
#include "io/FFileSystem.h"

// The zip module's interface in service slot 1: opens zip archives as file
// systems. `keys` is the initial key state of encrypted members (three words
// the caller keeps alive).
class FZipService : public FAppListener
{
public:
    using FAppListener::FAppListener;

    // Opens the entry through its owner and reads it as an archive.
    virtual void openArchive(FRefT<FFileSystem>& archive, const FRefT<FFileEntry>& entry,
                             const uint32_t* keys) = 0;
    // Reads an archive from a stream the caller holds; `entry` stands for its source.
    virtual void openArchiveFromStream(FRefT<FFileSystem>& archive, const FRefT<FFileEntry>& entry,
                                       const FRefT<FInStream>& stream, const uint32_t* keys) = 0;
};
