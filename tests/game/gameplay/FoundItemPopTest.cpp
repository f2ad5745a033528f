// The found-item pop: its steps follow the burst clip's frame on a 42 ms
// clock, the item is marked found only when the pop ends (or when the next
// find of the player finishes it), a burst shorter than the step table still
// ends it, and its placement by player, tier, task type and photo.
#include "game/gameplay/CursorEffectsTestSupport.h"

#include "game/gameplay/FoundItemPop.h"
#include "ui/FImageWidget.h"

#include <gtest/gtest.h>

#include <map>

using namespace cursortest;

namespace {

using PopTest = CursorFixture<20>;
using ShortBurstPopTest = CursorFixture<5>;

// What a step leaves on the pop.
struct StepLook
{
    float zoom;
    uint32_t colour;
};

} // namespace

TEST_F(PopTest, TheStepsFollowTheBurstFrameAndTheItemIsFoundAtTheLastStep)
{
    CursorScreen& s = screen();
    SearchableObject item;
    FRefT<SearchableSprite> sprite = makeSprite(item);
    s.reportSpriteFound(0, *sprite);
    FoundItemPop* pop = s.foundItemPop(0);
    ASSERT_TRUE(pop->isRunning());
    EXPECT_TRUE(pop->isVisible());
    EXPECT_EQ(pop->item(), &item);
    EXPECT_EQ(pop->itemImage()->getImage().get(), s.m_hintBlingImage.get());
    EXPECT_FALSE(pop->zoom()->isVisible());
    EXPECT_EQ(pop->rect(), k_mapRect);

    const std::map<int32_t, StepLook> looks = {
        {2, {1.1f, 0xFFFFFFFFu}},   {3, {1.2f, 0xFFFFFFFFu}},  {4, {1.26f, 0xFFFFFFFFu}},
        {5, {1.28f, 0xFFFFFFFFu}},  {6, {1.3f, 0xFFFFFFFFu}},  {7, {1.32f, 0xFFFFFFFFu}},
        {8, {1.34f, 0xFFFFFFFFu}},  {9, {1.38f, 0xFFFFFFFFu}}, {10, {1.3f, 0xC8D2D2D2u}},
        {11, {1.15f, 0x648C8C8Cu}}, {12, {1.0f, 0x008C8C8Cu}},
    };
    std::vector<int32_t> seen;
    int32_t elapsed = 0;
    while (pop->isRunning() && elapsed < 2000) {
        s.update(10);
        elapsed += 10;
        if (!pop->isRunning()) break;
        const int32_t step = pop->step();
        if (step != FoundItemPop::k_idleStep && (seen.empty() || seen.back() != step)) {
            seen.push_back(step);
            SCOPED_TRACE(step);
            // The step is the frame the burst showed at the tick.
            EXPECT_EQ(step, pop->burst()->currentFrame() + 1);
            EXPECT_EQ(pop->isBright(), step >= 7 && step < 13);
            EXPECT_NE(item.state(), SearchableObject::k_stateFound);
            if (const auto look = looks.find(step); look != looks.end()) {
                EXPECT_FLOAT_EQ(pop->zoom()->scale().x, look->second.zoom);
                EXPECT_EQ(pop->itemImage()->colour(), look->second.colour);
            }
        }
    }
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), 1);
    EXPECT_EQ(seen.back(), 12);
    for (std::size_t i = 1; i < seen.size(); ++i)
        EXPECT_GT(seen[i], seen[i - 1]);
    // About thirteen frames of the burst at 24 per second.
    EXPECT_GE(elapsed, 12 * FoundItemPop::k_stepMs);
    EXPECT_LE(elapsed, 15 * FoundItemPop::k_stepMs);
    EXPECT_EQ(item.state(), SearchableObject::k_stateFound);
    EXPECT_FALSE(pop->isVisible());
    EXPECT_FALSE(pop->zoom()->isVisible());
    EXPECT_FALSE(pop->burst()->isVisible());
    EXPECT_TRUE(pop->burst()->isPaused());
    EXPECT_EQ(pop->burst()->currentFrame(), 0);
    EXPECT_EQ(pop->step(), FoundItemPop::k_idleStep);
    EXPECT_FALSE(pop->isBright());
}

TEST_F(ShortBurstPopTest, ABurstShorterThanTheStepsStillEndsThePopAndMarksTheItem)
{
    CursorScreen& s = screen();
    SearchableObject item;
    FRefT<SearchableSprite> sprite = makeSprite(item);
    s.reportSpriteFound(0, *sprite);
    FoundItemPop* pop = s.foundItemPop(0);
    const int32_t elapsed = runUntil([&] { return !pop->isRunning(); });
    EXPECT_LT(elapsed, 1000);
    EXPECT_EQ(item.state(), SearchableObject::k_stateFound);
    EXPECT_FALSE(pop->isVisible());
    EXPECT_FALSE(pop->isBright());
    EXPECT_EQ(pop->step(), FoundItemPop::k_idleStep);

    // The next find runs the short burst again from its first frame.
    SearchableObject next;
    FRefT<SearchableSprite> second = makeSprite(next);
    s.reportSpriteFound(0, *second);
    runUntil([&] { return !pop->isRunning(); });
    EXPECT_EQ(next.state(), SearchableObject::k_stateFound);
}

