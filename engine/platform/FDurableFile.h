#pragma once

#include "core/FString.h"

#include <cstddef>
#include <string>

// Files that must survive a crash or a power cut: whole-file writes that are
// on the disk before they are answered, renames that replace a file in one
// step, and the folder flushes that make a rename itself durable. Paths are
// engine paths ('\' separated). Every operation answers false on failure and
// raises nothing, so a full disk is a result, not a crash.
class FDurableFile
{
public:
    // Creates or truncates `path`, writes every byte, flushes the file to the
    // disk and closes it. On failure the partial file is removed.
    static bool write(const FString& path, const void* data, size_t size);
    // Renames `from` to `to` (replacing `to` in one step) and flushes the
    // folder of `to`.
    static bool replace(const FString& from, const FString& to);
    // Removes the file and flushes its folder; a file that is not there
    // counts as removed.
    static bool remove(const FString& path);
    static bool exists(const FString& path);
    // The whole file, when it exists, can be read and holds at most
    // `maxBytes` bytes.
    static bool read(const FString& path, std::string& bytes, size_t maxBytes);
    // Makes the renames and removals of entries of the folder durable.
    static bool flushFolder(const FString& folder);
};
