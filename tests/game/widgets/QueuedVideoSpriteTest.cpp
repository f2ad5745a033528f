#include "game/widgets/RecordingVideoPlayer.h"

#include "game/core/GameRandom.h"
#include "game/widgets/QueuedVideoSprite.h"
#include "ui/FScreen.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

FRef token(int32_t id)
{
    return makeRef(engineNew<int32_t>(k_memObject, id));
}

// A story screen stand-in: two-frame recorded clips named by role, three
// panel entries, and a record of the sounds, holds and HUD reactions.
class CursorScreen : public FScreen, public QueuedVideoHost
{
public:
    explicit CursorScreen(std::vector<std::string>& log)
    {
        const std::pair<FRefT<FVideo>*, const char*> clips[] = {
            {&table.idleClip, "idle"},
            {&table.rareIdleClipA, "rare A"},
            {&table.rareIdleClipB, "rare B"},
            {&table.specialClip, "special"},
            {&react, "react"},
            {&other, "other"},
        };
        for (const auto& [clip, name] : clips) {
            *clip = recordedVideo(name, 2, log);
            names[clip->get()] = name;
        }
        table.specialSoundA = token(2329);
        table.specialSoundB = token(2330);
        for (int32_t n = 0; n < 3; ++n)
            entries.push_back(token(n));
    }
    void reloadTexts(int32_t) override {}
    const AssetTable* getQueuedVideoAssetTable() override { return withTable ? &table : nullptr; }
    void playSound(const FRef& sound, int32_t volume) override
    {
        sounds.push_back(std::to_string(*static_cast<int32_t*>(sound.get())) + "@" + std::to_string(volume));
    }
    void onCharacterHeld(bool held) override { holds.push_back(held); }
    bool needsActiveEntry() const override { return needsEntry; }
    PendingSprite getPendingSprite() override { return pending; }
    int32_t panelEntryCount(int32_t player) override
    {
        EXPECT_EQ(player, 0);
        return static_cast<int32_t>(entries.size());
    }
    FRef panelEntryAt(int32_t, int32_t index) override { return entries.at(static_cast<std::size_t>(index)); }
    bool storyHudHandleEntryEvent(const FRef& entry) override
    {
        reactions.push_back(*static_cast<int32_t*>(entry.get()));
        return true;
    }

    AssetTable table;
    FRefT<FVideo> react;
    FRefT<FVideo> other;
    std::map<const FVideo*, std::string> names;
    bool withTable = true;
    bool needsEntry = false;
    PendingSprite pending;
    std::vector<FRef> entries;
    std::vector<std::string> sounds;
    std::vector<bool> holds;
    std::vector<int32_t> reactions;
};

class QueuedVideoSpriteTest : public ::testing::Test
{
protected:
    QueuedVideoSpriteTest()
    {
        GameRandom::srand(7);
        sprite.setWidgetRect({0, 0, 40, 40});
    }
    std::string playing() { return screen.names[sprite.video().get()]; }
    // Plays `count` clips of two frames to their ends; the names of the
    // clips that played.
    std::vector<std::string> playClips(int32_t count)
    {
        std::vector<std::string> played;
        for (int32_t n = 0; n < count; ++n) {
            played.push_back(playing());
            sprite.update(111);
            sprite.update(111);
        }
        return played;
    }

    std::vector<std::string> log;
    CursorScreen screen{log};
    QueuedVideoSprite sprite{&screen};
};

using Names = std::vector<std::string>;

TEST_F(QueuedVideoSpriteTest, SetupStartsAnIdleClipChosenByRandomNumber)
{
    std::map<std::string, int32_t> seen;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        GameRandom::srand(seed);
        const int32_t r = GameRandom::rand() % 100;
        const char* expected = r < 10 ? "rare A" : r < 20 ? "rare B" : "idle";
        GameRandom::srand(seed);
        QueuedVideoSprite cursor(&screen);
        cursor.setup();
        ASSERT_TRUE(cursor.isSetUp());
        EXPECT_EQ(screen.names[cursor.video().get()], expected) << "seed " << seed;
        EXPECT_EQ(cursor.queuedClips(), 1u);
        EXPECT_TRUE(cursor.isPlaying());
        EXPECT_EQ(cursor.frameTime(), 111);
        EXPECT_EQ(cursor.alphaThreshold(), 0);
        ++seen[expected];
    }
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(QueuedVideoSpriteTest, WithoutTheAssetTableSetupDoesNothing)
{
    screen.withTable = false;
    sprite.setup();
    EXPECT_FALSE(sprite.isSetUp());
    EXPECT_EQ(sprite.video().get(), nullptr);
    EXPECT_EQ(sprite.queuedClips(), 0u);
}

TEST_F(QueuedVideoSpriteTest, InterruptibleClipsAreCutAndOthersAreWaitedFor)
{
    sprite.setup();
    sprite.queueClip(screen.react, false, false);
    EXPECT_EQ(playing(), "react");
    EXPECT_EQ(sprite.queuedClips(), 1u);
    sprite.queueClip(screen.other, false, true);
    EXPECT_EQ(playing(), "react");
    EXPECT_EQ(sprite.queuedClips(), 2u);
    const Names played = playClips(3);
    EXPECT_EQ(played[0], "react");
    EXPECT_EQ(played[1], "other");
    EXPECT_NE(played[2], "other");
    EXPECT_EQ(sprite.queuedClips(), 1u);
    // An interruptible front is replaced at once.
    sprite.queueClip(screen.react, true, true);
    EXPECT_EQ(playing(), "react");
    EXPECT_EQ(sprite.queuedClips(), 1u);
    EXPECT_EQ(playClips(3), (Names{"react", "react", "react"}));
}

