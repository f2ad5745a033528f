#include "game/gameplay/StoryTeller.h"

#include "core/FMemory.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameSession.h"
#include "game/core/GameSoundChannels.h"
#include "game/core/LevelTimer.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/SearchListGenerator.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/gameplay/StoryPanel.h"
#include "game/widgets/CharacterVideoSprite.h"
#include "game/widgets/MapView.h"
#include "game/widgets/QueuedVideoSprite.h"
#include "game/widgets/SearchableSprite.h"
#include "game/widgets/VideoSprite.h"
#include "image/FImage.h"
#include "ui/FImageWidget.h"
#include "video/FVideo.h"

namespace {

template <class Widget> Widget* tellerWidget(const FRef& handle)
{
    return dynamic_cast<Widget*>(static_cast<FWidget*>(handle.get()));
}

} // namespace

StoryTeller::StoryTeller(StoryModeScreen& screen)
    : m_screen(screen), m_dialog(*this, screen.m_reminderTimer, screen.m_reactionTimer)
{
    auto* shown = makeMemberDelegate(this, &StoryTeller::onRecordShown);
    m_screen.m_shownTimer.setCompletion(shown);
    engineFree(shown);
    auto* close = makeMemberDelegate(this, &StoryTeller::requestCloseRecord);
    m_screen.m_closeTimer.setCompletion(close);
    engineFree(close);
    auto* blink = makeMemberDelegate(this, &StoryTeller::onArtFadeDone);
    m_artFade.setCompletion(blink);
    engineFree(blink);
    m_dialog.fillVessaLinePool();
    // The interrupt line is picked while the script is built.
    m_dialog.fillInterruptLinePool();
}

StoryTeller::~StoryTeller()
{
    m_screen.m_shownTimer.setCompletion(nullptr);
    m_screen.m_closeTimer.setCompletion(nullptr);
    m_artFade.setCompletion(nullptr);
    if (m_voiceEnd != StoryVoiceEnd::k_none) {
        if (ZibboUserInterface* module = ZibboUserInterface::getInstance();
            module != nullptr && module->sounds() != nullptr)
            module->sounds()->setVoiceFinishedCallback(nullptr);
    }
}

void StoryTeller::bindParts()
{
    StoryDialog::Parts parts;
    parts.smallFrame = m_screen.m_characterFrame.get();
    parts.smallSprite = tellerWidget<CharacterVideoSprite>(m_screen.m_characterSprite);
    parts.speakerFrame = m_screen.m_speakerFrame.get();
    parts.portrait = m_screen.m_portrait.get();
    parts.talkingVideo = tellerWidget<VideoSprite>(m_screen.m_largeCharacter);
    parts.dimmer = m_screen.m_dimmer.get();
    parts.artImage = m_screen.m_storyArtImage.get();
    parts.reactionLine = m_screen.m_successSound;
    m_dialog.setParts(parts);
    if (StoryPanel* storyPanel = panel()) {
        storyPanel->setParts(m_screen.m_storyImagePart, FRefT<VideoSprite>(FRef(m_screen.m_storyFirstVideo)),
                             FRefT<VideoSprite>(FRef(m_screen.m_storySecondVideo)), m_screen.m_storyCaption);
        m_script.setPanel(storyPanel);
    }
}

StoryPanel* StoryTeller::panel() const
{
    return tellerWidget<StoryPanel>(m_screen.m_storyPanel);
}

LevelTimer* StoryTeller::levelTimer() const
{
    GameSession* play = m_screen.session();
    return play != nullptr ? play->getLevelTimer() : nullptr;
}

FRef StoryTeller::storyVoice(const std::string& id)
{
    const FRef* voice = m_screen.m_voiceSamples.find(id);
    return voice != nullptr ? *voice : FRef();
}

FRef StoryTeller::storyInterruptLine()
{
    return m_dialog.pickInterruptLine();
}

int32_t StoryTeller::storyQuestType() const
{
    GameSession* play = m_screen.session();
    return play != nullptr ? play->currentQuestType() : -1;
}

