#pragma once

#include "core/FRef.h"
#include "core/FString.h"
#include "game/app/QuitQuestion.h"
#include "game/screenbase/SystemMessageHost.h"
#include "game/widgets/BackdropServices.h"
#include "ui/FAppUserInterfaceModule.h"
#include "ui/FTimerTween.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class AssetLoadJob;
class ControllerManager;
class CursorDevice;
class FColorRect;
class FContainer;
class FModule;
class GameCursors;
class GameParams;
class GameSaveData;
class GameSession;
class GameSoundChannels;
class GlobalSettings;
class ParticleEmitterView;
class PlayerProfile;
class ProfileManager;
class SaveManager;
class ZibboPlayFieldServices;
class ZibboWorldMapServices;

// The game module: the user-interface module of the game and the owner of
// every game-wide object (tuning values, sound channels, cursors, the shared
// menu backdrop). At launch it reads the tuning values, builds the audio
// graph, registers the game's widget types, asks for the intro screen, makes
// the 800 x 600 window and seeds the game's random numbers. While the window
// is inactive an almost invisible overlay catches the pointer and the sounds
// are muted; the overlay stays 100 ms after reactivation. While it is
// minimised the whole mixer is paused and the screens are not updated.
// Pointer events pass through the game's filters before the screens see
// them. Once the splash screen has shown, closing the window asks first
// (unless the window is minimised or inactive).
class ZibboUserInterface : public FAppUserInterfaceModule, public BackdropServices, public SystemMessageHost
{
public:
    static constexpr int32_t k_windowWidth = 800;
    static constexpr int32_t k_windowHeight = 600;
    static constexpr int32_t k_reactivationMs = 100;
    // Pointer button codes that count as the primary button.
    static constexpr int32_t k_buttonLeft = 8;
    static constexpr int32_t k_buttonConfirm = 6;
    // More assets than this waiting to load is worth a warning.
    static constexpr std::size_t k_assetQueueWarning = 10;

    // `factory` and `cursors` must outlive the module.
    ZibboUserInterface(FScreenFactory* factory, CursorDevice& cursors);
    ~ZibboUserInterface() override;

    // The game module of the running application (null when none).
    static ZibboUserInterface* getInstance();

    void onLaunch() override;
    void stop() override;
    void tick(uint32_t elapsedMs) override;
    void onActivated() override;
    void onDeactivated() override;
    void onWindowMinimized() override;
    void onWindowRestored() override;
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;
    // The current screen hears of it first, then the controller manager.
    void onControllerConnected(int32_t pointer) override;
    // Any thread: resets both players' cursors, remembers the kind being
    // left (unless it is the loading or game-mode screen), then the request.
    void setScreen(int32_t kind, bool async) override;

    // Appends an asset handle to the queue of background loads: one loads
    // at a time, in queue order, and at most one starts per frame.
    void queueAssetLoad(const FRef& asset);
    std::size_t queuedAssetLoads() const { return m_assetLoadQueue.size(); }
    bool isAssetLoadRunning() const;
    // The performance warning for `waiting` queued assets (empty when there
    // are not too many).
    static std::string assetQueueWarning(std::size_t waiting);

    // Saved state. initSaveData makes the profile manager and the global
    // settings anew, loads them (loadSaveData) and starts a new play session;
    // the splash screen calls it, and the system-message screen again after a
    // save error.
    void initSaveData();
    bool loadSaveData();
    // Hands the save error that the last set-up of the save data left (a
    // damaged file kept aside, or files that could not be written) to
    // `screen` as a save event, once: the screen that set the save data up
    // shows it as a system prompt after the set-up. False when none was
    // pending. Not done inside initSaveData, which the system prompt itself
    // calls while it clears its queue.
    bool showPendingSaveError(FScreen& screen);
    FRefT<SaveManager> getSaveManager() const;
    FRefT<GlobalSettings> getGlobalSettings() const;
    FRefT<GameSession> getGameSession() const;
    ProfileManager* profileManager() const;
    // The profile being created by the front-end screens, its edit slot and
    // return flag (see GameSaveData); commitNewProfile adds it with the
    // current sound volumes and the interface language.
    GameSaveData& saveData() const { return *m_saveData; }
    void beginNewProfile();
    void setNewProfileName(const FString& name);
    bool commitNewProfile();
    void cancelNewProfile();
    // The profile screens delete a profile through here, so that the
    // settings stop naming it as the last profile.
    void deleteProfile(const FString& name);
    void copyProfiles(std::vector<PlayerProfile>& out) const;
    bool isProfileSlotUsed(int32_t slot) const;

    // The shared backdrop of the menus: each menu screen adds a new view over
    // itself (it replaces the one before) and releases it when it goes; the
    // view goes when no user is left.
    void addParticleView(FContainer* screen);
    void releaseParticleView();
    ParticleEmitterView* particleView() const { return m_particleView.get(); }
    int32_t particleViewUsers() const { return m_particleViewUsers; }

    ControllerManager& controllerManager() const { return *m_controllerManager; }

