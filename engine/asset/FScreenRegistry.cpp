#include "asset/FScreenRegistry.h"

FRef FScreenRegistry::find(const std::map<int32_t, FRef>& map, int32_t id) const
{
    FMutexLock lock(m_lock);
    auto it = map.find(id);
    return it != map.end() ? it->second : FRef();
}

void FScreenRegistry::storeWidget(int32_t id, FRef widget)
{
    FMutexLock lock(m_lock);
    m_first[id] = std::move(widget);
}

bool FScreenRegistry::insertAsset(int32_t id, FRef asset)
{
    FMutexLock lock(m_lock);
    return m_second.try_emplace(id, std::move(asset)).second;
}

void FScreenRegistry::storeText(int32_t key, FRef text)
{
    FMutexLock lock(m_lock);
    m_third[key] = std::move(text);
}

void FScreenRegistry::erase(int32_t id)
{
    FRef first, second, third; // released after the lock
    FMutexLock lock(m_lock);
    for (auto* map : {&m_first, &m_second, &m_third}) {
        auto it = map->find(id);
        if (it == map->end()) continue;
        (map == &m_first ? first : map == &m_second ? second : third) = std::move(it->second);
        map->erase(it);
    }
}

std::vector<FRef> FScreenRegistry::assets() const
{
    FMutexLock lock(m_lock);
    std::vector<FRef> all;
    all.reserve(m_second.size());
    for (const auto& [id, asset] : m_second)
        all.push_back(asset);
    return all;
}

std::size_t FScreenRegistry::widgetCount() const
{
    FMutexLock lock(m_lock);
    return m_first.size();
}

std::size_t FScreenRegistry::assetCount() const
{
    FMutexLock lock(m_lock);
    return m_second.size();
}

std::size_t FScreenRegistry::textCount() const
{
    FMutexLock lock(m_lock);
    return m_third.size();
}

void FScreenRegistry::clear()
{
    std::map<int32_t, FRef> first, second, third;
    FMutexLock lock(m_lock);
    first.swap(m_first);
    second.swap(m_second);
    third.swap(m_third);
}
