#include "GameDataTestSupport.h"
#include "SaveFolder.h"

#include "game/core/GameStructure.h"
#include "game/core/ProfileManager.h"
#include "game/core/TaskData_PictureSearch.h"
#include "game/core/TaskData_Ratios.h"

#include "core/FDebug.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace GameDataText;

void read(GameStructure& structure, const std::string& text)
{
    FXmlSerializer serializer(xmlStream(text));
    structure.serialize(serializer);
}

// The failure report raised by reading `text`.
std::string refusal(const std::string& text)
{
    RecordingErrorHandler handler;
    GameStructure structure(nullptr);
    EXPECT_THROW(read(structure, text), FDebug::VellumcoreException);
    return handler.texts.empty() ? std::string() : utf8(handler.texts[0]);
}

TEST(GameStructureTest, ReadsWorldsQuestsAndTasksInFileOrder)
{
    QuestText first;
    first.id = 0;
    first.type = 0;
    first.unlocks = {1, 2};
    first.tasks = {15, 0, 6, 9, 16};
    QuestText second;
    second.id = 1;
    second.tasks = {8, 5};
    GameStructure structure(nullptr);
    read(structure, gameData({{quest(first), quest(second)}, {element("QuestId", "14")}}));

    ASSERT_EQ(structure.worlds().size(), 12u);
    EXPECT_EQ(structure.worlds()[3].index(), 3);
    ASSERT_EQ(structure.worlds()[0].quests().size(), 2u);
    Quest& quest0 = structure.worlds()[0].quests()[0];
    EXPECT_EQ(quest0.questId(), 0);
    EXPECT_EQ(quest0.questType(), 0);
    EXPECT_EQ(quest0.owner(), &structure);
    EXPECT_EQ(quest0.unlockedQuestIds(), (std::vector<std::int32_t>{1, 2}));
    EXPECT_TRUE(quest0.hasTimer());
    EXPECT_EQ(quest0.timerLength(true), 300000);
    EXPECT_EQ(quest0.timerLength(false), 400000);
    EXPECT_DOUBLE_EQ(quest0.timeReward(false), 0.1);
    ASSERT_EQ(quest0.tasks().size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(quest0.tasks()[i]->index(), static_cast<std::int32_t>(i));
        EXPECT_EQ(quest0.tasks()[i]->quest(), &quest0);
    }
    EXPECT_TRUE(quest0.tasks()[0]->usesLargeCharacter());
    EXPECT_EQ(quest0.tasks()[1]->getItemCount(true), 1);
    EXPECT_EQ(quest0.tasks()[2]->getItemCount(true), 8);  // 1 x 3 + 4 + 1
    EXPECT_EQ(quest0.tasks()[2]->getItemCount(false), 5); // 1 x 2 + 2 + 1
    EXPECT_EQ(quest0.tasks()[3]->getItemCount(true), 4);
    EXPECT_EQ(structure.worlds()[0].quests()[1].tasks()[0]->getItemCount(true), 3);
    // A stub quest needs only its id and has no tasks.
    const Quest& stub = structure.worlds()[1].quests()[0];
    EXPECT_EQ(stub.questId(), 14);
    EXPECT_TRUE(stub.tasks().empty());
    EXPECT_EQ(structure.multiplayerPowerUps(), (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(structure.lastResult().state, -2);
}

TEST(GameStructureTest, RefusesDataTheGameCannotPlayNamingWhereItIs)
{
    QuestText base;
    base.id = 13;
    base.tasks = {0, 6};
    auto with = [&](auto change) {
        QuestText q = base;
        change(q);
        return gameData({{quest(q)}});
    };
    const std::string sevenRatios = element("MinVignettes", "1") + element("MaxVignettes", "1") +
                                    element("MinCommonObj", "4") + element("MaxCommonObj", "4") +
                                    element("MinMultiples", "1") + element("MaxMultiples", "1") +
                                    element("MinMultipleCopies", "3") + element("MaxMultipleCopies", "3") +
                                    intList("DiffRatios", {10, 10, 10, 10, 10, 10, 40});
    struct Case
    {
        const char* name;
        std::string text;
        const char* report;
    };
    const Case cases[] = {
        {"missing key", gameData({{element("QuestId", "13")}}), "Could not go in section QuestType"},
        {"task type 22", with([](QuestText& q) {
             q.tasks = {0, 22};
         }),
         "Game data: quest 13, task 1: TaskType_1 is 22, not 0 to 21"},
        {"negative task type", with([](QuestText& q) { q.tasks = {-1}; }),
         "Game data: quest 13, task 0: TaskType_0 is -1, not 0 to 21"},
        {"seventh ratio", with([&](QuestText& q) { q.tasks = {6}, q.taskData = sevenRatios; }),
         "Game data: quest 13, task 0: DiffRatios holds 7 entries, at most 5"},
        {"sixth ratio", with([](QuestText& q) {
             q.tasks = {0}, q.taskData = intList("DiffRatios", {20, 20, 20, 20, 10, 10});
         }),
         "Game data: quest 13, task 0: DiffRatios holds 6 entries, at most 5"},
        {"ratios below 100", with([&](QuestText& q) {
             q.tasks = {6};
             q.taskData =
                 sevenRatios.substr(0, sevenRatios.find("<DiffRatios")) + intList("DiffRatios", {10, 20});
         }),
         "Game data: quest 13, task 0: DiffRatios sum to 30, less than 100"},
        {"quest id 48", with([](QuestText& q) { q.id = 48; }),
         "Game data: quest 48: QuestId is 48, not 0 to 47"},
        {"no tasks", with([](QuestText& q) { q.tasks = {}; }),
         "Game data: quest 13: TaskCount is 0, not 1 to 64"},
        {"power-up kind 8", with([](QuestText& q) {
             q.initialPowerUps = {1, 8};
         }),
         "Game data: quest 13: InitialPowerUps is 8, not 0 to 7"},
        {"negative photographs",
         with([](QuestText& q) { q.tasks = {8}, q.taskData = element("NumPhotographs", "-2"); }),
         "Game data: quest 13, task 0: NumPhotographs is -2, not 0 to 99"},
        {"eleven worlds", gameData({{quest(base)}}, 11), "Game data: 11 worlds, the game has 12"},
        {"thirteen worlds", gameData({{quest(base)}}, 13), "Game data: 13 worlds, the game has 12"},
    };
    for (const Case& c : cases) {
        const std::string report = refusal(c.text);
        EXPECT_EQ(report.substr(0, std::string(c.report).size()), c.report) << c.name << ": " << report;
    }
}

TEST(GameStructureTest, RefusedDataLeavesTheStructureAsItWas)
{
    QuestText good;
    good.id = 3;
    GameStructure structure(nullptr);
    read(structure, gameData({{quest(good)}}));
    QuestText bad = good;
    bad.tasks = {0, 22};
    RecordingErrorHandler handler;
    EXPECT_THROW(read(structure, gameData({{quest(bad)}})), FDebug::VellumcoreException);
    ASSERT_EQ(structure.worlds().size(), 12u);
    EXPECT_EQ(structure.worlds()[0].quests()[0].tasks().size(), 1u);
}

TEST(GameStructureTest, TheSpecialQuestIsBuiltByTheProgram)
{
    GameStructure structure(nullptr);
    Quest& special = structure.specialQuest();
    EXPECT_EQ(special.questType(), 6);
    EXPECT_EQ(special.timerLength(true), 180000);
    EXPECT_EQ(special.timerLength(false), 132000);
    EXPECT_EQ(special.numBones(true), 5);
    EXPECT_EQ(special.starsPos(), (std::vector<std::int32_t>{10, 30, 50, 70, 90}));
    ASSERT_EQ(special.tasks().size(), 6u);
    const std::int32_t types[] = {16, 1, 0, 6, 7, 18};
    const std::int32_t indexes[] = {-1, 0, 1, 2, 3, -1};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(special.tasks()[i]->taskType(), types[i]);
        EXPECT_EQ(special.tasks()[i]->index(), indexes[i]);
    }
    const TaskData& search = *special.tasks()[3];
    EXPECT_EQ(search.getItemCount(true), 5);
    EXPECT_EQ(search.getMultipleCount(false), 1);
    EXPECT_EQ(search.getMultipleCopyCount(true), 3);
    EXPECT_EQ(search.getCommonObjectCount(true), 5);
    EXPECT_EQ(search.getDiffRatios(false), (std::vector<std::int32_t>{100, 100, 100, 100, 100}));
}

TEST(GameStructureTest, TheTaskCursorSkipsDoneTasksAndStaysOnTheLast)
{
    QuestText q;
    q.tasks = {6, 15, 18};
    GameStructure structure(nullptr);
    read(structure, gameData({{quest(q)}}));
    Quest& quest0 = structure.worlds()[0].quests()[0];
    EXPECT_EQ(quest0.getCurrentTask()->taskType(), 6);
    EXPECT_FALSE(quest0.onlyLateTasksLeft());
    quest0.completeCurrentTask();
    EXPECT_EQ(quest0.getCurrentTask()->taskType(), 15);
    EXPECT_TRUE(quest0.onlyLateTasksLeft());
    quest0.completeCurrentTask();
    quest0.getCurrentTask();
    quest0.completeCurrentTask();
    EXPECT_TRUE(quest0.isFinished());
    EXPECT_TRUE(quest0.isCompleted());
    EXPECT_EQ(quest0.getCurrentTask()->taskType(), 18);
    quest0.resetTasks();
    EXPECT_FALSE(quest0.isFinished());
    EXPECT_TRUE(quest0.isCompleted());
    EXPECT_EQ(quest0.getCurrentTask()->taskType(), 6);
}

class GameStructureUnlockTest : public SaveFolderTest
{
protected:
    void SetUp() override
    {
        SaveFolderTest::SetUp();
        m_saves.attachDefaultFileSystem();
        m_profiles = std::make_unique<ProfileManager>(m_saves);
        ASSERT_TRUE(m_profiles->createInitialFiles());
        ASSERT_TRUE(m_profiles->addProfile(FString(u"Ada"), 0, 2));
    }

    SaveManager m_saves;
    std::unique_ptr<ProfileManager> m_profiles;
};

TEST_F(GameStructureUnlockTest, FinishingAQuestUnlocksItsFollowersAndTheirWorldsInTheProfile)
{
    QuestText first;
    first.id = 0;
    first.type = 0;
    first.unlocks = {5, 6};
    first.tasks = {16};
    QuestText sameWorld;
    sameWorld.id = 5;
    QuestText nextWorld;
    nextWorld.id = 6;
    nextWorld.type = 0;
    GameStructure structure(m_profiles.get());
    read(structure, gameData({{quest(first), quest(sameWorld)}, {}, {}, {quest(nextWorld)}}));
    structure.initialize();
    EXPECT_TRUE(structure.worlds()[0].isUnlocked());
    EXPECT_FALSE(structure.worlds()[3].isUnlocked());
    EXPECT_TRUE(structure.findQuest(0).first->isUnlocked());
    EXPECT_FALSE(structure.findQuest(6).first->isUnlocked());

    Quest& quest0 = *structure.findQuest(0).first;
    quest0.getCurrentTask();
    quest0.completeCurrentTask();
    EXPECT_TRUE(structure.findQuest(5).first->isUnlocked());
    EXPECT_TRUE(structure.findQuest(6).first->isUnlocked());
    EXPECT_TRUE(structure.worlds()[3].isUnlocked());

    // The unlocks reached the saved profile: a new manager reads them back.
    ProfileManager reread(m_saves);
    ASSERT_TRUE(reread.createInitialFiles());
    PlayerProfile& saved = *reread.getProfile(2);
    EXPECT_EQ(saved.getQuestState(5), 0);
    EXPECT_EQ(saved.getQuestState(6), 0);
    EXPECT_TRUE(saved.isWorldUnlocked(3));
    EXPECT_FALSE(structure.unlock(31));

    structure.recordQuestResult(0, 3);
    EXPECT_EQ(structure.lastResult().questId, 0);
    EXPECT_EQ(structure.lastResult().state, 4);

    // A second structure takes the unlocks from the profile.
    GameStructure again(m_profiles.get());
    read(again, gameData({{quest(first), quest(sameWorld)}, {}, {}, {quest(nextWorld)}}));
    again.initialize();
    EXPECT_TRUE(again.worlds()[3].isUnlocked());
    EXPECT_TRUE(again.findQuest(6).first->isUnlocked());
}

} // namespace
