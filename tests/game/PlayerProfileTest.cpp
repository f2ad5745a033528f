#include "game/core/PlayerProfile.h"

#include "ProfileTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string saved(PlayerProfile& profile)
{
    MemoryOut out;
    profile.save(out.stream);
    return out.bytes();
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

size_t countTrue(const std::string& text)
{
    size_t count = 0;
    for (size_t at = text.find(">true<"); at != std::string::npos; at = text.find(">true<", at + 1))
        ++count;
    return count;
}

TEST(PlayerProfileTest, ANewProfileHasWorldZeroAndQuestZeroOpen)
{
    PlayerProfile profile(FString("<>"));
    EXPECT_EQ(profile.worlds(), (std::deque<int32_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    const std::vector<QuestProgress> quests = profile.copyQuests();
    ASSERT_EQ(quests.size(), 48u);
    EXPECT_EQ(quests[0], (QuestProgress{0, 0, 0}));
    for (int32_t i = 1; i < 48; ++i)
        EXPECT_EQ(quests[static_cast<size_t>(i)], (QuestProgress{i, -1, -1})) << i;
    EXPECT_EQ(profile.getTotalStars(), 0);
    EXPECT_EQ(profile.newWorlds(), (std::vector<int32_t>{0}));
    EXPECT_EQ(profile.newQuests(), (std::vector<int32_t>{0}));
    EXPECT_TRUE(profile.difficulty());
    EXPECT_EQ(profile.avatar(), 0);
    EXPECT_EQ(profile.musicVolume(), 24);
    EXPECT_EQ(profile.effectVolume(), 6);
    EXPECT_EQ(profile.voiceVolume(), 44);
    EXPECT_TRUE(profile.isChanged());

    // The lists of new worlds and quests are appended to, not emptied, and the
    // name and the difficulty stay.
    profile.setDifficulty(false);
    profile.setName(FString("Ann"));
    profile.unlockWorld(4);
    profile.setQuestResult(0, 2);
    profile.reset();
    EXPECT_EQ(profile.newWorlds(), (std::vector<int32_t>{0, 4, 0}));
    EXPECT_EQ(profile.newQuests(), (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(profile.worlds()[4], 0);
    EXPECT_EQ(profile.getQuestState(0), 0);
    EXPECT_FALSE(profile.difficulty());
    EXPECT_EQ(profile.name(), FString("Ann"));
}

TEST(PlayerProfileTest, QuestResultsNeverGoDown)
{
    struct Step
    {
        int32_t stars;
        bool answered; // an entry comes back
        int32_t state; // afterwards
        bool changed;
    };
    const Step steps[] = {
        {3, true, 4, true},   // open quest: 3 stars
        {2, false, 4, false}, // worse: ignored
        {3, false, 4, false}, // equal: ignored
        {5, true, 6, true},   // better
        {6, true, 6, false},  // no such star count: the entry, unchanged
    };
    PlayerProfile profile(FString("p"));
    for (const Step& step : steps) {
        SCOPED_TRACE(step.stars);
        profile.save(MemoryOut().stream); // clears the changed flag
        QuestProgress* entry = profile.setQuestResult(0, step.stars);
        EXPECT_EQ(entry != nullptr, step.answered);
        EXPECT_EQ(profile.getQuestState(0), step.state);
        EXPECT_EQ(profile.isChanged(), step.changed);
    }
    EXPECT_EQ(profile.getTotalStars(), 5);
    EXPECT_TRUE(profile.isQuestCompleted(0));

    // A locked quest takes a result; a star count out of range answers the
    // entry unchanged; a quest finished with 0 stars adds none.
    profile.save(MemoryOut().stream);
    QuestProgress* wild = profile.setQuestResult(7, -1);
    ASSERT_NE(wild, nullptr);
    EXPECT_EQ(wild->state, -1);
    EXPECT_FALSE(profile.isChanged());
    EXPECT_NE(profile.setQuestResult(7, 0), nullptr);
    EXPECT_EQ(profile.getQuestState(7), 1);
    EXPECT_TRUE(profile.isQuestCompleted(7));
    EXPECT_EQ(profile.getTotalStars(), 5);
    EXPECT_EQ(profile.copyOpenQuests().size(), 0u);
}

TEST(PlayerProfileTest, UnlockingChangesOnlyLockedQuestsAndRangesAreChecked)
{
    PlayerProfile profile(FString("p"));
    EXPECT_TRUE(profile.unlockQuest(5, 2));
    EXPECT_EQ(profile.copyQuests()[5], (QuestProgress{5, 2, 0}));
    EXPECT_TRUE(profile.isQuestNew(5));
    EXPECT_FALSE(profile.isQuestNew(6));
    EXPECT_EQ(profile.copyOpenQuests().size(), 2u);

    profile.setQuestResult(5, 1);
    profile.save(MemoryOut().stream);
    EXPECT_FALSE(profile.unlockQuest(5, 9)); // finished
    EXPECT_FALSE(profile.unlockQuest(0, 9)); // open
    EXPECT_EQ(profile.copyQuests()[5], (QuestProgress{5, 2, 2}));
    EXPECT_FALSE(profile.isChanged());

    profile.unlockWorld(3);
    profile.unlockWorld(3);
    EXPECT_TRUE(profile.isWorldUnlocked(3));
    EXPECT_TRUE(profile.isWorldNew(3));
    EXPECT_FALSE(profile.isWorldNew(2));
    EXPECT_TRUE(profile.isChanged());

    EXPECT_THROW(profile.unlockQuest(48, 0), std::out_of_range);
    EXPECT_THROW(profile.setQuestResult(-1, 0), std::out_of_range);
    EXPECT_THROW(profile.unlockWorld(12), std::out_of_range);
    EXPECT_THROW(profile.getQuestState(48), std::out_of_range);
}

TEST(PlayerProfileTest, StoryBreakFlagsMapToTheirKeys)
{
    const struct
    {
        int32_t storyBreak;
        const char* key;
    } cases[] = {{0, "hasSeenSB1Zibbo"},   {1, "hasSeenSB2Zibbo"},  {3, "hasSeenSB4Zibbo"},
                 {11, "hasSeenSB12Zibbo"}, {20, "hasSeenSB9Vessa"}, {34, "hasSeenSB11Tuff"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        PlayerProfile profile(FString("p"));
        profile.save(MemoryOut().stream);
        EXPECT_FALSE(profile.hasSeenFlag(c.storyBreak));
        profile.setSeenFlag(c.storyBreak);
        EXPECT_TRUE(profile.hasSeenFlag(c.storyBreak));
        EXPECT_TRUE(profile.isChanged());
        const std::string text = saved(profile);
        EXPECT_NE(text.find(std::string("<") + c.key + ">true<"), std::string::npos);
        EXPECT_EQ(countTrue(text), 2u); // the difficulty and this flag
    }
    // Numbers without a flag count as seen and cannot be set.
    PlayerProfile profile(FString("p"));
    profile.save(MemoryOut().stream);
    for (int32_t number : {2, 4, 10, 33, 35, -1}) {
        EXPECT_TRUE(profile.hasSeenFlag(number)) << number;
        profile.setSeenFlag(number);
    }
    EXPECT_FALSE(profile.isChanged());
    EXPECT_EQ(countTrue(saved(profile)), 1u);
}

TEST(PlayerProfileTest, SavesCompactlyAndLoadsTheSavedFieldsOnly)
{
    PlayerProfile written(FString("Zoë"));
    written.setDifficulty(false);
    written.unlockWorld(2);
    written.unlockQuest(9, 2);
    written.setQuestResult(9, 4);
    written.setAvatar(-7);
    written.setFlag(PlayerProfile::k_seenEndGame, true);
    const std::string text = saved(written);
    EXPECT_FALSE(written.isChanged());
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(
        text.rfind("<root><name>Zoë</name><difficulty>false</difficulty><worlds count=\"12\"><_0>1</_0>", 0),
        0u);
    EXPECT_NE(text.find("<quests count=\"48\"><_0><questId>0</questId><world>0</world><state>0</state></_0>"),
              std::string::npos);
    EXPECT_NE(text.find("<_9><questId>9</questId><world>2</world><state>5</state></_9>"), std::string::npos);

    PlayerProfile read(FString("<>"));
    read.setMusicVolume(3);
    read.newQuests().clear();
    ASSERT_TRUE(read.load(memoryIn(text)));
    EXPECT_FALSE(read.isChanged());
    EXPECT_EQ(read.name(), FString("Zoë"));
    EXPECT_FALSE(read.difficulty());
    EXPECT_EQ(read.worlds(), written.worlds());
    EXPECT_EQ(read.copyQuests(), written.copyQuests());
    EXPECT_EQ(read.avatar(), -7);
    EXPECT_TRUE(read.flag(PlayerProfile::k_seenEndGame));
    // What is not saved stays as it was.
    EXPECT_EQ(read.musicVolume(), 3);
    EXPECT_TRUE(read.newQuests().empty());
    EXPECT_EQ(saved(read), text);
}

TEST(PlayerProfileTest, TheLongestProfileFitsTheFileLimit)
{
    // Twelve three-byte characters, every quest finished in the widest world
    // number, every flag and the widest avatar.
    PlayerProfile profile(
        FString(u"\u4e2d\u4e2d\u4e2d\u4e2d\u4e2d\u4e2d\u4e2d\u4e2d\u4e2d\u4e2d\u4e2d\u4e2d"));
    profile.setDifficulty(false);
    for (int32_t q = 0; q < PlayerProfile::k_questCount; ++q) {
        profile.unlockQuest(q, 11);
        profile.setQuestResult(q, 5);
    }
    for (int32_t f = 0; f < PlayerProfile::k_flagCount; ++f)
        profile.setFlag(static_cast<PlayerProfile::Flag>(f), true);
    profile.setAvatar(-32768);
    EXPECT_LT(saved(profile).size(), 4311u);

    PlayerProfile fresh(FString("<>"));
    const size_t freshSize = saved(fresh).size();
    EXPECT_GT(freshSize, 3700u);
    EXPECT_LT(freshSize, 4100u);
}

TEST(PlayerProfileTest, AMalformedFileChangesNothing)
{
    PlayerProfile source(FString("Ann"));
    const std::string good = saved(source);
    const std::string questZero = "<_0><questId>0</questId><world>0</world><state>0</state></_0>";
    const struct
    {
        const char* what;
        std::string text;
    } cases[] = {
        {"not XML", "hello"},
        {"no root", replaced(good, "<root>", "<toor>")},
        {"missing name", replaced(good, "<name>Ann</name>", "")},
        {"missing flag", replaced(good, "<hasSeenWorld2Tutorial>false</hasSeenWorld2Tutorial>", "")},
        {"flag without text",
         replaced(good, "<hasReceivedGift>false</hasReceivedGift>", "<hasReceivedGift/>")},
        {"missing worlds", replaced(good, "<worlds count=\"12\">", "<wurlds count=\"12\">")},
        {"13 worlds", replaced(good, "<worlds count=\"12\">", "<worlds count=\"13\">")},
        {"absurd quest count", replaced(good, "<quests count=\"48\">", "<quests count=\"2000000000\">")},
        {"no quest count", replaced(good, "<quests count=\"48\">", "<quests>")},
        {"count not a number", replaced(good, "<quests count=\"48\">", "<quests count=\"4x\">")},
        {"missing quest", replaced(good, questZero, "")},
        {"quest out of order", replaced(good, "<questId>0</questId>", "<questId>1</questId>")},
        {"state not a number", replaced(good, "<state>0</state>", "<state>open</state>")},
        {"state out of range", replaced(good, "<state>0</state>", "<state>7</state>")},
        {"world out of range", replaced(good, "<world>0</world>", "<world>12</world>")},
        {"world flag 2", replaced(good, "<_0>1</_0>", "<_0>2</_0>")},
        {"avatar over 16 bits", replaced(good, "<avatar>0</avatar>", "<avatar>40000</avatar>")},
        {"avatar not a number", replaced(good, "<avatar>0</avatar>", "<avatar>x</avatar>")},
        {"name too long", replaced(good, "<name>Ann</name>", "<name>ABCDEFGHIJKLM</name>")},
        {"name not UTF-8", replaced(good, "<name>Ann</name>", "<name>A\xC3</name>")},
        {"name beyond U+10FFFF", replaced(good, "<name>Ann</name>", "<name>\xF4\x90\x80\x80</name>")},
        {"name in an overlong four-byte form",
         replaced(good, "<name>Ann</name>", "<name>\xF0\x8F\xBF\xBF</name>")},
        {"name with a cut four-byte form", replaced(good, "<name>Ann</name>", "<name>\xF0\x9F\x98</name>")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PlayerProfile profile(FString("Bob"));
        profile.setQuestResult(3, 2);
        const std::string before = saved(profile);
        EXPECT_FALSE(profile.load(memoryIn(c.text)));
        EXPECT_EQ(saved(profile), before);
    }
    PlayerProfile profile(FString("Bob"));
    EXPECT_TRUE(profile.load(memoryIn(good)));
    EXPECT_EQ(profile.name(), FString("Ann"));
    // A character outside the Basic Multilingual Plane is a name like any.
    EXPECT_TRUE(profile.load(memoryIn(replaced(good, "<name>Ann</name>", "<name>&#x1F600;</name>"))));
    EXPECT_EQ(profile.name(), FString(u"\U0001F600"));
}

} // namespace