void StoryTeller::onStoryLevelReady(bool playStoryTrack)
{
    if (!playStoryTrack) return;
    ZibboUserInterface* module = ZibboUserInterface::getInstance();
    if (module != nullptr && module->sounds() != nullptr && m_screen.m_storyTrack.get() != nullptr)
        module->sounds()->playMusic(FRefT<FAudioNode>(m_screen.m_storyTrack), false);
}

void StoryTeller::presentRecord(StoryTaskRecord& record)
{
    if (record.m_video) {
        if (auto* talking = tellerWidget<VideoSprite>(m_screen.m_largeCharacter))
            talking->setVideo(FRefT<FVideo>(m_screen.m_speakerAClip2), false);
    }
    if (record.m_speaker) {
        m_dialog.speakWithSpeaker(record.getVoice());
    } else {
        if (MapView* map = m_screen.mapView()) map->setInputBlocked(false);
        m_dialog.speakWithSmallCharacter();
    }
    StoryPanel* storyPanel = panel();
    if (record.getAnimation().get() != nullptr && storyPanel != nullptr) {
        storyPanel->setAnimation(FRefT<FVideo>(record.getAnimation()), record.m_x, record.m_y);
        storyPanel->show();
        storyPanel->centre();
    }
    if (record.m_reminder) m_dialog.rememberReminder(record.getVoice());
    runCallback(record.m_callback);
    showStoryArt(record.m_artKind, true);
    if (record.m_speaker &&
        (m_screen.m_storyArtImage.get() == nullptr || !m_screen.m_storyArtImage->isVisible()))
        setStoryDimmed(true);
    // The search pauses while the step plays.
    if (LevelTimer* timer = levelTimer()) timer->resumed = false;
    m_screen.m_shownTimer.start(k_shownMs);
}

void StoryTeller::runCallback(StoryCallback callback)
{
    GameSession* play = m_screen.session();
    LevelTimer* timer = levelTimer();
    switch (callback) {
    case StoryCallback::k_none:
        break;
    case StoryCallback::k_tutorialStart:
        m_script.setSearchCheckOnClose(true);
        if (MapView* map = m_screen.mapView()) map->setInputBlocked(true);
        if (timer != nullptr) timer->stopped = true;
        if (play != nullptr) play->setPenaltyEnabled(false);
        break;
    case StoryCallback::k_resumeTimerAndCancelReminder:
        m_screen.m_reminderCancel = true;
        [[fallthrough]];
    case StoryCallback::k_resumeTimer:
        if (timer != nullptr) timer->stopped = false;
        break;
    case StoryCallback::k_penaltyOn:
        if (play != nullptr) play->setPenaltyEnabled(true);
        break;
    case StoryCallback::k_hintSprites: {
        m_screen.levelItems().createHintSearchableSprites();
        for (const FRef& sprite : *m_screen.getHintSprites())
            if (auto* hint = tellerWidget<FWidget>(sprite)) hint->setVisible(true);
        SearchListGenerator* generator = play != nullptr ? play->getSearchListGenerator().get() : nullptr;
        for (int32_t i = 0; i < k_hintsAdded && generator != nullptr; ++i) {
            if (generator->hintCounter().hints < k_hintStockLimit) ++generator->hintCounter().hints;
        }
        break;
    }
    case StoryCallback::k_cursorClip:
        if (auto* cursor = tellerWidget<QueuedVideoSprite>(m_screen.m_cursorSprite))
            cursor->queueClip(FRefT<FVideo>(m_screen.m_specialClip), false, true);
        if (ZibboUserInterface* module = ZibboUserInterface::getInstance())
            module->playSound(m_screen.m_comboSound2, k_cursorSoundLevel);
        break;
    }
}

