#pragma once

// Writes the game data (worlds, quests, tasks and the game's power-up lists)
// from the table of content/data/gamedata.lua.

#include "tools/gamedata/LuaTable.h"

class FSerializer;

namespace GameDataWriter {

void write(const LuaTable& source, FSerializer& out);

} // namespace GameDataWriter
