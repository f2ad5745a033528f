#pragma once

// Game data and search data for the game-core tests, written as XML text so a
// test can leave out or change any key; a recording stand-in for the gameplay
// screen; and loading through the same serializer the game uses.

#include "engine/core/KernelTestSupport.h"

#include "game/core/GameSession.h"
#include "game/core/GameplayScreen.h"
#include "game/core/SearchListGenerator.h"
#include "game/core/StoryTaskStepper.h"
#include "game/core/TaskDataFactory.h"

#include "core/FMemory.h"
#include "core/FXmlSerializer.h"

#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace GameDataText {

inline std::string element(const std::string& name, const std::string& value)
{
    return "<" + name + ">" + value + "</" + name + ">";
}

inline std::string intList(const std::string& name, const std::vector<int>& values)
{
    std::string text = "<" + name + " count=\"" + std::to_string(values.size()) + "\">";
    for (std::size_t i = 0; i < values.size(); ++i) {
        text += element("_" + std::to_string(i), std::to_string(values[i]));
    }
    return text + "</" + name + ">";
}

// The section of a task type that carries data; "" for the others.
inline std::string taskSection(int taskType, const std::vector<int>& ratios = {40, 30, 20, 10})
{
    switch (taskKindOf(taskType)) {
    case TaskKind::Characters:
        return intList("DiffRatios", ratios) + intList("KidsDiffRatios", {60, 40}) +
               element("UseZibbo", "1") + element("UseVessa", "2") + element("UseStarmantle", "0");
    case TaskKind::PictureSearch:
        return element("MinVignettes", "1") + element("MaxVignettes", "1") + element("MinCommonObj", "4") +
               element("MaxCommonObj", "4") + element("MinMultiples", "1") + element("MaxMultiples", "1") +
               element("MinMultipleCopies", "3") + element("MaxMultipleCopies", "3") +
               intList("DiffRatios", ratios) + element("KidsMinVignettes", "1") +
               element("KidsMaxVignettes", "1") + element("KidsMinCommonObj", "2") +
               element("KidsMaxCommonObj", "2") + element("KidsMinMultiples", "1") +
               element("KidsMaxMultiples", "1") + element("KidsMinMultipleCopies", "2") +
               element("KidsMaxMultipleCopies", "2") + intList("KidsDiffRatios", {100});
    case TaskKind::Photographs:
        return element("NumPhotographs", "3");
    case TaskKind::Differences:
        return element("Left", "1200") + element("Top", "0") + element("NumDifferences", "4");
    case TaskKind::StoryLines:
        return "<StringNames count=\"1\"><_0>Line01</_0></StringNames>"
               "<SampleNames count=\"2\"><_0>Voice01</_0><_1>Voice02</_1></SampleNames>" +
               element("UseLargeCharacter", "true");
    case TaskKind::Plain:
        return "";
    default:
        return intList("DiffRatios", ratios);
    }
}

struct QuestText
{
    int id = 0;
    int type = 1;
    std::vector<int> unlocks;
    std::vector<int> tasks = {6};
    int interrupt = 0;
    int bones = 0;
    std::vector<int> initialPowerUps;
    std::vector<int> stars = {50};
    double timeReward = 0.05;
    int timerLen = 300000;
    // Replaces the section of every task (for malformed data).
    std::string taskData;
};

inline std::string quest(const QuestText& q)
{
    std::string text =
        element("QuestId", std::to_string(q.id)) + element("QuestType", std::to_string(q.type)) +
        element("ParentWorld", "0") + intList("UnlockedQuestIds", q.unlocks) +
        element("TimerLen", std::to_string(q.timerLen)) + element("KidsTimerLen", "400000") +
        element("StartHints", "2") + element("KidsStartHints", "4") +
        element("NumBones", std::to_string(q.bones)) + element("KidsNumBones", "1") +
        intList("AvailablePowerUps", {0, 1}) + intList("KidsAvailablePowerUps", {0}) +
        intList("InitialPowerUps", q.initialPowerUps) + element("TimerPause", "8000") +
        element("KidsTimerPause", "3000") + element("TimeReward", std::to_string(q.timeReward)) +
        element("KidsTimeReward", "0.1") + intList("StarsPos", q.stars) +
        element("TaskCount", std::to_string(q.tasks.size())) + element("drabbInteruptTimer", "60000") +
        element("KidsdrabbInteruptTimer", "90000") + element("hasDrabbInterupt", std::to_string(q.interrupt));
    for (std::size_t i = 0; i < q.tasks.size(); ++i) {
        text += element("TaskType_" + std::to_string(i), std::to_string(q.tasks[i]));
        const std::string data = q.taskData.empty() ? taskSection(q.tasks[i]) : q.taskData;
        if (!data.empty()) {
            text += element("TaskData_" + std::to_string(i), data);
        }
    }
    return text;
}

