#pragma once

// Objects that modules publish in the application's service slots. The
// constructor writes the object's address into its slot, the destructor
// writes null back, so a reader finds a service exactly while it lives.
// Readers test a slot for null and cast it to the interface they expect.

class FAppListener
{
public:
    // `slot` may be null (no application alive): nothing is published then.
    explicit FAppListener(FAppListener** slot) noexcept : m_slot(slot)
    {
        if (m_slot != nullptr) {
            *m_slot = this;
        }
    }
    virtual ~FAppListener()
    {
        if (m_slot != nullptr) {
            *m_slot = nullptr;
        }
    }
    FAppListener(const FAppListener&) = delete;
    FAppListener& operator=(const FAppListener&) = delete;

    FAppListener** slot() const noexcept { return m_slot; }

private:
    FAppListener** m_slot;
};

// The slot-interface bases, named by the number of operations their users add.
class FAppListener3 : public FAppListener
{
public:
    using FAppListener::FAppListener;
};
class FAppListener4 : public FAppListener
{
public:
    using FAppListener::FAppListener;
};
class FAppListener6 : public FAppListener
{
public:
    using FAppListener::FAppListener;
};
class FAppListener11 : public FAppListener
{
public:
    using FAppListener::FAppListener;
};
class FAppListener13 : public FAppListener
{
public:
    using FAppListener::FAppListener;
};
