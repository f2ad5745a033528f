#include "game/worldcontent/WorldKeys.h"

#include "core/FDebug.h"
#include "engine/core/KernelTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {
std::map<WorldTable, int> countByTable(const std::vector<WorldItem>& items)
{
    std::map<WorldTable, int> counts;
    for (const WorldItem& item : items)
        ++counts[item.table];
    return counts;
}

std::set<std::string> keysOf(const std::vector<WorldItem>& items, WorldTable table)
{
    std::set<std::string> keys;
    for (const WorldItem& item : items)
        if (item.table == table) keys.insert(item.key);
    return keys;
}

struct WorldCounts
{
    int number;
    int pictureTable; // pictures, copies, vignettes and every companion
    int gallery;      // creature copies and companions, or photographs and companions
    int travelers;
    int watcherTable;
    int anims;
    int hotSpots;
    int total;
};

// Counted by hand from each world's row: pictures (multiples as five copies)
// with two companions each, vignettes with two, 3 creatures x (5 + 2) or
// 20 photographs x 3, plus what every world shares. World 9's row adds up to
// 431 assets, one fewer than the 432 its summary once claimed; the rows hold.
const WorldCounts k_counts[] = {
    {1, 165, 21, 0, 9, 29, 16, 398},  {2, 129, 60, 1, 6, 24, 14, 392},   {3, 165, 21, 2, 0, 29, 10, 385},
    {4, 154, 21, 3, 6, 30, 13, 386},  {5, 135, 60, 4, 6, 30, 15, 408},   {6, 150, 21, 5, 6, 31, 15, 387},
    {7, 132, 60, 6, 0, 32, 16, 404},  {8, 160, 21, 7, 0, 34, 12, 408},   {9, 156, 60, 8, 12, 28, 9, 431},
    {10, 138, 21, 9, 6, 32, 12, 376}, {11, 135, 60, 10, 0, 31, 10, 404}, {12, 138, 60, 11, 15, 35, 8, 425},
};
} // namespace

TEST(WorldKeysTest, EveryWorldHoldsItsCountsPerTable)
{
    for (const WorldCounts& expected : k_counts) {
        SCOPED_TRACE(expected.number);
        const WorldContent& world = worldContent(expected.number - 1);
        ASSERT_EQ(world.number, expected.number);
        const std::vector<WorldItem> items = worldItems(world);
        std::map<WorldTable, int> counts = countByTable(items);
        EXPECT_EQ(counts[WorldTable::Picture], expected.pictureTable);
        EXPECT_EQ(counts[world.creatures ? WorldTable::Creature : WorldTable::Photographs], expected.gallery);
        EXPECT_EQ(counts[world.creatures ? WorldTable::Photographs : WorldTable::Creature], 0);
        EXPECT_EQ(counts[WorldTable::Travelers], expected.travelers);
        EXPECT_EQ(counts[WorldTable::Watcher], expected.watcherTable);
        EXPECT_EQ(counts[WorldTable::Anim], expected.anims);
        EXPECT_EQ(counts[WorldTable::HotSpot], expected.hotSpots);
        EXPECT_EQ(counts[WorldTable::Background], 96);
        EXPECT_EQ(counts[WorldTable::Hint], 15);
        EXPECT_EQ(counts[WorldTable::Difference], 18);
        EXPECT_EQ(counts[WorldTable::SpecialScroll], 3);
        EXPECT_EQ(counts[WorldTable::SpecialTuff], 3);
        EXPECT_EQ(counts[WorldTable::SpecialBone], expected.number == 8 ? 15 : 0);
        EXPECT_EQ(counts[WorldTable::ExtraAsset], expected.number == 8 ? 1 : 0);
        EXPECT_EQ(static_cast<int>(items.size()), expected.total);

        // Keys are unique across the whole scene and follow the prefix.
        std::set<std::string> seen;
        for (const WorldItem& item : items) {
            if (item.key.empty()) continue;
            EXPECT_TRUE(seen.insert(item.key).second) << item.key;
            if (item.table != WorldTable::HotSpot) {
                EXPECT_EQ(item.key.rfind(worldKeyPrefix(world), 0), 0u) << item.key;
            }
        }
    }
}