void StoryTeller::onRecordShown()
{
    m_screen.m_closeAllowed = true;
    GameSession* play = m_screen.session();
    if (play == nullptr || play->currentQuestType() != k_tutorialQuest || play->currentWorldIndex() != 0)
        return;
    std::deque<FRefT<SearchableSprite>>& items = *m_screen.getTaskSprites();
    if (!items.empty() && items.front().get() != nullptr) items.front()->setLocked(false);
}

void StoryTeller::requestCloseRecord()
{
    closeRecord(true);
}

void StoryTeller::closeRecord(bool chain)
{
    m_screen.m_closeAllowed = false;
    stopStoryVoice();
    const StoryScript::Closed closed = m_script.closeRunning();
    if (closed.final) markTutorialSeen();
    if (auto* character = tellerWidget<CharacterVideoSprite>(m_screen.m_characterSprite))
        character->playPose(StoryDialog::k_idlePose, true);
    MapView* map = m_screen.mapView();
    if (StoryPanel* storyPanel = panel(); storyPanel != nullptr && storyPanel->isShown()) {
        storyPanel->hide();
        if (map != nullptr) map->setInputBlocked(false);
    }
    FWidget* speakerFrame = m_screen.m_speakerFrame.get();
    const bool speakerShown = speakerFrame != nullptr && speakerFrame->isVisible();
    // Through the common screen: the event reaches the story screen's own handling.
    if (chain && static_cast<CommonUIScreen&>(m_screen).raiseStoryEvent(k_eventStoryRecordClosed) &&
        m_script.runningRecord() != nullptr) {
        const StoryTaskRecord& next = *m_script.runningRecord();
        if (next.m_artKind != closed.artKind) showStoryArt(closed.artKind, false);
        if (!next.m_speaker && speakerShown) m_dialog.hideSpeaker();
    } else {
        if (LevelTimer* timer = levelTimer()) timer->resumed = true;
        if (m_script.takeSearchCheckOnClose()) {
            if (GameSession* play = m_screen.session()) play->checkSearchProgress();
        } else {
            setStoryDimmed(false);
            for (const FRefT<SearchableSprite>& item : *m_screen.getTaskSprites())
                if (item.get() != nullptr) item->setLocked(false);
        }
        // The first world's tutorial keeps its first picture up.
        GameSession* play = m_screen.session();
        const bool keepArt = artShowsFirstKind() && play != nullptr && play->currentWorldIndex() == 0;
        if (!keepArt) showStoryArt(closed.artKind, false);
        if (speakerShown) m_dialog.hideSpeaker();
    }
    if (m_screen.m_interruptBegun) {
        m_screen.m_interruptBegun = false;
        if (FWidget* cover = m_screen.m_clickCover.get()) cover->setVisible(false);
        if (map != nullptr) map->setInputBlocked(false);
        m_screen.spawnInterruptItem();
    }
}

bool StoryTeller::artShowsFirstKind() const
{
    FImageWidget* art = m_screen.m_storyArtImage.get();
    return art != nullptr && art->getImage().get() != nullptr &&
           art->getImage().get() == FRefT<FImage>(m_screen.m_artImage1).get();
}

void StoryTeller::showStoryArt(int32_t artKind, bool show)
{
    FImageWidget* art = m_screen.m_storyArtImage.get();
    FImageWidget* overlay = m_screen.m_storyArtOverlay.get();
    if (art == nullptr || overlay == nullptr) return;
    if (artKind == 1 && !show && artShowsFirstKind() && art->isVisible()) {
        if (LevelTimer* timer = levelTimer()) {
            timer->stopped = false;
            timer->resumed = true;
        }
    }
    if (!show) {
        art->setVisible(false);
        overlay->setVisible(false);
        m_artFade.setActive(false);
        return;
    }
    const FRef* pairs[][2] = {{&m_screen.m_artImage1, &m_screen.m_artOverlay1},
                              {&m_screen.m_artImage6, &m_screen.m_artOverlay6},
                              {&m_screen.m_artImage7, &m_screen.m_artOverlay7}};
    const int32_t index = artKind == 1 ? 0 : artKind == 6 ? 1 : artKind == 7 ? 2 : -1;
    if (index < 0) {
        art->setVisible(false);
        overlay->setVisible(false);
        return;
    }
    art->setVisible(true);
    overlay->setVisible(true);
    art->setImage(FRefT<FImage>(*pairs[index][0]), false);
    overlay->setImage(FRefT<FImage>(*pairs[index][1]), false);
    setFadedAlpha(*overlay, 0);
    m_artFade.target = overlay;
    m_artFade.delay = 0;
    m_artFade.start(255, k_artFadeMs);
    if (FWidget* dimmer = m_screen.m_dimmer.get(); dimmer != nullptr && dimmer->isVisible())
        setStoryDimmed(false);
}

