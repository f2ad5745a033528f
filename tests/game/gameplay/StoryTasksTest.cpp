// The story tasks and the found-item flow of the story mode screen over the
// first world's scene: a quest played from its first task to the world map
// with a fake clock only, the dialog tasks whose line cannot be heard, the
// combo step, the random negative power-up and the tier effect's release.
#include "game/GameDataTestSupport.h"
#include "game/gameplay/GameplayTestSupport.h"
#include "support/ScreenFiles.h"

#include "asset/FRawDataModule.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSaveData.h"
#include "game/core/GameSession.h"
#include "game/core/LevelTimer.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/Quest.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "game/core/SearchListGenerator.h"
#include "game/core/SearchableObject.h"
#include "game/core/StoryEvent.h"
#include "game/core/TaskType.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/gameplay/StoryScript.h"
#include "game/widgets/AwardsViewport.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/MapView.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/SearchableSprite.h"
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

void writeTasksFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The first world's folder with 200 x 200 background tiles, its search data
// and an animation table without animations.
struct TasksWorldFiles
{
    explicit TasksWorldFiles(const std::filesystem::path& scratch)
    {
        writeScreenFiles(WORLD_MANIFESTS "/036.lua", scratch);
        std::vector<uint8_t> rgba;
        for (int32_t i = 0; i < 200 * 200; ++i)
            rgba.insert(rgba.end(), {90, 140, 200, 255});
        const std::vector<uint8_t> tile = writePng(PngPicture::rgba(200, 200, rgba));
        for (int id = 20001; id <= 20096; ++id)
            writeTasksFile(scratch / assetFileName(36, id, ".png"), {tile.begin(), tile.end()});
        writeTasksFile(scratch / assetFileName(25, 6582, ".dat"),
                       GameDataText::searchData(
                           0, {{"ZIBBOS", {{"World01Zibbo01"}, {"World01Zibbo02"}, {"World01Zibbo03"}}},
                               {"PICTURES", GameDataText::numbered("World01Picture", 8)},
                               {"PICTUREMULTIPLES", GameDataText::numbered("World01Picture", 2, 3)},
                               {"VIGNETTES", {{"World01Vignette01"}}},
                               {"DRABBS", {{"World01SpecialDrabb01"}}},
                               {"HINTS", {{"World01Hint01"}}}}));
        writeTasksFile(scratch / assetFileName(12, 6644, ".dat"),
                       "<root><World0><Anims count=\"0\"></Anims></World0></root>");
    }
};

// The story panel's widget class is other work's: a container stands in.
struct TasksPanelStandIn
{
    TasksPanelStandIn()
    {
        FWidgetFactory::registerType(FWidgetTypes::k_storyPanel, &FWidgetFactory::createChild<FContainer>);
    }
};

// Notes the events the screen hands to its script; no record ever runs.
class TasksTestScript : public StoryScript
{
public:
    void buildWorldTaskScript(int32_t, bool, bool) override {}
    void update(int32_t) override {}
    bool isRecordRunning() const override { return false; }
    bool recordHasSpeaker() const override { return false; }
    void hidePanel() override {}
    bool triggerEvent(int32_t code) override
    {
        events.push_back(code);
        return false;
    }

    std::vector<int32_t> events;
};

class TasksTestScreen : public StoryModeScreen
{
public:
    static inline StoryScript* nextScript = nullptr;

    TasksTestScreen() { setStoryScript(nextScript); }
};

class StoryTasksTest : public testing::Test, protected HostedScreen<TasksTestScreen>
{
protected:
    void start(std::vector<int> tasks, int questType = 1)
    {
        module.run();
        if (module.getGameSession().get() == nullptr) {
            module.getSaveManager()->attachDefaultFileSystem();
            module.initSaveData();
        }
        FLocalizedMessages::setLanguage(0);
        ASSERT_NE(module.getGameSession().get(), nullptr);
        GameSession& play = *module.getGameSession();
        GameDataText::QuestText quest;
        quest.type = questType;
        quest.tasks = std::move(tasks);
        play.loadGameStructure(xmlStream(GameDataText::gameData({{GameDataText::quest(quest)}})));
        play.setMode(0);
        play.setCurrentWorld(0, &play.structure().worlds()[0]);
        play.selectQuest(questType);
        TasksTestScreen::nextScript = &script;
        module.showScreen(k_storyModeScreen);
        TasksTestScreen::nextScript = nullptr;
        module.take();
    }

    GameSession& session() { return *module.getGameSession(); }
    int32_t taskType() { return session().getCurrentTaskType(); }

    // Frames of `ms` each until `done` or the frame budget runs out.
    template <class Done> bool runUntil(Done done, int32_t frames = 400, int32_t ms = 16)
    {
        for (int32_t i = 0; i < frames && !done(); ++i)
            screen().update(ms);
        return done();
    }

