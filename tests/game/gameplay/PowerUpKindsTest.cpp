// The timed power-up kinds on a common gameplay screen with a map view and
// the game's random source pinned: the ComboBoost's raises, the Flip's ten
// seconds, the Cover's cracks and break, the Quake's drop and quake, the
// Shower's falls and catches, and the Splat's splats and wipes.
#include "game/gameplay/PowerUpTestSupport.h"

#include "game/core/ActivePowerUp.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSession.h"
#include "game/core/LevelTimer.h"
#include "game/core/PowerUpKind.h"
#include "game/core/SearchListGenerator.h"
#include "game/gameplay/CoverPowerUpView.h"
#include "game/gameplay/QuakePowerUpView.h"
#include "game/gameplay/ShowerPowerUpView.h"
#include "game/gameplay/SplatPowerUpView.h"
#include "game/widgets/MapView.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "ui/FadeTween.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>
#include <string>
#include <vector>

using namespace gameplaytest;
using namespace poweruptest;

namespace {

class PowerUpKindsTest : public PowerUpViewTest
{
protected:
    static constexpr int32_t k_frameMs = 5;

    PowerUpKindsTest()
    {
        PowerUpTestScreen& s = screen();
        s.map = makeRef(engineNew<MapView>(k_memObject, &s, true));
        s.map->setWidgetRect({0, 0, 800, 500});
    }