void StoryTeller::onArtFadeDone()
{
    // The overlay blinks until the art is hidden.
    FWidget* overlay = m_artFade.target;
    if (overlay == nullptr || !overlay->isVisible()) return;
    m_artFade.start(fadedAlpha(*overlay) > 0 ? 0 : 255, k_artBlinkMs);
}

void StoryTeller::markTutorialSeen()
{
    ZibboUserInterface* module = ZibboUserInterface::getInstance();
    ProfileManager* profiles = module != nullptr ? module->profileManager() : nullptr;
    PlayerProfile* profile = profiles != nullptr ? profiles->getCurrentProfile() : nullptr;
    if (profile == nullptr) return;
    profile->setFlag(PlayerProfile::k_seenNomblersTutorial, true);
    profile->setChanged();
}

void StoryTeller::update(int32_t elapsedMs)
{
    if (StoryPanel* storyPanel = panel()) storyPanel->update(elapsedMs);
    m_dialog.update(elapsedMs);
    m_artFade.update(elapsedMs);
}

void StoryTeller::playStoryVoice(const FRef& sample, StoryVoiceEnd end)
{
    ZibboUserInterface* module = ZibboUserInterface::getInstance();
    if (module == nullptr || module->sounds() == nullptr || sample.get() == nullptr) return;
    module->sounds()->playVoice(FRefT<FAudioNode>(sample), false);
    setStoryVoiceEnd(end);
}

void StoryTeller::setStoryVoiceEnd(StoryVoiceEnd end)
{
    m_voiceEnd = end;
    ZibboUserInterface* module = ZibboUserInterface::getInstance();
    if (module == nullptr || module->sounds() == nullptr) return;
    auto* ended = makeMemberDelegate(this, &StoryTeller::onVoiceEnded);
    module->sounds()->setVoiceFinishedCallback(end == StoryVoiceEnd::k_none ? nullptr : ended);
    engineFree(ended);
}

void StoryTeller::onVoiceEnded()
{
    const StoryVoiceEnd end = m_voiceEnd;
    m_voiceEnd = StoryVoiceEnd::k_none;
    if (end == StoryVoiceEnd::k_voiceDone)
        m_screen.onVoiceDone();
    else if (end == StoryVoiceEnd::k_idlePose)
        m_dialog.playIdlePose();
}

void StoryTeller::stopStoryVoice()
{
    ZibboUserInterface* module = ZibboUserInterface::getInstance();
    if (module != nullptr && module->sounds() != nullptr) module->sounds()->stopVoice();
}

void StoryTeller::playCommonVoiceLine(const FRef& sample)
{
    m_screen.CommonUIScreen::playVoiceLine(sample);
}

void StoryTeller::setStoryDimmed(bool dimmed)
{
    m_screen.setDimmed(dimmed, 0);
}

void StoryTeller::shakeForSpeaker()
{
    m_screen.playShakeEffect(0);
}

void StoryTeller::onFirstDifferenceLineDone()
{
    m_screen.startSwapAnimation();
    if (LevelTimer* timer = levelTimer()) timer->stopped = false;
}

void StoryTeller::clearClickToContinue()
{
    m_screen.m_forcedClickStep = false;
}

void StoryTeller::requestTaskStep()
{
    m_screen.m_taskStepRequest = true;
}
