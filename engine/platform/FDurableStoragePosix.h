#pragma once

#include "io/FDurableStorage.h"

// The durable files of this platform (FDurableFile) behind the engine's
// interface. It needs no SDL, so the test binaries install it too.
class FDurableStoragePosix : public FDurableStorage
{
public:
    bool write(const FString& path, const void* data, size_t size) override;
    bool replace(const FString& from, const FString& to) override;
    bool remove(const FString& path) override;
    bool exists(const FString& path) override;
    bool read(const FString& path, std::string& bytes, size_t maxBytes) override;
    bool flushFolder(const FString& folder) override;

    // Installs the one instance of this program. Calling it again changes
    // nothing.
    static void install();
};
