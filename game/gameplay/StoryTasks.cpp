#include "game/gameplay/StoryTasks.h"

#include "core/FMemory.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameSession.h"
#include "game/core/LevelTimer.h"
#include "game/core/Quest.h"
#include "game/core/SearchableObject.h"
#include "game/core/StoryEvent.h"
#include "game/core/TaskData.h"
#include "game/core/TaskData_StoryLines.h"
#include "game/core/TaskType.h"
#include "game/gameplay/StoryAudio.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/gameplay/StoryScript.h"
#include "game/widgets/AwardsViewport.h"
#include "game/widgets/CharacterVideoSprite.h"
#include "game/widgets/FadeSwapWidget.h"
#include "game/widgets/MapView.h"
#include "game/widgets/SearchableSprite.h"
#include "game/widgets/VideoSprite.h"
#include "game/widgets/WidgetGeometry.h"
#include "game/worlds/NamedRefMap.h"
#include "game/worlds/WorldScene.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "video/FVideo.h"

#include <string>

StoryTasks::StoryTasks(StoryModeScreen& screen) : m_screen(screen)
{
    auto* followUp = makeMemberDelegate(this, &StoryTasks::onSwapFollowUp);
    m_swapFollowUp.setCompletion(followUp);
    engineFree(followUp);
}

StoryTasks::~StoryTasks()
{
    m_swapFollowUp.setCompletion(nullptr);
    if (auto* swap = dynamic_cast<FadeSwapWidget*>(m_screen.m_fadeSwap.get())) swap->setOnFinished(nullptr);
}

const NamedAssetMap* StoryTasks::itemTableFor(int32_t type, const WorldScene& scene)
{
    switch (type) {
    case k_taskFindZibbo:
    case k_taskFindZibboSecondForm:
        return scene.getSpecialZibbo();
    case k_taskFindStarmantle:
        return scene.getSpecialStarmantle();
    case k_taskFindVessa:
        return scene.getSpecialVessa();
    case k_taskFindTuff:
        return scene.getSpecialTuff();
    case k_taskFindDrabb:
        return scene.getSpecialDrabb();
    case k_taskPictureSearch:
        return scene.getPictures();
    case k_taskFindScroll:
        return scene.getSpecialScroll();
    case k_taskFindPhotographs:
        return scene.getPhotographs();
    case k_taskFindCreatures:
    case k_taskFindCreaturesSecond:
    case k_taskFindCreaturesThird:
        return scene.getCreatures();
    case k_taskFindWatchers:
        return scene.getWatchers();
    case k_taskFindTravelers:
        return scene.getTravelers();
    default:
        return nullptr;
    }
}

int32_t StoryTasks::starsLeft() const
{
    GameSession* play = m_screen.session();
    LevelTimer* timer = play != nullptr ? play->getLevelTimer() : nullptr;
    return timer != nullptr ? timer->countStarsLeft() : 0;
}

void StoryTasks::setTimerRunning(bool running)
{
    GameSession* play = m_screen.session();
    if (LevelTimer* timer = play != nullptr ? play->getLevelTimer() : nullptr) timer->started = running;
}

void StoryTasks::setLevelTimerPaused(bool paused)
{
    GameSession* play = m_screen.session();
    if (LevelTimer* timer = play != nullptr ? play->getLevelTimer() : nullptr) timer->stopped = paused;
}

void StoryTasks::buildTaskItems(const NamedAssetMap* table)
{
    m_screen.m_levelItems.setTaskTable(table);
    m_screen.m_levelItems.createSearchableSprites();
}

void StoryTasks::blockFirstTaskItem()
{
    if (!m_screen.m_taskSprites.empty()) m_screen.m_taskSprites.front()->setLocked(true);
}

void StoryTasks::releaseTaskItems()
{
    for (const FRefT<SearchableSprite>& sprite : m_screen.m_taskSprites) {
        sprite->setVisible(false);
        if (FContainer* parent = sprite->parent()) {
            parent->removeChild(sprite.get());
            sprite->setParentLink(nullptr);
        }
    }
    m_screen.m_taskSprites.clear();
}

