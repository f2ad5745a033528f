#pragma once

#include "core/FRef.h"

#include <cstddef>
#include <deque>

class FVideo;

// The clip queue of the character sprites: the front entry is the clip that
// plays. A clip queued while the front one may be interrupted (or into an
// empty queue) replaces the whole queue; otherwise it waits its turn.
class VideoClipQueue
{
public:
    struct Entry
    {
        FRefT<FVideo> clip;
        // Queued again when it finishes with nothing behind it.
        bool repeat = false;
        // A clip queued while this one is at the front replaces the queue.
        bool interruptible = true;
        bool reverse = false;
    };

    // Appends the entry; true when it replaced the queue, so the caller
    // starts it now.
    bool push(Entry entry);
    // Takes the front entry off (an empty entry from an empty queue).
    Entry pop();
    void clear() { m_entries.clear(); }
    bool empty() const { return m_entries.empty(); }
    std::size_t size() const { return m_entries.size(); }
    const Entry& front() const { return m_entries.front(); }

private:
    std::deque<Entry> m_entries;
};
