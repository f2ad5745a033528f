#include "PlayFieldTestSupport.h"
#include "game/widgets/RecordingVideoPlayer.h"

#include "audio/FAudioModule.h"
#include "engine/audio/AudioTestSupport.h"
#include "game/core/GameRandom.h"
#include "game/core/SoundChannel.h"
#include "game/widgets/MapAnimationSprite.h"
#include "game/widgets/MapViewWindow.h"
#include "ui/FContainer.h"
#include "ui/FImageWidget.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

FRefT<FAudioNode> shortSound()
{
    return audiotest::makeSource(audiotest::makeBuffer(std::vector<std::int16_t>(200, 1000), 2));
}

// The next value of the game's random numbers, without drawing it.
int32_t peekRand()
{
    const uint32_t state = GameRandom::state();
    const int32_t value = GameRandom::rand();
    GameRandom::srand(state);
    return value;
}

// Seeds the game's random numbers so that the next draw modulo 100 lies in
// [low, high).
void seedNextDraw(int32_t low, int32_t high)
{
    for (uint32_t seed = 1;; ++seed) {
        GameRandom::srand(seed);
        const int32_t value = peekRand() % 100;
        if (value >= low && value < high) return;
    }
}

// The game module's side with a real effect channel: every sound cuts the
// one before, as the ring of effect channels does once it has come round.
class ChannelPlayServices : public RecordingPlayServices
{
public:
    ChannelPlayServices() { channel.createVoice(FRefT<FAudioNode>()); }
    SoundChannel* playSoundOnChannel(const FRef& sound, int32_t volume) override
    {
        volumes.push_back(volume);
        channel.stop();
        channel.play(FRefT<FAudioNode>(sound), static_cast<uint8_t>(volume));
        return &channel;
    }
    // The companion sound reaches its end; the channel reports it.
    void endSound()
    {
        channel.onSoundEnded(0);
        channel.finish();
    }

    FAudioModule audio;
    SoundChannel channel{audio.service()};
    std::vector<int32_t> volumes;
};

// An 800 x 600 map view at zoom 1 over the 2400 x 1600 scene, whose window
// centre can go from (400, 300) to (2000, 1300).
class MapAnimationTest : public ::testing::Test
{
protected:
    MapAnimationTest()
    {
        session = sessionWithTask(6, 2);
        services.session = session.get();
        screen.map = makeRef(engineNew<MapView>(k_memObject, &screen, true));
        screen.map->setWidgetRect({0, 0, 800, 600});
        screen.map->setZoom(1.0f);
        GameRandom::srand(7);
    }

    // A 100 x 100 sprite of a `frames`-frame clip centred at (cx, cy) in the
    // scene.
    FRefT<MapAnimationSprite> makeSprite(bool occasional, int32_t cx, int32_t cy,
                                         const FRefT<FAudioNode>& sound, int32_t frames = 4)
    {
        auto sprite = makeRef(engineNew<MapAnimationSprite>(k_memObject, screen.map->content()));
        sprite->setOccasional(occasional);
        sprite->setClips(recordedVideo("clip", frames, log), sound);
        sprite->setWidgetRect({cx - 50, cy - 50, cx + 50, cy + 50});
        return sprite;
    }
    // Scrolls the window so that its centre shows scene point (x, y).
    void centreViewOn(int32_t x, int32_t y)
    {
        screen.map->scrollTo(400 - x, 300 - y);
        const FRectI& content = screen.map->content()->rect();
        EXPECT_EQ((FPointI{content.left, content.top}), (FPointI{400 - x, 300 - y})) << "within the scene";
    }

    std::vector<std::string> log;
    ChannelPlayServices services;
    std::unique_ptr<GameSession> session;
    PlayScreen screen;
};

