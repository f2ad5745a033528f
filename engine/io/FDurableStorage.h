#pragma once

#include "core/FString.h"

#include <cstddef>
#include <string>

// Files that must survive a crash or a power cut, as the saved games need
// them: whole-file writes that are on the disk before they are answered,
// renames that replace a file in one step, and the folder flushes that make a
// rename itself durable. Paths are engine paths ('\' separated). Every
// operation answers false on failure and raises nothing, so a full disk is a
// result, not a crash. The platform layer installs the implementation at the
// start of the program; without one nothing can be read or written.
class FDurableStorage
{
public:
    virtual ~FDurableStorage() = default;

    // Creates or truncates `path`, writes every byte, flushes the file to the
    // disk and closes it. On failure the partial file is removed.
    virtual bool write(const FString& path, const void* data, size_t size);
    // Renames `from` to `to` (replacing `to` in one step) and flushes the
    // folder of `to`.
    virtual bool replace(const FString& from, const FString& to);
    // Removes the file and flushes its folder; a file that is not there
    // counts as removed.
    virtual bool remove(const FString& path);
    virtual bool exists(const FString& path);
    // The whole file, when it exists, can be read and holds at most
    // `maxBytes` bytes.
    virtual bool read(const FString& path, std::string& bytes, size_t maxBytes);
    // Makes the renames and removals of entries of the folder durable.
    virtual bool flushFolder(const FString& folder);

    // Installs `storage` (null: none); returns the previous one. The storage
    // must outlive its installation.
    static FDurableStorage* install(FDurableStorage* storage);
    // The installed storage, or one that can do nothing.
    static FDurableStorage& current();
};
