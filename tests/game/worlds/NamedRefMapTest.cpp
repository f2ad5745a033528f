#include "game/worlds/NamedRefMap.h"

#include <gtest/gtest.h>

namespace {
struct Counted
{
    explicit Counted(int* alive) : alive(alive) { ++*alive; }
    ~Counted() { --*alive; }
    int* alive;
};
} // namespace

TEST(NamedRefMapTest, LookupIsExactAndNeverInserts)
{
    int alive = 0;
    NamedAssetMap map;
    map.findOrInsert("World01BG01") = makeRef(new Counted(&alive));
    EXPECT_NE(map.find("World01BG01"), nullptr);
    EXPECT_EQ(map.find("world01bg01"), nullptr) << "names are compared byte by byte";
    EXPECT_EQ(map.find("World01BG0"), nullptr);
    EXPECT_EQ(map.size(), 1u) << "a failed lookup inserts nothing";
}

TEST(NamedRefMapTest, RegisteringInsertsAnEmptyHandleAndReplacingKeepsOneEntry)
{
    int alive = 0;
    NamedAssetMap map;
    FRef& slot = map.findOrInsert("World01Hint01");
    EXPECT_FALSE(slot.isNull());
    EXPECT_EQ(slot.get(), nullptr) << "a fresh entry holds no target";

    map.findOrInsert("World01Hint01") = makeRef(new Counted(&alive));
    map.findOrInsert("World01Hint01") = makeRef(new Counted(&alive));
    EXPECT_EQ(map.size(), 1u);
    EXPECT_EQ(alive, 1) << "the replaced handle was released";
    map.clear();
    EXPECT_EQ(alive, 0);
}

TEST(NamedRefMapTest, ACopiedHandleOutlivesTheMap)
{
    int alive = 0;
    FRef copy;
    {
        NamedTextMap map;
        map.findOrInsert("InGame_Carousel_VignetteText_Orchard01") = makeRef(new Counted(&alive));
        copy = *map.find("InGame_Carousel_VignetteText_Orchard01");
    }
    EXPECT_EQ(alive, 1);
    EXPECT_NE(copy.get(), nullptr);
    copy.release();
    EXPECT_EQ(alive, 0);
}
