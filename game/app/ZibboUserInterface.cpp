#include "game/app/ZibboUserInterface.h"

#include "game/app/ZibboPlayFieldServices.h"
#include "game/app/ZibboWorldMapServices.h"

#include "asset/FAsset.h"
#include "audio/FAudioLock.h"
#include "audio/FAudioNode.h"
#include "audio/FAudioService.h"
#include "audio/FSound.h"
#include "core/FApplication.h"
#include "core/FDelegate.h"
#include "core/FLocalizedMessages.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "core/FThread.h"
#include "core/FThreadTask.h"
#include "game/core/ControllerManager.h"
#include "game/core/GameCursors.h"
#include "game/core/GameParams.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSaveData.h"
#include "game/core/GameSession.h"
#include "game/core/GameSoundChannels.h"
#include "game/core/GameplayScreen.h"
#include "game/core/GlobalSettings.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "game/core/SystemCursorDevice.h"
#include "game/factories/GameScreenFactory.h"
#include "game/factories/GameWidgetFactory.h"
#include "game/widgets/ParticleEmitterView.h"
#include "graphics/FGraph.h"
#include "ui/FColorRect.h"
#include "ui/FScreen.h"

#include <ctime>

namespace {

FGraph* graphics()
{
    return findService<FGraph>(k_slotGraphics);
}

// Almost invisible: it only catches the pointer.
constexpr uint32_t k_overlayColour = 0x01FEFEFEu;

bool isMenuKind(int32_t kind)
{
    return kind == k_avatarSelectScreen || kind == k_profileMenuScreen || kind == k_mainMenuScreen ||
           kind == k_nameEntryScreen || kind == k_profileScreen;
}

// The first pointer with its primary button.
bool isPrimaryClick(int32_t pointer, int32_t button)
{
    return pointer == 0 &&
           (button == ZibboUserInterface::k_buttonLeft || button == ZibboUserInterface::k_buttonConfirm);
}

} // namespace

// One background load: the body loads the asset on a pooled worker thread
// (under the asset's own lock) and drops its reference.
class AssetLoadJob : public FThreadTask
{
public:
    explicit AssetLoadJob(FRef asset) : m_asset(std::move(asset)) {}
    void main() override
    {
        if (auto* asset = static_cast<FAsset*>(m_asset.get())) asset->complete();
        m_asset.release();
    }

private:
    FRef m_asset;
};

ZibboUserInterface::ZibboUserInterface(FScreenFactory* factory, CursorDevice& cursors)
    : FAppUserInterfaceModule(factory), m_cursorDevice(cursors),
      // System cursors until the tuning values say otherwise at launch.
      m_cursors(std::make_unique<GameCursors>(cursors, false)),
      m_controllerManager(std::make_unique<ControllerManager>(cursors)),
      m_saveData(std::make_unique<GameSaveData>()),
      m_playFieldServices(std::make_unique<ZibboPlayFieldServices>(*this))
{
    // The play field reaches the module from the start, as the screens do
    // through the module's own slots: a click on a hidden item must see the
    // session's current task.
    PlayFieldServices::setInstance(m_playFieldServices.get());
}

ZibboUserInterface::~ZibboUserInterface()
{
    if (WorldMapServices::instance() == m_worldMapServices.get()) WorldMapServices::setInstance(nullptr);
    if (PlayFieldServices::instance() == m_playFieldServices.get()) PlayFieldServices::setInstance(nullptr);
    // A running load ends before its task goes.
    if (m_assetLoadJob != nullptr && m_assetLoadJob->worker() != nullptr)
        m_assetLoadJob->worker()->waitIdle(~0u, false);
    m_assetLoadJob.reset();
    m_assetLoadQueue.clear();
    m_inactiveOverlay.release();
    m_particleView.release();
    m_saveData.reset();
    m_controllerManager.reset();
    m_sounds.reset();
    m_cursors.reset();
    m_params.release();
}