void StoryTasks::onSearchListReady()
{
    if (!m_screen.m_levelReady) return;
    m_screen.playShakeEffect(0);
    m_screen.CommonUIScreen::onSearchListReady();
    m_screen.m_taskStartRequest = true;
    const int32_t type = m_screen.currentTaskType();
    if (type >= k_taskFindZibbo && type <= k_taskVoiceThenSearch && !StoryAudio::isMusicPlaying())
        startMusic();
    if (type == k_taskFindZibboSecondForm) {
        if (m_screen.m_speakerFrame.get() != nullptr && m_screen.m_speakerFrame->isVisible())
            m_screen.hideSpeaker();
        startSwapAnimation();
    }
    if (CharacterVideoSprite* character = m_screen.characterSprite()) character->playPose(0, true);
    if (MapView* map = m_screen.mapView()) map->clearPendingSprite();
    m_screen.setHintCursor(false);
}

void StoryTasks::startMusic()
{
    const auto* scene = m_screen.worldScene().as<WorldScene>();
    const FRef ambience = scene != nullptr ? scene->getAmbientSound() : FRef();
    switch (m_screen.questType()) {
    case k_questSecondSet:
        StoryAudio::playMusic(m_screen.m_questOneMusic, true);
        StoryAudio::playAmbientSound(ambience);
        break;
    case k_questDifferences:
        StoryAudio::playMusic(m_screen.m_questTwoMusic, true);
        break;
    case k_questInterrupt:
        StoryAudio::playMusic(m_screen.m_interruptMusic, true);
        StoryAudio::playAmbientSound(ambience);
        break;
    default:
        if (scene != nullptr) StoryAudio::playMusic(scene->getMusic(), true);
        StoryAudio::playAmbientSound(ambience);
        break;
    }
}

void StoryTasks::startSwapAnimation()
{
    auto* swap = dynamic_cast<FadeSwapWidget*>(m_screen.m_fadeSwap.get());
    if (swap != nullptr) {
        swap->start();
        swap->bringToFront();
    }
    m_screen.startSwapSparkles();
    if (MapView* map = m_screen.mapView()) map->setInputBlocked(false);
}

void StoryTasks::onSwapFinished(FadeSwapWidget&)
{
    m_swapFollowUp.start(k_swapFollowUpMs);
}

void StoryTasks::onSwapFollowUp()
{
    m_screen.raiseStoryEvent(k_eventSwapFollowUp);
}

void StoryTasks::onOverlayFinished(VideoSprite&)
{
    m_screen.onTaskStepDone();
}

void StoryTasks::update(int32_t elapsedMs)
{
    m_swapFollowUp.update(elapsedMs);
}