    // The kind's record and view, made with the random source at `seed`,
    // fired and launched to the start of its effect.
    ActivePowerUp* start(int32_t kind, uint32_t seed)
    {
        GameRandom::srand(seed);
        ActivePowerUp* record = addPowerUp(kind);
        m_record = record;
        EXPECT_GT(launch(*record), PowerUpView::k_launchDelayMs + PowerUpView::k_launchFlightMs)
            << "the launch clip takes its time";
        return record;
    }
    template <class View> View* current() { return viewOf<View>(m_record); }
    bool running() { return m_record != nullptr && play().powerUpSlot(0) == m_record; }
    // Runs frames while the power-up holds its slot, at most `limit` ms.
    int32_t runUntilEnded(int32_t limit)
    {
        return runUntil([&] { return !running(); }, limit, k_frameMs);
    }
    void runFor(int32_t ms)
    {
        for (int32_t t = 0; t < ms; t += k_frameMs)
            screen().update(k_frameMs);
    }
    int32_t countCalls(const std::string& prefix)
    {
        const Lines& calls = screen().calls;
        return static_cast<int32_t>(std::count_if(
            calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
    }
    int32_t countSounds(const Lines& sounds, const std::string& prefix)
    {
        return static_cast<int32_t>(std::count_if(
            sounds.begin(), sounds.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
    }

    ActivePowerUp* m_record = nullptr;
};

// The bonus clip plays first; the raises come at its end and 750 ms and
// 1500 ms later; the combo stops at 9; the power-up ends 750 ms after the
// third raise.
TEST_F(PowerUpKindsTest, ComboBoostRaisesThreeTimesCappedAtNineAndEndsAfterTheThird)
{
    PowerUpTestScreen& s = screen();
    s.combo = 7;
    start(k_powerUpComboBoost, 1);
    s.calls.clear();
    std::vector<int32_t> raises;
    int32_t clock = 0;
    while (running() && clock < 20000) {
        s.update(k_frameMs);
        clock += k_frameMs;
        for (int32_t n = countCalls("combo"); static_cast<int32_t>(raises.size()) < n;)
            raises.push_back(clock);
    }
    ASSERT_EQ(raises.size(), 3u);
    EXPECT_GT(raises[0], 8 * 50) << "the bonus clip plays before the first raise";
    // The timer starts inside the frame the clip ends in and runs that
    // frame's time too.
    EXPECT_NEAR(raises[1] - raises[0], 750, k_frameMs);
    EXPECT_EQ(raises[2] - raises[1], 750);
    EXPECT_EQ(clock - raises[2], 750);
    EXPECT_EQ(s.combo, 9);
    s.update(k_frameMs);
    EXPECT_TRUE(s.powerUpViews().empty());
}

// The map turns for 10 s and back; ended early by a second power-up in the
// slot, it turns back at once.
TEST_F(PowerUpKindsTest, FlipTurnsTheMapForTenSecondsAndBackHoweverItEnds)
{
    PowerUpTestScreen& s = screen();
    start(k_powerUpFlip, 1);
    EXPECT_TRUE(s.flipped);
    EXPECT_EQ(runUntilEnded(20000), FlipPowerUpView::k_flipMs);
    EXPECT_FALSE(s.flipped);
    EXPECT_EQ(countCalls("flip 0"), 2);

    s.calls.clear();
    start(k_powerUpFlip, 1);
    runFor(3000);
    ActivePowerUp* second = addPowerUp(k_powerUpStun);
    fire(play(), *second);
    EXPECT_FALSE(running());
    EXPECT_FALSE(s.flipped);
    EXPECT_EQ(countCalls("flip 0"), 2);
    play().cancelAllPowerUps();
}

// The fade-in takes 2 s and clicks during it do not count; its end takes the
// first crack; the fifth click after it breaks the cover, or the timer
// does 10 s after the fade-in; the power-up ends when the break clip ends.
TEST_F(PowerUpKindsTest, CoverBreaksOnTheFifthClickOrTenSecondsAfterTheFadeIn)
{
    struct Case
    {
        int32_t clicks;
        int32_t breakAfterMs; // after the fade-in
    };
    PowerUpTestScreen& s = screen();
    module.soundNames = {{"fade", s.m_coverFadeSound.get()},   {"crack", s.m_crack1Sound.get()},
                         {"crack", s.m_crack2Sound.get()},     {"crack", s.m_crack3Sound.get()},
                         {"crack", s.m_crack4Sound.get()},     {"crack", s.m_crack5Sound.get()},
                         {"break", s.m_coverBreakSound.get()}, {"launch", s.m_launchSound.get()}};
    for (const Case c :
         {Case{5, 0}, Case{4, CoverPowerUpView::k_breakMs}, Case{0, CoverPowerUpView::k_breakMs}}) {
        SCOPED_TRACE(c.clicks);
        s.calls.clear();
        start(k_powerUpCover, 11);
        auto* view = current<CoverPowerUpView>();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(s.calls, (Lines{"cover stream 0"}));
        EXPECT_TRUE(view->overlayImage()->isVisible());
        runFor(1000);
        view->crack();
        EXPECT_EQ(view->crackCounter(), CoverPowerUpView::k_fullCounter) << "a click during the fade-in";
        EXPECT_GT(fadedAlpha(*view->overlayImage()), 100);
        EXPECT_LT(fadedAlpha(*view->overlayImage()), 155);
        runFor(1000);
        EXPECT_EQ(fadedAlpha(*view->overlayImage()), 255);
        EXPECT_TRUE(view->isBreakTimerRunning());
        EXPECT_EQ(view->crackCounter(), 10) << "the first crack comes with the fade's end";
        EXPECT_EQ(view->overlayImage()->getImage().get(), s.m_crack1Image.get());

        const FRef* pictures[] = {&s.m_crack2Image, &s.m_crack3Image, &s.m_crack4Image, &s.m_crack5Image};
        for (int32_t k = 0; k < c.clicks; ++k) {
            view->crack();
            if (k < 4) {
                EXPECT_EQ(view->overlayImage()->getImage().get(), pictures[k]->get());
            }
        }
        EXPECT_EQ(view->crackCounter(), 10 - 2 * c.clicks);
        if (c.breakAfterMs > 0) {
            // The fade's end came within the last frame of the 2 s.
            runFor(c.breakAfterMs - 2 * k_frameMs);
            EXPECT_TRUE(view->overlayImage()->isVisible());
            EXPECT_FALSE(view->crackSprite()->isVisible());
            runFor(2 * k_frameMs);
        }
        EXPECT_FALSE(view->overlayImage()->isVisible());
        EXPECT_TRUE(view->crackSprite()->isVisible());
        EXPECT_FALSE(view->isBreakTimerRunning());
        EXPECT_EQ(countCalls("hide message 0"), 1);
        EXPECT_TRUE(running()) << "it ends with the break clip, not at the break";
        const Lines sounds = module.take();
        EXPECT_EQ(countSounds(sounds, "sound fade at 63"), 1);
        EXPECT_EQ(countSounds(sounds, "sound crack at 63"), 1 + std::min(c.clicks, 4));
        EXPECT_EQ(countSounds(sounds, "sound break at 63"), 1);
        const int32_t clipMs = runUntilEnded(5000);
        EXPECT_GE(clipMs,
                  PowerUpWorldFolder::k_clipFrames * CoverPowerUpView::k_breakClipFrameMs - k_frameMs);
        EXPECT_LT(clipMs, 5000);
        s.update(k_frameMs);
        EXPECT_TRUE(s.powerUpViews().empty());
    }
}

// The drop (400 ms), the bounce (200 ms up, 50 ms down) with the impact burst
// at the fall's end, then 7 s of map quake: about 7.65 s after the launch.
TEST_F(PowerUpKindsTest, QuakeDropsBouncesAndShakesTheMapForSevenSeconds)
{
    PowerUpTestScreen& s = screen();
    start(k_powerUpQuake, 1);
    s.calls.clear();
    auto* view = current<QuakePowerUpView>();
    ASSERT_NE(view, nullptr);
    const VideoSprite& drop = *view->dropSprite();
    EXPECT_TRUE(drop.isVisible());
    runFor(QuakePowerUpView::k_fallMs);
    ASSERT_EQ(s.calls.size(), 1u);
    const FRectI at = drop.rect();
    EXPECT_EQ(at.top + drop.height() / 2, 250) << "the object lands on the map's centre";
    const int32_t w = drop.width();
    const int32_t h = drop.height();
    EXPECT_EQ(s.calls[0],
              "impact " + std::to_string(at.left + w / 2 - w / 4) + " " + std::to_string(at.bottom - h / 8));
    EXPECT_FALSE(s.quakeTimer().isActive());
    runFor(QuakePowerUpView::k_bounceUpMs + QuakePowerUpView::k_bounceDownMs);
    EXPECT_FALSE(drop.isVisible());
    EXPECT_TRUE(s.quakeTimer().isActive()) << "the map quakes";
    EXPECT_EQ(drop.rect().top, at.top);
    const int32_t total = 650 + runUntilEnded(20000);
    EXPECT_GE(total, 7650 - k_frameMs);
    EXPECT_LE(total, 7650 + k_frameMs);
    EXPECT_FALSE(s.quakeTimer().isActive());
    EXPECT_EQ(countCalls("impact"), 1);
}

class ShowerKindTest : public PowerUpKindsTest
{
protected:
    ShowerKindTest()
    {
        play().startLevel(nullptr);
        PowerUpTestScreen& s = screen();
        label = makeRef<FLabel>(engineNew<FLabel>(k_memObject, &s, true));
        s.m_messageLabels[0] = label;
    }
    LevelTimer& levelTimer() { return play().getSearchListGenerator()->levelTimer(); }

    FRefT<FLabel> label;
};

// Darkness and a locked map; each of the 40 sprites falls once, from its own
// column, in the shuffled order; after the last fall the darkness fades out
// and the power-up ends.
TEST_F(ShowerKindTest, FortySpritesFallOnceEachFromTheirColumnsInRandomOrder)
{
    PowerUpTestScreen& s = screen();
    start(k_powerUpShower, 21);
    auto* view = current<ShowerPowerUpView>();
    ASSERT_NE(view, nullptr);
    // The Shower shows the ComboBoost's message, as the game's tables give it.
    EXPECT_EQ(label->text(), *s.m_comboBoostMessage.as<FString>());
    EXPECT_TRUE(s.map->isInputBlocked());
    EXPECT_EQ(s.m_catchList.size(), 40u);

    const std::vector<int32_t> order = view->dropOrder();
    std::vector<int32_t> all(40);
    std::iota(all.begin(), all.end(), 0);
    std::vector<int32_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, all);
    EXPECT_NE(order, all);

    const int32_t step = s.width() / 41;
    std::vector<int32_t> started;
    std::vector<bool> wasPlaying(40, false);
    const auto note = [&] {
        for (int32_t i = 0; i < 40; ++i) {
            const VideoSprite& sprite = *view->sprites()[static_cast<std::size_t>(i)];
            if (sprite.isPlaying() && !wasPlaying[static_cast<std::size_t>(i)]) {
                started.push_back(i);
                EXPECT_EQ(sprite.rect().left, step * (i + 1));
            }
            wasPlaying[static_cast<std::size_t>(i)] = sprite.isPlaying();
        }
    };
    note();
    int32_t t = 0;
    bool darkened = false;
    while (view->launchedCount() < 40 || view->sprites()[0]->isVisible()) {
        s.update(k_frameMs);
        t += k_frameMs;
        darkened = darkened || fadedAlpha(*view->darkness()) == ShowerPowerUpView::k_darknessAlpha;
        note();
        ASSERT_LT(t, 20000);
    }
    EXPECT_TRUE(darkened);
    EXPECT_EQ(started, order);
    EXPECT_GE(t, 2950);
    EXPECT_LE(t, 11800 + k_frameMs);
    // Uncaught sprites fall towards one and a half screen heights; the
    // first to fall has got there.
    for (const FRefT<VideoSprite>& sprite : view->sprites()) {
        EXPECT_GT(sprite->rect().top, 0);
        EXPECT_LE(sprite->rect().top, s.height() * 3 / 2);
    }
    EXPECT_EQ(view->sprites()[static_cast<std::size_t>(order[0])]->rect().top, s.height() * 3 / 2);
    EXPECT_TRUE(s.map->isInputBlocked());
    EXPECT_LE(runUntilEnded(1000), ShowerPowerUpView::k_darknessFadeMs + k_frameMs);
    EXPECT_FALSE(running());
    EXPECT_FALSE(s.map->isInputBlocked());
    EXPECT_TRUE(s.m_catchList.empty());
    EXPECT_FALSE(label->isVisible());
}

// A caught sprite flies to the lower middle in 350 ms and, on arrival, gives
// 400 ms back on the level timer, once, never below 0.
TEST_F(ShowerKindTest, EachCatchGivesFourHundredMillisecondsBackOnceFlooredAtZero)
{
    PowerUpTestScreen& s = screen();
    struct Case
    {
        int32_t elapsed;
        int32_t after;
    };
    for (const Case c : {Case{1000, 600}, Case{300, 0}}) {
        SCOPED_TRACE(c.elapsed);
        start(k_powerUpShower, 8);
        auto* view = current<ShowerPowerUpView>();
        ASSERT_NE(view, nullptr);
        runFor(300);
        int32_t index = -1;
        for (std::size_t i = 0; i < view->sprites().size() && index < 0; ++i) {
            const VideoSprite& sprite = *view->sprites()[i];
            if (sprite.isPlaying() && sprite.rect().top > 0) index = static_cast<int32_t>(i);
        }
        ASSERT_GE(index, 0);
        const VideoSprite& sprite = *view->sprites()[static_cast<std::size_t>(index)];
        levelTimer().setElapsed(c.elapsed);
        s.calls.clear();
        // The pointer over the sprite: the screen's catch test catches it.
        s.onPointerMove(0, {sprite.rect().left + 1, sprite.rect().top + 1});
        s.update(k_frameMs);
        s.onPointerMove(0, {1, 1});
        ASSERT_GE(countCalls("caught "), 1);
        runFor(ShowerPowerUpView::k_catchFlightMs + 2 * k_frameMs);
        EXPECT_FALSE(sprite.isVisible());
        EXPECT_EQ(sprite.rect().left, view->catchPoint().x);
        EXPECT_EQ(sprite.rect().top, view->catchPoint().y);
        EXPECT_EQ(view->catchPoint().x, s.width() / 2);
        EXPECT_EQ(levelTimer().elapsed(), c.after);
        // Taken away, it is not caught again and gives nothing more.
        const int32_t caught = countCalls("caught ");
        view->catchSprite(index);
        runFor(ShowerPowerUpView::k_catchFlightMs);
        EXPECT_EQ(countCalls("caught "), caught);
        EXPECT_EQ(levelTimer().elapsed(), c.after);
        play().cancelAllPowerUps();
        EXPECT_FALSE(s.map->isInputBlocked());
        EXPECT_TRUE(s.m_catchList.empty());
        s.update(k_frameMs);
    }
}

// Three splats 500 ms apart in three different colours of the six and with
// three different sounds of the five; every pointer move over the map wipes,
// and the 476th ends the power-up.
TEST_F(PowerUpKindsTest, SplatLandsThreeSplatsAndEndsOnTheFourHundredAndSeventySixthWipe)
{
    PowerUpTestScreen& s = screen();
    module.soundNames = {{"splat1", s.m_splat1Sound.get()},
                         {"splat2", s.m_splat2Sound.get()},
                         {"splat3", s.m_splat3Sound.get()},
                         {"splat4", s.m_splat4Sound.get()},
                         {"splat5", s.m_splat5Sound.get()}};
    start(k_powerUpSplat, 5);
    auto* view = current<SplatPowerUpView>();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->splatImage(0)->isVisible());
    EXPECT_FALSE(view->splatImage(1)->isVisible());
    runFor(SplatPowerUpView::k_splatGapMs);
    EXPECT_TRUE(view->splatImage(1)->isVisible());
    EXPECT_FALSE(view->splatImage(2)->isVisible());
    runFor(SplatPowerUpView::k_splatGapMs);
    EXPECT_TRUE(view->splatImage(2)->isVisible());
    EXPECT_TRUE(view->isEndTimerRunning());

    std::set<uint32_t> colours;
    for (int32_t i = 0; i < 3; ++i) {
        const uint32_t colour = view->splatImage(i)->widgetColour() | 0xFF000000u;
        EXPECT_NE(std::find(SplatPowerUpView::k_colours.begin(), SplatPowerUpView::k_colours.end(), colour),
                  SplatPowerUpView::k_colours.end());
        colours.insert(colour);
    }
    EXPECT_EQ(colours.size(), 3u);
    std::set<std::string> sounds;
    for (const std::string& call : module.take()) {
        if (call.rfind("sound splat", 0) == 0) sounds.insert(call);
    }
    EXPECT_EQ(sounds.size(), 3u);

    int32_t moves = 0;
    while (running() && moves < 1000) {
        s.onPointerMove(0, {100 + moves % 2, 100});
        ++moves;
        if (moves == 100) {
            EXPECT_EQ(view->splatImage(0)->widgetColour() >> 24, 255u) << "80 % and more";
        }
        if (moves == 101) {
            EXPECT_EQ(view->splatImage(0)->widgetColour() >> 24, 245u);
            EXPECT_EQ(view->splatImage(1)->widgetColour() >> 24, 255u);
        }
    }
    EXPECT_EQ(moves, 476);
    s.update(k_frameMs);
    EXPECT_TRUE(s.powerUpViews().empty());
}

// Pointer moves during the launch, before the paint is on the map, wipe
// nothing and cannot end the power-up.
TEST_F(PowerUpKindsTest, SplatWipesDuringTheLaunchDoNotCount)
{
    PowerUpTestScreen& s = screen();
    GameRandom::srand(3);
    ActivePowerUp* record = addPowerUp(k_powerUpSplat);
    m_record = record;
    fire(play(), *record);
    const int32_t id = record->uniqueId();
    int32_t launchMs = 0;
    // Looked up each frame: a wipe that ended the power-up deletes the view.
    while (launchMs < 5000) {
        const PowerUpView* launching = s.getPowerUpViewByUniqueId(id);
        if (launching == nullptr || !launching->isLaunching()) break;
        for (int32_t k = 0; k < 20; ++k)
            s.onPointerMove(0, {100 + k % 2, 100});
        s.update(k_frameMs);
        launchMs += k_frameMs;
    }
    ASSERT_TRUE(running());
    auto* view = current<SplatPowerUpView>();
    EXPECT_EQ(view->paintLeft(), SplatPowerUpView::k_fullPaint);
    EXPECT_TRUE(view->splatImage(0)->isVisible());
    // Left alone, it ends 10 s after the third splat.
    EXPECT_EQ(runUntilEnded(20000), 2 * SplatPowerUpView::k_splatGapMs + SplatPowerUpView::k_endMs);
}

} // namespace
