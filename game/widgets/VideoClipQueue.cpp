#include "game/widgets/VideoClipQueue.h"

#include "video/FVideo.h"

bool VideoClipQueue::push(Entry entry)
{
    const bool replaces = m_entries.empty() || m_entries.front().interruptible;
    if (replaces) m_entries.clear();
    m_entries.push_back(std::move(entry));
    return replaces;
}

VideoClipQueue::Entry VideoClipQueue::pop()
{
    if (m_entries.empty()) return {FRefT<FVideo>(), false, false, false};
    Entry entry = std::move(m_entries.front());
    m_entries.pop_front();
    return entry;
}
