#pragma once

// An ordered map from an item name to a counted handle. Names are narrow byte
// strings compared byte by byte (case matters); registering a name inserts an
// empty handle first, a lookup never inserts. The map owns its handles:
// clearing or destroying it releases every one.

#include "core/FRef.h"

#include <cstddef>
#include <map>
#include <string>

class NamedRefMap
{
public:
    NamedRefMap() = default;
    NamedRefMap(const NamedRefMap&) = delete;
    NamedRefMap& operator=(const NamedRefMap&) = delete;

    // The slot of `name`, inserted with an empty handle (a fresh holder with
    // no target) when absent; assigning to it replaces the previous handle.
    FRef& findOrInsert(const std::string& name);
    // The handle filed under exactly `name`, or null when the name is absent.
    const FRef* find(const std::string& name) const;

    void clear() noexcept { m_entries.clear(); }
    std::size_t size() const noexcept { return m_entries.size(); }
    const std::map<std::string, FRef>& entries() const noexcept { return m_entries; }

private:
    std::map<std::string, FRef> m_entries;
};

// A world's named images, animations and sounds.
class NamedAssetMap : public NamedRefMap
{
};

// Named texts (the vignette captions): handles of FString texts.
class NamedTextMap : public NamedRefMap
{
};
