#pragma once

// Delegates bind a member function to an object, so that widgets, sounds and
// the platform can call back into their owners without knowing their types.
//
// A delegate lives in engine memory and is released with engineFree (it has
// nothing to destroy). Owners keep a clone of the delegate they are given:
//
//   auto* temporary = makeObjectDelegate(this, &FMyScreen::onClose);
//   FDelegate<void()>::assign(m_onClose, temporary);
//   engineFree(temporary);

#include "core/FMemory.h"
#include "core/FRef.h"

#include <cstdint>
#include <type_traits>
#include <utility>

template <class Signature = void()> class FDelegate;

template <class R, class... Args> class FDelegate<R(Args...)>
{
public:
    // Calls the bound member with the caller's arguments.
    virtual R invoke(Args... args) = 0;
    // A copy in engine memory, or null when no memory is left.
    virtual FDelegate* clone() const = 0;

    R operator()(Args... args) { return invoke(std::forward<Args>(args)...); }

    // Frees the delegate `member` holds and stores a clone of `given` (null when
    // `given` is null).
    static void assign(FDelegate*& member, const FDelegate* given)
    {
        freeAndNull(member);
        member = given != nullptr ? given->clone() : nullptr;
    }

protected:
    FDelegate() = default;
    FDelegate(const FDelegate&) = default;
    ~FDelegate() = default;
};

// Calls `member` on the object at `object` + `adjustment` bytes (the object a
// member of a further base class must be called on).
template <class T, class Signature> class FMemberDelegate;

template <class T, class R, class... Args>
class FMemberDelegate<T, R(Args...)> final : public FDelegate<R(Args...)>
{
public:
    using Member = R (T::*)(Args...);

    FMemberDelegate(void* object, Member member, std::int32_t adjustment) noexcept
        : m_object(object), m_member(member), m_adjustment(adjustment)
    {
    }

    R invoke(Args... args) override
    {
        T* self = static_cast<T*>(static_cast<void*>(static_cast<char*>(m_object) + m_adjustment));
        return (self->*m_member)(std::forward<Args>(args)...);
    }
    FDelegate<R(Args...)>* clone() const override { return engineNew<FMemberDelegate>(k_memObject, *this); }

    void* object() const noexcept { return m_object; }
    std::int32_t adjustment() const noexcept { return m_adjustment; }

private:
    void* m_object;
    Member m_member;
    std::int32_t m_adjustment;
};

// Calls `function` on `object` as it is.
template <class T, class Signature> class FObjectDelegate;

template <class T, class R, class... Args>
class FObjectDelegate<T, R(Args...)> final : public FDelegate<R(Args...)>
{
public:
    using Function = R (T::*)(Args...);

    FObjectDelegate(T* object, Function function) noexcept : m_object(object), m_function(function) {}

    R invoke(Args... args) override { return (m_object->*m_function)(std::forward<Args>(args)...); }
    FDelegate<R(Args...)>* clone() const override { return engineNew<FObjectDelegate>(k_memObject, *this); }

    T* object() const noexcept { return m_object; }

private:
    T* m_object;
    Function m_function;
};

// New delegates in engine memory (null when no memory is left).
template <class T, class R, class... Args>
FDelegate<R(Args...)>* makeMemberDelegate(void* object, R (T::*member)(Args...), std::int32_t adjustment)
{
    return engineNew<FMemberDelegate<T, R(Args...)>>(k_memObject, object, member, adjustment);
}
template <class T, class R, class... Args>
FDelegate<R(Args...)>* makeMemberDelegate(T* object, R (T::*member)(Args...))
{
    return makeMemberDelegate<T>(static_cast<void*>(object), member, 0);
}
template <class T, class R, class... Args>
FDelegate<R(Args...)>* makeObjectDelegate(T* object, R (T::*function)(Args...))
{
    return engineNew<FObjectDelegate<T, R(Args...)>>(k_memObject, object, function);
}

// Writes a clone of `given` (or null) into `out`.
template <class Signature> void cloneDelegate(FDelegate<Signature>*& out, const FDelegate<Signature>* given)
{
    out = given != nullptr ? given->clone() : nullptr;
}

// A shared callback: one owned delegate (or null) in a cell held by handles.
template <class Signature = void()> struct FCallbackCell
{
    FDelegate<Signature>* delegate = nullptr;

    static void destroy(void* target)
    {
        auto* cell = static_cast<FCallbackCell*>(target);
        freeAndNull(cell->delegate);
        engineFree(cell);
    }
};

// A new handle on a cell holding a clone of `given` (or null).
template <class Signature>
FRefT<FCallbackCell<Signature>> makeCallbackHolder(const FDelegate<Signature>* given)
{
    auto* cell = engineNew<FCallbackCell<Signature>>(k_memObject);
    if (cell == nullptr) {
        return {};
    }
    cloneDelegate(cell->delegate, given);
    return FRefT<FCallbackCell<Signature>>(makeHolderRef(cell, &FCallbackCell<Signature>::destroy));
}
