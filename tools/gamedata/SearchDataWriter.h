#pragma once

// Writes one world's search data (the section "World01" to "World12" with
// its sixteen lists of searchable objects) from one entry of the table of
// content/data/searchdata.lua.

#include "tools/gamedata/LuaTable.h"

#include <cstdint>

class FSerializer;

namespace SearchDataWriter {

void write(const LuaTable& world, std::int32_t worldNumber, FSerializer& out);

} // namespace SearchDataWriter