TEST(WorldKeysTest, IrregularWorldsKeepTheirExceptions)
{
    const std::vector<WorldItem> world1 = worldItems(worldContent(0));
    const std::set<std::string> pictures1 = keysOf(world1, WorldTable::Picture);
    EXPECT_TRUE(pictures1.count("World01Picture17Multiple01"));
    EXPECT_TRUE(pictures1.count("World01Picture17Multiple05"));
    EXPECT_TRUE(pictures1.count("World01Picture17Bling"));
    EXPECT_FALSE(pictures1.count("World01Picture17")) << "a multiple has no key without a copy number";
    EXPECT_TRUE(pictures1.count("World01Vignette16Panel"));
    EXPECT_TRUE(keysOf(world1, WorldTable::Difference).count("World01Differences01"));
    EXPECT_TRUE(keysOf(world1, WorldTable::Creature).count("World01Creature01Multiple01"));
    EXPECT_TRUE(keysOf(world1, WorldTable::HotSpot).count("HotSpot1_Lighthouse"));

    const std::set<std::string> pictures4 = keysOf(worldItems(worldContent(3)), WorldTable::Picture);
    EXPECT_TRUE(pictures4.count("World04Picture30"));
    EXPECT_FALSE(pictures4.count("World04Picture30Bling"));
    EXPECT_FALSE(pictures4.count("World04Picture30Panel"));
    EXPECT_TRUE(pictures4.count("World04Picture29Bling"));

    const std::set<std::string> anims10 = keysOf(worldItems(worldContent(9)), WorldTable::Anim);
    EXPECT_TRUE(anims10.count("World10Anim28"));
    EXPECT_FALSE(anims10.count("World10Anim29"));
    EXPECT_TRUE(anims10.count("World10Anim30"));

    const std::set<std::string> pictures9 = keysOf(worldItems(worldContent(8)), WorldTable::Picture);
    EXPECT_TRUE(pictures9.count("World09Picture50"));
    EXPECT_FALSE(pictures9.count("World09Picture40"));

    const std::set<std::string> travelers12 = keysOf(worldItems(worldContent(11)), WorldTable::Travelers);
    EXPECT_EQ(*travelers12.begin(), "World12Travelers01");
    EXPECT_EQ(*travelers12.rbegin(), "World12Travelers11");
    EXPECT_EQ(keysOf(worldItems(worldContent(1)), WorldTable::Travelers),
              std::set<std::string>{"World02Travelers01"});
}

TEST(WorldKeysTest, WorldEightFilesAmbientExtraThenMusic)
{
    std::vector<WorldTable> singles;
    for (const WorldItem& item : worldItems(worldContent(7)))
        if (item.key.empty()) singles.push_back(item.table);
    EXPECT_EQ(singles, (std::vector<WorldTable>{WorldTable::BaseImage, WorldTable::AmbientSound,
                                                WorldTable::ExtraAsset, WorldTable::Music}));
    singles.clear();
    for (const WorldItem& item : worldItems(worldContent(0)))
        if (item.key.empty()) singles.push_back(item.table);
    EXPECT_EQ(singles,
              (std::vector<WorldTable>{WorldTable::BaseImage, WorldTable::Music, WorldTable::AmbientSound}));
}

TEST(WorldKeysTest, CaptionsAreKeyedByVignetteExceptWhereHeldPlain)
{
    struct Case
    {
        int index;
        std::size_t keyed;
        std::vector<int32_t> plain;
    };
    const Case cases[] = {{0, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
                          {2, 17, {8}},
                          {7, 11, {}},
                          {11, 7, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const WorldContent& world = worldContent(c.index);
        const std::vector<std::string> keys = worldCaptionKeys(world);
        EXPECT_EQ(keys.size(), c.keyed);
        EXPECT_EQ(worldPlainCaptionVignettes(world), c.plain);
    }
    const std::vector<std::string> world3 = worldCaptionKeys(worldContent(2));
    EXPECT_EQ(world3[6], "InGame_Carousel_VignetteText_Market07");
    EXPECT_EQ(world3[7], "InGame_Carousel_VignetteText_Market09") << "the eighth caption has no key";
}

TEST(WorldKeysTest, AWorldIndexOutsideTheTwelveIsAFailure)
{
    for (int index : {-1, 12, 1000}) {
        RecordingErrorHandler handler;
        EXPECT_THROW(worldContent(index), FDebug::VellumcoreException) << index;
        ASSERT_EQ(handler.texts.size(), 1u);
        EXPECT_NE(handler.texts[0].toNarrow().find("world index (" + std::to_string(index) + ")"),
                  std::string::npos)
            << handler.texts[0].toNarrow();
    }
}
