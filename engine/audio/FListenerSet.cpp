#include "audio/FListenerSet.h"

#include "audio/FAudioListener.h"

bool FListenerSet::insert(const FRef& listener)
{
    auto [it, inserted] = m_entries.try_emplace(listener.holder(), Entry{listener, false});
    if (!inserted) it->second.removed = false;
    return inserted;
}

bool FListenerSet::remove(const FRef& listener)
{
    auto it = m_entries.find(listener.holder());
    if (it == m_entries.end()) return false;
    it->second.removed = true;
    return true;
}

const FListenerSet::Entry* FListenerSet::find(const FRef& listener) const
{
    auto it = m_entries.find(listener.holder());
    return it == m_entries.end() ? nullptr : &it->second;
}

template <class Call> void FListenerSet::walk(Call&& call)
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        auto* cell = it->second.handle.as<FAudioListener>();
        if (it->second.removed || cell == nullptr) {
            it = m_entries.erase(it);
            continue;
        }
        // A listener may add or remove entries while it runs: std::map keeps
        // the other iterators valid, and removal only marks.
        FRef keep = it->second.handle;
        call(*cell);
        ++it;
    }
}

void FListenerSet::notify(std::intptr_t argument)
{
    walk([argument](FAudioListener& cell) {
        if (cell.onNotify != nullptr) cell.onNotify->invoke(argument);
    });
}

void FListenerSet::notifyProgress(FAudioNode* sender, int state, int position, int milliseconds)
{
    walk([&](FAudioListener& cell) {
        if (cell.onProgress != nullptr) cell.onProgress->invoke(sender, state, position, milliseconds);
    });
}
