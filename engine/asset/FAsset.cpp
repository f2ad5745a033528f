#include "asset/FAsset.h"

#include "asset/FAssetCandidates.h"
#include "asset/FAssetLoader.h"
#include "asset/FScreenFormat.h"
#include "core/FApplication.h"
#include "core/FDebug.h"
#include "core/FErrorMessage.h"
#include "core/FLogStream.h"

#include <exception>

FAsset::FAsset() = default;

FAsset::~FAsset() = default;

FRef FAsset::emptyHandle()
{
    return makeHolderRef(nullptr, &FRefDeleters::deleteObject<FAsset>);
}

FRef FAsset::handleFor(FAsset* asset)
{
    return asset != nullptr ? makeHolderRef(asset, &FRefDeleters::deleteObject<FAsset>) : FRef();
}

void FAsset::setState(int32_t state)
{
    m_state.store(state);
}

void FAsset::markLoaded()
{
    FMutexLock lock(m_lock);
    m_failed = false;
    setState(k_loaded);
}

uint8_t FAsset::entryFlags() const
{
    return static_cast<uint8_t>((m_loadOnUse ? k_flagLoadOnUse : 0) |
                                (m_unloadWhenUnused ? k_flagUnloadWhenUnused : 0) |
                                (m_keepSource ? k_flagKeepSource : 0) | (m_preload ? k_flagPreload : 0));
}

void FAsset::setEntryFlags(uint8_t flags)
{
    m_loadOnUse = (flags & k_flagLoadOnUse) != 0;
    m_unloadWhenUnused = (flags & k_flagUnloadWhenUnused) != 0;
    m_keepSource = (flags & k_flagKeepSource) != 0;
    m_preload = (flags & k_flagPreload) != 0;
}

FString FAsset::firstExtension() const
{
    return m_candidates.empty() ? FString() : m_candidates.front()->extension();
}

void FAsset::chooseLoaderByExtension(std::span<const LoaderChoice> choices)
{
    const FString extension = firstExtension();
    for (const LoaderChoice& choice : choices) {
        if (extension == choice.extension) {
            setLoader(findService<FAssetLoader>(choice.slot));
            return;
        }
    }
}

FInStream* FAsset::waitSource()
{
    FMutexLock lock(m_lock);
    return m_source.isNull() ? nullptr : waitForRefTarget(m_source);
}

FRefT<FInStream> FAsset::sourceHandle()
{
    FMutexLock lock(m_lock);
    return m_source;
}

void FAsset::dropSource()
{
    m_source = FRefT<FInStream>();
}

template <class Step> void FAsset::guarded(Step step)
{
    // The loader has raised its failure report already (or ran out of
    // memory): the asset stays failed and empty instead of reading as
    // loaded, and the thread that asked for it goes on.
    bool failed = false;
    try {
        step();
    } catch (const FDebug::VellumcoreException&) {
        failed = true;
    } catch (const FDebug::TreatedException&) {
        failed = true;
    } catch (const std::exception&) {
        failed = true;
    }
    if (!failed) return;
    releaseData(true);
    dropSource();
    m_failed = true;
    m_completed = false;
    setState(k_unloaded);
    ZIBBO_LOG(k_logWarn, false) << "Asset " << m_id << " failed to load and stays empty";
}

void FAsset::setSource(FRefT<FInStream> stream)
{
    FMutexLock lock(m_lock);
    if (stream.holder() != m_source.holder()) m_source = std::move(stream);
    m_failed = false;
    setState(k_requested);
    m_completed = false;
    if (!m_loadOnUse && !m_unloadWhenUnused) {
        if (m_preload)
            loadNow();
        else
            complete();
    }
}

void FAsset::ensureLoaded()
{
    if (!m_completed) complete();
}

void FAsset::reopenSource()
{
    if (m_sourceIndex < 0 || m_sourceIndex >= static_cast<int32_t>(m_candidates.size())) return;
    FAssetLoader::openSource(*this, m_candidates[static_cast<size_t>(m_sourceIndex)]);
}

void FAsset::complete()
{
    if (m_completed) return;
    FMutexLock lock(m_lock);
    if (m_failed) return;
    if (m_state == k_loaded) {
        m_completed = true;
        return;
    }
    if (m_state == k_unloaded) {
        guarded([this] { reopenSource(); });
        if (m_failed) return;
    }
    if (m_rewindPending) {
        if (FInStream* stream = m_source.isNull() ? nullptr : waitForRefTarget(m_source)) {
            stream->clear();
            stream->seekg(0);
        }
        m_rewindPending = false;
    }
    if (m_preload && m_state == k_requested) loadNow();
    if (m_failed) return;
    if (m_state != k_loaded) {
        setState(k_loaded);
        guarded([this] { loadContent(); });
        if (m_failed) return;
        if (!m_preload && !m_keepSource) dropSource();
        m_completed = true;
    }
    m_loadOnUse = false;
}

