// The story mode screen over folder 29: what it binds and gives back, the
// level set-up (run at the first activation, not at construction), the
// frame's story steps, the release routing, pause, restart and the end of a
// quest.
#include "game/GameDataTestSupport.h"
#include "game/gameplay/GameplayTestSupport.h"
#include "game/gameplay/StoryLevelTestSupport.h"

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
#include "game/gameplay/StoryHud.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/gameplay/StoryScript.h"
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

// Records the story features' calls the frame and the input make.
class StoryTestHud : public StoryHud
{
public:
    void setUpPanel() override { log.push_back("hud setUp"); }
    void startPanelSweep() override { log.push_back("hud sweep"); }
    void releasePanelHold() override { log.push_back("hud release"); }
    int32_t panelEntryCount() const override { return 7; }
    void initTimerBar(LevelTimer&) override { log.push_back("timer bar"); }
    void update(int32_t) override {}

    std::vector<std::string> log;
};

class TestStoryScreen : public StoryModeScreen
{
public:
    static inline StoryHud* nextHud = nullptr;

    TestStoryScreen() { setStoryHud(nextHud); }

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

class StoryModeScreenTest : public testing::Test, protected StoryLevel<TestStoryScreen>
{
protected:
    void start(std::vector<int> tasks, int questType = 1, bool withSession = true)
    {
        if (!loadQuest(std::move(tasks), questType, withSession)) {
            module.showScreen(k_storyModeScreen);
            module.take();
            return;
        }
        TestStoryScreen::nextHud = &hud;
        module.showScreen(k_storyModeScreen);
        TestStoryScreen::nextHud = nullptr;
        module.take();
    }

    StoryTestHud hud;
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
    EXPECT_EQ(hud.log, (std::vector<std::string>{"hud setUp", "timer bar"}));
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
    const auto* scene = s.worldScene().as<WorldScene>();
    ASSERT_NE(scene, nullptr);
    s.levelItems().setTaskTable(scene->getSpecialZibbo());
    s.levelItems().createSearchableSprites();
    std::deque<SearchableObject*> listed;
    session().getSearchListState(listed);
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
    EXPECT_EQ(s.calls, (std::vector<std::string>{"timeout"}));
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

TEST_F(StoryModeScreenTest, RestartAndEscapeLeaveOrPauseTheLevel)
{
    start({0}, 6);
    TestStoryScreen& s = screen();
    s.onKeyDown(FKeyCode::k_escape);
    EXPECT_TRUE(module.isPauseRequested());
    FLayoutButton* restart = dynamic_cast<FLayoutButton*>(s.m_restartButton.get());
    ASSERT_NE(restart, nullptr);
    s.onRestartButton(*restart);
    // The tutorial quest restarts as quest 0, through the loading screen.
    EXPECT_EQ(session().currentQuestType(), 0);
    EXPECT_EQ(module.pendingScreen(), k_storyModeScreen);
    ASSERT_FALSE(module.screens.empty());
    EXPECT_EQ(module.screens.back(), k_loadingScreen);
    const Lines calls = module.take();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "stop all"), calls.end());
}

} // namespace
