#include "game/gameplay/AnimRecord.h"

#include "core/FErrorMessage.h"
#include "core/FXmlSerializer.h"
#include "game/core/GameDataAssets.h"

#include <string>

namespace {

[[noreturn]] void failAnimTable(std::int32_t worldIndex, const std::string& what)
{
    ZIBBO_FAIL(msgIllegalOperation, "gameplay animation table (asset "
                                        << GameDataAssets::k_animationTableAsset << "), World" << worldIndex
                                        << ": " << what);
}

void readAnimInt(FXmlSerializer& serializer, std::int32_t worldIndex, std::int32_t item, const char* name,
                 std::int32_t& value)
{
    if (!serializer.hasValue(name))
        failAnimTable(worldIndex, "record " + std::to_string(item) + " has no " + name);
    serializer.readInt(name, value);
    if (!serializer.isValid())
        failAnimTable(worldIndex, "record " + std::to_string(item) + " " + name + " is not a 32-bit integer");
}

} // namespace

void loadWorldAnims(FXmlSerializer& serializer, std::int32_t worldIndex, std::vector<AnimRecord>& records)
{
    const std::string world = "World" + std::to_string(worldIndex);
    if (!serializer.hasSection(world.c_str())) failAnimTable(worldIndex, "no such element");
    serializer.enterSection(world.c_str());
    std::vector<AnimRecord> read;
    try {
        if (!serializer.hasSection("Anims")) failAnimTable(worldIndex, "no array Anims");
        std::int32_t count = 0;
        serializer.beginArray("Anims", count);
        if (count < 0) {
            serializer.endArray("Anims");
            failAnimTable(worldIndex, "the array Anims has no count");
        }
        try {
            for (std::int32_t i = 0; i < count; ++i) {
                const std::string item = "_" + std::to_string(i);
                if (!serializer.hasSection(item.c_str()))
                    failAnimTable(worldIndex, "the count " + std::to_string(count) + " runs beyond the " +
                                                  std::to_string(i) + " records present");
                serializer.enterSection(item.c_str());
                AnimRecord record;
                try {
                    readAnimInt(serializer, worldIndex, i, "IsUsed", record.isUsed);
                    readAnimInt(serializer, worldIndex, i, "Top", record.top);
                    readAnimInt(serializer, worldIndex, i, "Left", record.left);
                    readAnimInt(serializer, worldIndex, i, "IsLooping", record.isLooping);
                    serializer.readString("Name", record.name);
                    serializer.readString("Sound", record.sound);
                } catch (...) {
                    serializer.leaveSection();
                    throw;
                }
                serializer.leaveSection();
                read.push_back(std::move(record));
            }
        } catch (...) {
            serializer.endArray("Anims");
            throw;
        }
        serializer.endArray("Anims");
    } catch (...) {
        serializer.leaveSection();
        throw;
    }
    serializer.leaveSection();
    records = std::move(read);
}
