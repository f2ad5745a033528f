#include "tools/gamedata/SearchDataWriter.h"

#include "tools/gamedata/XmlListWriter.h"

#include "core/FSerializer.h"
#include "game/core/SearchListGenerator.h"

namespace SearchDataWriter {

void write(const LuaTable& world, std::int32_t worldNumber, FSerializer& out)
{
    using namespace XmlListWriter;
    const std::string section = SearchListGenerator::worldSectionName(worldNumber);
    beginSection(out, section);
    for (const auto& [name, category] : SearchListGenerator::fileLists()) {
        const LuaTable list = world.table(name);
        std::int32_t count = static_cast<std::int32_t>(list.size());
        out.beginArray(name, count);
        for (std::int32_t i = 0; i < count; ++i) {
            const LuaTable record = list.at(static_cast<std::size_t>(i) + 1);
            out.beginItem(i);
            writeText(out, "fileName", record.text("fileName"));
            out.writeInt("difficultyRating", record.integer("difficultyRating"));
            out.writeInt("type", record.integer("type"));
            out.writeInt("forKids", record.integer("forKids"));
            out.writeInt("forIngame", record.integer("forIngame"));
            out.writeInt("forParty", record.integer("forParty"));
            writeText(out, "panelText", record.text("panelText"));
            out.endItem(i);
        }
        out.endArray(name);
    }
    endSection(out, section);
}

} // namespace SearchDataWriter
