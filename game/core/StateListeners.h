#pragma once

// The listeners of a game record's state changes (a searchable object, an
// active power-up). A listener is a handle on a cell holding a delegate; the
// record keeps one reference per listener. A listener whose cell has been
// destroyed (FRef::destroyTarget) is dropped at the next notification, so a
// view can go away without telling every record it watched.

#include "core/FDelegate.h"
#include "core/FMemory.h"
#include "core/FRef.h"

#include <algorithm>
#include <vector>

template <class T> class StateListeners
{
public:
    using Callback = FDelegate<void(T&)>;

    // The cell a listener handle holds; it owns a clone of the callback.
    class Cell
    {
    public:
        explicit Cell(const Callback* callback) { cloneDelegate(m_callback, callback); }
        ~Cell() { freeAndNull(m_callback); }
        Cell(const Cell&) = delete;
        Cell& operator=(const Cell&) = delete;
        void call(T& value)
        {
            if (m_callback != nullptr) {
                m_callback->invoke(value);
            }
        }

    private:
        Callback* m_callback = nullptr;
    };

    // A new listener handle whose cell calls a clone of `callback`.
    static FRefT<Cell> makeListener(const Callback* callback)
    {
        return makeRef(engineNew<Cell>(k_memObject, callback));
    }

    StateListeners() = default;
    // A copied record starts without listeners.
    StateListeners(const StateListeners&) {}
    StateListeners& operator=(const StateListeners&) { return *this; }

    // Adds `listener` once; a handle already present is not added again.
    void add(const FRef& listener)
    {
        if (std::none_of(m_entries.begin(), m_entries.end(),
                         [&](const FRef& entry) { return entry.holder() == listener.holder(); })) {
            m_entries.push_back(listener);
        }
    }
    void remove(const FRef& listener)
    {
        std::erase_if(m_entries, [&](const FRef& entry) { return entry.holder() == listener.holder(); });
    }
    std::size_t size() const noexcept { return m_entries.size(); }

    // Calls every live listener with `value`, in the order they were added.
    void notify(T& value)
    {
        std::erase_if(m_entries, [](const FRef& entry) { return entry.get() == nullptr; });
        // A listener may add or remove listeners while it runs.
        std::vector<FRef> entries = m_entries;
        for (const FRef& entry : entries) {
            if (Cell* cell = entry.as<Cell>(); cell != nullptr) {
                cell->call(value);
            }
        }
    }

private:
    std::vector<FRef> m_entries;
};
