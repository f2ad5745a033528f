#include "game/widgets/HudTestSupport.h"

#include "game/core/LevelTimer.h"
#include "game/core/Quest.h"
#include "game/core/StarMarker.h"
#include "game/widgets/FactoryContainerWidget.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticleRecord.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using hudtest::HudScreen;

// The story screen's timer bar at (100, 500): a first segment of 200 and a
// second of 100 pixels, a 12-pixel end cap, the refill preview and the
// marker layer at (100, 480); the level's timer of 100 000 ms.
class TimerBarLevel
{
public:
    TimerBarLevel() : session(sessionWithTask(6)), timer(nullptr, 0.0, 0.0)
    {
        play.session = session.get();
        bar = makeRef(engineNew<FactoryContainerWidget>(k_memObject, &screen, true));
        bar->setWidgetRect({100, 500, 420, 530});
        bar->setTimerBarHost(&screen);
        first = part(FactoryContainerWidget::k_firstSegment, {10, 5, 210, 25});
        reference = part(FactoryContainerWidget::k_segmentReference, {10, 5, 210, 25});
        second = part(FactoryContainerWidget::k_secondSegment, {210, 5, 310, 25});
        cap = part(FactoryContainerWidget::k_endCap, {0, 5, 12, 25});
        preview = part(FactoryContainerWidget::k_refillPreview, {10, 5, 40, 25});
        layer = makeRef(engineNew<FContainer>(k_memObject, &screen, true));
        layer->setWidgetRect({100, 480, 420, 540});
        screen.widgets[FactoryContainerWidget::k_markerLayer] = layer.get();
        timer.setTotal(100000);
        timer.started = true;
    }
    FRefT<FImageWidget> part(uint32_t id, FRectI r)
    {
        auto widget = makeRef(engineNew<FImageWidget>(k_memObject, bar.get(), true));
        widget->setWidgetRect(r);
        screen.widgets[id] = widget.get();
        return widget;
    }
    // Moves the clock to `elapsed` and lets the timer and then the bar see it.
    void at(int32_t elapsed, int32_t frameMs = 16)
    {
        timer.setElapsed(elapsed);
        timer.update(0);
        bar->update(frameMs);
    }
    int32_t heard(int32_t id) const
    {
        int32_t n = 0;
        for (const std::string& name : screen.soundsHeard(play))
            n += name == std::to_string(id) ? 1 : 0;
        return n;
    }

    RecordingPlayServices play;
    std::unique_ptr<GameSession> session;
    HudScreen screen;
    LevelTimer timer;
    FRefT<FactoryContainerWidget> bar;
    FRefT<FImageWidget> first, reference, second, cap, preview;
    FRefT<FContainer> layer;
};

TEST(TimerBarTest, MarkersSitAlongTheBarByTheirFraction)
{
    TimerBarLevel level;
    level.timer.addStar(0.5);
    level.timer.addStar(0.75);
    level.bar->initTimerBar(level.timer);
    EXPECT_EQ(level.bar->barWidth(), 300);
    EXPECT_EQ(level.cap->rect().left, 309);
    ASSERT_EQ(level.bar->markers().size(), 2u);
    // Marker images are 40 x 40: x = int(310 - 20 - 300 p) - 100,
    // y = 500 + 5 + 10 - 20 - 480.
    EXPECT_EQ(level.bar->markers()[0]->rect().left, 40);
    EXPECT_EQ(level.bar->markers()[1]->rect().left, -35);
    EXPECT_EQ(level.bar->markers()[0]->rect().top, 15);
    // The fill reaches the half marker when half the time has gone.
    level.at(50000);
    EXPECT_EQ(level.bar->shownFill(), 150);
    EXPECT_EQ(level.timer.stars()[0]->state(), StarMarker::k_warning);
    level.at(50100);
    EXPECT_EQ(level.timer.stars()[0]->state(), StarMarker::k_passed);
    EXPECT_EQ(level.heard(FactoryContainerWidget::k_passedMarkerSound), 1);
    // The passed event bursts into particles over the screen, once.
    ASSERT_NE(level.bar->passEmitter(), nullptr);
    EXPECT_TRUE(level.bar->passEmitter()->isEnabled());
    EXPECT_FALSE(level.timer.stars()[0]->passed);
    EXPECT_EQ(level.screen.children().back(), level.bar->screenParticles()->layer());
    ParticleEmitter* burst = level.bar->passEmitter();
    // Its sparkles add their light to what lies under them.
    ASSERT_NE(burst->particle(), nullptr);
    EXPECT_EQ(burst->particle()->blendMode, 1);
    level.at(50200);
    EXPECT_EQ(level.heard(FactoryContainerWidget::k_passedMarkerSound), 1);
    EXPECT_EQ(level.bar->passEmitter(), burst);
    EXPECT_EQ(level.bar->returnEmitter(), nullptr);
    EXPECT_EQ(level.timer.countStarsLeft(), 1);
    // Time given back moves the fill past it again: the return burst.
    level.at(40000);
    ASSERT_NE(level.bar->returnEmitter(), nullptr);
    ASSERT_NE(level.bar->returnEmitter()->particle(), nullptr);
    EXPECT_EQ(level.bar->returnEmitter()->particle()->blendMode, 1);
    EXPECT_FALSE(level.timer.stars()[0]->regained);
    EXPECT_EQ(level.timer.countStarsLeft(), 2);
}

