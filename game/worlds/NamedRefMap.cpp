#include "game/worlds/NamedRefMap.h"

FRef& NamedRefMap::findOrInsert(const std::string& name)
{
    auto found = m_entries.find(name);
    if (found != m_entries.end()) return found->second;
    return m_entries.emplace(name, makeNullRef()).first->second;
}

const FRef* NamedRefMap::find(const std::string& name) const
{
    auto found = m_entries.find(name);
    return found == m_entries.end() ? nullptr : &found->second;
}
