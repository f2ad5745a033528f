// The story mode screen over folder 29: what it binds and gives back, the
// level set-up (run at the first activation, not at construction), the
// frame's story steps, the release routing, pause, restart and the end of a
// quest.
#include "game/gameplay/StoryScreenTestSupport.h"

#include "asset/FRawDataModule.h"
#include "core/FKeyCode.h"
#include "game/core/ControllerManager.h"
#include "game/core/GameSaveData.h"
#include "game/core/GameSession.h"
#include "game/core/LevelTimer.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "game/core/SearchListGenerator.h"
#include "game/core/StoryEvent.h"
#include "game/gameplay/HudPanel.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/gameplay/StoryScript.h"
#include "game/gameplay/StoryTaskRecord.h"
#include "game/gameplay/StoryTeller.h"
#include "game/widgets/FactoryContainerWidget.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/MapTileSprite.h"
#include "game/widgets/MapView.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/SearchableSprite.h"
#include "game/widgets/VideoSprite.h"
#include "game/worlds/WorldScene.h"
#include "image/FImageLoaderModule.h"
#include "image/FPngLoader.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/imagewriters/PngWriter.h"
#include "ui/FContainer.h"
#include "ui/FWidgetFactory.h"
#include "ui/FWidgetTypes.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace gameplaytest;

namespace {

class TestStoryScreen : public StoryModeScreen
{
public:
    void startTask() override
    {
        StoryModeScreen::startTask();
        calls.push_back("startTask");
    }
    void dismissClickCover() override { calls.push_back("dismiss"); }
    void onVoiceDone() override { calls.push_back("voiceDone"); }
    void checkInterruptTimeout() override { calls.push_back("timeout"); }
    void endTask() override { calls.push_back("endTask"); }

    std::vector<std::string> calls;
};

class StoryModeScreenTest : public testing::Test, protected storytest::StoryScreenLevel<TestStoryScreen>
{
};

TEST_F(StoryModeScreenTest, BindsFolderTwentyNineWithItsNameMapsAndGivesEveryUseBack)
{
    start({0}, 1, false);
    TestStoryScreen& s = screen();
    EXPECT_EQ(screens.useCount(29), 1);
    EXPECT_EQ(s.m_voiceSamples.size(), 146u);
    EXPECT_EQ(s.m_dialogTexts.size(), 189u);
    const FRef* line = s.m_voiceSamples.find("KTQ_12_86a_sm");
    ASSERT_NE(line, nullptr);
    EXPECT_NE(line->get(), nullptr);
    EXPECT_NE(s.m_pauseButton.get(), nullptr);
    EXPECT_FALSE(s.m_restartButton->isVisible());
    EXPECT_FALSE(s.m_awardsViewport->isVisible());
    ASSERT_NE(s.mapView(), nullptr);

    const int32_t folders[] = {5, 6, 29, 32, 36};
    std::vector<int32_t> before;
    for (int32_t folder : folders)
        before.push_back(screens.useCount(folder));
    {
        FRefT<TestStoryScreen> second(makeRef(engineNew<TestStoryScreen>(k_memObject)));
        for (std::size_t i = 0; i < std::size(folders); ++i)
            EXPECT_EQ(screens.useCount(folders[i]), before[i] + 1) << folders[i];
    }
    for (std::size_t i = 0; i < std::size(folders); ++i)
        EXPECT_EQ(screens.useCount(folders[i]), before[i]) << folders[i];
}

TEST_F(StoryModeScreenTest, TheLevelIsSetUpAtTheFirstActivationNotAtConstruction)
{
    start({0});
    TestStoryScreen& s = screen();
    EXPECT_TRUE(s.isLevelSetUp());
    const SearchListGenerator* generator = session().getSearchListGenerator().get();
    ASSERT_NE(generator, nullptr);
    // The strip and the timer bar were set up for the level, with this
    // screen as their host.
    HudPanel* panel = s.hudPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->host(), static_cast<HudPanelHost*>(&s));
    EXPECT_NE(panel->cover(), nullptr);
    EXPECT_EQ(panel->restPosition(), (FPointI{panel->rect().left, panel->rect().top}));
    FactoryContainerWidget* bar = s.timerBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->barWidth(), s.m_timerFirstSegment->width() + s.m_timerSecondSegment->width());
    EXPECT_GT(bar->barWidth(), 0);
    // Activation makes the screen the controllers' and enables pointers 0, 1
    // and 3 (4 is outside the manager's row and must not be written).
    const ControllerManager& controllers = module.controllerManager();
    EXPECT_EQ(controllers.currentScreen(), static_cast<FScreen*>(&s));
    for (int32_t pointer : {0, 1, 3})
        EXPECT_EQ(controllers.cursorFlag(pointer), 1) << pointer;

    // A second screen built (as the loader's worker builds it) leaves the
    // session and the sounds alone until it becomes current.
    FRefT<TestStoryScreen> next(makeRef(engineNew<TestStoryScreen>(k_memObject)));
    EXPECT_FALSE(next->isLevelSetUp());
    EXPECT_EQ(session().getSearchListGenerator().get(), generator);
    EXPECT_TRUE(module.take().empty());
    next->onActivate();
    EXPECT_TRUE(next->isLevelSetUp());
    EXPECT_NE(session().getSearchListGenerator().get(), generator);
}

