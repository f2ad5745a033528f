#include "core/FRef.h"

#include "core/FLogStream.h"

#include <algorithm>
#include <utility>

FRefHolder::FRefHolder(void* target, Deleter deleter) noexcept
    : m_target(target), m_count(1), m_owner(nullptr), m_canonical(this), m_deleter(deleter)
{
}

FRefHolder::~FRefHolder()
{
    if (m_count.load(std::memory_order_acquire) != 0) {
        ZIBBO_LOG(k_logWarn, true) << "Removed a reference count when not last";
    }
    // A dependent's own target is null, so releasing a dependent never deletes
    // the family's object.
    deleteOwnTarget();
    if (m_owner != nullptr) {
        FRefHolder* owner = m_owner;
        m_owner = nullptr;
        if (owner->removeDependent(this)) {
            engineDelete(owner);
        }
    }
}

void FRefHolder::addRef() noexcept
{
    m_count.fetch_add(1, std::memory_order_relaxed);
}

void FRefHolder::releaseRef() noexcept
{
    if (dropReference()) {
        engineDelete(this);
    }
}

void FRefHolder::deleteOwnTarget() noexcept
{
    void* target = m_target;
    m_target = nullptr;
    if (target != nullptr && m_deleter != nullptr) {
        m_deleter(target);
    }
}

void FRefHolder::clearDependentEntry(FRefHolder* dependent) noexcept
{
    auto entry = std::find(m_dependents.begin(), m_dependents.end(), dependent);
    if (entry != m_dependents.end()) {
        *entry = nullptr;
    }
}

bool FRefHolder::dropReference() noexcept
{
    return m_count.fetch_sub(1, std::memory_order_acq_rel) == 1;
}

bool FRefHolder::removeDependent(FRefHolder* dependent) noexcept
{
    clearDependentEntry(dependent);
    return dropReference();
}

void FRefHolder::redirectDependents() noexcept
{
    for (FRefHolder* dependent : m_dependents) {
        if (dependent != nullptr) {
            dependent->m_canonical = m_canonical;
            dependent->redirectDependents();
        }
    }
}

FSignaledRefHolder::FSignaledRefHolder(void* target, Deleter deleter) noexcept
    : FRefHolder(target, deleter), m_signal(true)
{
}

FSignaledRefHolder::~FSignaledRefHolder() = default;

bool FSignaledRefHolder::removeDependent(FRefHolder* dependent) noexcept
{
    clearDependentEntry(dependent);
    // The job is done with the object: let the next one (or the consumer) in.
    m_signal.set();
    return dropReference();
}

FRef::FRef(const FRef& other) noexcept : m_holder(other.m_holder)
{
    if (m_holder != nullptr) {
        m_holder->addRef();
    }
}

FRef& FRef::operator=(const FRef& other) noexcept
{
    if (m_holder != other.m_holder) {
        FRefHolder* previous = m_holder;
        m_holder = other.m_holder;
        if (m_holder != nullptr) {
            m_holder->addRef();
        }
        if (previous != nullptr) {
            previous->releaseRef();
        }
    }
    return *this;
}

FRef& FRef::operator=(FRef&& other) noexcept
{
    if (this != &other) {
        FRefHolder* previous = m_holder;
        m_holder = other.m_holder;
        other.m_holder = nullptr;
        if (previous != nullptr) {
            previous->releaseRef();
        }
    }
    return *this;
}

void FRef::release() noexcept
{
    FRefHolder* holder = m_holder;
    m_holder = nullptr;
    if (holder != nullptr) {
        holder->releaseRef();
    }
}

void* FRef::get() const noexcept
{
    return m_holder != nullptr ? m_holder->m_canonical->m_target : nullptr;
}

void FRef::setTarget(void* object) noexcept
{
    FRefHolder* holder = m_holder;
    if (holder == nullptr) {
        return;
    }
    holder->addRef();
    holder->deleteOwnTarget();
    holder->m_target = object;
    if (holder->m_owner != nullptr) {
        FRefHolder* owner = holder->m_owner;
        holder->m_owner = nullptr;
        holder->m_canonical = holder;
        if (owner->removeDependent(holder)) {
            engineDelete(owner);
        }
    }
    holder->redirectDependents();
    holder->releaseRef();
}

void FRef::destroyTarget(FRef handle) noexcept
{
    if (handle.m_holder == nullptr) {
        return;
    }
    // The object goes; the canonical holder stays and reads null, so every
    // handle of the family remains valid.
    handle.m_holder->m_canonical->deleteOwnTarget();
}

FRef FRef::makeDependent(const FRef& parent)
{
    auto* owner = dynamic_cast<FSignaledRefHolder*>(parent.m_holder);
    if (owner == nullptr) {
        return {};
    }
    auto* dependent = engineNew<FSignaledRefHolder>(k_memObject, nullptr, owner->m_deleter);
    if (dependent == nullptr) {
        return {};
    }
    owner->addRef();
    bool signalTaken = false;
    try {
        // Only once the previous dependent is gone: it clears its entry in the
        // dependents list without a lock, so the list is touched only after the
        // wait.
        owner->signal().wait();
        signalTaken = true;
        auto entry = std::find(owner->m_dependents.begin(), owner->m_dependents.end(), nullptr);
        if (entry != owner->m_dependents.end()) {
            *entry = dependent;
        } else {
            owner->m_dependents.push_back(dependent);
        }
    } catch (...) {
        if (signalTaken) {
            owner->signal().set();
        }
        dependent->releaseRef();
        owner->releaseRef();
        throw;
    }
    dependent->m_owner = owner;
    dependent->m_canonical = owner->m_canonical;
    return FRef(dependent);
}

void swapRefs(FRef& a, FRef& b) noexcept
{
    FRef held(std::move(a));
    a = std::move(b);
    b = std::move(held);
}

void swapRefTargets(FRef& a, FRef& b) noexcept
{
    if (a.holder() == nullptr || b.holder() == nullptr) {
        return;
    }
    FRefHolder* first = a.holder()->m_canonical;
    FRefHolder* second = b.holder()->m_canonical;
    // Each object keeps the deleter it was made with.
    std::swap(first->m_target, second->m_target);
    std::swap(first->m_deleter, second->m_deleter);
}

void releaseRefRange(FRef* first, FRef* last) noexcept
{
    for (; first != last; ++first) {
        first->release();
    }
}

void* waitForRefTarget(const FRef& handle)
{
    auto* holder = dynamic_cast<FSignaledRefHolder*>(handle.holder());
    if (holder == nullptr) {
        return handle.get();
    }
    holder->signal().wait();
    holder->signal().set();
    return holder->canonical()->ownTarget();
}

FRef makeHolderRef(void* target, FRefHolder::Deleter deleter)
{
    auto* holder = engineNew<FRefHolder>(k_memObject, target, deleter);
    if (holder == nullptr) {
        if (target != nullptr && deleter != nullptr) {
            deleter(target);
        }
        return {};
    }
    return FRef(holder);
}

FRef makeSignaledHolderRef(void* target, FRefHolder::Deleter deleter)
{
    auto* holder = engineNew<FSignaledRefHolder>(k_memObject, target, deleter);
    if (holder == nullptr) {
        if (target != nullptr && deleter != nullptr) {
            deleter(target);
        }
        return {};
    }
    return FRef(holder);
}