TEST_F(QueuedVideoSpriteTest, TheSpecialClipSoundsOnItsThirdAndThenEveryFourthStart)
{
    sprite.setup();
    std::vector<std::string> soundAfterStart;
    for (int32_t start = 1; start <= 12; ++start) {
        screen.sounds.clear();
        sprite.queueClip(screen.table.specialClip, false, true);
        soundAfterStart.push_back(screen.sounds.empty() ? "-" : screen.sounds.front());
    }
    EXPECT_EQ(soundAfterStart,
              (Names{"-", "-", "2330@63", "-", "-", "-", "2329@63", "-", "-", "-", "2330@63", "-"}));
}

TEST_F(QueuedVideoSpriteTest, ARepeatingSpecialClipSoundsEverySecondRunAlternately)
{
    sprite.setup();
    sprite.queueClip(screen.table.specialClip, true, true);
    std::vector<std::string> soundAtRunEnd;
    for (int32_t run = 1; run <= 6; ++run) {
        screen.sounds.clear();
        EXPECT_EQ(playClips(1), (Names{"special"}));
        soundAtRunEnd.push_back(screen.sounds.empty() ? "-" : screen.sounds.front());
    }
    EXPECT_EQ(soundAtRunEnd, (Names{"2330@63", "-", "2329@63", "-", "2330@63", "-"}));
}

TEST_F(QueuedVideoSpriteTest, PressesAndReleasesMakeTheHudReact)
{
    struct Case
    {
        const char* name;
        bool press;
        std::vector<int32_t> frames;
        int32_t entries;
        bool held;
        bool reacts;
    };
    const Case cases[] = {
        {"short press", true, {}, 3, false, true},
        {"300 ms", true, {100, 100, 100}, 3, false, true},
        {"301 ms", true, {100, 100, 101}, 3, true, false},
        {"long press", true, {250, 250, 250}, 3, true, false},
        {"empty panel", true, {50}, 0, false, false},
        {"no press", false, {}, 3, false, false},
    };
    sprite.setup();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        screen.entries.resize(static_cast<std::size_t>(c.entries));
        screen.holds.clear();
        screen.reactions.clear();
        if (c.press) sprite.onPointerDown(0, 8, {5, 5});
        for (int32_t ms : c.frames)
            sprite.update(ms);
        GameRandom::srand(11);
        const int32_t expected = c.entries > 0 ? GameRandom::rand() % c.entries : -1;
        GameRandom::srand(11);
        sprite.onPointerUp(0, 8, {5, 5});
        EXPECT_EQ(screen.holds, c.held ? std::vector<bool>{true} : std::vector<bool>{});
        EXPECT_EQ(screen.reactions, c.reacts ? std::vector<int32_t>{expected} : std::vector<int32_t>{});
        EXPECT_FALSE(sprite.isPressed());
        screen.entries.clear();
        for (int32_t n = 0; n < 3; ++n)
            screen.entries.push_back(token(n));
    }
}

TEST_F(QueuedVideoSpriteTest, TimeOfAnEarlierShortPressDoesNotCountTowardTheNext)
{
    sprite.setup();
    sprite.onPointerDown(0, 8, {5, 5});
    sprite.update(250);
    sprite.onPointerUp(0, 8, {5, 5});
    sprite.onPointerDown(0, 8, {5, 5});
    sprite.update(100);
    EXPECT_TRUE(screen.holds.empty());
    EXPECT_TRUE(sprite.isPressed());
}

TEST_F(QueuedVideoSpriteTest, APendingSpriteTakesTheReactionWhileTheScreenNeedsAnEntry)
{
    struct Case
    {
        const char* name;
        bool needsEntry;
        bool hasItem;
        bool found;
        bool withEntry;
        bool press;
        std::vector<int32_t> reactions;
    };
    // Entry 7 is the pending sprite's; 0-2 are the panel's.
    const Case cases[] = {
        {"pending entry, no press", true, true, false, true, false, {7}},
        {"pending entry after a press", true, true, false, true, true, {7}},
        {"found sprite", true, true, true, true, true, {}},
        {"sprite without entry", true, true, false, false, true, {}},
        {"no item: a random entry", true, false, false, true, true, {-1}},
        {"no entry needed: a random entry", false, true, false, true, true, {-1}},
    };
    sprite.setup();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        screen.needsEntry = c.needsEntry;
        screen.pending = {true, c.hasItem, c.found, c.withEntry ? token(7) : FRef()};
        screen.reactions.clear();
        if (c.press) sprite.onPointerDown(0, 8, {5, 5});
        GameRandom::srand(3);
        const int32_t random = GameRandom::rand() % 3;
        GameRandom::srand(3);
        sprite.onPointerUp(0, 8, {5, 5});
        std::vector<int32_t> expected = c.reactions;
        for (int32_t& e : expected)
            if (e == -1) e = random;
        EXPECT_EQ(screen.reactions, expected);
        EXPECT_FALSE(sprite.isPressed());
    }
}

} // namespace