TEST_F(StoryModeScreenTest, SetUpPlacesTilesPiecesCharacterAndItems)
{
    start({0});
    TestStoryScreen& s = screen();
    MapView& map = *s.mapView();
    // 12 x 8 tiles of 200 cover the 2400 x 1600 scene.
    ASSERT_EQ(map.tiles().size(), 96u);
    FRectI covered{0, 0, 0, 0};
    for (const auto& tile : map.tiles()) {
        covered.right = std::max(covered.right, tile->rect().right);
        covered.bottom = std::max(covered.bottom, tile->rect().bottom);
    }
    EXPECT_EQ(covered.right, 2400);
    EXPECT_EQ(covered.bottom, 1600);
    // The three penalty pieces: 75, 195 and 315 degrees, the middle one in
    // its own draw mode.
    ASSERT_EQ(s.m_penaltyPieces[0].size(), 3u);
    const float angles[] = {75.0f, 195.0f, 315.0f};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(s.m_penaltyPieces[0][i]->angle(), angles[i]);
        EXPECT_EQ(s.m_penaltyPieces[0][i]->blendMode(), i == 1 ? 2 : 0);
        EXPECT_FALSE(s.m_penaltyPieces[0][i]->isVisible());
    }
    // The speaker's video centred on (400, 181) of the 800 x 600 screen,
    // then lowered by 5 % of its height.
    FWidget& speaker = *s.m_largeCharacter;
    const FPointI centre = speaker.getWidgetCenter();
    EXPECT_EQ(centre.x, 400);
    EXPECT_EQ(centre.y, 181 + static_cast<int32_t>(speaker.height() * 0.05));
    // The hint sprite of the level's hint list; the task's sprites come
    // with the story tasks.
    EXPECT_EQ(s.getHintSprites()->size(), 1u);
    EXPECT_TRUE(s.m_levelReady);
    EXPECT_EQ(s.getPanelEntryCount(1), s.getPanelEntryCount(0));
    EXPECT_EQ(s.getMapView(1).get(), s.getMapView(0).get());
    // Placing the task's items: one sprite per listed item on the map.
    const std::deque<SearchableObject*> listed = placeTaskItems();
    EXPECT_EQ(s.getTaskSprites()->size(), listed.size());
    for (const auto& sprite : *s.getTaskSprites())
        EXPECT_EQ(sprite->parent(), map.content());
}

TEST_F(StoryModeScreenTest, DuringAVoiceTaskOnlyTheFirstReleaseOutsideThePanelsEndsIt)
{
    start({15});
    TestStoryScreen& s = screen();
    const FPointI onMap{300, 200};
    s.calls.clear();
    s.onPointerUp(0, StoryModeScreen::k_ignoredButtonA, onMap);
    s.onPointerUp(0, StoryModeScreen::k_ignoredButtonB, onMap);
    EXPECT_TRUE(s.calls.empty());
    s.onPointerUp(0, 8, onMap);
    EXPECT_EQ(s.calls, (std::vector<std::string>{"dismiss", "endTask"}));
    s.onPointerUp(0, 8, onMap);
    EXPECT_EQ(s.calls, (std::vector<std::string>{"dismiss", "endTask", "dismiss"}));
    // Code 18 skips the checks of the strip and the pause button.
    s.m_type15Handled = false;
    s.onPointerUp(0, StoryModeScreen::k_panelSkipButton, onMap);
    EXPECT_EQ(s.calls.back(), "dismiss");
    EXPECT_FALSE(s.m_type15Handled);
    // With the pause overlay open no story step runs.
    s.calls.clear();
    s.m_pauseClosed = false;
    s.onPointerUp(0, 8, onMap);
    EXPECT_TRUE(s.calls.empty());
}

