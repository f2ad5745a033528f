#include "game/widgets/StepSlider.h"
#include "game/widgets/ClickSoundHost.h"
#include "image/FImage.h"
#include "ui/FImageWidget.h"
#include "ui/FScreen.h"

#include <gtest/gtest.h>

namespace {

class SliderScreen : public FScreen, public ClickSoundHost
{
public:
    void reloadTexts(int32_t) override {}
    void playClickSound() override { ++clicks; }
    int32_t clicks = 0;
};

FRefT<FImage> emptyImage()
{
    return makeRef(engineNew<FImage>(k_memObject));
}

// A slider of width 200 with 10 steps, built as its host builds it: the knob
// is 40 wide (a fifth of the slider) and as high as the built slider.
class StepSliderTest : public ::testing::Test
{
protected:
    StepSliderTest()
    {
        slider.setWidgetRect({100, 50, 300, 70});
        slider.setStepCount(10);
        slider.onStepCountChanged();
        slider.buildTrack(trackImage);
        slider.buildKnob(knobImage, overlayImage);
        slider.setKnobHoverImage(hoverImage);
    }

    SliderScreen screen;
    StepSlider slider{&screen};
    FRefT<FImage> trackImage = emptyImage();
    FRefT<FImage> knobImage = emptyImage();
    FRefT<FImage> overlayImage = emptyImage();
    FRefT<FImage> hoverImage = emptyImage();
};

TEST_F(StepSliderTest, BuildingPlacesTrackKnobAndOverlay)
{
    EXPECT_TRUE(slider.isHitTestDisabled());
    // Twice the track height (3/2 of 20), moved up by a quarter of 20.
    EXPECT_EQ(slider.rect(), (FRectI{100, 45, 300, 105}));
    EXPECT_EQ(slider.track()->rect(), (FRectI{0, 5, 200, 35}));
    ASSERT_NE(slider.knob(), nullptr);
    EXPECT_EQ(slider.knob()->parent(), &screen);
    EXPECT_EQ(slider.knob()->rect(), (FRectI{100, 42, 140, 102}));
    EXPECT_EQ(slider.knobOverlay()->rect(), slider.knob()->rect());
    EXPECT_TRUE(slider.knobOverlay()->isHitTestDisabled());
    EXPECT_EQ(screen.children().back(), slider.knobOverlay());
}

TEST_F(StepSliderTest, KnobSitsOnItsStepSegment)
{
    struct Case
    {
        int32_t step;
        int32_t stored;
        int32_t knobLeft;
    };
    const Case cases[] = {
        {3, 3, 3 * 18 - 20 + 100}, // segments of 200 / 11
        {0, 0, -20 + 100},         {-4, 0, -20 + 100},
        {10, 10, 308 - 40}, // the right edge a fifth of the knob past the slider
        {99, 10, 308 - 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        slider.setStep(c.step);
        EXPECT_EQ(slider.step(), c.stored);
        EXPECT_EQ(slider.knob()->rect().left, c.knobLeft);
        EXPECT_EQ(slider.knob()->width(), 40);
        EXPECT_EQ(slider.knobOverlay()->rect().left, c.knobLeft);
    }
}

TEST_F(StepSliderTest, DragMovesByWholeSegmentsAndClicksOnChange)
{
    slider.onPointerMove(0, {61, 10}); // not dragging: no step
    EXPECT_EQ(slider.step(), 0);
    slider.onPointerDown(0, 1, {50, 10});
    ASSERT_TRUE(slider.isDragging());
    struct Case
    {
        int32_t x;
        int32_t step;
        int32_t clicks;
    };
    const Case cases[] = {
        {61, 3, 1}, // segments of 200 / 10
        {65, 3, 1}, // inside the same segment: nothing
        {70, 3, 1}, // exactly between two steps: no step matches
        {-1, 0, 1}, // clamped: no click
        {201, 10, 1}, {189, 9, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        slider.onPointerMove(0, {c.x, 10});
        EXPECT_EQ(slider.step(), c.step);
        EXPECT_EQ(screen.clicks, c.clicks);
    }
    slider.onPointerUp(0, 1, {189, 10});
    EXPECT_FALSE(slider.isDragging());
}

TEST_F(StepSliderTest, TrackEdgesAreStrict)
{
    struct Case
    {
        FPointI point;
        bool onTrack;
    };
    const Case cases[] = {
        {{-20, 10}, false}, {{-19, 10}, true}, {{219, 10}, true}, {{220, 10}, false},
        {{10, 0}, false},   {{10, 1}, true},   {{10, 50}, true},  {{10, 51}, false}, // 60 - 9
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
        EXPECT_EQ(slider.isOnTrack(c.point), c.onTrack);
    }
    slider.onPointerDown(0, 1, {10, 0});
    EXPECT_FALSE(slider.isDragging());
}

TEST_F(StepSliderTest, HoverSwapsTheKnobImage)
{
    slider.knob()->setAlphaThreshold(0); // the test images have no pixels to test
    slider.onPointerMove(0, {10, 10});   // over the knob
    EXPECT_EQ(slider.knob()->getImage().get(), hoverImage.get());
    EXPECT_EQ(slider.knob()->width(), 40);
    slider.onPointerMove(0, {150, 10});
    EXPECT_EQ(slider.knob()->getImage().get(), knobImage.get());
}

TEST_F(StepSliderTest, ZeroStepsCountAsOne)
{
    slider.setStepCount(0);
    slider.setStep(5);
    EXPECT_EQ(slider.step(), 1);
    slider.onPointerDown(0, 1, {50, 10});
    slider.onPointerMove(0, {20, 10});
    EXPECT_EQ(slider.step(), 0);
    slider.onPointerMove(0, {150, 10});
    EXPECT_EQ(slider.step(), 1);
}

} // namespace