    // A short click on the middle of the sprite: press, 100 ms, release. Its
    // HUD entry is made active first, as the HUD entries' refresh makes the
    // entries in play.
    void click(SearchableSprite& sprite)
    {
        if (HudPanelEntry* entry = sprite.panelEntry()) entry->setActive(true);
        const FPointI centre = FWidget::getRectCenter(sprite.rect());
        sprite.onPointerDown(0, 8, centre);
        sprite.update(100);
        sprite.onPointerUp(0, 8, centre);
    }

    TasksWorldFiles worldFiles{scratch.path()};
    FRawDataModule rawData;
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    TasksPanelStandIn standIn;
    TasksTestScript script;
};

TEST_F(StoryTasksTest, AQuestOfAPictureSearchAndTheAwardsPlaysToTheWorldMap)
{
    start({6, 18});
    module.beginNewProfile();
    module.saveData().newProfile()->name = FString("Tess");
    module.saveData().setEditProfileSlot(0);
    ASSERT_TRUE(module.commitNewProfile());
    TasksTestScreen& s = screen();
    LevelTimer* timer = session().getLevelTimer();
    ASSERT_NE(timer, nullptr);
    // Three stars are still held when the level ends.
    for (int i = 0; i < 3; ++i)
        timer->addStar(0.95);

    // The level's search list is ready: its task starts on a later frame.
    EXPECT_TRUE(s.m_taskStartRequest);
    EXPECT_TRUE(s.getTaskSprites()->empty());
    s.update(16);
    EXPECT_FALSE(s.m_taskStartRequest);
    ASSERT_EQ(taskType(), k_taskPictureSearch);
    EXPECT_EQ(script.events, (std::vector<int32_t>{k_eventPictureSearchStarted}));
    EXPECT_TRUE(timer->started);
    std::deque<SearchableObject*> listed;
    session().getSearchListState(listed);
    ASSERT_FALSE(listed.empty());
    ASSERT_EQ(s.getTaskSprites()->size(), listed.size());

    // Each click finds its item at once; the last one ends the search after
    // the generator's end delay.
    const std::deque<FRefT<SearchableSprite>> sprites = *s.getTaskSprites();
    for (const FRefT<SearchableSprite>& sprite : sprites) {
        click(*sprite);
        EXPECT_EQ(sprite->item()->state(), SearchableObject::k_stateFound);
        s.update(16);
    }
    ASSERT_TRUE(runUntil([&] { return taskType() == k_taskAwards; }));
    // The ended search took its sprites off the map and stopped the clock.
    EXPECT_TRUE(s.getTaskSprites()->empty());
    for (const FRefT<SearchableSprite>& sprite : sprites)
        EXPECT_EQ(sprite->parent(), nullptr);

    // The awards task starts on the next frame and shows the viewport.
    ASSERT_TRUE(runUntil([&] { return s.m_awardsViewport->isVisible(); }, 3));
    EXPECT_FALSE(s.m_taskStartRequest);
    EXPECT_FALSE(s.m_endImage->isVisible());
    // The viewport's end ends the task: the end image fades in over 500 ms,
    // then the finish timer's 50 ms lead to the world map.
    module.screens.clear();
    s.endTask();
    EXPECT_TRUE(s.m_endImage->isVisible());
    s.update(250);
    EXPECT_TRUE(module.screens.empty());
    ASSERT_TRUE(runUntil([&] { return !module.screens.empty(); }, 40, 25));
    EXPECT_EQ(module.screens, (std::vector<int32_t>{k_loadingScreen}));
    EXPECT_EQ(module.pendingScreen(), k_worldMapScreen);
    EXPECT_EQ(session().structure().lastResult().questId, 0);
    // The profile keeps the stars (three or more) as its quest state, stars + 1.
    EXPECT_GE(timer->countStarsLeft(), 3);
    EXPECT_EQ(session().structure().lastResult().state, timer->countStarsLeft() + 1);
}

class StoryDialogTaskTest : public StoryTasksTest, public testing::WithParamInterface<int>
{
};

TEST_P(StoryDialogTaskTest, ADialogTaskWhoseLineCannotBeHeardEndsAtOnce)
{
    start({GetParam(), 6});
    TasksTestScreen& s = screen();
    s.update(16);
    // The task has no line to speak: nothing would ever call back, so it
    // asks for its end as a heard line does, and the search comes next.
    ASSERT_TRUE(runUntil([&] { return taskType() == k_taskPictureSearch; }, 5)) << taskType();
    ASSERT_TRUE(runUntil([&] { return !s.getTaskSprites()->empty(); }, 5));
}

INSTANTIATE_TEST_SUITE_P(DialogTypes, StoryDialogTaskTest,
                         testing::Values(k_taskDialogLine, k_taskDialogLineSecond));