TEST_F(StoryModeScreenTest, TheFrameTurnsTheDialAndTheMapAndWritesOnlyALiveParticle)
{
    start({0});
    TestStoryScreen& s = screen();
    // The first quest of the test data times its interrupt at 60000 ms.
    s.setInterruptRunning(true);
    s.update(30000);
    EXPECT_FALSE(s.m_dialSecondFrame->isVisible());
    EXPECT_TRUE(s.m_dialFirstPointer->isVisible());
    s.update(30000);
    // The level's first task starts on the first frame.
    EXPECT_EQ(s.calls, (std::vector<std::string>{"startTask", "timeout"}));
    EXPECT_TRUE(s.m_dialSecondFrame->isVisible());
    s.setInterruptRunning(false);

    // A turn over takes 20 frames of 9 degrees.
    s.m_flipState = StoryModeScreen::k_flipTurning;
    for (int i = 0; i < 21; ++i)
        s.update(16);
    EXPECT_EQ(s.m_flipState, StoryModeScreen::k_flipUpsideDown);
    EXPECT_FLOAT_EQ(s.mapView()->rotation(), 180.0f);

    // The tier particle once retired is never written again.
    ParticleRecord* particle = s.m_tierPool->take();
    ASSERT_NE(particle, nullptr);
    s.setTierParticle(particle);
    s.onPointerMove(0, {10, 20});
    EXPECT_EQ(particle->x, 10 << 16);
    s.m_tierPool->release(*s.m_tierGroup, particle);
    particle->emitting = false;
    s.m_tierPool->update(16, *s.m_tierGroup);
    ASSERT_FALSE(particle->active);
    const int32_t x = particle->x;
    s.onPointerMove(0, {30, 40});
    s.m_hintCursor = true;
    particle->elapsed = 77;
    s.update(16);
    EXPECT_EQ(particle->x, x);
    EXPECT_EQ(particle->elapsed, 77);
    EXPECT_EQ(s.liveTierParticle(), nullptr);
    // Moves of pointers 2 and 3 never reach the common screen.
    const FPointI before = s.pointerPoint(0);
    s.onPointerMove(2, {5, 5});
    EXPECT_EQ(s.pointerPoint(0), before);
}

TEST_F(StoryModeScreenTest, FinishingAQuestRecordsOnlyThreeStarsOrMoreAndLeavesForTheWorldMap)
{
    start({0});
    module.beginNewProfile();
    module.saveData().newProfile()->name = FString("Tess");
    module.saveData().setEditProfileSlot(0);
    ASSERT_TRUE(module.commitNewProfile());
    TestStoryScreen& s = screen();
    LevelTimer* timer = session().getLevelTimer();
    ASSERT_NE(timer, nullptr);
    for (int stars : {2, 3}) {
        for (const auto& star : timer->stars())
            star->setState(StarMarker::k_passed);
        for (int i = 0; i < stars; ++i)
            timer->addStar(0.9);
        ASSERT_EQ(timer->countStarsLeft(), stars);
        session().structure().resetLastResult();
        module.screens.clear();
        s.startFinishTimer();
        s.m_awardsViewport->setVisible(true);
        s.update(60);
        EXPECT_FALSE(s.m_finishTimer.isActive());
        EXPECT_EQ(session().structure().lastResult().questId, stars >= 3 ? 0 : -1) << stars;
        EXPECT_EQ(module.pendingScreen(), k_worldMapScreen) << stars;
        EXPECT_EQ(module.screens, (std::vector<int32_t>{k_loadingScreen})) << stars;
        module.setPendingScreen(k_noScreen);
    }
}

TEST_F(StoryModeScreenTest, TheFirstWorldsTutorialStepsComeOnlyWithTheTutorialFlag)
{
    // A level of the first world played without the tutorial: only the
    // world's own steps are built, and none greets the player at the start.
    start({0});
    ASSERT_NE(screen().storyTeller(), nullptr);
    const auto& records = screen().storyTeller()->script().records();
    EXPECT_FALSE(records.empty());
    for (const StoryTaskRecord& record : records)
        EXPECT_NE(record.m_trigger, k_eventLevelReady) << record.m_orderKey;
}

