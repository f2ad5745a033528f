#include "UiTestSupport.h"

#include "ui/FBoxTween.h"
#include "ui/FEasing.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "ui/FMoveTween.h"
#include "ui/FScaleTween.h"
#include "ui/FSpringTween.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <gtest/gtest.h>

namespace {

class PlainWidget : public FWidget
{
public:
    using FWidget::FWidget;
    void draw(FDrawContext&) override {}
};

struct Counter
{
    int calls = 0;
    void hit() { ++calls; }
};

TEST(EasingTest, CourseValues)
{
    const struct
    {
        int32_t easing;
        double f;
        double v;
    } cases[] = {
        {1, 0.5, 0.693}, {1, 0.9, 0.957}, {1, 0.1, 0.18}, {1, 0.005, 0.0}, {1, 0.9995, 1.0},
        {2, 0.5, 0.266}, {2, 0.9, 0.794}, {2, 0.1, 0.02}, {2, 0.05, 0.0},  {2, 0.9999, 1.0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(FEasing::value(c.easing, c.f), c.v, 0.006) << c.easing << " " << c.f;
}

TEST(TweenTest, TimerCountsDownWithSpeedAndNegativeNeverFires)
{
    Counter counter;
    auto* done = makeObjectDelegate(&counter, &Counter::hit);
    FTimerTween timer;
    timer.setCompletion(done);
    engineFree(done);
    timer.setSpeed(0.5f);
    timer.start(100);
    timer.update(150);
    EXPECT_EQ(timer.remaining(), 25);
    timer.update(50);
    EXPECT_EQ(counter.calls, 1);
    EXPECT_FALSE(timer.isActive());
    timer.update(50); // inactive: ignored
    EXPECT_EQ(counter.calls, 1);
    timer.start(-1);
    timer.update(100000);
    EXPECT_EQ(counter.calls, 1);
    EXPECT_TRUE(timer.isActive());
}

TEST(TweenTest, MoveTweenCourses)
{
    FContainer parent;
    PlainWidget widget(&parent, true);
    const struct
    {
        int32_t easing;
        int32_t elapsed;
        FPointI at;
    } cases[] = {
        {0, 250, {25, -50}}, {0, 999, {99, -199}}, {1, 500, {69, -138}},
        {2, 500, {26, -53}}, {7, 500, {50, -100}},
    };
    for (const auto& c : cases) {
        widget.setWidgetRect({0, 0, 5, 5});
        FMoveTween move(&widget);
        move.start({100, -200}, 1000);
        move.setEasing(c.easing);
        move.update(c.elapsed);
        EXPECT_EQ((FPointI{widget.rect().left, widget.rect().top}), c.at) << c.easing << " " << c.elapsed;
        EXPECT_EQ(widget.width(), 5);
    }
    // Speed 0.5: 1000 ms take 2000 ms of updates; duration 0 lands at once.
    widget.setWidgetRect({0, 0, 5, 5});
    FMoveTween slow(&widget);
    slow.setSpeed(0.5f);
    slow.start({10, 10}, 1000);
    slow.update(1998);
    EXPECT_TRUE(slow.isActive());
    slow.update(2);
    EXPECT_FALSE(slow.isActive());
    FMoveTween instant(&widget);
    instant.start({-3, 4}, 0);
    instant.update(0);
    EXPECT_EQ(widget.rect(), (FRectI{-3, 4, 2, 9}));
}

TEST(TweenTest, SpringOvershootsAndIgnoresSpeed)
{
    FContainer parent;
    PlainWidget widget(&parent, true);
    FSpringTween spring(&widget);
    spring.start({1000, 0}, 1000);
    spring.setSpeed(0.0f);
    spring.update(400); // 1 - e^-1.56 cos 3.12 = 1.21
    EXPECT_EQ(widget.rect().left, 1210);
    spring.update(600);
    EXPECT_FALSE(spring.isActive());
    EXPECT_EQ(widget.rect().left, 1000);
}

// A 0 to 255 fade over 1000 ms: the alpha after these elapsed times, for the
// linear, eased-out and eased-in courses.
constexpr int32_t k_fadeTimes[7] = {0, 100, 250, 500, 750, 900, 999};
constexpr int32_t k_fadeValues[3][7] = {
    {0, 25, 63, 127, 191, 229, 254}, {0, 45, 105, 176, 223, 244, 254}, {0, 4, 23, 67, 139, 202, 254}};

// The table on one image widget.
TEST(FadeTest, SingleTargetValueTable)
{
    FContainer parent;
    for (int32_t easing = 0; easing < 3; ++easing) {
        for (int i = 0; i < 7; ++i) {
            FImageWidget widget(&parent);
            widget.setWidgetAlpha(0);
            WidgetFadeTween fade;
            fade.target = &widget;
            startAlphaFade(fade, 255, 1000);
            fade.easing = easing;
            fade.update(k_fadeTimes[i]);
            if (k_fadeTimes[i] == 0) fade.update(0); // a zero step still applies the start
            EXPECT_EQ(int32_t(widget.colour() >> 24), k_fadeValues[easing][i])
                << easing << " " << k_fadeTimes[i];
            EXPECT_EQ(widget.colour() & 0xFFFFFF, 0xFFFFFFu);
            fade.update(1000 - k_fadeTimes[i]);
            EXPECT_EQ(widget.colour() >> 24, 255u);
            EXPECT_FALSE(fade.isActive());
        }
    }
}

// The same table on a label: text and shadow alpha follow the course, the
// escape colours keep theirs.
TEST(FadeTest, LabelValueTableTouchesTextAndShadowAlphaOnly)
{
    for (int32_t easing = 0; easing < 3; ++easing) {
        for (int i = 0; i < 7; ++i) {
            FLabel label(nullptr, false);
            label.setColourTableEntry(1, 0x80112233u);
            label.setAlpha(0);
            FadeTween fade;
            fade.target = &label;
            startAlphaTween(fade, 255, 1000);
            fade.easing = easing;
            fade.update(k_fadeTimes[i]);
            if (k_fadeTimes[i] == 0) fade.update(0);
            const uint32_t* colours = label.colourTable();
            EXPECT_EQ(int32_t(colours[0] >> 24), k_fadeValues[easing][i]) << easing << " " << k_fadeTimes[i];
            EXPECT_EQ(colours[3] >> 24, colours[0] >> 24);
            EXPECT_EQ(colours[0] & 0xFFFFFF, 0xFFFFFFu);
            EXPECT_EQ(colours[1], 0x80112233u);
            fade.update(1000 - k_fadeTimes[i]);
            EXPECT_EQ(label.colourTable()[0] >> 24, 255u);
            EXPECT_FALSE(fade.isActive());
        }
    }
}

TEST(FadeTest, LabelListIsFadedLinearlyAndTheTargetLeftAlone)
{
    FLabel a(nullptr, false), b(nullptr, false), target(nullptr, false);
    target.setAlpha(200);
    FadeTween fade;
    fade.target = &target;
    fade.items = {&a, &b};
    startAlphaTween(fade, 0, 1000); // from the target's 200
    EXPECT_EQ(fade.from, 200);
    fade.easing = 1;
    fade.update(500);
    EXPECT_EQ(a.colourTable()[0] >> 24, 100u);
    EXPECT_EQ(b.colourTable()[3] >> 24, 100u);
    EXPECT_EQ(target.colourTable()[0] >> 24, 200u);
    fade.update(500);
    EXPECT_EQ(a.colourTable()[0] >> 24, 0u);
    EXPECT_EQ(target.colourTable()[0] >> 24, 200u);
    EXPECT_FALSE(fade.isActive());

    FadeTween none;
    none.delay = 7;
    startAlphaTween(none, 10, 10);
    EXPECT_FALSE(none.isActive());
    EXPECT_EQ(none.to, 0);
    EXPECT_EQ(none.delay, 7);
}

TEST(FadeTest, UnknownEasingFollowsTheLinearCourse)
{
    FContainer parent;
    FImageWidget widget(&parent);
    widget.setWidgetAlpha(0);
    WidgetFadeTween fade;
    fade.target = &widget;
    startAlphaFade(fade, 255, 1000);
    fade.easing = 9;
    fade.update(500);
    EXPECT_EQ(widget.colour() >> 24, 127u);
}

TEST(FadeTest, DelaySpeedListsAndCompletion)
{
    FContainer parent;
    PlainWidget a(&parent, true), b(&parent, true), target(&parent, true);
    WidgetFadeTween fade;
    fade.target = &target;
    fade.items = {&a, &b};
    startAlphaFade(fade, 0, 1000); // from the target's 255
    fade.easing = 2;               // a list is always linear
    fade.delay = 100;
    fade.update(60);
    fade.update(60);
    EXPECT_EQ(fade.delay, -20);
    EXPECT_EQ(fade.elapsed, 0);
    fade.update(60);
    EXPECT_EQ(a.widgetColour() >> 24, 255u - 255u * 60 / 1000);
    EXPECT_EQ(b.widgetColour() >> 24, a.widgetColour() >> 24);
    EXPECT_EQ(target.widgetColour() >> 24, 255u); // the target is left alone
    fade.setSpeed(0.5f);
    fade.update(33);
    EXPECT_EQ(fade.elapsed, 76);
    fade.setSpeed(0.01f);
    fade.update(33);
    EXPECT_EQ(fade.elapsed, 76);

    struct Restarter
    {
        WidgetFadeTween* fade;
        int calls = 0;
        void done()
        {
            ++calls;
            fade->update(10); // inactive already: nothing
        }
    } restarter{&fade};
    auto* done = makeObjectDelegate(&restarter, &Restarter::done);
    fade.setCompletion(done);
    engineFree(done);
    fade.setSpeed(1.0f);
    fade.update(5000);
    EXPECT_EQ(restarter.calls, 1);
    EXPECT_EQ(a.widgetColour() >> 24, 0u);
    EXPECT_EQ(target.widgetColour() >> 24, 255u);

    // to = 300 stores its low byte; no target: start changes nothing.
    WidgetFadeTween wrap;
    wrap.target = &a;
    startAlphaFade(wrap, 300, 0);
    wrap.update(0);
    EXPECT_EQ(a.widgetColour() >> 24, 44u);
    WidgetFadeTween none;
    startAlphaFade(none, 10, 10);
    EXPECT_FALSE(none.isActive());
    EXPECT_EQ(none.to, 0);
}

} // namespace

namespace {

TEST(TweenTest, BoxTweenInterpolatesCentreAndSizeAndLoops)
{
    FContainer parent;
    PlainWidget widget(&parent, true);
    Counter counter;
    auto* done = makeObjectDelegate(&counter, &Counter::hit);
    FBoxTween box;
    box.setCompletion(done);
    engineFree(done);
    box.start(&widget, {0, 0, 10, 10}, {100, 100, 140, 120}, 1000, true);
    box.update(500); // centre (5,5)..(120,110) -> (62,57); size (10,10)..(40,20) -> (25,15)
    EXPECT_EQ(widget.rect(), (FRectI{50, 50, 75, 65}));
    box.update(1000); // loops to 500 again, no callback
    EXPECT_EQ(box.elapsed(), 500);
    EXPECT_EQ(counter.calls, 0);
    box.finish();
    EXPECT_EQ(widget.rect(), (FRectI{100, 100, 140, 120}));
    EXPECT_EQ(counter.calls, 1);
}

TEST(TweenTest, ScaleTweenAboutTheCentreAndInContainerMode)
{
    FContainer parent;
    PlainWidget widget(&parent, true);
    widget.setWidgetRect({10, 10, 30, 50}); // centre (20, 30)
    FScaleTween scale;
    scale.setTarget(&widget);
    scale.start(1.0f, 2.0f, 100);
    scale.update(50);
    EXPECT_EQ(widget.rect(), (FRectI{5, 0, 35, 60}));
    scale.update(50);
    EXPECT_EQ(widget.rect(), (FRectI{0, -10, 40, 70}));
    EXPECT_FALSE(scale.isActive());

    FContainer panel(&parent, true);
    FScaleTween zoom;
    zoom.setContainer(&panel);
    zoom.start(1.0f, 3.0f, 100);
    zoom.update(50);
    EXPECT_FLOAT_EQ(panel.scale().x, 2.0f);
    zoom.update(25); // from the last applied value: 2 + (3 - 2) x 0.75
    EXPECT_FLOAT_EQ(panel.scale().x, 2.75f);
    zoom.setEasing(5); // an unknown course applies 1
    zoom.update(1);
    EXPECT_FLOAT_EQ(panel.scale().x, 1.0f);
}

} // namespace