TEST(TimerBarTest, WarningAtSixtyPercentThenOneCommentAfterTwoAndAHalfSeconds)
{
    TimerBarLevel level;
    level.bar->initTimerBar(level.timer);
    level.at(59000);
    EXPECT_EQ(level.heard(FactoryContainerWidget::k_warningSound), 0);
    level.at(60000);
    EXPECT_EQ(level.heard(FactoryContainerWidget::k_warningSound), 1);
    level.at(60100, 2483);
    EXPECT_TRUE(level.screen.calls.empty());
    level.at(60200, 1);
    EXPECT_EQ(level.screen.calls, (std::vector<std::string>{"comment"}));
    level.at(70000, 5000);
    EXPECT_EQ(level.heard(FactoryContainerWidget::k_warningSound), 1);
    EXPECT_EQ(level.screen.calls.size(), 1u);
}

TEST(TimerBarTest, ThePreviewTakesItsPictureAgainEveryFrame)
{
    TimerBarLevel level;
    level.bar->initTimerBar(level.timer);
    const FRefT<FImage> own = level.screen.hudImage(FactoryContainerWidget::k_previewImage);
    level.preview->setImage(hudtest::sizedPicture(7, 7), true);
    level.at(10000);
    EXPECT_EQ(level.preview->getImage().get(), own.get());
    // The same frame without a change of ratio still restores it.
    level.preview->setImage(hudtest::sizedPicture(7, 7), true);
    level.bar->update(16);
    EXPECT_EQ(level.preview->getImage().get(), own.get());
    EXPECT_EQ(level.preview->width(), own->width());
}

TEST(TimerBarTest, GivenBackTimeRefillsThreePixelsEveryFiftyMsThenPauses)
{
    TimerBarLevel level;
    level.bar->initTimerBar(level.timer);
    level.at(50000);
    EXPECT_EQ(level.bar->shownFill(), 150);
    level.at(40000, 0);
    EXPECT_TRUE(level.bar->isRefilling());
    EXPECT_EQ(level.bar->targetWidth(), 180);
    EXPECT_TRUE(level.preview->isVisible());
    ASSERT_NE(level.bar->refillEmitter(), nullptr);
    EXPECT_TRUE(level.bar->refillEmitter()->isEnabled());
    ASSERT_NE(level.bar->refillEmitter()->particle(), nullptr);
    EXPECT_EQ(level.bar->refillEmitter()->particle()->blendMode, 1);
    // The preview's right edge shows the target: 10 + 12 + 180.
    EXPECT_EQ(level.preview->rect().right, 202);
    for (int step = 1; step <= 9; ++step) {
        level.bar->update(50);
        EXPECT_EQ(level.bar->shownFill(), 150 + 3 * step);
    }
    EXPECT_TRUE(level.timer.resumed);
    level.bar->update(50);
    EXPECT_FALSE(level.bar->isRefilling());
    EXPECT_EQ(level.bar->shownFill(), 180);
    EXPECT_EQ(level.first->width(), 180);
    EXPECT_FALSE(level.preview->isVisible());
    const int32_t pause = level.session->currentQuest()->timerPause(level.session->isNormalDifficulty());
    ASSERT_GT(pause, 0);
    EXPECT_FALSE(level.timer.resumed);
    level.timer.update(pause - 1);
    EXPECT_FALSE(level.timer.resumed);
    level.timer.update(1);
    EXPECT_TRUE(level.timer.resumed);
}

TEST(TimerBarTest, RefillPastTheFirstSegmentFillsItBeforeTheSecond)
{
    TimerBarLevel level;
    level.bar->initTimerBar(level.timer);
    level.at(40000);
    EXPECT_EQ(level.first->width(), 180);
    level.at(20000, 0);
    for (int step = 0; step < 20 && level.bar->isRefilling(); ++step)
        level.bar->update(50);
    EXPECT_EQ(level.first->width(), 200);
    EXPECT_EQ(level.second->width(), 40);
    EXPECT_EQ(level.cap->rect().left, 249);
}

TEST(TimerBarTest, NoTimeLimitMeansNoPressure)
{
    TimerBarLevel level;
    level.bar->initTimerBar(level.timer);
    level.timer.setTotal(0);
    level.at(1000);
    level.at(90000);
    EXPECT_EQ(level.bar->ratio(), 0.0f);
    EXPECT_FALSE(level.bar->isWarned());
    EXPECT_EQ(level.bar->shownFill(), 300);
    EXPECT_EQ(level.heard(FactoryContainerWidget::k_warningSound), 0);
}

TEST(TimerBarTest, RatioOfOneLeavesTheBarAndAnEmptyFillHidesTheCap)
{
    TimerBarLevel level;
    level.bar->initTimerBar(level.timer);
    level.at(100000);
    EXPECT_EQ(level.bar->shownFill(), 300);
    EXPECT_FALSE(level.bar->isWarned());
    level.bar->setFill(0);
    EXPECT_EQ(level.first->width(), 0);
    EXPECT_FALSE(level.cap->isVisible());
    EXPECT_EQ(level.cap->rect().left, 10);
}

TEST(TimerBarTest, MarkersBlinkOnOneSharedClock)
{
    // One marker about to be passed steps every other 175 ms frame; two
    // share the clock and between them step every frame.
    for (const std::vector<double>& positions : {std::vector<double>{0.5}, std::vector<double>{0.5, 0.505}}) {
        TimerBarLevel level;
        for (double p : positions)
            level.timer.addStar(p);
        level.bar->initTimerBar(level.timer);
        level.timer.setElapsed(49500);
        level.timer.update(0);
        int32_t steps = 0;
        uint32_t last = level.bar->markers().back()->colour();
        for (int frame = 0; frame < 4; ++frame) {
            level.bar->update(175);
            const uint32_t now = level.bar->markers().back()->colour();
            steps += now != last ? 1 : 0;
            last = now;
        }
        EXPECT_EQ(steps, positions.size() == 1 ? 2 : 4) << positions.size();
    }
}

} // namespace
