#pragma once

#include "core/FRef.h"

#include <cstdint>
#include <map>

class FAudioNode;

// Listener handles (targets are FAudioListener cells) ordered by handle
// identity. Removing only marks an entry; the next notification erases it, so a
// listener may remove itself while it is being called.
class FListenerSet
{
public:
    struct Entry
    {
        FRef handle;
        bool removed = false;
    };

    // False when the handle was already present (its entry is then revived).
    bool insert(const FRef& listener);
    // Marks the entry of `listener` removed; false when it is absent.
    bool remove(const FRef& listener);
    void notify(std::intptr_t argument);
    void notifyProgress(FAudioNode* sender, int state, int position, int milliseconds);
    void clear() { m_entries.clear(); }

    bool empty() const { return m_entries.empty(); }
    std::size_t size() const { return m_entries.size(); }
    const Entry* find(const FRef& listener) const;

private:
    template <class Call> void walk(Call&& call);

    std::map<const FRefHolder*, Entry> m_entries;
};