void StoryTasks::startTask()
{
    m_screen.m_taskStartRequest = false;
    const int32_t type = m_screen.currentTaskType();
    GameSession* play = m_screen.session();
    const auto* scene = m_screen.worldScene().as<WorldScene>();
    const int32_t quest = m_screen.questType();
    auto tableOf = [&](int32_t task) { return scene != nullptr ? itemTableFor(task, *scene) : nullptr; };
    switch (type) {
    case k_taskFindZibbo:
        buildTaskItems(tableOf(type));
        if (quest == k_questTutorial && play != nullptr && play->currentWorldIndex() == 0)
            blockFirstTaskItem();
        setTimerRunning(true);
        if (quest == k_questTutorial) m_screen.raiseStoryEvent(k_eventTutorialZibboTaskStarted);
        break;
    case k_taskFindVessa:
    case k_taskFindTuff:
    case k_taskFindZibboSecondForm:
    case k_taskFindCreatures:
    case k_taskFindCreaturesSecond:
    case k_taskFindWatchers:
    case k_taskFindTravelers:
    case k_taskFindCreaturesThird:
        buildTaskItems(tableOf(type));
        setTimerRunning(true);
        break;
    case k_taskFindStarmantle:
        buildTaskItems(tableOf(type));
        setTimerRunning(true);
        if (quest == k_questTutorial) {
            startSwapAnimation();
            if (auto* swap = dynamic_cast<FadeSwapWidget*>(m_screen.m_fadeSwap.get())) {
                auto* finished = makeMemberDelegate(this, &StoryTasks::onSwapFinished);
                swap->setOnFinished(finished);
                engineFree(finished);
            }
        }
        break;
    case k_taskFindDrabb: {
        const bool started = m_screen.raiseStoryEvent(k_eventDrabbTaskStarted);
        if (!started) {
            m_screen.hideSpeaker();
            m_screen.setDimmed(false, -1);
        }
        buildTaskItems(tableOf(type));
        if (started) blockFirstTaskItem();
        setTimerRunning(true);
        break;
    }
    case k_taskPictureSearch:
        buildTaskItems(tableOf(type));
        m_screen.rebuildPowerUpViews();
        m_screen.raiseStoryEvent(k_eventPictureSearchStarted);
        setTimerRunning(true);
        if (quest == k_questTutorial && scene != nullptr) StoryAudio::playMusic(scene->getMusic(), false);
        break;
    case k_taskFindScroll: {
        m_screen.raiseStoryEvent(k_eventScrollTaskStarted);
        buildTaskItems(tableOf(type));
        setTimerRunning(true);
        // A scroll task without items has no last item to sparkle over.
        MapView* map = m_screen.mapView();
        if (map != nullptr && !m_screen.m_taskSprites.empty())
            map->spawnSpriteEmitter(m_screen.m_taskSprites.back().get(),
                                    m_screen.m_longHint ? k_longHintEmitterMs : k_hintEmitterMs);
        break;
    }
    case k_taskFindPhotographs: {
        const bool started = m_screen.raiseStoryEvent(k_eventPhotographTaskStarted);
        if (!started) {
            m_screen.hideSpeaker();
            m_screen.setDimmed(false, -1);
        }
        buildTaskItems(tableOf(type));
        m_screen.rebuildPowerUpViews();
        setTimerRunning(true);
        break;
    }
    case k_taskSpotDifferences:
        buildTaskItems(m_screen.m_levelItems.taskTable());
        setTimerRunning(true);
        if (m_screen.m_overlayImageGroup.get() != nullptr) m_screen.m_overlayImageGroup->setVisible(false);
        if (m_screen.m_overlayImage.get() != nullptr) m_screen.m_overlayImage->setVisible(false);
        if (MapView* second = m_screen.m_secondMapView.get();
            second != nullptr && m_screen.mapView() != nullptr)
            second->placeBelow(*m_screen.mapView());
        m_screen.setPanelInputLock(true);
        for (const FRef* image :
             {&m_screen.m_differenceMarker01, &m_screen.m_differenceMarker02, &m_screen.m_differenceMarker03,
              &m_screen.m_differenceMarker04, &m_screen.m_differenceMarker05, &m_screen.m_differenceMarker06,
              &m_screen.m_differenceMarker07, &m_screen.m_differenceMarker08, &m_screen.m_differenceMarker09,
              &m_screen.m_differenceMarker10, &m_screen.m_differenceMarker11, &m_screen.m_differenceMarker12})
            m_screen.m_stepImages.push_back(*image);
        m_screen.setDimmed(true, -1);
        m_screen.speakWithSpeaker(m_dialogSample);
        setLevelTimerPaused(true);
        break;
    case k_taskVoiceThenSearch:
        m_screen.m_forcedClickStep = true;
        setTimerRunning(false);
        m_screen.m_type15Handled = false;
        startDialogLine();
        break;
    case k_taskDimmedPause:
        if (m_screen.m_dimmerHost.get() != nullptr) m_screen.m_dimmerHost->bringToFront();
        m_screen.setDimmed(true, -1);
        m_screen.endTask();
        break;
    case k_taskDialogLine:
    case k_taskDialogLineSecond:
        startDialogLine();
        break;
    case k_taskAwards: {
        if (FLabel* label = m_screen.m_taskLabel.get()) label->setColor(k_awardsLabelColour);
        if (ZibboUserInterface* module = ZibboUserInterface::getInstance()) module->stopAllSounds();
        if (auto* awards = dynamic_cast<AwardsViewport*>(m_screen.m_awardsViewport.get())) {
            awards->initialize(starsLeft());
            awards->setVisible(true);
            awards->bringToFront();
        }
        m_screen.m_taskStepRequest = false;
        if (MapView* map = m_screen.mapView()) {
            map->stopSpriteEmitter();
            map->cancelDrag();
        }
        break;
    }
    case k_taskOverlayAnimation: {
        if (FContainer* overlay = m_screen.m_overlayContainer.get()) {
            overlay->setVisible(true);
            overlay->bringToFront();
        }
        auto* sprite = dynamic_cast<VideoSprite*>(m_screen.m_overlayVideo.get());
        if (sprite == nullptr) break;
        sprite->setVideo(FRefT<FVideo>(m_screen.m_zibboFoundClip), false);
        sprite->setLoops(-1);
        const FPointI size = m_screen.getMapViewSize();
        sprite->setWidgetSize(size.x, size.y);
        sprite->setFrameRate(k_overlayFps);
        sprite->setFrameTime(k_overlayFrameMs);
        auto* done = makeMemberDelegate(this, &StoryTasks::onOverlayFinished);
        sprite->setFinishCallback(done);
        engineFree(done);
        sprite->setVisible(true);
        sprite->play(false);
        break;
    }
    default:
        // 19 has nothing to do; a type outside the vocabulary starts nothing.
        break;
    }
    if (type >= k_taskFindZibbo && type < k_firstLateTaskType && !m_screen.m_taskSprites.empty())
        m_screen.refreshEntriesWithHint(0);
}

