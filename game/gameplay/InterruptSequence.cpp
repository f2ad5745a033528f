#include "game/gameplay/InterruptSequence.h"

#include "asset/FAsset.h"
#include "audio/FAudioNode.h"
#include "core/FApplication.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "core/FServiceSlots.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameSession.h"
#include "game/core/GameSoundChannels.h"
#include "game/core/LevelTimer.h"
#include "game/core/SearchableObject.h"
#include "game/core/StoryTaskStepper.h"
#include "game/gameplay/HudPanel.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/widgets/CharacterVideoSprite.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/MapView.h"
#include "game/widgets/SearchableSprite.h"
#include "game/widgets/VideoSprite.h"
#include "game/worlds/NamedRefMap.h"
#include "game/worlds/WorldScene.h"
#include "graphics/FGraph.h"
#include "ui/FImageWidget.h"
#include "video/FVideo.h"

#include <deque>

namespace {

constexpr int32_t k_interruptMusicQuest = 3;
constexpr int32_t k_questOneMusicQuest = 1;

template <class Widget> Widget* interruptWidget(const FRef& handle)
{
    return dynamic_cast<Widget*>(static_cast<FWidget*>(handle.get()));
}

void interruptShow(const FRef& handle, bool shown)
{
    if (FWidget* widget = interruptWidget<FWidget>(handle)) widget->setVisible(shown);
}

void interruptLoad(const FRef& sound)
{
    if (auto* asset = sound.as<FAsset>()) asset->loadNow();
}

void interruptPlayMusic(const FRef& track)
{
    ZibboUserInterface* module = ZibboUserInterface::getInstance();
    GameSoundChannels* channels = module != nullptr ? module->sounds() : nullptr;
    if (channels != nullptr && track.get() != nullptr) channels->playMusic(FRefT<FAudioNode>(track), false);
}

} // namespace

void InterruptSequence::setLevelTimerRunning(bool running)
{
    GameSession* play = m_screen.session();
    if (LevelTimer* timer = play != nullptr ? play->getLevelTimer() : nullptr) timer->started = running;
}

void InterruptSequence::playPose(int32_t pose, bool repeat)
{
    if (CharacterVideoSprite* character = m_screen.characterSprite()) character->playPose(pose, repeat);
}

void InterruptSequence::showOverlayWidgets(bool shown)
{
    // A hidden clip never ends a step: only the shown one advances.
    if (!shown) {
        if (auto* overlay = interruptWidget<VideoSprite>(m_screen.m_overlayVideo)) overlay->setPlaying(false);
    }
    if (FWidget* container = interruptWidget<FWidget>(m_screen.m_overlayContainer)) {
        container->setVisible(shown);
        if (shown) container->bringToFront();
    }
    if (shown) {
        interruptShow(m_screen.m_overlayExtra1, true);
        interruptShow(m_screen.m_overlayExtra2, true);
    }
}

void InterruptSequence::playOverlayClip(const FRef& clip)
{
    auto* overlay = interruptWidget<VideoSprite>(m_screen.m_overlayVideo);
    if (overlay == nullptr) return;
    overlay->setVideo(FRefT<FVideo>(clip), true);
    overlay->setLoops(0);
    overlay->setFrameRate(k_overlayFps);
    overlay->setFrameTime(k_overlayFrameMs);
    // The place follows the logical screen, in 640 x 480 units.
    FPointI size{m_screen.width(), m_screen.height()};
    if (FGraph* graph = findService<FGraph>(k_slotGraphics)) size = graph->getApplicationSize();
    overlay->setWidgetPosition(static_cast<int32_t>(k_overlayX * static_cast<int64_t>(size.x) / k_unitsWide),
                               static_cast<int32_t>(k_overlayY * static_cast<int64_t>(size.y) / k_unitsHigh));
    // The clip plays over the overlay's panel.
    overlay->setVisible(true);
    overlay->bringToFront();
    auto* done = makeMemberDelegate(this, &InterruptSequence::onOverlayDone);
    overlay->setFinishCallback(done);
    engineFree(done);
    overlay->play(false);
}

void InterruptSequence::onOverlayDone(VideoSprite&)
{
    m_screen.onTaskStepDone();
}

void InterruptSequence::showOverlay()
{
    showOverlayWidgets(true);
    playOverlayClip(m_screen.m_drabbFoundClip);
    setLevelTimerRunning(false);
    GameSession* play = m_screen.session();
    if (play != nullptr && play->powerUpSlot(0) != nullptr) play->cancelPowerUp(play->powerUpSlot(0), 0);
    if (m_screen.questType() != k_interruptMusicQuest) interruptPlayMusic(m_screen.m_interruptMusic);
    interruptLoad(m_screen.m_interruptSound);
    m_screen.m_clipSoundPlayed = false;
    playPose(k_worriedPose, true);
}