TEST_F(StoryTasksTest, APressOnTheMapEndsADialogLineThatIsStillPlaying)
{
    start({k_taskDialogLine, 6});
    TasksTestScreen& s = screen();
    s.update(16);
    ASSERT_EQ(taskType(), k_taskDialogLine);
    // As while its line plays: no end has been asked for yet.
    s.m_taskStepRequest = false;
    s.update(16);
    EXPECT_EQ(taskType(), k_taskDialogLine);
    s.onPointerUp(0, 8, {300, 200});
    s.update(16);
    EXPECT_EQ(taskType(), k_taskPictureSearch);
}

TEST_F(StoryTasksTest, AScrollTaskWithoutItemsStartsWithoutASparkle)
{
    // The world's search data holds no scroll: the task has no last item.
    start({k_taskFindScroll, 6});
    TasksTestScreen& s = screen();
    s.update(16);
    EXPECT_EQ(taskType(), k_taskFindScroll);
    EXPECT_TRUE(s.getTaskSprites()->empty());
    EXPECT_EQ(script.events, (std::vector<int32_t>{k_eventScrollTaskStarted}));
    EXPECT_TRUE(session().getLevelTimer()->started);
}

TEST_F(StoryTasksTest, ComboStepsRiseToNineAndEachPlaysOneOfTheThreeSounds)
{
    start({6});
    TasksTestScreen& s = screen();
    module.soundNames = {{"combo1", s.m_comboSound1.get()},
                         {"combo2", s.m_comboSound2.get()},
                         {"combo3", s.m_comboSound3.get()}};
    LevelTimer& timer = *session().getLevelTimer();
    for (int i = 0; i < 7; ++i)
        s.addComboStep();
    EXPECT_EQ(timer.comboLevel(), 8);
    module.take();
    GameRandom::srand(11);
    for (int i = 0; i < 3; ++i) {
        s.addComboStep();
        EXPECT_EQ(timer.comboLevel(), LevelTimer::k_maxComboLevel);
    }
    const Lines sounds = module.take();
    ASSERT_EQ(sounds.size(), 3u);
    for (const std::string& line : sounds)
        EXPECT_TRUE(line == "sound combo1 at 63" || line == "sound combo2 at 63" ||
                    line == "sound combo3 at 63")
            << line;
    // The pinned source replays the same sounds (no frame runs between the
    // steps: the frame's own effects draw from the same source).
    timer.addComboStep();
    GameRandom::srand(11);
    for (int i = 0; i < 3; ++i)
        s.addComboStep();
    EXPECT_EQ(module.take(), sounds);
}

TEST_F(StoryTasksTest, TheRandomNegativePowerUpFollowsThePinnedSourceAndKeepsTheOtherSlot)
{
    start({6});
    TasksTestScreen& s = screen();
    GameSession& play = session();
    std::vector<int32_t> dealt;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        play.cancelAllPowerUps();
        ActivePowerUp* other = play.addActivePowerUp(1);
        other->setSlot(1);
        play.setPowerUpSlot(other, true);
        ActivePowerUp* held = play.addActivePowerUp(0);
        play.setPowerUpSlot(held, true);
        const int32_t heldId = held->uniqueId();
        GameRandom::srand(seed);
        s.grantRandomNegativePowerUp();
        ActivePowerUp* fired = play.powerUpSlot(0);
        ASSERT_NE(fired, nullptr);
        EXPECT_NE(fired->uniqueId(), heldId);
        EXPECT_EQ(fired->state(), ActivePowerUp::k_stateUsed);
        EXPECT_EQ(fired->previousState(), ActivePowerUp::k_stateCreated);
        EXPECT_EQ(play.powerUpSlot(1), other);
        dealt.push_back(fired->kind());
        // The same seed deals the same kind.
        play.cancelAllPowerUps();
        GameRandom::srand(seed);
        s.grantRandomNegativePowerUp();
        ASSERT_NE(play.powerUpSlot(0), nullptr);
        EXPECT_EQ(play.powerUpSlot(0)->kind(), dealt.back());
    }
    // The game data's negative list is {3, 4}: the shuffle reaches both.
    EXPECT_NE(std::find(dealt.begin(), dealt.end(), 3), dealt.end());
    EXPECT_NE(std::find(dealt.begin(), dealt.end(), 4), dealt.end());
    for (int32_t kind : dealt)
        EXPECT_TRUE(kind == 3 || kind == 4) << kind;
}