TEST_F(PopTest, TheNextFindOfThePlayerFinishesTheRunningPopAtOnce)
{
    CursorScreen& s = screen();
    SearchableObject first;
    SearchableObject second;
    FRefT<SearchableSprite> a = makeSprite(first);
    FRefT<SearchableSprite> b = makeSprite(second);
    s.reportSpriteFound(0, *a);
    FoundItemPop* pop = s.foundItemPop(0);
    runUntil([&] { return pop->step() >= 5; });
    EXPECT_NE(first.state(), SearchableObject::k_stateFound);
    s.reportSpriteFound(0, *b);
    EXPECT_EQ(first.state(), SearchableObject::k_stateFound);
    EXPECT_NE(second.state(), SearchableObject::k_stateFound);
    EXPECT_TRUE(pop->isRunning());
    EXPECT_EQ(pop->item(), &second);
    // Rewound: the new run starts again from step 1.
    EXPECT_EQ(pop->burst()->currentFrame(), 0);
    runUntil([&] { return pop->step() >= 1; });
    EXPECT_EQ(pop->step(), 1);
    runUntil([&] { return !pop->isRunning(); });
    EXPECT_EQ(second.state(), SearchableObject::k_stateFound);

    // An idle pop has nothing left to mark: finishing it again changes no item.
    second.setState(SearchableObject::k_stateListed);
    pop->finishNow();
    EXPECT_EQ(second.state(), SearchableObject::k_stateListed);
}

TEST_F(PopTest, PlacementByPlayerTierAndTheNudges)
{
    CursorScreen& s = screen();
    SearchableObject item;
    FRefT<SearchableSprite> sprite = makeSprite(item);
    const int32_t w = s.width() / 64;
    struct Case
    {
        int32_t player;
        int32_t tier;
        int32_t task;
        bool hintPicture;
        int32_t left;
        FPointI nudge;
        bool sparkle;
    };
    const Case cases[] = {
        {0, 0, 6, false, 0, {0, 0}, false},     {1, 1, 6, false, 800, {0, 0}, false},
        {0, 2, 6, true, 0, {-w, -2 * w}, true}, {1, 3, 6, true, 800, {-w, -2 * w}, true},
        {0, 0, 7, true, 0, {0, 2 * w}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.player) + " tier " + std::to_string(c.tier) + " task " +
                     std::to_string(c.task));
        setTask(c.task);
        FoundItemPop* pop = s.foundItemPop(c.player);
        pop->setItemPicture(FRefT<FImage>(c.hintPicture ? s.m_hintBlingImage : s.m_photoBlingImage));
        pop->start(&item, c.player, c.tier);
        EXPECT_EQ(pop->rect().left, c.left);
        EXPECT_EQ(pop->width(), k_mapRect.right);
        EXPECT_EQ(pop->height(), k_mapRect.bottom);
        const FImageWidget* image = pop->itemImage();
        ASSERT_GT(image->width(), 0);
        EXPECT_EQ(image->rect().left, (pop->width() - image->width()) / 2 + c.nudge.x);
        EXPECT_EQ(image->rect().top, (pop->height() - image->height()) / 2 + c.nudge.y);
        EXPECT_EQ(pop->sparkle()->isVisible(), c.sparkle);
        EXPECT_EQ(pop->burst()->rect().top, -(k_mapRect.bottom / 8));
        EXPECT_EQ(pop->scrollOffset(), (FPointI{0, 0}));
        pop->finishNow();
    }
}

TEST_F(PopTest, InAPhotoTaskThePopShowsThePhotoOnTheMapAndABadPhotoNumberKeepsThePicture)
{
    CursorScreen& s = screen();
    s.stepImages = {s.m_photoBlingImage, s.m_photoPanelImage};
    setTask(9);
    SearchableObject item;
    struct Case
    {
        int32_t photo;
        const FRef* shown; // null: the item picture stays
    };
    const Case cases[] = {{1, &s.m_photoBlingImage}, {2, &s.m_photoPanelImage}, {0, nullptr}, {13, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.photo);
        FoundItemPop* pop = s.foundItemPop(0);
        pop->setItemPicture(FRefT<FImage>(s.m_hintBlingImage));
        pop->setPhotoNumber(c.photo);
        pop->start(&item, 0, 0);
        EXPECT_EQ(pop->rect().left, k_mapRect.left);
        EXPECT_EQ(pop->rect().top, k_mapRect.top);
        EXPECT_EQ(pop->scrollOffset(), (FPointI{0, k_mapRect.bottom / 5}));
        EXPECT_EQ(pop->itemImage()->isVisible(), c.shown == nullptr);
        EXPECT_EQ(pop->photoImage()->isVisible(), c.shown != nullptr);
        if (c.shown != nullptr) {
            EXPECT_EQ(pop->photoImage()->getImage().get(), c.shown->get());
            EXPECT_EQ(pop->photoImage()->getWidgetCenter(), pop->burst()->getWidgetCenter());
        }
        EXPECT_EQ(s.calls.back(), "step image " + std::to_string(c.photo - 1));
        pop->finishNow();
    }
}