void InterruptSequence::begin()
{
    showOverlayWidgets(false);
    setLevelTimerRunning(true);
    m_screen.raiseStoryEvent(k_beginEvent);
    m_screen.m_interruptBegun = true;
}

void InterruptSequence::show()
{
    m_screen.m_forcedClickStep = true;
    if (FImageWidget* cover = m_screen.m_clickCover.get()) {
        cover->setVisible(true);
        cover->bringToFront();
    }
    playPose(k_listeningPose, true);
    if (!m_screen.m_interruptRunning) setLevelTimerRunning(false);
}

void InterruptSequence::spawnItem()
{
    GameSession* play = m_screen.session();
    MapView* map = m_screen.mapView();
    std::deque<SearchableObject*> list;
    if (play != nullptr) play->getSearchListState(list);
    // The generator appends the interrupt item last; a world without one
    // (no Drabb in its search data) leaves nothing to find in time.
    if (list.empty() || !list.back()->isInterruptItem() || map == nullptr) {
        ZIBBO_LOG(k_logWarn, false) << "The interrupt has no item to find: it ends as missed";
        m_screen.endInterrupt(true);
        return;
    }
    SearchableObject& item = *list.back();
    FRefT<SearchableSprite> sprite = makeRef(engineNew<SearchableSprite>(k_memObject, map->content(), true));
    sprite->setItem(&item);
    const WorldScene* scene = m_screen.levelWorldScene();
    const NamedAssetMap* pictures = scene != nullptr ? scene->getSpecialDrabb() : nullptr;
    const FRef* picture = pictures != nullptr ? pictures->find(item.fileName()) : nullptr;
    if (picture == nullptr) {
        ZIBBO_LOG(k_logWarn, false) << "Interrupt item " << item.fileName().c_str() << " has no picture";
    }
    sprite->setImage(picture != nullptr ? FRefT<FImage>(*picture) : FRefT<FImage>(), true);
    std::deque<FRefT<SearchableSprite>>& sprites = *m_screen.getTaskSprites();
    for (const FRefT<SearchableSprite>& other : sprites)
        other->setHitTestDisabled(true);
    sprite->setKindEffect(FRefT<FImage>(m_screen.m_photoBlingImage));
    sprite->setKindResource(FRefT<FImage>(m_screen.m_photoPanelImage));
    sprite->setPanelText(FRefT<FString>(m_screen.m_photoCaption));
    sprite->prepare();
    item.listeners().add(sprite->stateListener());
    item.listeners().notify(item);
    sprites.push_back(sprite);
    if (m_screen.allowsPanelFlight()) m_screen.setHintTarget(sprite.get(), 0);
    if (HudPanel* panel = m_screen.refreshPanel()) panel->showOnlyLastEntry();
    for (const FRef* pointer : {&m_screen.m_dialFirstPointer, &m_screen.m_dialSecondPointer})
        if (auto* image = interruptWidget<FImageWidget>(*pointer)) image->setAngle(0.0f);
    placeDialPivots();
    interruptShow(m_screen.m_dialFirstFrame, true);
    interruptShow(m_screen.m_dialSecondFrame, false);
    // Both hands stand at the top; the frame turns them in their halves and
    // the end of the interrupt hides them again.
    interruptShow(m_screen.m_dialFirstPointer, true);
    interruptShow(m_screen.m_dialSecondPointer, true);
    m_screen.m_interruptElapsed = 0;
    m_screen.m_interruptRunning = true;
    setLevelTimerRunning(true);
}

void InterruptSequence::placeDialPivots()
{
    const FWidget* frame = interruptWidget<FWidget>(m_screen.m_dialFirstFrame);
    if (frame == nullptr) return;
    // Both hands turn about points of the first frame: the second about its
    // centre, the first one hand's width left of it.
    const FPointI centre{frame->rect().left + frame->width() / 2, frame->rect().top + frame->height() / 2};
    if (auto* second = interruptWidget<FImageWidget>(m_screen.m_dialSecondPointer))
        second->setPivot({centre.x - second->rect().left, centre.y - second->rect().top});
    if (auto* first = interruptWidget<FImageWidget>(m_screen.m_dialFirstPointer))
        first->setPivot({centre.x - first->width() - first->rect().left, centre.y - first->rect().top});
}

void InterruptSequence::checkTimeout()
{
    if (!m_screen.m_interruptRunning) return;
    const std::deque<FRefT<SearchableSprite>>& sprites = *m_screen.getTaskSprites();
    // A find in the same frame wins over the time-out.
    const SearchableObject* item = sprites.empty() ? nullptr : sprites.back()->item();
    if (item != nullptr && item->state() == SearchableObject::k_stateFound) return;
    m_screen.endInterrupt(true);
}