TEST_F(StoryTasksTest, TheTierEffectTintsByTierAndNeverWritesAParticleItGaveBack)
{
    start({6});
    TasksTestScreen& s = screen();
    const uint32_t tints[] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF00B4FFu, 0xFFFFD800u, 0xFFFF9000u, 0xFFED0000u};
    for (int32_t tier = 0; tier < 6; ++tier) {
        s.playTierEffect(tier);
        ParticleRecord* particle = s.liveTierParticle();
        ASSERT_NE(particle, nullptr) << tier;
        EXPECT_TRUE(particle->useColour);
        EXPECT_EQ(particle->colour, tints[tier]) << tier;
        EXPECT_EQ(particle->rate, 10 + 5 * tier);
        EXPECT_EQ(particle->emitDuration, 10000);
    }
    ParticleRecord* given = s.liveTierParticle();
    s.playTierEffect(6);
    EXPECT_EQ(s.liveTierParticle(), nullptr);
    // Another effect takes the record back from the pool; a second switch-off
    // must leave it alone.
    ParticleRecord* other = s.m_tierPool->take();
    ASSERT_EQ(other, given);
    other->colour = 0x12345678u;
    other->useColour = false;
    s.playTierEffect(6);
    s.setHintCursor(false);
    EXPECT_TRUE(other->active);
    EXPECT_EQ(other->colour, 0x12345678u);
    EXPECT_FALSE(other->useColour);
}

} // namespace

namespace {

TEST_F(StoryTasksTest, EachReportedFindSendsOneStreamOfTimerParticlesAfterTheFoundSound)
{
    start({6});
    TasksTestScreen& s = screen();
    s.update(16);
    ASSERT_GE(s.getTaskSprites()->size(), 2u);
    module.soundNames = {{"found", s.m_foundSound.get()}};
    module.take();
    SearchableSprite& first = *s.getTaskSprites()->at(0);
    s.mapView()->reportSpriteFound(first);
    EXPECT_EQ(first.item()->state(), SearchableObject::k_stateFound);
    s.sendTimerParticles(200, 550, 0);
    const ParticleEmitter* stream = s.foundItemFlow().emitter(FoundItemFlow::k_timerStream);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->startX, 200);
    EXPECT_EQ(stream->startY, 550);
    // It flies to the middle of the timer bar's cap.
    FWidget& capWidget = *s.m_timerEndCap;
    FPointI cap = capWidget.getWidgetCenter();
    if (FContainer* parent = capWidget.parent()) {
        const FPointI origin = parent->getAbsolutePosition();
        cap = {cap.x + origin.x, cap.y + origin.y};
    }
    EXPECT_EQ(stream->endX, cap.x);
    EXPECT_EQ(stream->endY, cap.y);
    // A second completed entry before the next find sends none...
    s.sendTimerParticles(300, 550, 0);
    EXPECT_EQ(s.foundItemFlow().emitter(FoundItemFlow::k_timerStream), stream);
    // ...the next find sends one again.
    s.mapView()->reportSpriteFound(*s.getTaskSprites()->at(1));
    s.sendTimerParticles(300, 550, 0);
    ASSERT_NE(s.foundItemFlow().emitter(FoundItemFlow::k_timerStream), nullptr);
    EXPECT_EQ(s.foundItemFlow().emitter(FoundItemFlow::k_timerStream)->startX, 300);
    EXPECT_EQ(module.take(), (Lines{"sound found at 63", "sound found at 63", "sound found at 63"}));
}

TEST_F(StoryTasksTest, TheSpecialFindPausesTheClockAndCommitsTheItemWhenItsAnimationEnds)
{
    start({k_taskFindDrabb, 6});
    TasksTestScreen& s = screen();
    s.update(16);
    ASSERT_EQ(taskType(), k_taskFindDrabb);
    EXPECT_EQ(script.events, (std::vector<int32_t>{k_eventDrabbTaskStarted}));
    ASSERT_FALSE(s.getTaskSprites()->empty());
    FRefT<SearchableSprite> sprite = s.getTaskSprites()->front();
    LevelTimer& timer = *session().getLevelTimer();
    EXPECT_TRUE(timer.started);
    // A find of this task type goes to the special animation.
    s.playSpecialFoundAnimation(*sprite);
    EXPECT_EQ(s.foundItemFlow().specialFindSprite(), sprite.get());
    EXPECT_FALSE(timer.started);
    EXPECT_TRUE(s.m_overlayContainer->isVisible());
    // Found only once the animation has played.
    EXPECT_EQ(sprite->item()->state(), SearchableObject::k_stateListed);
    ASSERT_TRUE(runUntil([&] { return sprite->item()->state() == SearchableObject::k_stateFound; }, 200, 50));
    EXPECT_TRUE(timer.started);
    EXPECT_FALSE(s.m_overlayContainer->isVisible());
    EXPECT_EQ(s.foundItemFlow().specialFindSprite(), nullptr);
    // Its end ends the task after the generator's delay, raising event 16.
    ASSERT_TRUE(runUntil([&] { return taskType() == k_taskPictureSearch; }, 200, 50));
    EXPECT_NE(std::find(script.events.begin(), script.events.end(), k_eventDrabbTaskEnded),
              script.events.end());
}

} // namespace