ZibboUserInterface* ZibboUserInterface::getInstance()
{
    return dynamic_cast<ZibboUserInterface*>(FAppUserInterfaceModule::instance());
}

// ---- launch ----

void ZibboUserInterface::onLaunch()
{
    if (FApplication* application = FApplication::instance()) {
        m_params = makeRef(engineNew<GameParams>(k_memObject, *application));
        m_params->onLoaded();
    }
    setupCursors();
    setupSounds();
    GameWidgetFactory::registerTypes();
    m_worldMapServices = std::make_unique<ZibboWorldMapServices>(*this);
    WorldMapServices::setInstance(m_worldMapServices.get());
    setScreen(k_introScreen, false);
    openWindow();
    GameRandom::srand(static_cast<uint32_t>(std::time(nullptr)));
}

void ZibboUserInterface::setupCursors()
{
    const bool custom = !m_params.isNull() && m_params->customCursor();
    m_cursors = std::make_unique<GameCursors>(m_cursorDevice, custom);
    // The cursor pictures come from the shared screen folder, which no screen
    // binds yet: until then the system arrow stays.
    if (custom) {
        ZIBBO_LOG(k_logDefault, false) << "Cursor images are not available yet; the system cursor stays";
    }
}

void ZibboUserInterface::setupSounds()
{
    if (auto* audio = findService<FAudioService>(k_slotAudio)) {
        m_sounds = std::make_unique<GameSoundChannels>(*audio, *m_cursors);
        m_sounds->initAudio();
    }
}

void ZibboUserInterface::openWindow()
{
    FGraph* graph = graphics();
    if (graph == nullptr) return;
    const FPointI size{k_windowWidth, k_windowHeight};
    graph->createWindowAndDevice(size, size, 1);
    const bool fullScreen = !m_params.isNull() && m_params->fullScreen();
    graph->setWindowMode(fullScreen ? 0 : 1);
}

void ZibboUserInterface::stop()
{
    releaseCachedScreen(currentKind());
    FAppUserInterfaceModule::stop();
}

// ---- per frame ----

void ZibboUserInterface::tick(uint32_t elapsedMs)
{
    if (m_suspended) {
        wakeUp();
        return;
    }
    const auto ms = static_cast<int32_t>(elapsedMs);
    m_reactivationTimer.update(ms);
    if (m_sounds != nullptr) {
        if (!m_sounds->isPaused()) {
            m_sounds->updateMusicFade(ms);
            m_sounds->finishEndedSounds();
        } else if (m_sounds->dialogueChannel().isEnded()) {
            // The dialogue channel plays on through pauses.
            m_sounds->dialogueChannel().finish();
        }
    }
    FAppUserInterfaceModule::tick(elapsedMs);
    startNextAssetLoad();
    if (isMenuKind(currentKind()) && !m_particleView.isNull()) m_particleView->update(ms);
}

// ---- background loads ----

void ZibboUserInterface::queueAssetLoad(const FRef& asset)
{
    m_assetLoadQueue.push_back(asset);
    if (const std::string warning = assetQueueWarning(m_assetLoadQueue.size()); !warning.empty()) {
        ZIBBO_LOG(k_logDefault, false) << warning.c_str();
    }
}

std::string ZibboUserInterface::assetQueueWarning(std::size_t waiting)
{
    if (waiting <= k_assetQueueWarning) return {};
    return "PERFORMANCE WARNING: More than " + std::to_string(k_assetQueueWarning) +
           " assets are waiting to load";
}

bool ZibboUserInterface::isAssetLoadRunning() const
{
    if (m_assetLoadJob == nullptr || m_assetLoadJob->state() != FThreadTask::k_running) return false;
    FThread* worker = m_assetLoadJob->worker();
    return worker != nullptr && !worker->waitIdle(0, false);
}

