#include "GameDataTestSupport.h"

#include "game/core/GameRandom.h"
#include "game/core/LevelConfiguration.h"
#include "game/core/TaskDataFactory.h"
#include "game/core/TaskData_Characters.h"
#include "game/core/TaskData_StoryLines.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// A seed whose first draw mod 100 is `r`.
std::uint32_t seedDrawing(std::int32_t r)
{
    for (std::uint32_t seed = 1;; ++seed) {
        GameRandom::srand(seed);
        if (GameRandom::rand() % 100 == r) {
            return seed;
        }
    }
}

TEST(TaskDataTest, RandomInRangeTruncatesTheSinglePrecisionProduct)
{
    struct Case
    {
        std::int32_t lo, hi, r, expected;
    };
    const Case cases[] = {
        {0, 100, 29, 28}, // 0.29f x 100 falls just below 29
        {0, 100, 50, 50}, {0, 100, 0, 0}, {0, 100, 99, 99}, {1, 3, 99, 2},
        {1, 3, 50, 2},    {1, 3, 49, 1},  {5, 5, 70, 5},    {-10, 10, 25, -5},
    };
    for (const Case& c : cases) {
        GameRandom::srand(seedDrawing(c.r));
        EXPECT_EQ(randomInRange(c.lo, c.hi), c.expected) << c.lo << ".." << c.hi << " r " << c.r;
    }
    // lo above hi draws nothing.
    GameRandom::srand(7);
    const std::uint32_t before = GameRandom::state();
    EXPECT_EQ(randomInRange(5, 4), 0);
    EXPECT_EQ(GameRandom::state(), before);
}

TEST(TaskDataTest, ResolvingCountsDrawsOnlyForRealRanges)
{
    LevelConfiguration::Ranges fixed;
    fixed.minVignettes = fixed.maxVignettes = 1;
    fixed.minCommonObjects = fixed.maxCommonObjects = 4;
    fixed.minMultiples = fixed.maxMultiples = 2;
    fixed.minMultipleCopies = fixed.maxMultipleCopies = 3;
    GameRandom::srand(11);
    const std::uint32_t before = GameRandom::state();
    const LevelCounts counts = LevelConfiguration::resolve(fixed);
    EXPECT_EQ(GameRandom::state(), before);
    EXPECT_EQ(counts.total, 11);

    LevelConfiguration::Ranges inverted = fixed;
    inverted.minCommonObjects = 5;
    inverted.maxCommonObjects = 4;
    EXPECT_EQ(LevelConfiguration::resolve(inverted).commonObjects, 0);

    LevelConfiguration::Ranges multiples = fixed;
    multiples.minMultiples = 1;
    multiples.maxMultiples = 3;
    std::set<std::int32_t> seen;
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        GameRandom::srand(seed);
        seen.insert(LevelConfiguration::resolve(multiples).multiples);
    }
    EXPECT_EQ(seen, (std::set<std::int32_t>{1, 2}));
}

TEST(TaskDataTest, EachTaskTypeGetsItsKindAndOthersNone)
{
    for (std::int32_t type = -1; type <= 23; ++type) {
        FRefT<TaskData> task = createTaskData(type, nullptr);
        if (type < 0 || type > 21) {
            EXPECT_EQ(task.get(), nullptr) << type;
            continue;
        }
        ASSERT_NE(task.get(), nullptr) << type;
        EXPECT_EQ(task->taskType(), type);
        EXPECT_EQ(task->index(), -1);
        EXPECT_FALSE(task->isDone());
    }
    EXPECT_NE(dynamic_cast<TaskData_Characters*>(createTaskData(5, nullptr).get()), nullptr);
    EXPECT_NE(dynamic_cast<TaskData_StoryLines*>(createTaskData(15, nullptr).get()), nullptr);
}

TEST(TaskDataTest, CharacterFlagsAndStorySamplesAreRead)
{
    FRefT<TaskData> characters = createTaskData(5, nullptr);
    characters->setIndex(0);
    FRefT<TaskData> story = createTaskData(15, nullptr);
    story->setIndex(1);
    const std::string text = "<root>" + GameDataText::element("TaskData_0", GameDataText::taskSection(5)) +
                             GameDataText::element("TaskData_1", GameDataText::taskSection(15)) + "</root>";
    FXmlSerializer serializer(xmlStream(text));
    characters->serialize(serializer);
    story->serialize(serializer);

    const auto& c = dynamic_cast<const TaskData_Characters&>(*characters);
    EXPECT_TRUE(c.usesZibbo());
    EXPECT_TRUE(c.usesVessa()); // the value 2 counts as set
    EXPECT_FALSE(c.usesStarmantle());
    EXPECT_EQ(c.getDiffRatios(false), (std::vector<std::int32_t>{60, 40}));

    const auto& s = dynamic_cast<const TaskData_StoryLines&>(*story);
    EXPECT_TRUE(s.usesLargeCharacter());
    GameRandom::srand(3);
    const std::int32_t draw = GameRandom::rand();
    GameRandom::srand(3);
    EXPECT_EQ(s.pickRandomSample(), draw % 2 == 0 ? "Voice01" : "Voice02");
    EXPECT_EQ(dynamic_cast<const TaskData_StoryLines&>(*createTaskData(15, nullptr)).pickRandomSample(), "");
}

} // namespace
