// The interrupt sequence on the story screen, driven by the search-list
// generator's step record: the overlay after the second find, the bonus
// item with its one strip entry and the dial, and the two ends - found in
// time, or timed out with the strip and the search list restored. Also the
// small story operations: the photo-sound debounce, the hint target that
// goes with its sprite, and the cancelled prompt closing the story.
#include "game/gameplay/StoryScreenTestSupport.h"

#include "game/core/ControllerManager.h"
#include "game/core/GameSession.h"
#include "game/core/LevelTimer.h"
#include "game/core/SearchListGenerator.h"
#include "game/core/SearchableObject.h"
#include "game/gameplay/HudPanel.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/SearchableSprite.h"
#include "game/widgets/VideoSprite.h"
#include "game/worlds/WorldScene.h"
#include "ui/FImageWidget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

using namespace gameplaytest;

namespace {

class InterruptScreen : public StoryModeScreen
{
public:
    // The searchable sprite's and the strip's calls.
    using StoryModeScreen::lostPhotoFound;
    using StoryModeScreen::refreshPanel;

    void grantRandomNegativePowerUp() override { calls.push_back("negative"); }
    bool raiseStoryEvent(int32_t event) override
    {
        events.push_back(event);
        return StoryModeScreen::raiseStoryEvent(event);
    }

    std::vector<std::string> calls;
    std::vector<int32_t> events;
};

class StoryInterruptTest : public testing::Test, protected storytest::StoryScreenLevel<InterruptScreen>
{
protected:
    // A picture search with the interrupt on the game's own strip, its
    // items placed on the map and in the strip.
    void startSearch(int interrupt = 1)
    {
        start({6}, 1, true, interrupt);
        InterruptScreen& s = screen();
        panel = s.refreshPanel();
        ASSERT_NE(panel, nullptr);
        panel->setUp();
        s.levelItems().createSearchableSprites();
        session().getSearchListState(items);
        ASSERT_GT(items.size(), 3u);
        // Every listed item has its entry (copies of one picture share one).
        for (SearchableObject* item : items)
            ASSERT_NE(panel->findEntryByKey(item), nullptr);
    }
    // The two finds that start the interrupt, the overlay's end and the
    // bonus item once its line closed.
    void runToBonusItem()
    {
        InterruptScreen& s = screen();
        items[0]->markFound(0);
        items[1]->markFound(0);
        ASSERT_EQ(s.m_listener->step, 1);
        s.onTaskStepDone();
        ASSERT_EQ(s.m_listener->step, 3);
        s.spawnInterruptItem();
    }
    InterruptScreen& s() { return screen(); }
    GameSession& session() { return *module.getGameSession(); }
    int32_t visibleEntries() const
    {
        int32_t n = 0;
        for (int32_t k = 0; k < panel->entryCount(); ++k)
            n += panel->entryAt(k)->isVisible() ? 1 : 0;
        return n;
    }
    const FVideo* overlayClip()
    {
        auto* overlay = dynamic_cast<VideoSprite*>(static_cast<FWidget*>(s().m_overlayVideo.get()));
        return overlay != nullptr ? overlay->video().get() : nullptr;
    }
    bool shown(const FRef& widget) { return static_cast<FWidget*>(widget.get())->isVisible(); }