TEST_F(StoryModeScreenTest, RestartAndEscapeLeaveOrPauseTheLevel)
{
    start({0}, 6);
    session().setSpecialQuest(true);
    TestStoryScreen& s = screen();
    s.onKeyDown(FKeyCode::k_escape);
    EXPECT_TRUE(module.isPauseRequested());
    FLayoutButton* restart = dynamic_cast<FLayoutButton*>(s.m_restartButton.get());
    ASSERT_NE(restart, nullptr);
    s.onRestartButton(*restart);
    // The tutorial quest restarts as quest 0 without its tutorial, through
    // the loading screen.
    EXPECT_EQ(session().currentQuestType(), 0);
    EXPECT_FALSE(session().isSpecialQuest());
    EXPECT_EQ(module.pendingScreen(), k_storyModeScreen);
    ASSERT_FALSE(module.screens.empty());
    EXPECT_EQ(module.screens.back(), k_loadingScreen);
    const Lines calls = module.take();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "stop all"), calls.end());
}

} // namespace

TEST_F(StoryModeScreenTest, TheStripListsTheTasksItemsAndAFindReachesItsEntry)
{
    start({0});
    TestStoryScreen& s = screen();
    HudPanel* panel = s.hudPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(s.getPlayerPanel(0), static_cast<HudEntryPanel*>(panel));
    // The first frame starts the task, which places its items.
    s.update(16);
    std::deque<SearchableObject*> listed;
    session().getSearchListState(listed);
    ASSERT_FALSE(listed.empty());
    // Every listed item has its entry on the strip, hosted by this screen.
    ASSERT_EQ(s.getPanelEntryCount(0), panel->entryCount());
    ASSERT_GT(panel->entryCount(), 0);
    for (SearchableObject* item : listed) {
        HudPanelEntry* entry = panel->findEntryByKey(item);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->screen(), static_cast<HudEntryHost*>(&s));
        EXPECT_EQ(entry->parent(), static_cast<FContainer*>(panel));
    }

    // A find on the map reaches the item's entry in the next frame: its count
    // drops with each of its items found and, the last one found, it
    // completes and leaves the strip.
    SearchableSprite& first = *s.getTaskSprites()->front();
    ASSERT_NE(first.item(), nullptr);
    HudPanelEntry* found = panel->findEntryByKey(first.item());
    FRefT<HudPanelEntry> entry;
    for (int32_t i = 0; i < panel->entryCount(); ++i) {
        if (panel->entryAt(i).get() == found) entry = panel->entryAt(i);
    }
    ASSERT_NE(entry.get(), nullptr);
    s.update(16);
    const int32_t entries = panel->entryCount();
    int32_t remaining = entry->remaining();
    ASSERT_GT(remaining, 0);
    for (const FRefT<SearchableSprite>& sprite : *s.getTaskSprites()) {
        if (sprite->item() == nullptr || panel->findEntryByKey(sprite->item()) != entry.get()) continue;
        EXPECT_FALSE(entry->isCompleted());
        static_cast<MapViewHost&>(s).reportSpriteFound(0, *sprite);
        s.update(16);
        EXPECT_EQ(entry->remaining(), --remaining);
    }
    EXPECT_EQ(remaining, 0);
    EXPECT_TRUE(entry->isCompleted());
    for (int i = 0; i < 60 && panel->entryCount() == entries; ++i)
        s.update(16);
    EXPECT_EQ(panel->entryCount(), entries - 1);
    EXPECT_EQ(panel->findEntryByKey(first.item()), nullptr);
}

TEST_F(StoryModeScreenTest, TheTimerBarFollowsTheLevelTimerFrameByFrame)
{
    start({0});
    TestStoryScreen& s = screen();
    FactoryContainerWidget* bar = s.timerBar();
    LevelTimer* timer = session().getLevelTimer();
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(timer, nullptr);
    const int32_t full = bar->barWidth();
    ASSERT_GT(full, 0);
    // The clock stands still, so each frame shows exactly the time set.
    timer->stopped = true;
    timer->setTotal(100000);
    timer->setElapsed(25000);
    s.update(16);
    EXPECT_EQ(bar->shownFill(), static_cast<int32_t>(full - full * 0.25f));
    EXPECT_FALSE(bar->isWarned());
    timer->setElapsed(60000);
    s.update(16);
    EXPECT_EQ(bar->shownFill(), static_cast<int32_t>(full - full * 0.6f));
    EXPECT_TRUE(bar->isWarned());
    // Time given back grows the bar again step by step.
    timer->setElapsed(30000);
    s.update(16);
    EXPECT_TRUE(bar->isRefilling());
    const int32_t target = static_cast<int32_t>(full - full * 0.3f);
    for (int i = 0; i < 200 && bar->isRefilling(); ++i)
        s.update(FactoryContainerWidget::k_refillStepMs);
    EXPECT_FALSE(bar->isRefilling());
    EXPECT_EQ(bar->shownFill(), target);
}
