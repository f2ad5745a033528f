#include "LevelFixture.h"

#include "game/core/ActivePowerUp.h"
#include "game/core/StoryTaskStepper.h"

#include "core/FDebug.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using namespace GameDataText;

std::map<std::string, std::vector<Record>> worldLists()
{
    return {
        {"CREATURES", numbered("World01Creature", 2, 3)},
        {"DIFFERENCES", numbered("World01Differences", 6)},
        {"HINTS", numbered("World01Hint", 5)},
        {"PHOTOS", numbered("World01Photographs", 6)},
        {"PICTURES", numbered("World01Picture", 10)},
        {"PICTUREMULTIPLES", numbered("World01Picture", 3, 3)},
        {"DRABBS", numbered("World01SpecialDrabb", 5)},
        {"ZIBBOS", numbered("World01SpecialZibbo", 5)},
        {"VESSAS", numbered("World01SpecialVessa", 5)},
        {"STARMANTLES", numbered("World01SpecialStarmantle", 5)},
        {"TUFFS", numbered("World01SpecialTuff", 3)},
        {"SCROLL", numbered("World01SpecialScroll", 1)},
        {"VIGNETTES", numbered("World01Vignette", 3)},
        {"WATCHERS", numbered("World01Watcher", 3)},
        {"TRAVELERS", numbered("World01Travelers", 4)},
    };
}

QuestText questOf(std::vector<int> tasks)
{
    QuestText q;
    q.tasks = std::move(tasks);
    return q;
}

TEST(SearchListGeneratorTest, GoldenListsForFixedSeeds)
{
    struct Case
    {
        int taskType;
        std::uint32_t seed;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {0, 1234, {"World01SpecialZibbo02"}},
        {1, 1234, {"World01SpecialStarmantle02"}},
        {2, 1234, {"World01SpecialVessa02"}},
        {3, 1234, {"World01SpecialTuff02"}},
        {4, 1234, {"World01SpecialDrabb02"}},
        {5, 1234, {"World01SpecialZibbo02", "World01SpecialVessa02"}},
        {6,
         1234,
         {"World01Picture03Multiple01", "World01Picture06", "World01Picture02", "World01Picture03Multiple03",
          "World01Picture07", "World01Picture01", "World01Vignette01", "World01Picture03Multiple02"}},
        {6,
         99,
         {"World01Vignette01", "World01Picture06", "World01Picture01Multiple01", "World01Picture02",
          "World01Picture01", "World01Picture07", "World01Picture01Multiple03",
          "World01Picture01Multiple02"}},
        {7, 1234, {"World01SpecialScroll01"}},
        {8, 1234, {"World01Photographs03", "World01Photographs04", "World01Photographs06"}},
        {9,
         1234,
         {"World01Differences03", "World01Differences04", "World01Differences05", "World01Differences06"}},
        {10, 1234, {}},
        {12, 1234, {"World01Watcher03", "World01Watcher01", "World01Watcher02"}},
        {13, 1234, {"World01Travelers01", "World01Travelers02", "World01Travelers03", "World01Travelers04"}},
        {14,
         1234,
         {"World01Creature01Multiple03", "World01Creature01Multiple01", "World01Creature02Multiple02",
          "World01Creature02Multiple03", "World01Creature02Multiple01", "World01Creature01Multiple02"}},
        {16, 1234, {}},
    };
    for (const Case& c : cases) {
        LevelFixture level({questOf({c.taskType})}, worldLists());
        level.start(1, c.seed);
        EXPECT_EQ(level.names(), c.names) << "task type " << c.taskType << " seed " << c.seed;
        for (SearchableObject* item : level.session.getSearchListGenerator()->items()) {
            EXPECT_EQ(item->state(), SearchableObject::k_stateListed);
        }
    }
}

// The section of a picture search with fixed counts.
std::string pictureSearch(int common, int multiples, int copies, int vignettes,
                          const std::vector<int>& ratios, int kidsCopies = 2)
{
    auto fixed = [](const std::string& prefix, const std::string& key, int value) {
        return element(prefix + "Min" + key, std::to_string(value)) +
               element(prefix + "Max" + key, std::to_string(value));
    };
    std::string text;
    for (const std::string prefix : {"", "Kids"}) {
        text += fixed(prefix, "Vignettes", vignettes) + fixed(prefix, "CommonObj", common) +
                fixed(prefix, "Multiples", multiples) +
                fixed(prefix, "MultipleCopies", prefix.empty() ? copies : kidsCopies) +
                intList(prefix + "DiffRatios", ratios);
    }
    return text;
}