void InterruptSequence::end(bool timedOut)
{
    StoryModeScreen::SearchListListener* stepper = m_screen.m_listener;
    // Only a running interrupt ends: a retired bonus entry leaving the strip
    // later reports again.
    if (stepper == nullptr || stepper->step != 3) return;
    m_screen.m_interruptSuccess = !timedOut;
    m_screen.m_interruptRunning = false;
    if (stepper->generator != nullptr) storyTaskStep(*stepper);
    if (MapView* map = m_screen.mapView()) map->setPendingSprite(nullptr);
    m_screen.setHintCursorMode(false);
    interruptShow(m_screen.m_dialFirstPointer, false);
    interruptShow(m_screen.m_dialSecondPointer, false);
    if (auto* second = interruptWidget<FImageWidget>(m_screen.m_dialSecondPointer)) second->setAngle(0.0f);
    if (auto* first = interruptWidget<FImageWidget>(m_screen.m_dialFirstPointer))
        first->setAngle(k_firstPointerRestDegrees);
    interruptShow(m_screen.m_dialFirstFrame, false);
    interruptShow(m_screen.m_dialSecondFrame, false);
    for (const FRefT<SearchableSprite>& sprite : *m_screen.getTaskSprites()) {
        SearchableObject* item = sprite->item();
        if (item == nullptr) continue;
        if (item->isInterruptItem())
            sprite->setVisible(false);
        else if (item->state() == SearchableObject::k_stateListed)
            sprite->setHitTestDisabled(false);
    }
    if (!timedOut) return;
    // A missed bonus item is never found: its entry leaves the strip as a
    // completed one would, and the other entries take their places again.
    HudPanelEntry* entry = bonusEntry();
    HudPanel* panel = m_screen.refreshPanel();
    if (entry == nullptr || panel == nullptr) return;
    entry->complete(false);
    panel->showAllEntries();
    // The one-entry layout hid the others; the refresh then decides which
    // of them are in play.
    for (int32_t k = 0; k < panel->entryCount(); ++k)
        panel->entryAt(k)->setVisible(true);
    m_screen.refreshEntriesNoSelection(0);
    entry->setActive(false);
    entry->setVisible(false);
}

HudPanelEntry* InterruptSequence::bonusEntry() const
{
    const std::deque<FRefT<SearchableSprite>>& sprites = *m_screen.getTaskSprites();
    HudPanel* panel = m_screen.refreshPanel();
    if (sprites.empty() || panel == nullptr || panel->entryCount() == 0) return nullptr;
    const SearchableSprite& last = *sprites.back();
    if (last.item() == nullptr || !last.item()->isInterruptItem()) return nullptr;
    // Only while it is still the strip's last entry.
    HudPanelEntry* entry = last.panelEntry();
    return entry == panel->entryAt(panel->entryCount() - 1).get() ? entry : nullptr;
}

void InterruptSequence::run()
{
    showOverlayWidgets(true);
    interruptLoad(m_screen.m_interruptSuccess ? m_screen.m_successSound : m_screen.m_interruptSound);
    m_screen.m_clipSoundPlayed = false;
    playOverlayClip(m_screen.m_interruptSuccess ? m_screen.m_photoFoundClip : m_screen.m_failureClip);
    setLevelTimerRunning(false);
    if (HudPanelEntry* entry = bonusEntry()) entry->setVisible(false);
}

void InterruptSequence::finish()
{
    showOverlayWidgets(false);
    interruptShow(m_screen.m_overlayVideo, false);
    setLevelTimerRunning(true);
    if (!m_screen.m_interruptSuccess) m_screen.grantRandomNegativePowerUp();
    const int32_t quest = m_screen.questType();
    if (quest != k_interruptMusicQuest) {
        const WorldScene* scene = m_screen.levelWorldScene();
        interruptPlayMusic(quest == k_questOneMusicQuest ? m_screen.m_questOneMusic
                           : scene != nullptr            ? scene->getMusic()
                                                         : FRef());
    }
    playPose(k_restPose, false);
}

void InterruptSequence::dismissClickCover()
{
    m_screen.m_forcedClickStep = false;
    if (FImageWidget* cover = m_screen.m_clickCover.get()) cover->setVisible(false);
    if (FWidget* focused = m_screen.focus(); focused != nullptr && focused != &m_screen) {
        focused->setFocused(false);
        m_screen.setFocus(&m_screen);
    }
    GameSession* play = m_screen.session();
    LevelTimer* timer = play != nullptr ? play->getLevelTimer() : nullptr;
    const bool late = timer != nullptr && timer->total() > 0 &&
                      static_cast<double>(timer->elapsed()) / static_cast<double>(timer->total()) >
                          StoryModeScreen::k_worriedRatio;
    if (m_screen.isInterruptSequenceActive() || late) {
        playPose(k_worriedPose, true);
    } else if (VideoSprite* speaker = m_screen.largeCharacter(); speaker != nullptr && speaker->isVisible()) {
        playPose(k_restPose, true);
    }
    setLevelTimerRunning(true);
}