    HudPanel* panel = nullptr;
    std::deque<SearchableObject*> items;
};

TEST_F(StoryInterruptTest, TheSecondFindOpensTheOverlayAndItsEndTheInterruptLine)
{
    startSearch();
    LevelTimer& timer = *session().getLevelTimer();
    timer.started = true;
    items[0]->markFound(0);
    EXPECT_FALSE(s().isInterruptSequenceActive());
    items[1]->markFound(0);
    EXPECT_EQ(s().m_listener->step, 1);
    EXPECT_TRUE(s().isInterruptSequenceActive());
    EXPECT_TRUE(shown(s().m_overlayContainer));
    EXPECT_EQ(overlayClip(), s().m_drabbFoundClip.get());
    EXPECT_FALSE(timer.started);
    // The overlay sits at (137, 67) of 640 x 480 on the logical screen.
    FWidget& overlay = *static_cast<FWidget*>(s().m_overlayVideo.get());
    EXPECT_EQ(overlay.rect().left, 137 * s().width() / 640);
    EXPECT_EQ(overlay.rect().top, 67 * s().height() / 480);

    s().events.clear();
    s().onTaskStepDone();
    EXPECT_EQ(s().m_listener->step, 3);
    EXPECT_FALSE(shown(s().m_overlayContainer));
    EXPECT_TRUE(s().isInterruptBegun());
    EXPECT_EQ(s().events, (std::vector<int32_t>{17}));
    EXPECT_TRUE(s().m_forcedClickStep);
    EXPECT_TRUE(s().m_clickCover->isVisible());
    // The dismissal: the cover goes, the level timer runs.
    timer.started = false;
    s().dismissClickCover();
    EXPECT_FALSE(s().m_forcedClickStep);
    EXPECT_FALSE(s().m_clickCover->isVisible());
    EXPECT_TRUE(timer.started);
}

TEST_F(StoryInterruptTest, FoundInTimeTheSearchGoesOnWithoutPenalty)
{
    startSearch();
    runToBonusItem();
    std::deque<FRefT<SearchableSprite>>& sprites = *s().getTaskSprites();
    ASSERT_EQ(sprites.size(), items.size() + 1);
    SearchableSprite& bonus = *sprites.back();
    ASSERT_NE(bonus.item(), nullptr);
    EXPECT_TRUE(bonus.item()->isInterruptItem());
    EXPECT_EQ(bonus.getKindEffect().get(), s().m_photoBlingImage.get());
    EXPECT_EQ(bonus.panelImage().get(), s().m_photoPanelImage.get());
    for (std::size_t i = 0; i + 1 < sprites.size(); ++i)
        EXPECT_TRUE(sprites[i]->isHitTestDisabled()) << i;
    EXPECT_TRUE(s().isInterruptRunning());
    EXPECT_EQ(s().getHintTarget(), &bonus);
    // The strip shows the bonus entry alone; the dial starts.
    EXPECT_EQ(visibleEntries(), 1);
    EXPECT_TRUE(panel->entryAt(panel->entryCount() - 1)->isVisible());
    EXPECT_TRUE(shown(s().m_dialFirstFrame));
    EXPECT_FALSE(shown(s().m_dialSecondFrame));
    EXPECT_TRUE(shown(s().m_dialFirstPointer));
    EXPECT_TRUE(shown(s().m_dialSecondPointer));

    // Found as the time runs out: the find wins.
    bonus.item()->markFound(0);
    s().checkInterruptTimeout();
    EXPECT_EQ(s().m_listener->step, 3);
    s().onBonusItemDone();
    EXPECT_TRUE(s().isInterruptSuccess());
    EXPECT_FALSE(s().isInterruptRunning());
    EXPECT_EQ(s().m_listener->step, 2);
    EXPECT_EQ(overlayClip(), s().m_photoFoundClip.get());
    EXPECT_FALSE(shown(s().m_dialFirstFrame));
    EXPECT_FALSE(bonus.isVisible());
    // Found items stay disabled; those still waiting take clicks again.
    EXPECT_TRUE(sprites[0]->isHitTestDisabled());
    EXPECT_FALSE(sprites[2]->isHitTestDisabled());
    // A second report (the bonus entry leaving later) changes nothing.
    s().onBonusItemDone();
    EXPECT_EQ(s().m_listener->step, 2);

    s().onTaskStepDone();
    EXPECT_EQ(s().m_listener->step, 0);
    EXPECT_FALSE(s().isInterruptSequenceActive());
    EXPECT_TRUE(s().calls.empty());
}

TEST_F(StoryInterruptTest, TheDialsHandsTurnAboutTheFirstFrame)
{
    startSearch();
    runToBonusItem();
    const FWidget& frame = *static_cast<FWidget*>(s().m_dialFirstFrame.get());
    const FPointI centre{frame.rect().left + frame.width() / 2, frame.rect().top + frame.height() / 2};
    auto& first = *dynamic_cast<FImageWidget*>(static_cast<FWidget*>(s().m_dialFirstPointer.get()));
    auto& second = *dynamic_cast<FImageWidget*>(static_cast<FWidget*>(s().m_dialSecondPointer.get()));
    ASSERT_TRUE(first.hasPivot());
    ASSERT_TRUE(second.hasPivot());
    EXPECT_EQ(second.rect().left + second.pivot().x, centre.x);
    EXPECT_EQ(second.rect().top + second.pivot().y, centre.y);
    EXPECT_EQ(first.rect().left + first.pivot().x, centre.x - first.width());
    EXPECT_EQ(first.rect().top + first.pivot().y, centre.y);
    EXPECT_EQ(first.angle(), 0.0f);
    EXPECT_EQ(second.angle(), 0.0f);
}

TEST_F(StoryInterruptTest, ATimeOutPunishesRestoresTheStripAndRetiresTheBonusItem)
{
    startSearch();
    runToBonusItem();
    const int32_t entries = panel->entryCount();
    SearchableSprite& bonus = *s().getTaskSprites()->back();
    SearchableObject& drabb = *bonus.item();
    // The quest's interrupt lasts 60000 ms: half way the second frame shows.
    s().update(30001);
    EXPECT_TRUE(shown(s().m_dialSecondFrame));
    EXPECT_TRUE(s().isInterruptRunning());
    s().update(30000);
    EXPECT_FALSE(s().isInterruptRunning());
    EXPECT_FALSE(s().isInterruptSuccess());
    EXPECT_EQ(s().m_listener->step, 2);
    EXPECT_EQ(overlayClip(), s().m_failureClip.get());
    EXPECT_FALSE(bonus.isVisible());
    EXPECT_FALSE(shown(s().m_dialFirstPointer));
    EXPECT_FALSE(shown(s().m_dialSecondPointer));
    // The strip is out of its one-entry layout: the first entries are back
    // in play and it moves again; the bonus entry leaves as a completed one.
    HudPanelEntry& bonusEntry = *bonus.panelEntry();
    EXPECT_TRUE(panel->entryAt(0)->isVisible());
    EXPECT_TRUE(panel->entryAt(0)->isActive());
    EXPECT_GE(visibleEntries(), 3);
    EXPECT_TRUE(panel->isDragEnabled());
    EXPECT_FALSE(panel->isHeldAtRest());
    EXPECT_TRUE(bonusEntry.isCompleted());
    EXPECT_FALSE(bonusEntry.isVisible());
    // Gone from the strip, or still at its end as a completed entry.
    EXPECT_TRUE(panel->entryCount() == entries - 1 || panel->entryAt(entries - 1).get() == &bonusEntry);

    s().onTaskStepDone();
    EXPECT_EQ(s().m_listener->step, 0);
    EXPECT_EQ(s().calls, (std::vector<std::string>{"negative"}));
    // The generator retired the bonus item: the search no longer waits for it.
    EXPECT_EQ(drabb.state(), SearchableObject::k_stateMarked);
    const FRefT<SearchListGenerator> generator = session().getSearchListGenerator();
    EXPECT_EQ(generator->getRemainingCount(), static_cast<int32_t>(items.size()) - 2);
}

TEST_F(StoryInterruptTest, WithoutABonusItemTheInterruptEndsMissedAndTheTaskKeepsItsItems)
{
    startSearch(0);
    // The step record at 3 as after the overlay, but the list holds only
    // the task's items (a world without a Drabb).
    s().m_listener->step = 3;
    const std::size_t sprites = s().getTaskSprites()->size();
    const int32_t shown = visibleEntries();
    s().spawnInterruptItem();
    EXPECT_EQ(s().getTaskSprites()->size(), sprites);
    EXPECT_FALSE(s().isInterruptRunning());
    EXPECT_FALSE(s().isInterruptSuccess());
    EXPECT_EQ(s().m_listener->step, 2);
    // The strip never went into its one-entry layout.
    EXPECT_EQ(visibleEntries(), shown);
    EXPECT_TRUE(panel->isDragEnabled());
    s().onTaskStepDone();
    EXPECT_EQ(s().calls, (std::vector<std::string>{"negative"}));
    EXPECT_EQ(items.back()->state(), SearchableObject::k_stateListed);

    // An empty search list: no item either.
    session().getSearchListGenerator()->clearItems();
    s().m_listener->step = 3;
    s().spawnInterruptItem();
    EXPECT_EQ(s().getTaskSprites()->size(), sprites);
    EXPECT_EQ(s().m_listener->step, 2);
}

TEST_F(StoryInterruptTest, FindsWithinHalfASecondShareOneLostPhotoSound)
{
    startSearch(0);
    module.soundNames.push_back({"photo", s().m_photoSound.get()});
    auto photoSounds = [&] {
        return std::count_if(module.calls.begin(), module.calls.end(),
                             [](const std::string& c) { return c.rfind("sound photo", 0) == 0; });
    };
    s().lostPhotoFound();
    s().update(300);
    s().lostPhotoFound();
    s().update(199);
    EXPECT_EQ(photoSounds(), 0);
    s().update(1);
    EXPECT_EQ(photoSounds(), 1);
    s().update(1000);
    EXPECT_EQ(photoSounds(), 1);
    // A find after the sound starts a new wait.
    s().lostPhotoFound();
    s().update(500);
    EXPECT_EQ(photoSounds(), 2);
}

TEST_F(StoryInterruptTest, TheHintTargetGoesWithItsSpriteAndACancelledPromptClosesTheStory)
{
    startSearch(0);
    SearchableSprite* sprite = (*s().getTaskSprites())[2].get();
    s().setHintTarget(sprite, 1);
    EXPECT_EQ(s().getHintTarget(), sprite);
    ASSERT_NE(sprite->panelEntry(), nullptr);
    EXPECT_TRUE(sprite->panelEntry()->isActive());
    // The task's sprites are released: no pointer to them is handed out.
    s().getTaskSprites()->clear();
    EXPECT_EQ(s().getHintTarget(), nullptr);

    s().events.clear();
    s().onCancel();
    EXPECT_EQ(s().events, (std::vector<int32_t>{1}));
}

TEST_F(StoryInterruptTest, TheSwapsEndFadesTheDimmerOut)
{
    startSearch(0);
    FWidget& dimmer = *s().m_dimmer;
    s().setDimmed(true, 0);
    s().update(600);
    EXPECT_EQ(dimmer.widgetColour() >> 24, 120u);
    s().onSwapDone();
    s().update(300);
    EXPECT_GT(dimmer.widgetColour() >> 24, 0u);
    EXPECT_LT(dimmer.widgetColour() >> 24, 120u);
    s().update(300);
    EXPECT_EQ(dimmer.widgetColour() >> 24, 0u);
}

} // namespace

TEST_F(StoryInterruptTest, AScreenThatGoesTakesItsStepRecordFromTheGenerator)
{
    startSearch();
    {
        // A second screen plays a level of its own and goes, while the play
        // session keeps that level's generator.
        FRefT<InterruptScreen> other(makeRef(engineNew<InterruptScreen>(k_memObject)));
        other->onActivate();
        ASSERT_NE(other->m_listener, nullptr);
    }
    module.controllerManager().setCurrentScreen(&s());
    std::deque<SearchableObject*> listed;
    session().getSearchListState(listed);
    ASSERT_GT(listed.size(), 3u);
    // The second find would start the interrupt: with no screen left to
    // play it, none starts.
    EXPECT_FALSE(listed[0]->markFound(0));
    EXPECT_FALSE(listed[1]->markFound(0));
}