void FAsset::loadContent()
{
    if (m_loader == nullptr) return;
    if (m_source.isNull() || waitForRefTarget(m_source) == nullptr) reopenSource();
    if (m_source.isNull() || waitForRefTarget(m_source) == nullptr)
        ZIBBO_FAIL(msgIllegalOperation, "source of asset (" << m_id << ") != NULL");
    m_loader->load(*this);
}

void FAsset::loadNow()
{
    FMutexLock lock(m_lock);
    if (m_state == k_unloaded) {
        m_completed = false;
        guarded([this] { reopenSource(); });
        if (m_failed) return;
    }
    if (m_state != k_requested) return;
    setState(k_buffered);
    m_completed = false;
    m_loadOnUse = false;
    guarded([this] {
        FInStream* stream = m_source.isNull() ? nullptr : waitForRefTarget(m_source);
        if (stream == nullptr) ZIBBO_FAIL(msgIllegalOperation, "source of asset (" << m_id << ") != NULL");
        const int64_t size = stream->remaining();
        void* block = engineAlloc(k_memAsset, static_cast<size_t>(size > 0 ? size : 1));
        if (block == nullptr) ZIBBO_FAIL(msgSystemError, "engineAlloc (" << size << ")");
        FRef holder = makeRefHolder(block);
        if (holder.isNull()) ZIBBO_FAIL(msgSystemError, "makeRefHolder (NULL)");
        const std::streamsize got = stream->buffer()->sgetn(static_cast<char*>(block), size);
        if (got != size)
            ZIBBO_FAIL(msgFileCorrupted, "sizeRead (" << got << ") == sizeToRead (" << size << ")");
        m_source = FAssetLoader::openMemorySubStream(size, std::move(holder));
    });
}

void FAsset::unload(bool forced)
{
    if (m_pins > 0) {
        m_unloadPending = true;
        return;
    }
    m_completed = false;
    bool complete = forced;
    if (!forced) {
        if (m_loadMode == k_modeRelease)
            complete = true;
        else if (m_loadMode == k_modeKeep)
            return;
        else if (!m_unloadWhenUnused && !m_preload)
            return;
    }
    FMutexLock lock(m_lock);
    if (!complete) {
        if (m_state == k_loaded) {
            releaseData(false);
            setState(m_preload ? k_buffered : (m_loader != nullptr ? k_initial : k_requested));
            if (m_source.isNull() || waitForRefTarget(m_source) == nullptr) m_state = k_unloaded;
        }
        if (!m_source.isNull() && waitForRefTarget(m_source) != nullptr) {
            if (m_unloadWhenUnused && m_loader != nullptr) {
                dropSource();
                m_state = k_unloaded;
            } else {
                m_rewindPending = true;
            }
        }
        return;
    }
    if (m_state != k_unloaded) {
        if (m_state == k_loaded || m_keepSource) releaseData(forced);
        setState(k_unloaded);
        dropSource();
    }
}

void FAsset::openFirstSource()
{
    if (m_candidates.empty() || m_sourceIndex == 0) return;
    FMutexLock lock(m_lock);
    if (m_state != k_unloaded) unload(true);
    onFirstSource(m_candidates.front());
    m_completed = false;
    m_sourceIndex = 0;
    guarded([this] { FAssetLoader::openSource(*this, m_candidates.front()); });
}

int32_t FAsset::addRef()
{
    return ++m_references;
}

int32_t FAsset::release()
{
    return --m_references;
}

void FAsset::addUser()
{
    ++m_users;
    ensureLoaded();
}

void FAsset::dropUser()
{
    if (--m_users < 1) unloadIfUnused();
}

void FAsset::unloadIfUnused()
{
    // A user that arrived on another thread since the count fell keeps the
    // content: it may already have found it loaded.
    FMutexLock lock(m_lock);
    if (m_users < 1) unload(false);
}

void FAsset::pin()
{
    ++m_pins;
}

void FAsset::unpin()
{
    if (--m_pins == 0 && m_unloadPending.exchange(false) && m_users < 1) unloadIfUnused();
}

void FAsset::resolveLinks(FScreenRegistry&) {}

void FAsset::readKindData(FInStream&) {}

void FAsset::onFirstSource(const FRefT<FFileEntry>&) {}

void FAsset::releaseData(bool) {}

void FAsset::readScreenEntry(int32_t folder, FInStream& reader, const FAssetCandidates* index)
{
    m_id = reader.readInt16();
    FScreenFormat::skipName(reader);
    const int16_t entries = reader.readInt16();
    for (int16_t i = 0; i < entries; ++i) {
        reader.readInt16();
        setEntryFlags(reader.readUInt8());
        m_loadMode = reader.readUInt8();
    }
    m_candidates = index != nullptr ? index->find(m_id) : FAssetCandidates::search(folder, m_id);
    readKindData(reader);
}