TEST(MapViewWindowTest, RectanglesNearAndInTheWindow)
{
    struct Case
    {
        const char* name;
        int32_t contentLeft;
        float scale;
        FRectI rect;
        bool near;
        bool inView;
    };
    const Case cases[] = {
        {"inside", 0, 1.0f, {100, 100, 200, 200}, true, true},
        {"over the right edge", 0, 1.0f, {790, 100, 850, 150}, true, false},
        {"right corner at the margin", 0, 1.0f, {900, 100, 1000, 150}, true, false},
        {"beyond the margin", 0, 1.0f, {1000, 100, 1050, 150}, false, false},
        {"left of the window has no margin", 0, 1.0f, {-1, 100, 50, 150}, false, false},
        // A view scrolled further than its own width still sees what it shows.
        {"scrolled far right", -1000, 1.0f, {1200, 100, 1300, 200}, true, true},
        {"scrolled, left of the window", -1000, 1.0f, {900, 100, 1100, 200}, false, false},
        {"scrolled, within the margin", -1000, 1.0f, {1790, 100, 1900, 200}, true, false},
        // At zoom 0.75 the margin is trunc(200 / 0.75) = 266 and points divide by the zoom.
        {"zoomed, in the margin", 0, 0.75f, {700, 100, 750, 150}, true, false},
        {"zoomed, inside", 0, 0.75f, {500, 100, 520, 150}, true, true},
        {"zoomed, beyond the margin", 0, 0.75f, {800, 100, 810, 150}, false, false},
    };
    for (const Case& c : cases) {
        MapViewWindow window{800, 600, c.contentLeft, 0, c.scale, c.scale};
        const FRectI& r = c.rect;
        EXPECT_EQ(window.isRectNearView(r.left, r.top, r.right, r.bottom), c.near) << c.name;
        EXPECT_EQ(window.isRectInView(r.left, r.top, r.right, r.bottom), c.inView) << c.name;
    }
}

TEST(MapViewWindowTest, DistanceOfAWidgetCentreFromTheWindowCentre)
{
    struct Case
    {
        const char* name;
        int32_t contentLeft;
        int32_t contentTop;
        float scale;
        FPointI centre;
        int32_t distance;
    };
    const Case cases[] = {
        {"at the centre", 0, 0, 1.0f, {400, 300}, 0},
        {"3-4-5 apart", 0, 0, 1.0f, {700, 700}, 500},
        {"scrolled onto it", -1000, -500, 1.0f, {1400, 800}, 0},
        {"scrolled past it", -1000, -500, 1.0f, {1100, 700}, 316},
        // Half the window is 800 / 1.5 = 533 by 600 / 1.5 = 400; 5 / 0.75 gives 6.
        {"zoomed", 0, 0, 0.75f, {536, 404}, 6},
    };
    for (const Case& c : cases) {
        MapViewWindow window{800, 600, c.contentLeft, c.contentTop, c.scale, c.scale};
        FImageWidget widget(nullptr);
        widget.setWidgetRect({c.centre.x - 20, c.centre.y - 10, c.centre.x + 20, c.centre.y + 10});
        EXPECT_EQ(window.distanceFromViewCentre(widget), c.distance) << c.name;
    }
}

TEST_F(MapAnimationTest, SetUpShowsTheClipAt12FramesAndNeverTakesThePointer)
{
    FRefT<FAudioNode> sound = shortSound();
    auto sprite = makeSprite(false, 400, 300, sound);
    FContainer& content = *screen.map->content();
    FImageWidget above(&content);
    sprite->setClips(sprite->video(), sound);
    EXPECT_EQ(content.children().back(), sprite.get());
    EXPECT_EQ(sprite->frameRate(), 12);
    EXPECT_EQ(sprite->frameTime(), 83);
    EXPECT_TRUE(sprite->isHitTestDisabled());
    EXPECT_FALSE(sprite->containsPoint({10, 10}));
    EXPECT_EQ(sound->references(), 1);
    EXPECT_FALSE(sprite->isCompanionInUse());
    sprite.release();
    EXPECT_EQ(sound->references(), 0);
}