// Game data of `worldCount` worlds; world w holds the quest records of
// quests[w] (raw quest texts), every other world none.
inline std::string gameData(const std::vector<std::vector<std::string>>& quests, int worldCount = 12)
{
    std::string text = "<root><Worlds count=\"" + std::to_string(worldCount) + "\">";
    for (int w = 0; w < worldCount; ++w) {
        const std::vector<std::string> none;
        const auto& list = w < static_cast<int>(quests.size()) ? quests[static_cast<std::size_t>(w)] : none;
        text += "<_" + std::to_string(w) + "><Quests count=\"" + std::to_string(list.size()) + "\">";
        for (std::size_t q = 0; q < list.size(); ++q) {
            text += element("_" + std::to_string(q), list[q]);
        }
        text += "</Quests></_" + std::to_string(w) + ">";
    }
    return text + "</Worlds>" + intList("MultiplayerAvailablePowerUps", {0, 1, 2}) +
           intList("DrobbNegativePowerUps", {3, 4}) + "</root>";
}

struct Record
{
    std::string fileName;
    int rating = 1;
    int forKids = 1;
    int forIngame = 1;
};

// A world's search data: the named lists, every other list empty.
inline std::string searchData(int worldNumber, const std::map<std::string, std::vector<Record>>& lists)
{
    std::string text = "<root><" + SearchListGenerator::worldSectionName(worldNumber) + ">";
    for (const auto& [name, category] : SearchListGenerator::fileLists()) {
        auto found = lists.find(name);
        const std::vector<Record> none;
        const auto& records = found != lists.end() ? found->second : none;
        text += std::string("<") + name + " count=\"" + std::to_string(records.size()) + "\">";
        for (std::size_t i = 0; i < records.size(); ++i) {
            const Record& r = records[i];
            text += element("_" + std::to_string(i),
                            element("fileName", r.fileName) +
                                element("difficultyRating", std::to_string(r.rating)) + element("type", "0") +
                                element("forKids", std::to_string(r.forKids)) +
                                element("forIngame", std::to_string(r.forIngame)) + element("forParty", "1") +
                                element("panelText", ""));
        }
        text += std::string("</") + name + ">";
    }
    return text + "</" + SearchListGenerator::worldSectionName(worldNumber) + "></root>";
}

// Records named prefix + 01, 02, ... with ratings 1, 2, 3, 4, 5, 1, ...
inline std::vector<Record> numbered(const std::string& prefix, int count, int copies = 0)
{
    std::vector<Record> records;
    for (int i = 1; i <= count; ++i) {
        char number[16];
        std::snprintf(number, sizeof(number), "%02d", i);
        if (copies == 0) {
            records.push_back({prefix + number, (i - 1) % 5 + 1});
            continue;
        }
        for (int c = 1; c <= copies; ++c) {
            char copy[16];
            std::snprintf(copy, sizeof(copy), "%02d", c);
            records.push_back({prefix + number + "Multiple" + copy, (i - 1) % 5 + 1});
        }
    }
    return records;
}

} // namespace GameDataText

inline FRefT<std::istream> xmlStream(const std::string& text)
{
    return FRefT<std::istream>(
        makeSignaledRef<std::istream>(engineNew<std::istringstream>(k_memObject, text)));
}

// The gameplay screen as the game core sees it: records every call.
class RecordingScreen : public GameplayScreen
{
public:
    bool raiseStoryEvent(std::int32_t event) override
    {
        calls.push_back("event " + std::to_string(event));
        return true;
    }
    void playWrongHitPenalty(std::int32_t player) override
    {
        calls.push_back("penalty " + std::to_string(player));
    }
    bool isPictureSearchMode() const override { return pictureSearchMode; }
    void clearOwnedItemQueue() override { calls.push_back("clearOwnedItemQueue"); }
    void onTaskBegun() override { calls.push_back("onTaskBegun"); }
    void onTaskAdvanced() override { calls.push_back("onTaskAdvanced"); }
    void endTask() override { calls.push_back("endTask"); }
    void showAnimatedOverlay(StoryTaskStepper& target) override
    {
        calls.push_back("showAnimatedOverlay step " + std::to_string(target.step));
    }
    void stagedSequenceBegin() override { calls.push_back("begin"); }
    void stagedSequenceShow() override { calls.push_back("show"); }
    void stagedSequenceRun() override { calls.push_back("run"); }
    void stagedSequenceEnd() override { calls.push_back("end"); }
    FRefT<std::istream> openSearchData(std::int32_t worldNumber) override
    {
        auto found = searchData.find(worldNumber);
        return found != searchData.end() ? xmlStream(found->second) : FRefT<std::istream>();
    }

    std::vector<std::string> calls;
    std::map<std::int32_t, std::string> searchData;
    bool pictureSearchMode = false;
};
