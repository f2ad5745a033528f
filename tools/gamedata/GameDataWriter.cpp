#include "tools/gamedata/GameDataWriter.h"

#include "tools/gamedata/XmlListWriter.h"

#include "core/FSerializer.h"
#include "game/core/TaskDataFactory.h"

#include <string>

namespace GameDataWriter {

namespace {

using namespace XmlListWriter;

void writeRanges(FSerializer& out, const LuaTable& set, const std::string& prefix)
{
    struct Range
    {
        const char* source;
        const char* key;
    };
    static constexpr Range k_ranges[] = {{"vignettes", "Vignettes"},
                                         {"common", "CommonObj"},
                                         {"multiples", "Multiples"},
                                         {"copies", "MultipleCopies"}};
    for (const Range& range : k_ranges) {
        const std::vector<std::int32_t> minMax = set.integers(range.source);
        if (minMax.size() != 2) {
            throw std::runtime_error(set.path() + "." + range.source + ": {min, max} expected");
        }
        out.writeInt((prefix + "Min" + range.key).c_str(), minMax[0]);
        out.writeInt((prefix + "Max" + range.key).c_str(), minMax[1]);
        if (std::string(range.source) == "copies") {
            writeInts(out, (prefix + "DiffRatios").c_str(), set.integers("ratios"));
        }
    }
}

void writeTask(FSerializer& out, const LuaTable& task, std::int32_t index)
{
    const std::int32_t taskType = task.integer("type");
    const std::string section = "TaskData_" + std::to_string(index);
    auto flag = [&](const char* key) { return task.integer(key) != 0 ? 1 : 0; };
    switch (taskKindOf(taskType)) {
    case TaskKind::Ratios:
        beginSection(out, section);
        writeInts(out, "DiffRatios", task.integers("ratios"));
        endSection(out, section);
        break;
    case TaskKind::Characters:
        beginSection(out, section);
        writeInts(out, "DiffRatios", task.integers("ratios"));
        writeInts(out, "KidsDiffRatios", task.integers("kidsRatios"));
        out.writeInt("UseZibbo", flag("zibbo"));
        out.writeInt("UseVessa", flag("vessa"));
        out.writeInt("UseStarmantle", flag("starmantle"));
        endSection(out, section);
        break;
    case TaskKind::PictureSearch:
        beginSection(out, section);
        writeRanges(out, task.table("plain"), "");
        writeRanges(out, task.table("kids"), "Kids");
        endSection(out, section);
        break;
    case TaskKind::Photographs:
        beginSection(out, section);
        out.writeInt("NumPhotographs", task.integer("count"));
        endSection(out, section);
        break;
    case TaskKind::Differences:
        beginSection(out, section);
        out.writeInt("Left", task.integer("left"));
        out.writeInt("Top", task.integer("top"));
        out.writeInt("NumDifferences", task.integer("count"));
        endSection(out, section);
        break;
    case TaskKind::StoryLines:
        beginSection(out, section);
        writeTexts(out, "StringNames", task.texts("strings"));
        writeTexts(out, "SampleNames", task.texts("samples"));
        out.writeBool("UseLargeCharacter", task.boolean("large"));
        endSection(out, section);
        break;
    default:
        // Types without data have no section.
        break;
    }
}

void writeQuest(FSerializer& out, const LuaTable& quest)
{
    out.writeInt("QuestId", quest.integer("id"));
    if (!quest.has("type")) {
        return; // a stub: the id is all it holds
    }
    out.writeInt("QuestType", quest.integer("type"));
    out.writeInt("ParentWorld", quest.integer("world"));
    writeInts(out, "UnlockedQuestIds", quest.integers("unlocks"));
    out.writeInt("TimerLen", quest.integer("timer"));
    out.writeInt("KidsTimerLen", quest.integer("kidsTimer"));
    out.writeInt("StartHints", quest.integer("hints"));
    out.writeInt("KidsStartHints", quest.integer("kidsHints"));
    out.writeInt("NumBones", quest.integer("bones"));
    out.writeInt("KidsNumBones", quest.integer("kidsBones"));
    writeInts(out, "AvailablePowerUps", quest.integers("powerUps"));
    writeInts(out, "KidsAvailablePowerUps", quest.integers("kidsPowerUps"));
    writeInts(out, "InitialPowerUps", quest.integers("initialPowerUps"));
    out.writeInt("TimerPause", quest.integer("pause"));
    out.writeInt("KidsTimerPause", quest.integer("kidsPause"));
    out.writeDouble("TimeReward", quest.number("reward"));
    out.writeDouble("KidsTimeReward", quest.number("kidsReward"));
    writeInts(out, "StarsPos", quest.integers("stars"));
    const LuaTable tasks = quest.table("tasks");
    out.writeInt("TaskCount", static_cast<std::int32_t>(tasks.size()));
    out.writeInt("drabbInteruptTimer", quest.integer("interruptTimer"));
    out.writeInt("KidsdrabbInteruptTimer", quest.integer("kidsInterruptTimer"));
    out.writeInt("hasDrabbInterupt", quest.integer("interrupt"));
    for (std::size_t i = 1; i <= tasks.size(); ++i) {
        const LuaTable task = tasks.at(i);
        const auto index = static_cast<std::int32_t>(i - 1);
        out.writeInt(("TaskType_" + std::to_string(index)).c_str(), task.integer("type"));
        writeTask(out, task, index);
    }
}

} // namespace

void write(const LuaTable& source, FSerializer& out)
{
    const LuaTable worlds = source.table("worlds");
    std::int32_t worldCount = static_cast<std::int32_t>(worlds.size());
    out.beginArray("Worlds", worldCount);
    for (std::int32_t w = 0; w < worldCount; ++w) {
        const LuaTable quests = worlds.at(static_cast<std::size_t>(w) + 1);
        out.beginItem(w);
        std::int32_t questCount = static_cast<std::int32_t>(quests.size());
        out.beginArray("Quests", questCount);
        for (std::int32_t q = 0; q < questCount; ++q) {
            out.beginItem(q);
            writeQuest(out, quests.at(static_cast<std::size_t>(q) + 1));
            out.endItem(q);
        }
        out.endArray("Quests");
        out.endItem(w);
    }
    out.endArray("Worlds");
    writeInts(out, "MultiplayerAvailablePowerUps", source.integers("multiplayerPowerUps"));
    writeInts(out, "DrobbNegativePowerUps", source.integers("negativePowerUps"));
}

} // namespace GameDataWriter