TEST_F(MapAnimationTest, RangeAndVolumeFollowTheDistanceFromTheViewCentre)
{
    // The range is 2400 x 350 / 640 = 1312.5 pixels of the 2400-wide scene.
    struct Case
    {
        int32_t distance;
        bool inRange;
        int32_t volume;
    };
    const Case cases[] = {
        {0, true, 25}, {656, true, 12}, {1312, true, 0}, {1313, false, 0}, {2000, false, 0}};
    for (const Case& c : cases) {
        auto sprite = makeSprite(false, 1000 + c.distance, 800, FRefT<FAudioNode>());
        centreViewOn(1000, 800);
        EXPECT_EQ(sprite->distanceFromViewCentre(), c.distance);
        EXPECT_EQ(sprite->isInRange(), c.inRange) << c.distance;
        if (c.inRange) {
            EXPECT_EQ(sprite->rangeVolume(), c.volume) << c.distance;
        }
    }
}

TEST_F(MapAnimationTest, AContinuousAnimationRunsInRangeFreezesOutsideAndRestartsOnReturn)
{
    auto sprite = makeSprite(false, 600, 800, FRefT<FAudioNode>(), 10);
    centreViewOn(600, 800);
    sprite->update(83);
    ASSERT_TRUE(sprite->isPlaying());
    EXPECT_EQ(sprite->loops(), 0);
    for (int n = 0; n < 3; ++n)
        sprite->update(83);
    EXPECT_EQ(sprite->currentFrame(), 3);

    centreViewOn(2000, 800); // 1400 away: out of range
    sprite->update(83);
    EXPECT_TRUE(sprite->isPaused());
    const int32_t frozen = sprite->currentFrame();
    EXPECT_GT(frozen, 0);
    sprite->update(83);
    sprite->update(83);
    EXPECT_EQ(sprite->currentFrame(), frozen) << "frozen on its frame";

    centreViewOn(900, 800);
    sprite->update(83);
    EXPECT_TRUE(sprite->isPlaying());
    EXPECT_FALSE(sprite->isPaused());
    EXPECT_EQ(sprite->currentFrame(), 0) << "a new run from the first frame";
}

TEST_F(MapAnimationTest, AnAnimationOutOfRangeNeverStarts)
{
    for (bool occasional : {false, true}) {
        auto sprite = makeSprite(occasional, 600, 800, shortSound());
        centreViewOn(600 + 1313, 800);
        const uint32_t state = GameRandom::state();
        for (int n = 0; n < 10; ++n)
            sprite->update(1000);
        EXPECT_FALSE(sprite->isPlaying()) << occasional;
        EXPECT_EQ(GameRandom::state(), state) << "no draw out of range";
    }
    EXPECT_TRUE(services.volumes.empty());
}

TEST_F(MapAnimationTest, AnOccasionalAnimationTriesEveryTwoSeconds)
{
    struct Case
    {
        const char* name;
        int32_t low;
        int32_t high;
        bool startsAtFirstTry;
    };
    const Case cases[] = {{"a draw below 40 starts it", 0, 40, true},
                          {"a draw of 40 or more waits", 40, 100, false}};
    for (const Case& c : cases) {
        auto sprite = makeSprite(true, 1000, 800, FRefT<FAudioNode>(), 40);
        centreViewOn(1000, 800);
        seedNextDraw(c.low, c.high);
        sprite->update(1000);
        sprite->update(1000);
        EXPECT_FALSE(sprite->isPlaying()) << c.name << ": 2000 ms is not yet more than 2000";
        const uint32_t state = GameRandom::state();
        sprite->update(1000);
        EXPECT_NE(GameRandom::state(), state) << c.name;
        EXPECT_EQ(sprite->isPlaying(), c.startsAtFirstTry) << c.name;
        if (c.startsAtFirstTry) continue;
        // The next try comes 2 s later; more than 3998 ms have passed since
        // the last start by then, so it starts whatever the draw.
        seedNextDraw(40, 100);
        sprite->update(1000);
        sprite->update(1000);
        EXPECT_FALSE(sprite->isPlaying()) << c.name;
        sprite->update(1000);
        EXPECT_TRUE(sprite->isPlaying()) << c.name;
    }
}

