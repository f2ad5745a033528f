#include "game/widgets/RecordingVideoPlayer.h"

#include "asset/FScreenRegistry.h"
#include "game/widgets/AnimatedMenuButton.h"
#include "game/widgets/VideoSprite.h"
#include "image/FImage.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "ui/FScreen.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class MenuScreen : public FScreen
{
public:
    void reloadTexts(int32_t) override {}
    void playSound(const FRef& sample) override { sounds.push_back(sample.get()); }
    std::vector<void*> sounds;
};

// A button set up as the menu screens do, with two-frame clips named by
// their asset ids in the clip table.
class MenuButtonTest : public ::testing::Test
{
protected:
    MenuButtonTest()
    {
        for (int32_t id = 2347; id <= 2364; ++id) {
            FRefT<FVideo> clip = recordedVideo(std::to_string(id), 2, log);
            names[clip.get()] = id;
            clips.insertAsset(id, clip);
        }
        sounds.insertAsset(2373, hoverSound);
        button.setWidgetRect({100, 100, 300, 200});
        frame = makeRef(engineNew<FContainer>(k_memObject, &button, true));
        frame->setWidgetRect({0, 0, 200, 100});
        sprite = makeRef(engineNew<VideoSprite>(k_memObject, frame.get(), true));
        caption = makeRef(engineNew<FLabel>(k_memObject, frame.get(), true));
        button.setImageSize(120, 80);
        button.setup(caption, sprite, frame, {}, &clips, &sounds);
    }
    int32_t playingClip() { return names[sprite->video().get()]; }
    // Plays the clip sprite to its end as the host does, frame by frame.
    void playClipOut()
    {
        for (int32_t n = 0; n < 10 && sprite->isPlaying(); ++n)
            sprite->update(50);
    }

    std::vector<std::string> log;
    std::map<const FVideo*, int32_t> names;
    FScreenRegistry clips;
    FScreenRegistry sounds;
    FRef hoverSound = makeRef(engineNew<FImage>(k_memObject));
    MenuScreen screen;
    AnimatedMenuButton button{&screen};
    FRefT<FContainer> frame;
    FRefT<VideoSprite> sprite;
    FRefT<FLabel> caption;
};

TEST_F(MenuButtonTest, SetupShowsTheHoverClipTransparentWithHiddenBadges)
{
    EXPECT_EQ(playingClip(), 2350); // kind 2
    EXPECT_EQ(names[button.returnClip().get()], 2349);
    EXPECT_FALSE(sprite->isPlaying());
    EXPECT_EQ(sprite->rect(), (FRectI{0, 0, 120, 80}));
    EXPECT_EQ(sprite->frameTime(), 50);
    EXPECT_TRUE(sprite->isHitTestDisabled());
    EXPECT_TRUE(frame->isHitTestDisabled());
    EXPECT_EQ(button.alpha(), 0);
    EXPECT_EQ(sprite->colour() >> 24, 0u);
    ASSERT_NE(button.badgeLabel(), nullptr);
    EXPECT_EQ(button.badgeLabel()->parent(), frame.get());
    EXPECT_FALSE(button.badgeLabel()->isVisible());
    EXPECT_FALSE(button.badgePicture()->isVisible());
    EXPECT_EQ(button.badgeLabel()->text().toUtf8(), "0");
    button.setNumberText(-12);
    EXPECT_EQ(button.badgeLabel()->text().toUtf8(), "-12");
}

TEST_F(MenuButtonTest, HoverAndLeaveCycleThroughTheirClips)
{
    button.onPointerMove(0, {10, 10});
    EXPECT_TRUE(button.isHovered());
    EXPECT_FALSE(button.isReady());
    EXPECT_TRUE(sprite->isPlaying());
    EXPECT_EQ(playingClip(), 2350);
    EXPECT_EQ(button.wigglePhase(), AnimatedMenuButton::k_tilting);
    ASSERT_EQ(screen.sounds.size(), 1u);
    EXPECT_EQ(screen.sounds[0], hoverSound.get());
    button.onPointerMove(0, {12, 10}); // already hovered
    EXPECT_EQ(screen.sounds.size(), 1u);

    button.onPointerLeave(0);
    EXPECT_FALSE(button.isHovered());
    EXPECT_EQ(playingClip(), 2349);
    EXPECT_EQ(button.wigglePhase(), AnimatedMenuButton::k_returning);
    button.onPointerMove(0, {10, 10}); // the clip of the last hover has not ended
    EXPECT_FALSE(button.isHovered());
    playClipOut();
    EXPECT_TRUE(button.isReady());
    button.onPointerMove(0, {10, 10});
    EXPECT_TRUE(button.isHovered());
    EXPECT_EQ(screen.sounds.size(), 2u);
}

