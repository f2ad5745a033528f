// The gameplay animation table read for one world, with the checks a table
// from a kit needs; and the catch zone of a falling sprite.
#include "game/gameplay/AnimRecord.h"
#include "game/gameplay/CatchZone.h"

#include "core/FDebug.h"
#include "core/FMemory.h"
#include "core/FXmlSerializer.h"
#include "engine/core/KernelTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

FRefT<std::istream> animXml(const std::string& root)
{
    return FRefT<std::istream>(makeSignaledRef<std::istream>(
        engineNew<std::istringstream>(k_memObject, "<root>" + root + "</root>")));
}

std::string record(const std::string& used, const std::string& top, const char* name)
{
    return "<IsUsed>" + used + "</IsUsed><Top>" + top + "</Top><Left>7</Left><IsLooping>0</IsLooping><Name>" +
           name + "</Name><Sound>World02HotSpot01</Sound>";
}

class AnimRecordTest : public testing::Test
{
protected:
    RecordingErrorHandler handler;
};

TEST_F(AnimRecordTest, ReadsTheRecordsOfTheCurrentWorldInOrder)
{
    FXmlSerializer serializer(animXml("<World1><Anims count=\"1\"><_0>" + record("1", "5", "World01Anim01") +
                                      "</_0></Anims></World1><World2><Anims count=\"2\"><_0>" +
                                      record("1", "-40", "World02Anim01") + "</_0><_1>" +
                                      record("0", "300", "World02Anim02") + "</_1></Anims></World2>"));
    std::vector<AnimRecord> records;
    loadWorldAnims(serializer, 2, records);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].top, -40);
    EXPECT_EQ(records[0].left, 7);
    EXPECT_EQ(records[0].isUsed, 1);
    EXPECT_EQ(records[0].name, FString("World02Anim01"));
    EXPECT_EQ(records[0].sound, FString("World02HotSpot01"));
    EXPECT_EQ(records[1].isUsed, 0);
    EXPECT_EQ(records[1].name, FString("World02Anim02"));
    // The serializer is back where it was: another world reads too.
    loadWorldAnims(serializer, 1, records);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].top, 5);
}

TEST_F(AnimRecordTest, ABrokenTableIsAFailureNamingTheAssetAndLeavesTheRecords)
{
    struct Case
    {
        const char* what;
        std::string xml;
        const char* expected;
    };
    const Case cases[] = {
        {"missing world", "<World1><Anims count=\"0\"></Anims></World1>", "World3: no such element"},
        {"missing array", "<World3></World3>", "no array Anims"},
        {"count beyond the data",
         "<World3><Anims count=\"3\"><_0>" + record("1", "1", "a") + "</_0></Anims></World3>", "runs beyond"},
        {"value beyond int",
         "<World3><Anims count=\"1\"><_0>" + record("1", "4294967296", "a") + "</_0></Anims></World3>",
         "Top is not a 32-bit integer"},
        {"not a number",
         "<World3><Anims count=\"1\"><_0>" + record("yes", "1", "a") + "</_0></Anims></World3>",
         "IsUsed is not a 32-bit integer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FXmlSerializer serializer(animXml(c.xml));
        std::vector<AnimRecord> records(1);
        records[0].top = 99;
        bool failed = false;
        try {
            loadWorldAnims(serializer, 3, records);
        } catch (const FDebug::TreatedException&) {
            failed = true;
        } catch (const FDebug::VellumcoreException&) {
            failed = true;
        }
        EXPECT_TRUE(failed);
        ASSERT_FALSE(handler.texts.empty());
        const std::string report = handler.texts.back().toUtf8();
        EXPECT_NE(report.find("asset 6644"), std::string::npos) << report;
        EXPECT_NE(report.find(c.expected), std::string::npos) << report;
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].top, 99);
    }
}

TEST(CatchZoneTest, ThreeTimesTheSpriteSharingItsBottomRightCorner)
{
    const FRectI sprite{100, 200, 120, 230}; // 20 x 30
    struct Case
    {
        FPointI point;
        bool caught;
    };
    const Case cases[] = {
        {{60, 140}, true},   // the zone's top-left corner
        {{59, 140}, false},  // one left of it
        {{60, 139}, false},  // one above it
        {{119, 229}, true},  // the sprite's last pixel
        {{120, 229}, false}, // right of the sprite
        {{119, 230}, false}, // below the sprite
        {{110, 215}, true},  // on the sprite
        {{80, 150}, true},   // above-left of the sprite, inside the zone
    };
    for (const Case& c : cases)
        EXPECT_EQ(isInCatchZone(sprite, c.point), c.caught) << c.point.x << "," << c.point.y;
}

} // namespace