void ZibboUserInterface::startNextAssetLoad()
{
    if (m_assetLoadQueue.empty() || isAssetLoadRunning()) return;
    if (m_assetLoadJob != nullptr && m_assetLoadJob->worker() != nullptr)
        m_assetLoadJob->worker()->waitIdle(~0u, false);
    m_assetLoadJob = std::make_unique<AssetLoadJob>(std::move(m_assetLoadQueue.front()));
    m_assetLoadQueue.pop_front();
    m_assetLoadJob->start();
}

// ---- window state ----

void ZibboUserInterface::onActivated()
{
    FAppUserInterfaceModule::onActivated();
    setChannelsMuted(false);
    // Input stays caught a little longer: the click that brought the window
    // back must not reach the screen.
    FTween::Completion* completion = makeMemberDelegate(this, &ZibboUserInterface::endReactivation);
    m_reactivationTimer.setCompletion(completion);
    engineFree(completion);
    m_reactivationTimer.start(k_reactivationMs);
}

void ZibboUserInterface::endReactivation()
{
    m_inactiveOverlay.release();
    m_reactivationTimer.setCompletion(nullptr);
}

void ZibboUserInterface::onDeactivated()
{
    FAppUserInterfaceModule::onDeactivated();
    // Before the first screen and after stop there is nothing to cover.
    if (FRefT<FScreen> screen = currentScreen(); !screen.isNull()) {
        FRefT<FColorRect> overlay = makeRef(engineNew<FColorRect>(k_memObject, screen.get(), true));
        overlay->setColour(k_overlayColour);
        overlay->setWidgetRect(FRectI{0, 0, screen->width(), screen->height()});
        m_inactiveOverlay = overlay;
    }
    setChannelsMuted(true);
}

void ZibboUserInterface::setChannelsMuted(bool muted)
{
    if (m_sounds == nullptr) return;
    m_sounds->forEachChannel([muted](SoundChannel& channel) {
        if (!channel.voice().isNull()) channel.voice()->setMuted(muted ? 1 : 0);
    });
}

void ZibboUserInterface::onWindowMinimized()
{
    if (!m_suspended) {
        setMixerPaused(true);
        m_suspended = true;
    }
    FAppUserInterfaceModule::onWindowMinimized();
}

void ZibboUserInterface::onWindowRestored()
{
    if (m_suspended) {
        setMixerPaused(false);
        m_suspended = false;
        wakeUp();
    }
    FAppUserInterfaceModule::onWindowRestored();
}

void ZibboUserInterface::setMixerPaused(bool paused)
{
    auto* audio = findService<FAudioService>(k_slotAudio);
    FAudioLock* lock = audio != nullptr ? audio->getAudioLock() : nullptr;
    if (lock == nullptr) return;
    FMutexLock guard(*lock);
    if (FAudioBus* root = lock->rootBus()) root->setPaused(paused);
}

// ---- pointer filters ----

bool ZibboUserInterface::passesFilter(int32_t pointer, int32_t button, bool down) const
{
    if (!m_inactiveOverlay.isNull()) return false;
    const int32_t kind = currentKind();
    // The gameplay screens of this game never search by picture: only the
    // first pointer reaches a level.
    if (kind == k_storyModeScreen) return pointer == 0;
    if (isPrimaryClick(pointer, button)) return true;
    return !down && kind == k_worldMapScreen;
}

void ZibboUserInterface::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    FRefT<FScreen> screen = currentScreen();
    if (FGraph* graph = graphics(); graph != nullptr && !screen.isNull())
        graph->clipCursor(FRectI{0, 0, screen->width(), screen->height()});
    if (!passesFilter(pointer, button, true)) return;
    if (isPrimaryClick(pointer, button) && currentKind() != k_storyModeScreen) {
        // Straight to the screen, without the input-block test.
        if (!screen.isNull()) screen->onPointerDown(pointer, button, point);
        return;
    }
    FAppUserInterfaceModule::onPointerDown(pointer, button, point);
}

