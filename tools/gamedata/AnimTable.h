#pragma once

// The gameplay animation table: one section per world, "World" and the world
// index in decimal (as the level's loader opens it), each holding the array
// "Anims" of records that place one of the world's animations on the map.
// One serialisation serves the writer and the kit's validator.

#include "core/FSerializer.h"

#include <cstdint>
#include <string>
#include <vector>

struct WorldContent;

struct AnimTableRecord
{
    std::int32_t isUsed = 1;
    std::int32_t top = 0;
    std::int32_t left = 0;
    std::int32_t isLooping = 1;
    std::string name;  // a key of the world's Anim table
    std::string sound; // a key of its HotSpot table, or empty

    // Reads or writes the record's fields in their order.
    void serialize(FSerializer& serializer);
};

namespace AnimTable {

std::string sectionName(std::int32_t worldIndex);

// Our records for a world: one per animation of its scene, spread over the
// map, the first ones sounding the world's hot spots in turn.
std::vector<AnimTableRecord> recordsOf(const WorldContent& world);

// Reads or writes one world's section.
void serializeWorld(FSerializer& serializer, std::int32_t worldIndex, std::vector<AnimTableRecord>& records);

} // namespace AnimTable
