// gamedata: writes the game data and the twelve worlds' search data that the
// game reads, from our Lua sources in content/data.
//
//   gamedata SOURCE_FOLDER OUTPUT_FOLDER
//
// SOURCE_FOLDER holds gamedata.lua and searchdata.lua; OUTPUT_FOLDER receives
// gamedata.xml, World01SearchData.xml to World12SearchData.xml and the
// gameplay animation table animations.xml (from the worlds' scene content).

#include "tools/gamedata/AnimTable.h"
#include "tools/gamedata/GameDataWriter.h"
#include "tools/gamedata/LuaTable.h"
#include "tools/gamedata/SearchDataWriter.h"

#include "core/FMemory.h"
#include "core/FXmlSerializer.h"
#include "game/core/GameDataAssets.h"
#include "game/worldcontent/WorldContent.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

void writeXml(const std::filesystem::path& path, const std::function<void(FSerializer&)>& body)
{
    FRefT<std::ostringstream> text = makeSignaledRef(engineNew<std::ostringstream>(k_memObject));
    {
        FXmlSerializer serializer(text, FXmlSerializer::ForWrite{});
        body(serializer);
    }
    std::ofstream file(path, std::ios::binary);
    file << text->str();
    if (!file.flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE_FOLDER OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    try {
        const std::filesystem::path source(argv[1]);
        const std::filesystem::path output(argv[2]);
        std::filesystem::create_directories(output);
        const LuaTable game = LuaTable::load((source / "gamedata.lua").string());
        writeXml(output / GameDataAssets::k_gameDataFile,
                 [&](FSerializer& out) { GameDataWriter::write(game, out); });
        const LuaTable worlds = LuaTable::load((source / "searchdata.lua").string());
        if (worlds.size() != static_cast<std::size_t>(GameDataAssets::k_worldCount)) {
            throw std::runtime_error("searchdata.lua: twelve worlds expected");
        }
        for (std::int32_t w = 0; w < GameDataAssets::k_worldCount; ++w) {
            const LuaTable world = worlds.at(static_cast<std::size_t>(w) + 1);
            writeXml(output / GameDataAssets::searchDataFile(w),
                     [&](FSerializer& out) { SearchDataWriter::write(world, w, out); });
        }
        writeXml(output / GameDataAssets::k_animationTableFile, [&](FSerializer& out) {
            for (std::int32_t w = 0; w < k_worldCount; ++w) {
                std::vector<AnimTableRecord> records = AnimTable::recordsOf(worldContent(w));
                AnimTable::serializeWorld(out, w, records);
            }
        });
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "gamedata: %s\n", failure.what());
        return 1;
    }
    return 0;
}