void ZibboUserInterface::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    if (FGraph* graph = graphics()) graph->releaseCursorClip();
    if (passesFilter(pointer, button, false)) FAppUserInterfaceModule::onPointerUp(pointer, button, point);
}

void ZibboUserInterface::onControllerConnected(int32_t pointer)
{
    FAppUserInterfaceModule::onControllerConnected(pointer);
    m_controllerManager->onControllerConnected(pointer);
}

// ---- screens ----

void ZibboUserInterface::setScreen(int32_t kind, bool async)
{
    if (m_cursors != nullptr) m_cursors->resetForScreenChange();
    const int32_t current = currentKind();
    if (current != k_loadingScreen && current != k_gameModeScreen) m_previousScreenKind = current;
    FAppUserInterfaceModule::setScreen(kind, async);
}

// ---- quitting ----

void ZibboUserInterface::quit(int32_t code)
{
    if (m_quitQuestion.isPending()) return;
    m_quitQuestion.setPending(true);
    m_quitQuestion.setExitCode(code);
    if (m_quitQuestion.needsConfirmation() && !isMinimized() && isAppActive()) {
        pauseAudioAndCursor(false);
        showQuitConfirmation();
        return;
    }
    finishQuit();
}

void ZibboUserInterface::showQuitConfirmation()
{
    // Only a prompt screen can ask. Without one (no screen yet, or one of
    // the start-up screens) the request would stay pending with nobody to
    // answer it and the window could never be closed: it ends at once.
    if (!m_quitQuestion.ask(currentScreen(), this, &ZibboUserInterface::finishQuit,
                            &ZibboUserInterface::cancelQuit))
        finishQuit();
}

void ZibboUserInterface::finishQuit()
{
    if (m_sounds != nullptr) m_sounds->stopAllSounds();
    m_quitQuestion.setPending(false);
    FAppUserInterfaceModule::quit(m_quitQuestion.exitCode());
}

void ZibboUserInterface::cancelQuit()
{
    m_quitQuestion.withdraw(currentScreen());
    m_quitQuestion.setPending(false);
    // A level's open pause overlay keeps the game paused.
    if (currentKind() == k_storyModeScreen) {
        auto* level = dynamic_cast<GameplayScreen*>(currentScreen().get());
        if (level != nullptr && level->isPauseOverlayOpen()) return;
    }
    resumeAudioAndCursor(false);
}

// ---- what the system-message screens ask ----

void ZibboUserInterface::pauseAudioAndCursor(bool stopEffects)
{
    if (m_sounds != nullptr) m_sounds->pauseAudioAndCursor(stopEffects);
}

void ZibboUserInterface::resumeAudioAndCursor(bool force)
{
    if (m_sounds != nullptr) m_sounds->resumeAudioAndCursor(force);
}

void ZibboUserInterface::disableSaving()
{
    if (FRefT<SaveManager> saves = getSaveManager(); !saves.isNull()) saves->disableSaves();
}

void ZibboUserInterface::rebuildSaveData()
{
    initSaveData();
}

void ZibboUserInterface::returnToSystemMenu()
{
    // A desktop has no menu of the machine's own to return to.
}

bool ZibboUserInterface::isGamePaused() const
{
    return m_sounds != nullptr && m_sounds->isPaused();
}

void ZibboUserInterface::setMusicVolume(uint8_t volume)
{
    m_musicVolume = volume;
    if (m_sounds != nullptr) m_sounds->setMusicVolume(volume);
}

void ZibboUserInterface::setVoiceVolume(uint8_t volume)
{
    m_voiceVolume = volume;
    if (m_sounds != nullptr) m_sounds->setVoiceVolume(volume);
}

void ZibboUserInterface::setSfxVolumeScale(int32_t scale)
{
    if (scale < 0 || scale > GameSoundChannels::k_maxSfxScale) {
        // The channels log the refusal; the stored scale stays valid.
        if (m_sounds != nullptr) m_sounds->setSfxVolumeScale(scale);
        return;
    }
    m_sfxScale = static_cast<int16_t>(scale);
    if (m_sounds != nullptr) m_sounds->setSfxVolumeScale(scale);
}