TEST_F(MapAnimationTest, ARunningOccasionalAnimationStopsWhenItLeavesTheRange)
{
    auto sprite = makeSprite(true, 600, 800, FRefT<FAudioNode>(), 40);
    centreViewOn(600, 800);
    seedNextDraw(0, 40);
    for (int n = 0; n < 3; ++n)
        sprite->update(1000);
    ASSERT_TRUE(sprite->isPlaying());
    sprite->update(83);
    centreViewOn(2000, 800);
    sprite->update(83);
    EXPECT_TRUE(sprite->isPaused());
    const int32_t frame = sprite->currentFrame();
    sprite->update(83);
    EXPECT_EQ(sprite->currentFrame(), frame);
}

TEST_F(MapAnimationTest, TheCompanionSoundPlaysByDistanceOnceAtATimeAndNeverInTaskType16)
{
    FRefT<FAudioNode> sound = shortSound();
    auto sprite = makeSprite(false, 1000, 800, sound);
    centreViewOn(1000 + 656, 800);
    sprite->playCompanionSound(sprite->rangeVolume());
    EXPECT_EQ(services.volumes, (std::vector<int32_t>{12}));
    EXPECT_TRUE(sprite->isSoundPlaying());
    EXPECT_TRUE(sprite->isCompanionInUse());
    EXPECT_EQ(sound->users(), 1) << "the sprite holds one user while it plays";

    sprite->playCompanionSound(25);
    EXPECT_EQ(services.volumes.size(), 1u) << "still sounding";

    services.endSound();
    EXPECT_FALSE(sprite->isSoundPlaying());
    centreViewOn(1000, 800);
    sprite->playCompanionSound(sprite->rangeVolume());
    EXPECT_EQ(services.volumes, (std::vector<int32_t>{12, 25}));

    services.endSound();
    std::unique_ptr<GameSession> silent = sessionWithTask(MapAnimationSprite::k_silentTaskType, 2);
    services.session = silent.get();
    sprite->playCompanionSound(25);
    EXPECT_EQ(services.volumes.size(), 2u);
    EXPECT_FALSE(sprite->isSoundPlaying());
}

TEST_F(MapAnimationTest, ACompanionSoundCutByAnotherSoundDoesNotSilenceTheSpriteForGood)
{
    FRefT<FAudioNode> sound = shortSound();
    auto sprite = makeSprite(false, 1000, 800, sound);
    centreViewOn(1000, 800);
    sprite->playCompanionSound(25);
    // The ring hands the channel to another sound; the sprite's end callback
    // goes without running.
    services.playSoundOnChannel(FRef(shortSound()), 40);
    sprite->playCompanionSound(25);
    EXPECT_EQ(services.volumes, (std::vector<int32_t>{25, 40, 25}));
    EXPECT_TRUE(sprite->isSoundPlaying());
}

TEST_F(MapAnimationTest, ASpriteGoneBeforeItsSoundEndsLeavesNoCallback)
{
    auto sprite = makeSprite(false, 1000, 800, shortSound());
    centreViewOn(1000, 800);
    sprite->playCompanionSound(25);
    ASSERT_NE(services.channel.endCallback(), nullptr);
    sprite.release();
    EXPECT_EQ(services.channel.endCallback(), nullptr);
    services.endSound(); // would call into the destroyed sprite

    // A channel that now serves another sound keeps that sound's callback.
    auto second = makeSprite(false, 1000, 800, shortSound());
    second->playCompanionSound(25);
    auto other = makeSprite(false, 1000, 800, shortSound());
    other->playCompanionSound(25);
    const auto* callback = services.channel.endCallback();
    second.release();
    EXPECT_EQ(services.channel.endCallback(), callback);
    services.endSound();
    EXPECT_FALSE(other->isSoundPlaying());
}

