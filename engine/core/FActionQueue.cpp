#include "core/FActionQueue.h"

#include "core/FAction.h"

FActionQueue::~FActionQueue()
{
    for (const Entry& entry : m_entries) {
        if (entry.kind == Entry::k_action && entry.action->waiter())
            FAction::finishWaited(entry.action);
        else if (entry.kind == Entry::k_action)
            engineDelete(entry.action);
    }
}

void FActionQueue::push(const Entry& entry)
{
    FMutexLock lock(m_lock);
    m_entries.push_back(entry);
    m_count.release();
}

void FActionQueue::pushOrReplace(FAction* action)
{
    FMutexLock lock(m_lock);
    for (Entry& entry : m_entries) {
        if (entry.kind != Entry::k_action || entry.action->tag() != action->tag() ||
            !entry.action->sameCall(*action))
            continue;
        FAction* replaced = entry.action;
        entry.action = action;
        if (replaced->waiter())
            FAction::finishWaited(replaced);
        else
            engineDelete(replaced);
        return;
    }
    m_entries.push_back(Entry{Entry::k_action, action});
    m_count.release();
}

void FActionQueue::pushFront(std::deque<FAction*>& actions)
{
    FMutexLock lock(m_lock);
    const auto count = static_cast<uint32_t>(actions.size());
    while (!actions.empty()) {
        m_entries.push_front(Entry{Entry::k_action, actions.back()});
        actions.pop_back();
    }
    m_count.release(count);
}

FActionQueue::Entry FActionQueue::popFront()
{
    FMutexLock lock(m_lock);
    if (m_entries.empty()) return Entry{};
    Entry entry = m_entries.front();
    m_entries.pop_front();
    return entry;
}

std::size_t FActionQueue::size()
{
    FMutexLock lock(m_lock);
    return m_entries.size();
}
