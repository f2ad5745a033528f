#include "tools/gamedata/AnimTable.h"

#include "core/FString.h"
#include "game/worldcontent/WorldKeys.h"

#include <algorithm>

namespace {

// The map the animations play on, and the size our animation clips are drawn at.
constexpr std::int32_t k_mapWidth = 2400;
constexpr std::int32_t k_mapHeight = 1600;
constexpr std::int32_t k_clipWidth = 160;
constexpr std::int32_t k_clipHeight = 120;

void text(FSerializer& serializer, const char* name, std::string& value)
{
    FString wide(value.c_str());
    if (serializer.isLoading()) {
        serializer.readString(name, wide);
        value = wide.toUtf8();
    } else {
        serializer.writeString(name, wide);
    }
}

} // namespace

void AnimTableRecord::serialize(FSerializer& serializer)
{
    serializeValue(serializer, "IsUsed", isUsed);
    serializeValue(serializer, "Top", top);
    serializeValue(serializer, "Left", left);
    serializeValue(serializer, "IsLooping", isLooping);
    text(serializer, "Name", name);
    text(serializer, "Sound", sound);
}

namespace AnimTable {

std::string sectionName(std::int32_t worldIndex)
{
    return "World" + std::to_string(worldIndex);
}

std::vector<AnimTableRecord> recordsOf(const WorldContent& world)
{
    std::vector<std::string> anims, spots;
    for (const WorldItem& item : worldItems(world)) {
        if (item.table == WorldTable::Anim) anims.push_back(item.key);
        if (item.table == WorldTable::HotSpot) spots.push_back(item.key);
    }
    std::vector<AnimTableRecord> records;
    // A grid a little wider than high, like the map, one animation to a cell.
    std::size_t columns = 1;
    while (columns * columns * 2 < anims.size() * 3)
        ++columns;
    const std::size_t rows = (anims.size() + columns - 1) / columns;
    const auto cellW = static_cast<std::int32_t>(k_mapWidth / columns);
    const auto cellH =
        static_cast<std::int32_t>(k_mapHeight / static_cast<std::int32_t>(rows == 0 ? 1 : rows));
    for (std::size_t i = 0; i < anims.size(); ++i) {
        AnimTableRecord record;
        record.name = anims[i];
        record.sound = i < spots.size() ? spots[i] : std::string();
        // Alternate cells are shifted by half a cell, so the animations do not line up.
        const auto column = static_cast<std::int32_t>(i % columns);
        const auto row = static_cast<std::int32_t>(i / columns);
        record.left = column * cellW + (cellW - k_clipWidth) / 2 + (row % 2 == 0 ? -cellW / 4 : cellW / 4);
        record.top = row * cellH + (cellH - k_clipHeight) / 2;
        record.left = std::max(0, std::min(record.left, k_mapWidth - k_clipWidth));
        record.top = std::max(0, std::min(record.top, k_mapHeight - k_clipHeight));
        record.isLooping = i % 4 == 3 ? 0 : 1;
        records.push_back(record);
    }
    return records;
}

void serializeWorld(FSerializer& serializer, std::int32_t worldIndex, std::vector<AnimTableRecord>& records)
{
    const std::string section = sectionName(worldIndex);
    std::int32_t noCount = -1;
    serializer.beginArray(section.c_str(), noCount);
    serializeContainer(serializer, "Anims", records);
    serializer.endArray(section.c_str());
}

} // namespace AnimTable