TEST_F(MenuButtonTest, ClipKindSelectsThePairForTheNextHover)
{
    struct Case
    {
        int32_t kind;
        int32_t hover;
        int32_t back;
    };
    const Case cases[] = {
        {7, 2362, 2361}, {4, 2358, 2357}, {0, 2348, 2347}, {9, 2348, 2347}, {3, 2352, 2351}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        button.setClipKind(c.kind);
        EXPECT_EQ(button.clipKind(), c.kind);
        EXPECT_EQ(names[button.hoverClip().get()], c.hover);
        EXPECT_EQ(names[button.returnClip().get()], c.back);
    }
    EXPECT_EQ(playingClip(), 2350); // the sprite waits for the next hover
    button.playPressedClip();
    EXPECT_EQ(playingClip(), 2352);
    EXPECT_TRUE(sprite->isPlaying());
    EXPECT_EQ(sprite->rect(), (FRectI{0, 0, 120, 80}));
}

TEST_F(MenuButtonTest, WiggleTiltsSwingsAndRestsAtTwoDegrees)
{
    button.moveImageTo(20, 10);
    button.onPointerMove(0, {30, 30});
    button.updateWiggle(83);
    EXPECT_FLOAT_EQ(frame->rotation(), static_cast<float>(-7.5 * 83 / 167));
    EXPECT_EQ(frame->pivot(), (FPointI{20 + 60, 10 + 40}));
    button.updateWiggle(84);
    EXPECT_EQ(button.wigglePhase(), AnimatedMenuButton::k_swinging);
    EXPECT_FLOAT_EQ(frame->rotation(), -7.5f);
    button.updateWiggle(100);
    EXPECT_FLOAT_EQ(frame->rotation(), static_cast<float>(9.0 * 100 / 167 - 7.5));
    button.updateWiggle(67);
    EXPECT_EQ(button.wigglePhase(), AnimatedMenuButton::k_holding);
    EXPECT_FLOAT_EQ(frame->rotation(), 2.0f); // not the 1.5 the swing reached
    button.updateWiggle(500);
    EXPECT_FLOAT_EQ(frame->rotation(), 2.0f);
    button.onPointerLeave(0);
    button.updateWiggle(16);
    EXPECT_EQ(button.wigglePhase(), AnimatedMenuButton::k_still);
    EXPECT_FLOAT_EQ(frame->rotation(), 0.0f);
    button.onPointerMove(0, {30, 30});
    button.updateWiggle(40);
    button.stopWiggle();
    EXPECT_EQ(button.wigglePhase(), AnimatedMenuButton::k_still);
    EXPECT_FLOAT_EQ(frame->rotation(), 0.0f);
}

TEST_F(MenuButtonTest, ButtonWithoutClipNeverHovers)
{
    FScreenRegistry empty;
    AnimatedMenuButton bare(&screen);
    FRefT<VideoSprite> bareSprite = makeRef(engineNew<VideoSprite>(k_memObject, &bare, true));
    bare.setup(caption, bareSprite, frame, {}, &empty, &sounds);
    bare.onPointerMove(0, {1, 1});
    EXPECT_FALSE(bare.isHovered());
    EXPECT_TRUE(bare.isReady());
    EXPECT_TRUE(screen.sounds.empty());
}

TEST_F(MenuButtonTest, IconStaysTransparentUntilTheNextAlpha)
{
    FRefT<FImageWidget> icon = makeRef(engineNew<FImageWidget>(k_memObject, frame.get(), true));
    icon->setWidgetRect({0, 0, 30, 30});
    icon->setVisible(false);
    button.setAlpha(200);
    button.setIcon(icon);
    EXPECT_TRUE(icon->isVisible());
    EXPECT_TRUE(icon->isHitTestDisabled());
    EXPECT_EQ(icon->colour() >> 24, 0u);
    button.setAlpha(180);
    EXPECT_EQ(icon->colour() >> 24, 180u);
    // Absolute point: the frame sits at (100, 100) on the screen.
    button.placeIcon(150, 130);
    EXPECT_EQ(icon->rect().left, 50);
    EXPECT_EQ(icon->rect().top, 30);
    button.alignLabel();
    EXPECT_EQ(caption->rect().left, icon->rect().right);
    EXPECT_EQ(caption->horizontalAlignment(), 1);
}

} // namespace
