#pragma once

#include "core/FModule.h"
#include "io/FZipService.h"

// Publishes the zip service (service slot 1) that opens archives as file systems.
class FZipModule : public FModule
{
public:
    static constexpr int k_priority = 11;

    FZipModule();

    int priority() const override { return k_priority; }
    FZipService& service() { return m_service; }

private:
    class Service final : public FZipService
    {
    public:
        Service();
        void openArchive(FRefT<FFileSystem>& archive, const FRefT<FFileEntry>& entry,
                         const uint32_t* keys) override;
        void openArchiveFromStream(FRefT<FFileSystem>& archive, const FRefT<FFileEntry>& entry,
                                   const FRefT<FInStream>& stream, const uint32_t* keys) override;

    private:
        // Reads the archive, with the disk-load and file log lines.
        void read(FRefT<FFileSystem>& archive, const FRefT<FFileEntry>& entry, const FRefT<FInStream>* stream,
                  const uint32_t* keys);
    };

    Service m_service;
};