TEST_F(MapAnimationTest, ARunThatEndsSometimesBringsTheSoundAndTheNextRunFollows)
{
    struct Case
    {
        int32_t low;
        int32_t high;
        bool inRange;
        bool sounds;
    };
    const Case cases[] = {{0, 50, true, false}, {50, 100, true, true}, {50, 100, false, false}};
    for (const Case& c : cases) {
        services.volumes.clear();
        auto sprite = makeSprite(false, 600, 800, shortSound(), 2);
        centreViewOn(c.inRange ? 600 : 2000, 800);
        seedNextDraw(c.low, c.high);
        const uint32_t state = GameRandom::state();
        sprite->onRunFinished(*sprite);
        EXPECT_EQ(services.volumes.size(), c.sounds ? 1u : 0u) << c.low;
        EXPECT_EQ(GameRandom::state() != state, c.inRange) << "the range is checked before the draw";
        if (c.sounds) services.endSound();
    }
    // The run's end calls it, and in range the next run starts at once.
    services.volumes.clear();
    auto sprite = makeSprite(false, 1000, 800, shortSound(), 2);
    centreViewOn(1000, 800);
    sprite->update(83);
    EXPECT_EQ(services.volumes.size(), 1u) << "a run starts with the sound";
    services.endSound();
    seedNextDraw(50, 100);
    sprite->update(83);
    sprite->update(83); // the run ends: its sound, then a new run
    EXPECT_TRUE(sprite->isPlaying());
    EXPECT_EQ(sprite->currentFrame(), 0);
    EXPECT_EQ(services.volumes.size(), 2u) << "the start of the new run finds the sound still playing";
}

TEST_F(MapAnimationTest, TheCompanionStaysLoadedOnlyWhileTheSpriteIsNearTheView)
{
    FRefT<FAudioNode> sound = shortSound();
    auto sprite = makeSprite(false, 1000, 800, sound);
    screen.map->addAnimation(sprite);
    struct Step
    {
        int32_t contentLeft;
        bool inUse;
    };
    // The sprite spans 950 to 1050; the window with its margin 1000 pixels.
    // Every scroll of the map view tells its animations.
    const Step steps[] = {{-500, true}, {-900, true}, {0, false}, {-50, true}, {-951, false}, {-600, true}};
    for (const Step& s : steps) {
        screen.map->scrollTo(s.contentLeft, -600);
        EXPECT_EQ(sprite->isCompanionInUse(), s.inUse) << s.contentLeft;
        EXPECT_EQ(sound->users(), s.inUse ? 1 : 0) << s.contentLeft;
    }
    EXPECT_TRUE(sprite->isCentreInView());
    screen.map->scrollTo(-100, -600); // the centre 100 pixels right of the window
    EXPECT_TRUE(sprite->isCentreNearView());
    EXPECT_FALSE(sprite->isCentreInView());
}

TEST_F(MapAnimationTest, TheMapViewDrivesItsAnimationsExceptInTaskType18)
{
    std::vector<std::unique_ptr<GameSession>> levels;
    for (int taskType : {6, 18}) {
        levels.push_back(sessionWithTask(taskType, 2));
        services.session = levels.back().get();
        screen.map = makeRef(engineNew<MapView>(k_memObject, &screen, true));
        screen.map->setWidgetRect({0, 0, 800, 600});
        screen.map->setZoom(1.0f);
        auto sprite = makeSprite(false, 600, 800, FRefT<FAudioNode>());
        screen.map->addAnimation(sprite);
        centreViewOn(600, 800);
        screen.map->update(83);
        EXPECT_EQ(sprite->isPlaying(), taskType != 18) << taskType;
    }
    screen.map.release();
}

} // namespace