void StoryTasks::startDialogLine()
{
    GameSession* play = m_screen.session();
    Quest* quest = play != nullptr ? play->currentQuest() : nullptr;
    if (play == nullptr || quest == nullptr) return;
    const bool late = quest->onlyLateTasksLeft();
    if (late && starsLeft() < k_lineStars) {
        play->checkSearchProgress();
        return;
    }
    TaskData* task = quest->getCurrentTask();
    const auto* lines = dynamic_cast<const TaskData_StoryLines*>(task);
    const std::string name = lines != nullptr ? lines->pickRandomSample() : std::string();
    const FRef* found = name.empty() ? nullptr : m_screen.m_voiceSamples.find(name);
    const FRef sample = found != nullptr ? *found : FRef();
    if (sample.get() != nullptr && name == k_storyTrackLine)
        StoryAudio::playMusic(m_screen.m_storyTrack, false);
    const int32_t questType = m_screen.questType();
    const int32_t world = play->currentWorldIndex();
    if (questType == k_questDifferences) {
        play->checkSearchProgress();
        m_dialogSample = sample;
        return;
    }
    if ((world == 1 && questType == k_questSecondSet) || (world == 0 && questType == k_questInterrupt)) {
        play->checkSearchProgress();
        return;
    }
    const bool dimmerHidden = m_screen.m_dimmer.get() == nullptr || !m_screen.m_dimmer->isVisible();
    const bool large = task != nullptr && task->usesLargeCharacter();
    // A line that cannot be heard never calls back: the task would wait for
    // ever, so it ends as if the line had been heard.
    if (sample.get() == nullptr) {
        m_screen.m_taskStepRequest = true;
        return;
    }
    if (dimmerHidden && !large) {
        if (CharacterVideoSprite* character = m_screen.characterSprite()) character->playPose(1, true);
        if (!StoryAudio::playVoice(sample)) {
            m_screen.m_taskStepRequest = true;
            return;
        }
        auto* done = makeMemberDelegate(&m_screen, &StoryModeScreen::onVoiceDone);
        StoryAudio::setVoiceFinishedCallback(done);
        engineFree(done);
        return;
    }
    if (questType == k_questSecondSet) {
        if (VideoSprite* speaker = m_screen.largeCharacter()) {
            speaker->setVideo(FRefT<FVideo>(m_screen.m_speakerAClip2), false);
            speaker->setLoops(-1);
        }
    }
    m_screen.speakWithSpeaker(sample);
}

