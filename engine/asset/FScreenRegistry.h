#pragma once

#include "core/FMutex.h"
#include "core/FRef.h"

#include <cstdint>
#include <map>
#include <vector>

// Where the screen module files everything that screen files create, by id:
// widgets (first map: insert or replace), assets (second map: insert only
// when the id is absent) and texts (third map: insert or replace). Screens
// fetch their content from it; lookups of absent ids answer an empty handle.
//
// Screens are built on worker threads while the UI thread binds and
// unbinds, so every map operation takes the registry's lock.
class FScreenRegistry
{
public:
    FRef findInFirst(int32_t id) const { return find(m_first, id); }
    FRef findInSecond(int32_t id) const { return find(m_second, id); }
    FRef findInThird(int32_t id) const { return find(m_third, id); }

    void storeWidget(int32_t id, FRef widget);
    // True when the id was absent and the asset went in.
    bool insertAsset(int32_t id, FRef asset);
    void storeText(int32_t key, FRef text);
    // Takes the id out of every map.
    void erase(int32_t id);

    // The registered assets in id order.
    std::vector<FRef> assets() const;
    std::size_t widgetCount() const;
    std::size_t assetCount() const;
    std::size_t textCount() const;
    void clear();

private:
    FRef find(const std::map<int32_t, FRef>& map, int32_t id) const;

    mutable FMutex m_lock;
    std::map<int32_t, FRef> m_first;
    std::map<int32_t, FRef> m_second;
    std::map<int32_t, FRef> m_third;
};
