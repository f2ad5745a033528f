#pragma once

#include "core/FMutex.h"
#include "core/FRef.h"
#include "io/FFileEntry.h"
#include "io/FInStream.h"

#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

class FAssetCandidates;
class FAssetLoader;
class FScreenRegistry;

// Base of every loadable resource (raw data, fonts, images, skins, sound,
// video). An asset learns from its screen-file entry which files may hold its
// content and how it is loaded and kept, then moves through a small state
// machine: a source stream is attached, optionally read whole into memory,
// decoded by its loader, and its decoded data is released again when nobody
// uses it. There is no loader thread: a load runs on the thread that asks for
// the content, inside the asset's own re-entrant lock.
//
// Every kind derives from FAsset alone (no further base in front of it), so a
// handle's target pointer is the same for the asset and for its kind.
class FAsset
{
public:
    enum State : int32_t {
        k_unloaded = 0,  // no usable source; the next load reopens the chosen candidate
        k_requested = 1, // a source stream is attached, nothing decoded
        k_buffered = 2,  // the whole source sits in memory
        k_initial = 3,   // constructed, or unloaded while a loader remains
        k_loaded = 4,    // decoded
    };

    // Bits of the flag byte of a screen-file load entry.
    enum EntryFlag : uint8_t {
        k_flagLoadOnUse = 1,        // decode at the first user, not when the source is attached
        k_flagUnloadWhenUnused = 2, // as above, and unload (dropping the source) at the last user
        k_flagKeepSource = 4,       // streamed content: the source stays open after decoding
        k_flagPreload = 8,          // read the whole source into memory first and keep that copy
    };

    enum LoadMode : int32_t {
        k_modeDefault = 0, // unload on the last user only with the flags above
        k_modeKeep = 1,    // never unload on the last user
        k_modeRelease = 2, // unload completely on the last user
    };

    FAsset();
    virtual ~FAsset();
    FAsset(const FAsset&) = delete;
    FAsset& operator=(const FAsset&) = delete;

    // Attaches a source stream (state 1) and, unless the entry defers loading,
    // buffers or decodes at once.
    virtual void setSource(FRefT<FInStream> stream);
    // Loads now, on the calling thread. A decode that fails leaves the asset
    // failed and empty: the failure has been reported, later calls return at
    // once, and nothing reads it as loaded until a new source is attached.
    virtual void complete();
    virtual void ensureLoaded();
    virtual int32_t addRef();
    virtual int32_t release();
    virtual void addUser();
    virtual void dropUser();
    virtual void pin();
    virtual void unpin();
    // Called after a whole screen file has been read.
    virtual void resolveLinks(FScreenRegistry& registry);
    // Reads the kind's own fields that follow the common screen-file entry.
    virtual void readKindData(FInStream& reader);
    // Called just before the first candidate file is opened.
    virtual void onFirstSource(const FRefT<FFileEntry>& entry);
    // The decode step: the loader's load, from the attached source.
    virtual void loadContent();
    // Frees the kind's decoded data.
    virtual void releaseData(bool forced);

    // Fills id, flags, load mode and candidate files from a screen-file asset
    // entry of `folder`, then reads the kind data. The candidates come from
    // `index` when given (the screen reader's one search of the folder),
    // otherwise from a search of their own.
    void readScreenEntry(int32_t folder, FInStream& reader, const FAssetCandidates* index = nullptr);
    // Opens the first candidate file as the source (once).
    void openFirstSource();
    // Reads the whole source into memory (state 2).
    void loadNow();
    void unload(bool forced);
    void markLoaded();

    // A handle whose holder deletes an asset: loaders install new assets into
    // the empty target of such a handle so that every copy sees them.
    static FRef emptyHandle();
    // A handle that owns `asset` (made with engineNew); empty for null.
    static FRef handleFor(FAsset* asset);

    // The attached source stream, once no job holds it any more; null when
    // none is attached. Loaders call it from load.
    FInStream* waitSource();
    // The handle of the attached source (loaders that hand it on).
    FRefT<FInStream> sourceHandle();

    FMutex& lock() { return m_lock; }
    int32_t state() const { return m_state.load(); }
    bool isLoaded() const { return m_state.load() == k_loaded && !m_failed.load(); }
    bool hasFailed() const { return m_failed.load(); }
    bool isCompleted() const { return m_completed.load(); }
    int32_t references() const { return m_references.load(); }
    int32_t users() const { return m_users.load(); }
    int32_t pins() const { return m_pins.load(); }
    int32_t id() const { return m_id; }
    void setId(int32_t id) { m_id = id; }
    uint8_t entryFlags() const;
    void setEntryFlags(uint8_t flags);
    int32_t loadMode() const { return m_loadMode; }
    void setLoadMode(int32_t mode) { m_loadMode = mode; }
    FAssetLoader* loader() const { return m_loader; }
    void setLoader(FAssetLoader* loader) { m_loader = loader; }
    const std::vector<FRefT<FFileEntry>>& candidates() const { return m_candidates; }
    void setCandidates(std::vector<FRefT<FFileEntry>> candidates) { m_candidates = std::move(candidates); }
    int32_t sourceIndex() const { return m_sourceIndex; }
    // The extension of the first candidate ("" when there is none).
    FString firstExtension() const;

    // A loader service slot for the files of one extension.
    struct LoaderChoice
    {
        const char16_t* extension;
        int slot;
    };
    // Takes the loader of the slot whose extension equals the first
    // candidate's exactly (case included); no match leaves the loader as it is.
    void chooseLoaderByExtension(std::span<const LoaderChoice> choices);

protected:
    void setState(int32_t state);
    // Change only the counts (kinds that forward their counts to parts).
    int32_t countReferences(int32_t delta) { return m_references += delta; }
    int32_t countUsers(int32_t delta) { return m_users += delta; }

private:
    // Opens the chosen candidate again (state 0 on the way to a load).
    void reopenSource();
    // Runs a step of loading; a failure marks the asset failed and empty.
    template <class Step> void guarded(Step step);
    void dropSource();
    void unloadIfUnused();

    std::atomic<int32_t> m_references{0};
    std::atomic<int32_t> m_users{0};
    std::atomic<int32_t> m_pins{0};
    std::atomic<bool> m_unloadPending{false};
    int32_t m_id = 0;
    bool m_loadOnUse = false;
    bool m_unloadWhenUnused = false;
    bool m_keepSource = false;
    bool m_preload = false;
    FMutex m_lock;
    std::atomic<int32_t> m_state{k_initial};
    int32_t m_loadMode = k_modeDefault;
    std::atomic<bool> m_completed{false};
    std::atomic<bool> m_failed{false};
    std::vector<FRefT<FFileEntry>> m_candidates;
    int32_t m_sourceIndex = -1;
    FRefT<FInStream> m_source;
    bool m_rewindPending = false;
    FAssetLoader* m_loader = nullptr;
};