void StoryTasks::endTask()
{
    m_screen.playShakeEffect(0);
    GameSession* play = m_screen.session();
    const int32_t type = m_screen.currentTaskType();
    switch (type) {
    case k_taskFindZibbo:
    case k_taskFindStarmantle:
    case k_taskFindVessa:
    case k_taskFindTuff:
    case k_taskFindDrabb:
    case k_taskFindZibboSecondForm:
    case k_taskPictureSearch:
    case k_taskFindScroll:
    case k_taskFindPhotographs:
    case k_taskFindCreatures:
    case k_taskFindCreaturesSecond:
    case k_taskFindWatchers:
    case k_taskFindTravelers:
    case k_taskFindCreaturesThird:
        if (type == k_taskFindDrabb) m_screen.raiseStoryEvent(k_eventDrabbTaskEnded);
        if (type == k_taskFindScroll) {
            if (MapView* map = m_screen.mapView()) map->stopSpriteEmitter();
        }
        releaseTaskItems();
        setTimerRunning(false);
        m_screen.returnPanelToRest();
        break;
    case k_taskSpotDifferences:
        if (play != nullptr) play->checkSearchProgress();
        break;
    case k_taskVoiceThenSearch:
    case k_taskDialogLine:
    case k_taskDialogLineSecond:
        if (type == k_taskVoiceThenSearch) {
            m_screen.m_forcedClickStep = false;
            StoryAudio::stopVoice();
        }
        if (play != nullptr) play->checkSearchProgress();
        if (m_screen.currentTaskType() == k_taskVoiceThenSearch) break;
        m_screen.hideSpeaker();
        m_screen.setDimmed(false, -1);
        StoryAudio::stopVoice();
        if (FImageWidget* cover = m_screen.m_clickCover.get()) {
            cover->setVisible(false);
            sendToBack(*cover);
        }
        m_screen.setFocus(nullptr);
        break;
    case k_taskDimmedPause:
        m_screen.onGameReady();
        break;
    case k_taskAwards:
        if (play != nullptr) play->cancelAllPowerUps();
        if (ZibboUserInterface* module = ZibboUserInterface::getInstance())
            module->resumeAudioAndCursor(true);
        m_screen.showEndImage();
        break;
    case k_taskOverlayAnimation:
        if (FContainer* overlay = m_screen.m_overlayContainer.get()) {
            overlay->setVisible(false);
            sendToBack(*overlay);
        }
        if (play != nullptr) play->checkSearchProgress();
        break;
    default:
        break;
    }
    m_screen.cancelReminderVoice();
    if (type == k_taskFindStarmantle && m_screen.m_script != nullptr && m_screen.m_script->isRecordRunning())
        m_screen.completeStoryStep();
}

bool StoryTasks::raiseStoryEvent(int32_t code)
{
    StoryScript* script = m_screen.m_script;
    const bool started = script != nullptr && script->triggerEvent(code);
    if (started) m_screen.cancelReminderVoice();
    if (script != nullptr && script->isRecordRunning() && script->recordHasSpeaker()) {
        if (VideoSprite* speaker = m_screen.largeCharacter()) {
            speaker->setVideo(FRefT<FVideo>(m_screen.m_speakerAClip2), false);
            speaker->setLoops(-1);
        }
    }
    return started;
}