void ZibboUserInterface::playDialogue(const FRef& sound)
{
    if (m_sounds == nullptr || sound.get() == nullptr) return;
    m_sounds->playDialogue(FRefT<FAudioNode>(sound));
}

void ZibboUserInterface::stopDialogue()
{
    if (m_sounds != nullptr) m_sounds->dialogueChannel().stop();
}

void ZibboUserInterface::stopAllSounds()
{
    if (m_sounds != nullptr) m_sounds->stopAllSounds();
}

void ZibboUserInterface::playSound(const FRef& sound, int32_t volume)
{
    if (m_sounds == nullptr || sound.get() == nullptr) return;
    m_sounds->playSound(FRefT<FAudioNode>(sound), volume);
}

// ---- saved state and profile creation ----

void ZibboUserInterface::initSaveData()
{
    m_saveData->initSaveData(m_params.isNull() ? GameSession::Tuning{} : GameSession::tuningOf(*m_params));
}

bool ZibboUserInterface::loadSaveData()
{
    return m_saveData->loadSaveData();
}

bool ZibboUserInterface::showPendingSaveError(FScreen& screen)
{
    const int32_t error = m_saveData->takePendingSaveError();
    if (error == GameSaveData::k_noSaveError) return false;
    screen.onSaveGameError(error);
    return true;
}

FRefT<SaveManager> ZibboUserInterface::getSaveManager() const
{
    return m_saveData->saveManager();
}

FRefT<GlobalSettings> ZibboUserInterface::getGlobalSettings() const
{
    return m_saveData->globalSettings();
}

FRefT<GameSession> ZibboUserInterface::getGameSession() const
{
    return m_saveData->gameSession();
}

ProfileManager* ZibboUserInterface::profileManager() const
{
    return m_saveData->profileManager().get();
}

void ZibboUserInterface::beginNewProfile()
{
    m_saveData->beginNewProfile();
}

void ZibboUserInterface::setNewProfileName(const FString& name)
{
    m_saveData->setNewProfileName(name);
}

bool ZibboUserInterface::commitNewProfile()
{
    GameSaveData::Volumes volumes;
    if (m_sounds != nullptr) {
        volumes.voice = m_sounds->voiceVolume();
        volumes.music = m_sounds->musicVolume();
        volumes.effectScale = m_sounds->sfxVolumeScale();
    }
    return m_saveData->commitNewProfile(volumes, static_cast<uint16_t>(FLocalizedMessages::language()));
}

void ZibboUserInterface::cancelNewProfile()
{
    m_saveData->cancelNewProfile();
}

void ZibboUserInterface::deleteProfile(const FString& name)
{
    m_saveData->deleteProfile(name);
}

void ZibboUserInterface::copyProfiles(std::vector<PlayerProfile>& out) const
{
    m_saveData->copyProfiles(out);
}

bool ZibboUserInterface::isProfileSlotUsed(int32_t slot) const
{
    return m_saveData->isProfileSlotUsed(slot);
}

// ---- the menus' backdrop ----

void ZibboUserInterface::addParticleView(FContainer* screen)
{
    m_particleView = makeRef(engineNew<ParticleEmitterView>(k_memObject, screen, this));
    ++m_particleViewUsers;
}

void ZibboUserInterface::releaseParticleView()
{
    --m_particleViewUsers;
    if (m_particleViewUsers <= 0 && !m_particleView.isNull()) m_particleView.release();
}

FModule* createZibboUserInterface()
{
    // Both hold nothing, so one of each serves the module for the whole run.
    static GameScreenFactory factory;
    static SystemCursorDevice cursors;
    return engineNew<ZibboUserInterface>(k_memObject, &factory, cursors);
}
