#pragma once

#include "core/FRef.h"
#include "game/gameplay/AnimRecord.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class LevelItemsHost;
class NamedAssetMap;
class SearchableObject;
class SearchableSprite;

// Puts the things of a level on the map: one searchable sprite per item of
// the current search list (picture, bling and panel images, caption), the
// level's hint sprites and the world's ambient animations. Pictures are
// looked up in the task item table, which the story tasks choose and which
// task type 5 switches item by item. Names a table lacks are content faults:
// they are logged and the sprite goes without that picture.
class LevelItems
{
public:
    // The copy number "MultipleNN" that ends the name of a multiple's copy.
    static constexpr std::size_t k_copySuffixLength = 10;
    // Anim record positions are in the scene's source units.
    static constexpr double k_animPositionDivisor = 2.56;

    explicit LevelItems(LevelItemsHost& host) : m_host(host) {}

    // Null until a task or the set-up chooses one; a null table is empty.
    const NamedAssetMap* taskTable() const noexcept { return m_taskTable; }
    void setTaskTable(const NamedAssetMap* table) noexcept { m_taskTable = table; }

    // The current search list of the play session, by its current task.
    void createSearchableSprites();
    // One sprite per item of `list`, in list order, for a task of `taskType`
    // in the world of `worldIndex` (0-11).
    void placeSearchables(const std::deque<SearchableObject*>& list, std::int32_t taskType,
                          std::int32_t worldIndex);
    void createHintSearchableSprites();
    void createMapAnimations(const std::vector<AnimRecord>& records);

    // The companions of item `name`: its base name (without the copy number
    // of a multiple) plus "Bling" or "Panel", from the task item table.
    FRef findBlingCompanion(std::string name) const;
    FRef findPanelCompanion(std::string name) const;
    // The base name of an item: a name holding "Multiple" loses its last ten
    // characters; a name too short for that keeps all of them.
    static std::string companionBase(const std::string& name);

private:
    // A new handle on the task item table's entry, or an empty handle.
    FRef lookUp(const std::string& name) const;
    void setTaskImages(SearchableSprite& sprite, const SearchableObject& item, std::int32_t taskType,
                       std::int32_t worldIndex, std::size_t position);

    LevelItemsHost& m_host;
    const NamedAssetMap* m_taskTable = nullptr;
};
