#pragma once

#include "core/FRef.h"

#include "asset/FAssetCandidates.h"

#include <cstdint>
#include <memory>
#include <vector>

class FInStream;
class FScreenOwner;
class FScreenRegistry;

// Reads one screen file: the header, the text and asset records, and for an
// owner screen the owner's tail. Texts and new assets go into the registry
// and their ids are appended to the list the caller passes.
class FScreenFileReader
{
public:
    // The game's factory of screen objects by kind code: a new, empty asset,
    // or an empty handle for a kind it does not know.
    using ObjectFactory = FRef (*)(int16_t kind);

    struct Options
    {
        int32_t folder = 0;
        // The language string to keep, or -1 for each in turn (the last stays).
        int32_t language = -1;
        // The folder's assets exist: their entries are read and dropped.
        bool alreadyBound = false;
        // Only the texts are wanted: no assets, no owner tail.
        bool reload = false;
        FScreenOwner* owner = nullptr;
    };

    FScreenFileReader(FScreenRegistry& registry, ObjectFactory factory);

    void read(FInStream& reader, const Options& options, std::vector<int32_t>& ids);
    // The owner's tail, which follows the last record (read also by read
    // when it has an owner and is no reload).
    void readOwnerTail(FInStream& reader, FScreenOwner& owner, std::vector<int32_t>& ids);

private:
    void readText(FInStream& reader, const Options& options, std::vector<int32_t>& ids);
    void readAsset(int16_t kind, FInStream& reader, const Options& options, std::vector<int32_t>& ids);

    FScreenRegistry& m_registry;
    ObjectFactory m_factory;
    // The folder's asset files, searched once at its first asset record.
    std::unique_ptr<FAssetCandidates> m_candidates;
    int32_t m_candidatesFolder = -1;
};