std::vector<Record> rated(const std::vector<int>& ratings)
{
    std::vector<Record> records;
    for (std::size_t i = 0; i < ratings.size(); ++i) {
        records.push_back({"World01Picture" + std::to_string(10 + i), ratings[i]});
    }
    return records;
}

std::multiset<int> ratingsOf(const LevelFixture& level)
{
    std::multiset<int> ratings;
    for (SearchableObject* item : level.session.getSearchListGenerator()->items()) {
        ratings.insert(item->difficultyRating());
    }
    return ratings;
}

TEST(SearchListGeneratorTest, SinglesFollowTheRatiosWithACyclicFallback)
{
    const std::vector<int> plenty = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
    struct Case
    {
        const char* name;
        std::vector<int> ratios;
        int count;
        std::vector<int> ratings;
        std::multiset<int> picked;
    };
    const Case cases[] = {
        {"deficit spread from the first class", {40, 30, 20, 10, 0}, 7, plenty, {1, 1, 1, 2, 2, 2, 3}},
        {"two classes", {50, 50}, 3, plenty, {1, 1, 2}},
        {"empty first bucket", {50, 50}, 3, {2, 2, 2, 2, 5}, {2, 2, 2}},
        {"empty second bucket", {50, 50}, 3, {1, 1, 1, 1, 5}, {1, 1, 1}},
        {"classes beyond the ratios unused", {50, 50}, 3, {1, 3, 4, 5}, {1}},
        {"ratings 0 and 7 are class 4", {0, 0, 0, 100}, 2, {0, 7, 1, 2}, {0, 7}},
        {"too few pictures", {100}, 5, {1, 1}, {1, 1}},
        {"every class in full", {100, 100, 100, 100, 100}, 1, plenty, {1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        QuestText q;
        q.taskData = pictureSearch(c.count, 0, 0, 0, c.ratios);
        LevelFixture level({q}, {{"PICTURES", rated(c.ratings)}});
        level.start(1, 42);
        EXPECT_EQ(ratingsOf(level), c.picked) << c.name;
    }
}

TEST(SearchListGeneratorTest, KidsPlayPicksOnlyKidsObjects)
{
    std::vector<Record> pictures = rated({1, 1, 1, 1, 1, 1});
    for (std::size_t i = 0; i < pictures.size(); i += 2) {
        pictures[i].forKids = 0;
    }
    pictures[1].forIngame = 0;
    QuestText q;
    q.taskData = pictureSearch(6, 0, 0, 0, {100});
    LevelFixture level({q}, {{"PICTURES", pictures}});
    level.session.setNormalDifficulty(false);
    level.start(1, 3);
    const std::vector<std::string> names = level.names();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
              (std::set<std::string>{"World01Picture13", "World01Picture15"}));
}

TEST(SearchListGeneratorTest, MultiplesAreGroupedByFileNameAndTakeThePlainCopyCount)
{
    std::vector<Record> multiples = numbered("World01Picture", 1, 3);
    const std::vector<Record> pair = numbered("World01Picture0", 1, 2); // "World01Picture001Multiple0x"
    multiples.insert(multiples.end(), pair.begin(), pair.end());
    for (bool normal : {true, false}) {
        QuestText q;
        // Three multiples asked for, two in the data; copies 3 (Kids 2).
        q.taskData = pictureSearch(0, 3, 3, 0, {100}, 2);
        LevelFixture level({q}, {{"PICTUREMULTIPLES", multiples}});
        level.session.setNormalDifficulty(normal);
        SearchListGenerator& generator = level.start(1, 17);
        std::map<std::int32_t, int> perGroup;
        for (SearchableObject* item : generator.items()) {
            perGroup[item->multipleType()] += 1;
            EXPECT_EQ(item->kind(), 2);
        }
        EXPECT_EQ(perGroup, (std::map<std::int32_t, int>{{1, 3}, {2, 2}})) << normal;
    }

    // Names of one or two characters all have the empty base name.
    LevelFixture level({questOf({16})},
                       {{"PICTUREMULTIPLES", {{"A"}, {"BC"}, {"World01X01"}, {"World01X02"}}}});
    SearchListGenerator& generator = level.start(1);
    const auto& list = generator.category(SearchListGenerator::k_pictureMultiples);
    std::map<std::string, std::int32_t> types;
    for (const auto& record : list) {
        types[record->fileName()] = record->multipleType();
    }
    EXPECT_EQ(types, (std::map<std::string, std::int32_t>{
                         {"A", 1}, {"BC", 1}, {"World01X01", 2}, {"World01X02", 2}}));
}

TEST(SearchListGeneratorTest, ALevelThatWouldDrawFromAnEmptyCategoryIsRefused)
{
    struct Case
    {
        const char* name;
        std::string taskData;
        int interrupt;
        std::map<std::string, std::vector<Record>> lists;
        const char* report;
    };
    const auto full = worldLists();
    auto without = [&](const char* list) {
        auto lists = full;
        lists.erase(list);
        return lists;
    };
    const Case cases[] = {
        {"no pictures", "", 0, without("PICTURES"), "Search data of world 1: quest 0, task 0 needs PICTURES"},
        {"no multiples", "", 0, without("PICTUREMULTIPLES"),
         "Search data of world 1: quest 0, task 0 needs PICTUREMULTIPLES"},
        {"no vignettes", "", 0, without("VIGNETTES"),
         "Search data of world 1: quest 0, task 0 needs VIGNETTES"},
        {"no Drabb to interrupt with", "", 1, without("DRABBS"),
         "Search data of world 1: quest 0, task -1 needs DRABBS"},
        {"nothing needed", pictureSearch(3, 0, 0, 0, {100}), 1, without("VIGNETTES"), nullptr},
    };
    for (const Case& c : cases) {
        QuestText q;
        q.taskData = c.taskData;
        q.interrupt = c.interrupt;
        LevelFixture level({q}, c.lists);
        RecordingErrorHandler handler;
        if (c.report == nullptr) {
            EXPECT_NO_THROW(level.start(1)) << c.name;
            continue;
        }
        EXPECT_THROW(level.start(1), FDebug::VellumcoreException) << c.name;
        ASSERT_EQ(handler.texts.size(), 1u) << c.name;
        EXPECT_EQ(utf8(handler.texts[0]).rfind(c.report, 0), 0u) << utf8(handler.texts[0]);
    }
}

TEST(SearchListGeneratorTest, DrawsFromEmptyCategoriesComeUpShort)
{
    // Without search data (a mode without a gameplay screen) nothing is
    // validated; every draw is guarded.
    QuestText search;
    search.taskData = pictureSearch(4, 2, 3, 1, {40, 30, 20, 10});
    search.interrupt = 1;
    LevelFixture level({search}, {});
    level.session.setMode(1);
    SearchListGenerator& generator = level.start(1);
    EXPECT_EQ(generator.getItemCount(), 0);
    generator.addInterruptItem();
    generator.markLastItem();
    EXPECT_EQ(generator.getItemCount(), 0);

    for (int taskType : {0, 1, 2, 3, 4, 5, 7, 8, 9, 12, 13, 14}) {
        LevelFixture empty({questOf({taskType})}, {});
        EXPECT_EQ(empty.start(1).getItemCount(), 0) << taskType;
    }
}

TEST(SearchListGeneratorTest, TasksEndTwoSecondsAfterTheLastFindAndTheQuestFinishes)
{
    LevelFixture level({questOf({0, 7})}, worldLists());
    SearchListGenerator& generator = level.start(1);
    LevelTimer& timer = *level.session.getLevelTimer();
    timer.started = true;
    EXPECT_EQ(level.screen.calls, (std::vector<std::string>{"onTaskBegun"}));
    level.session.update(20000);
    generator.items()[0]->markFound(0);
    EXPECT_EQ(timer.elapsed(), 5000); // 5 % of the 300 s level given back
    EXPECT_TRUE(generator.isEndDelayRunning());
    level.session.update(2000);
    EXPECT_EQ(level.session.getCurrentTaskType(), 0);
    level.session.update(1);
    EXPECT_EQ(level.session.getCurrentTaskType(), 7);
    EXPECT_EQ(level.names(), (std::vector<std::string>{"World01SpecialScroll01"}));
    EXPECT_EQ(level.screen.calls,
              (std::vector<std::string>{"onTaskBegun", "endTask", "onTaskBegun", "onTaskAdvanced"}));

    // A scroll, a photograph or a difference stops the clock while the task ends.
    generator.items()[0]->markFound(0);
    level.session.update(16);
    EXPECT_FALSE(timer.started);
    level.session.update(2000);
    EXPECT_TRUE(level.session.currentQuest()->isFinished());
    EXPECT_EQ(generator.getItemCount(), 0);
    EXPECT_EQ(level.screen.calls.back(), "endTask");
}

TEST(SearchListGeneratorTest, TheSpecialQuestPlaysFromItsProgramDefinedTasks)
{
    LevelFixture level({questOf({6})}, worldLists());
    SearchListGenerator& generator = level.start(6, 8);
    // Bones: five hints placed as extra finds.
    ASSERT_EQ(generator.getBones()->size(), 5u);
    for (SearchableObject* bone : *generator.getBones()) {
        EXPECT_EQ(bone->type(), SearchableObject::k_typeBone);
        EXPECT_EQ(bone->state(), SearchableObject::k_stateListed);
    }
    EXPECT_EQ(level.session.getLevelTimer()->total(), 180000);
    EXPECT_EQ(level.session.getLevelTimer()->stars().size(), 5u);
    // Task 16 picks nothing and ends at its first progress test without endTask.
    EXPECT_EQ(generator.getItemCount(), 0);
    level.session.checkSearchProgress();
    EXPECT_EQ(level.session.getCurrentTaskType(), 1);
    EXPECT_EQ(level.screen.calls, (std::vector<std::string>{"onTaskBegun", "onTaskBegun", "onTaskAdvanced"}));
    ASSERT_EQ(generator.getItemCount(), 1);
    EXPECT_EQ(generator.items()[0]->character(), 3);

    // A found bone reports no player: no time reward.
    LevelTimer& timer = *level.session.getLevelTimer();
    timer.setElapsed(50000);
    generator.getBones()->front()->markFound(0);
    EXPECT_EQ(timer.elapsed(), 50000);
}

TEST(SearchListGeneratorTest, TheDrabbInterruptsAfterExactlyTwoFinds)
{
    QuestText q;
    q.interrupt = 1;
    LevelFixture level({q}, worldLists());
    SearchListGenerator& generator = level.start(1, 21);
    StoryTaskStepper stepper{&level.screen, &generator, -1};
    generator.setInterruptTarget(&stepper);
    ASSERT_EQ(generator.getItemCount(), 8);
    level.screen.calls.clear();
    EXPECT_FALSE(generator.items()[0]->markFound(0));
    EXPECT_TRUE(generator.items()[1]->markFound(0));
    EXPECT_EQ(stepper.step, 1);
    EXPECT_EQ(level.screen.calls, (std::vector<std::string>{"showAnimatedOverlay step 1"}));
    EXPECT_FALSE(generator.items()[2]->markFound(0)); // once per level

    level.screen.calls.clear();
    storyTaskStep(stepper);
    EXPECT_EQ(stepper.step, 3);
    ASSERT_EQ(generator.getItemCount(), 9);
    SearchableObject* drabb = generator.items().back();
    EXPECT_TRUE(drabb->isInterruptItem());
    EXPECT_EQ(drabb->character(), 4);
    EXPECT_EQ(drabb->state(), SearchableObject::k_stateListed);
    storyTaskStep(stepper);
    EXPECT_EQ(stepper.step, 2);
    storyTaskStep(stepper);
    EXPECT_EQ(stepper.step, 0);
    EXPECT_EQ(drabb->state(), SearchableObject::k_stateMarked);
    storyTaskStep(stepper);
    EXPECT_EQ(stepper.step, 0);
    EXPECT_EQ(level.screen.calls, (std::vector<std::string>{"begin", "show", "run", "end"}));
}

TEST(SearchListGeneratorTest, NoInterruptionWithoutTheFlagOrOnOtherTasks)
{
    struct Case
    {
        const char* name;
        int interrupt;
        std::vector<int> tasks;
        std::string taskData;
    };
    const Case cases[] = {
        {"flag off", 0, {6}, ""},
        {"task type 0", 1, {0}, ""},
        {"a list of two", 1, {6}, pictureSearch(2, 0, 0, 0, {100})},
    };
    for (const Case& c : cases) {
        QuestText q;
        q.interrupt = c.interrupt;
        q.tasks = c.tasks;
        q.taskData = c.taskData;
        LevelFixture level({q}, worldLists());
        SearchListGenerator& generator = level.start(1, 21);
        StoryTaskStepper stepper{&level.screen, &generator, -1};
        generator.setInterruptTarget(&stepper);
        for (std::size_t i = 0; i < 2 && i < generator.items().size(); ++i) {
            EXPECT_FALSE(generator.items()[i]->markFound(0)) << c.name;
        }
        EXPECT_EQ(stepper.step, -1) << c.name;
    }
}

} // namespace