    // The close request: ignored while one is pending; asks the quit
    // question when it must be confirmed, otherwise ends at once.
    void quit(int32_t code) override;
    // The quit question on the current prompt screen; its buttons call
    // finishQuit and cancelQuit until it is answered.
    virtual void showQuitConfirmation();
    // Stops the sounds and ends the application with the remembered code.
    virtual void finishQuit();
    // Withdraws the quit question and resumes what the question paused.
    virtual void cancelQuit();
    // Set once the splash screen has shown.
    void setQuitNeedsConfirmation(bool needs) { m_quitQuestion.setNeedsConfirmation(needs); }
    bool isQuitPending() const { return m_quitQuestion.isPending(); }
    const QuitQuestion& quitQuestion() const { return m_quitQuestion; }

    void pauseAudioAndCursor(bool stopEffects) override;
    void resumeAudioAndCursor(bool force) override;
    void disableSaving() override;
    void rebuildSaveData() override;
    void returnToSystemMenu() override;

    bool isGamePaused() const override;
    void playSound(const FRef& sound, int32_t volume) override;

    // The screen the loading screen continues to; k_noScreen lets it go on
    // to the story mode screen.
    int32_t pendingScreen() const { return m_pendingScreen.load(); }
    void setPendingScreen(int32_t kind) { m_pendingScreen.store(kind); }
    // Makes the main menu start its music when it next becomes current.
    bool menuMusicRestart() const { return m_menuMusicRestart.load(); }
    void setMenuMusicRestart(bool restart) { m_menuMusicRestart = restart; }
    // Set while a gameplay screen has asked for its pause overlay.
    bool isPauseRequested() const { return m_pauseRequested; }
    void setPauseRequested(bool requested) { m_pauseRequested = requested; }

    // The player's volumes: music and voice 0..64, the effect scale 0..10.
    // The module keeps them and applies them to the sound channels when
    // there are any; a scale above 10 is refused by the channels.
    virtual void setMusicVolume(uint8_t volume);
    virtual void setVoiceVolume(uint8_t volume);
    virtual void setSfxVolumeScale(int32_t scale);
    uint8_t musicVolume() const { return m_musicVolume; }
    uint8_t voiceVolume() const { return m_voiceVolume; }
    int16_t sfxVolumeScale() const { return m_sfxScale; }
    // The dialogue channel: a voice line that plays on through pauses.
    virtual void playDialogue(const FRef& sound);
    virtual void stopDialogue();
    // Every sound but the dialogue channel.
    virtual void stopAllSounds();

    GameParams* params() const { return m_params.get(); }
    GameSoundChannels* sounds() const { return m_sounds.get(); }
    GameCursors* cursors() const { return m_cursors.get(); }
    int32_t previousScreenKind() const { return m_previousScreenKind.load(); }
    bool isSuspended() const { return m_suspended; }
    bool hasInactiveOverlay() const { return !m_inactiveOverlay.isNull(); }
    const FTimerTween& reactivationTimer() const { return m_reactivationTimer; }

protected:
    // The sound channels over the audio service, when there is one; the
    // launch makes them.
    void setupSounds();

private:
    // The tuning value FullScreen picks display mode 0, otherwise mode 1.
    void openWindow();
    void setupCursors();
    // Mutes or unmutes every fixed and effect channel.
    void setChannelsMuted(bool muted);
    void endReactivation();
    // Under the audio lock: the pause flag of the mixer's root.
    void setMixerPaused(bool paused);
    void startNextAssetLoad();
    // The table of which pointer events reach the screens.
    bool passesFilter(int32_t pointer, int32_t button, bool down) const;

    CursorDevice& m_cursorDevice;
    FRefT<GameParams> m_params;
    std::unique_ptr<GameCursors> m_cursors;
    std::unique_ptr<GameSoundChannels> m_sounds;
    std::unique_ptr<ControllerManager> m_controllerManager;
    std::unique_ptr<GameSaveData> m_saveData;
    std::unique_ptr<ZibboPlayFieldServices> m_playFieldServices;
    bool m_suspended = false;
    std::atomic<int32_t> m_previousScreenKind{k_noScreen};
    std::unique_ptr<ZibboWorldMapServices> m_worldMapServices;
    FRefT<ParticleEmitterView> m_particleView;
    int32_t m_particleViewUsers = 0;
    std::deque<FRef> m_assetLoadQueue;
    std::unique_ptr<AssetLoadJob> m_assetLoadJob;
    FTimerTween m_reactivationTimer;
    FRefT<FColorRect> m_inactiveOverlay;
    QuitQuestion m_quitQuestion;
    std::atomic<int32_t> m_pendingScreen{k_noScreen};
    std::atomic<bool> m_menuMusicRestart{false};
    bool m_pauseRequested = false;
    uint8_t m_musicVolume = 24;
    uint8_t m_voiceVolume = 44;
    int16_t m_sfxScale = 6;
};

// The game module over the game's screen factory and the system cursors, for
// the application's module list.
FModule* createZibboUserInterface();
