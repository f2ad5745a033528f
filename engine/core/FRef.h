#pragma once

// Counted handles on shared objects.
//
// A handle (FRef) refers to a holder (FRefHolder) that owns the target object
// and deletes it with the last reference. Holders form families: a dependent
// holder reads the target of its family's canonical holder, so one object can
// be replaced, destroyed or swapped for every handle at once. A signalled
// holder (makeSignaledRef) lets a consumer wait until the asynchronous job
// working on the object (holding a handle from FRef::makeDependent) has let go.
//
// The reference count is atomic, so handles may be copied and released on any
// thread. Replacing, swapping and destroying targets and registering dependents
// are not locked: callers order them so that they do not race.

#include "core/FMemory.h"
#include "core/FSignal.h"

#include <atomic>
#include <cstdint>
#include <vector>

class FRef;

class FRefHolder
{
public:
    using Deleter = void (*)(void* target);

    // A holder with one reference, owning `target` (may be null).
    FRefHolder(void* target, Deleter deleter) noexcept;
    virtual ~FRefHolder();
    FRefHolder(const FRefHolder&) = delete;
    FRefHolder& operator=(const FRefHolder&) = delete;

    void* ownTarget() const noexcept { return m_target; }
    std::int32_t count() const noexcept { return m_count.load(std::memory_order_acquire); }
    FRefHolder* owner() const noexcept { return m_owner; }
    FRefHolder* canonical() const noexcept { return m_canonical; }
    // Removed dependents leave a null entry, which the next dependent reuses.
    const std::vector<FRefHolder*>& dependents() const noexcept { return m_dependents; }

    void addRef() noexcept;
    // Drops one reference and deletes the holder when it was the last.
    void releaseRef() noexcept;

    // Takes `dependent` out of this holder's dependents and drops the reference
    // it held here; true when that was the last reference (the caller then
    // deletes this holder).
    virtual bool removeDependent(FRefHolder* dependent) noexcept;
    // Points every dependent (depth first) at this holder's canonical holder.
    void redirectDependents() noexcept;

protected:
    // Drops one reference without deleting; true when it was the last.
    bool dropReference() noexcept;
    void clearDependentEntry(FRefHolder* dependent) noexcept;
    void deleteOwnTarget() noexcept;

private:
    friend class FRef;
    friend void swapRefTargets(FRef& a, FRef& b) noexcept;

    void* m_target;
    std::atomic<std::int32_t> m_count;
    FRefHolder* m_owner;
    FRefHolder* m_canonical;
    std::vector<FRefHolder*> m_dependents;
    Deleter m_deleter;
};

// A holder with a signal: set while no dependent is outstanding.
class FSignaledRefHolder : public FRefHolder
{
public:
    FSignaledRefHolder(void* target, Deleter deleter) noexcept;
    ~FSignaledRefHolder() override;

    bool removeDependent(FRefHolder* dependent) noexcept override;
    FSignal& signal() noexcept { return m_signal; }

private:
    FSignal m_signal;
};

class FRef
{
public:
    FRef() noexcept = default;
    // Adopts the one reference that a new holder starts with.
    explicit FRef(FRefHolder* holder) noexcept : m_holder(holder) {}
    FRef(const FRef& other) noexcept;
    FRef(FRef&& other) noexcept : m_holder(other.m_holder) { other.m_holder = nullptr; }
    FRef& operator=(const FRef& other) noexcept;
    FRef& operator=(FRef&& other) noexcept;
    ~FRef() { release(); }

    // Drops this handle's reference; the handle is null afterwards.
    void release() noexcept;

    // The family's object: the target of the canonical holder (null for an
    // empty family or a null handle).
    void* get() const noexcept;
    template <class T> T* as() const noexcept { return static_cast<T*>(get()); }
    FRefHolder* holder() const noexcept { return m_holder; }
    // A null handle has no holder at all (its holder could not be allocated).
    bool isNull() const noexcept { return m_holder == nullptr; }

    // Gives this handle's own holder a new target (deleting its previous own
    // target) and makes it the canonical holder of its dependents; a dependent
    // leaves its owner.
    void setTarget(void* object) noexcept;

    // Deletes the family's object; every handle of the family stays valid and
    // reads null. Releases `handle`.
    static void destroyTarget(FRef handle) noexcept;

    // A dependent handle on a signalled parent. Waits until the parent's
    // previous dependent (if any) has been released, so at most one dependent
    // is outstanding. Null when `parent` is not a signalled holder or memory
    // ran out.
    static FRef makeDependent(const FRef& parent);

private:
    FRefHolder* m_holder = nullptr;
};

// A handle whose target is known to be a T (the type it was made with).
template <class T> class FRefT : public FRef
{
public:
    FRefT() noexcept = default;
    explicit FRefT(FRef handle) noexcept : FRef(static_cast<FRef&&>(handle)) {}

    T* get() const noexcept { return static_cast<T*>(FRef::get()); }
    T* operator->() const noexcept { return get(); }
    T& operator*() const noexcept { return *get(); }
    void setTarget(T* object) noexcept { FRef::setTarget(object); }
};

// Exchanges the holders of two handles.
void swapRefs(FRef& a, FRef& b) noexcept;
// Exchanges the objects of two families: every handle of each reads the other's.
void swapRefTargets(FRef& a, FRef& b) noexcept;
void releaseRefRange(FRef* first, FRef* last) noexcept;

// Waits until no dependent of the handle's signalled holder is outstanding and
// returns the family's object; the signal stays set afterwards.
void* waitForRefTarget(const FRef& handle);
template <class T> T* waitForRefTarget(const FRefT<T>& handle)
{
    return static_cast<T*>(waitForRefTarget(static_cast<const FRef&>(handle)));
}

namespace FRefDeleters {
template <class T> void deleteObject(void* target)
{
    engineDelete(static_cast<T*>(target));
}
inline void freeBlock(void* target)
{
    engineFree(target);
}
} // namespace FRefDeleters

// Makes a holder of the given kind (category 1); a null handle when no memory
// is left (the object is then deleted).
FRef makeHolderRef(void* target, FRefHolder::Deleter deleter);
FRef makeSignaledHolderRef(void* target, FRefHolder::Deleter deleter);

// A handle on an empty holder: get() reads null.
inline FRef makeNullRef()
{
    return makeHolderRef(nullptr, nullptr);
}

// The object (made with engineNew or new) is deleted with the last reference.
template <class T> FRefT<T> makeRef(T* object)
{
    return FRefT<T>(makeHolderRef(object, &FRefDeleters::deleteObject<T>));
}
template <class T> FRefT<T> makeTypedRefHolder(T* object)
{
    return makeRef(object);
}
// A raw engine block, given back with engineFree.
inline FRef makeRefHolder(void* block)
{
    return makeHolderRef(block, &FRefDeleters::freeBlock);
}

template <class T> FRefT<T> makeSignaledRef(T* object)
{
    return FRefT<T>(makeSignaledHolderRef(object, &FRefDeleters::deleteObject<T>));
}
