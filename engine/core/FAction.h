#pragma once

#include "core/FMemory.h"

#include <atomic>
#include <cstdint>
#include <cstring>

class FSemaphore;

// A call queued for a module's thread: a target object, one of its member
// handlers and the handler's arguments, stored inline. The handler receives
// the action itself (so that it can ask to be run again) and the addresses of
// the stored arguments.
class FAction
{
public:
    FAction(const FAction&) = delete;
    FAction& operator=(const FAction&) = delete;

    // Deletes the owned waiter.
    virtual ~FAction();

    virtual void execute() = 0;

    // Compared by postOrReplaceAction only.
    int32_t tag() const { return m_tag; }
    void setTag(int32_t tag) { m_tag = tag; }

    // When set, the poster waits on it; the queue signals it instead of
    // deleting the action, and the poster deletes the action afterwards.
    FSemaphore* waiter() const { return m_waiter; }
    void setWaiter(FSemaphore* waiter);

    // The queue is done with an action that has a waiter: signals the
    // waiter, or deletes the action when its poster has stopped waiting.
    static void finishWaited(FAction* action);
    // The poster stops waiting (its wait unwound): the action is deleted now
    // when the queue is done with it, otherwise by the queue later.
    static void abandonWaited(FAction* action);

    // A handler sets this to be run again later.
    void setRequeue(bool requeue) { m_requeue = requeue; }
    bool takeRequeue()
    {
        const bool requeue = m_requeue;
        m_requeue = false;
        return requeue;
    }

    // True when both actions call the same handler on the same object: the
    // handler's code address, its object adjustment (when there is code)
    // and the target.
    bool sameCall(const FAction& other) const;

protected:
    template <class T, class H> FAction(T* target, H handler) : m_target(target)
    {
        static_assert(sizeof(H) <= sizeof(m_handler), "member handler larger than expected");
        std::memcpy(m_handler, &handler, sizeof(H));
    }

private:
    const void* m_target;
    // The member handler's representation: its code address, then the
    // adjustment added to the target to form the object it runs on.
    unsigned char m_handler[2 * sizeof(void*)] = {};
    int32_t m_tag = 0;
    FSemaphore* m_waiter = nullptr;
    std::atomic<int> m_handOff{0}; // who is done with a waited action
    bool m_requeue = false;
};

template <class T> class FAction0 final : public FAction
{
public:
    using Handler = void (T::*)(FAction&);

    FAction0(T* target, Handler handler) : FAction(target, handler), m_object(target), m_call(handler) {}

    void execute() override { (m_object->*m_call)(*this); }

private:
    T* m_object;
    Handler m_call;
};

template <class T, class A1> class FAction1 final : public FAction
{
public:
    using Handler = void (T::*)(FAction&, A1*);

    FAction1(T* target, Handler handler, A1 a1)
        : FAction(target, handler), m_object(target), m_call(handler), m_a1(static_cast<A1&&>(a1))
    {
    }

    void execute() override { (m_object->*m_call)(*this, &m_a1); }

private:
    T* m_object;
    Handler m_call;
    A1 m_a1;
};

template <class T, class A1, class A2> class FAction2 final : public FAction
{
public:
    using Handler = void (T::*)(FAction&, A1*, A2*);

    FAction2(T* target, Handler handler, A1 a1, A2 a2)
        : FAction(target, handler), m_object(target), m_call(handler), m_a1(static_cast<A1&&>(a1)),
          m_a2(static_cast<A2&&>(a2))
    {
    }

    void execute() override { (m_object->*m_call)(*this, &m_a1, &m_a2); }

private:
    T* m_object;
    Handler m_call;
    A1 m_a1;
    A2 m_a2;
};

template <class T, class A1, class A2, class A3> class FAction3 final : public FAction
{
public:
    using Handler = void (T::*)(FAction&, A1*, A2*, A3*);

    FAction3(T* target, Handler handler, A1 a1, A2 a2, A3 a3)
        : FAction(target, handler), m_object(target), m_call(handler), m_a1(static_cast<A1&&>(a1)),
          m_a2(static_cast<A2&&>(a2)), m_a3(static_cast<A3&&>(a3))
    {
    }

    void execute() override { (m_object->*m_call)(*this, &m_a1, &m_a2, &m_a3); }

private:
    T* m_object;
    Handler m_call;
    A1 m_a1;
    A2 m_a2;
    A3 m_a3;
};

// Makes an action in engine memory (object category); null when memory is out.
template <class Action, class... Args> Action* makeAction(Args&&... args)
{
    return engineNew<Action>(k_memObject, static_cast<Args&&>(args)...);
}
