#pragma once

#include "core/FRef.h"
#include "core/FString.h"
#include "game/core/GameSession.h"
#include "game/core/ProfileNameBuffer.h"

#include <cstdint>
#include <memory>
#include <vector>

class GlobalSettings;
class PlayerProfile;
class ProfileManager;
class SaveManager;

// The game module's saved state and the bookkeeping of a profile being
// created: the save manager (made with this object), the global settings, the
// profile manager and the play session (made by initSaveData), the profile
// record the front-end screens fill in and the slot they edit. UI thread only.
class GameSaveData
{
public:
    // The volumes a new profile starts with: the game's current ones.
    struct Volumes
    {
        int16_t voice = 44;
        int16_t music = 24;
        int16_t effectScale = 6;
    };

    // Save errors for the player, as the system-message screens number them
    // (their onSaveGameError id).
    static constexpr int32_t k_noSaveError = 0;
    // A saved file failed its check; it was kept aside as "<name>.bad" and
    // replaced. A notice, then the offer to go on without saving.
    static constexpr int32_t k_saveErrorFileReplaced = 2;
    // The saved files could not be written (or a damaged one could not be
    // kept aside). A question: go on without saving, or try again.
    static constexpr int32_t k_saveErrorCannotWrite = 3;

    GameSaveData();
    ~GameSaveData();
    GameSaveData(const GameSaveData&) = delete;
    GameSaveData& operator=(const GameSaveData&) = delete;

    // New profile manager and global settings (last profile "<>", full
    // screen), loaded, then a new play session over them with `tuning`. Each
    // replaces the one made by an earlier call.
    void initSaveData(const GameSession::Tuning& tuning);
    // The global settings, then the six profile files, each on its own: a
    // damaged settings file never keeps the profiles from loading. False when
    // either could not be made ready. A fault is left as the pending save
    // error.
    bool loadSaveData();
    // The save error of the last loadSaveData that has not been shown yet
    // (k_noSaveError when none); taking it clears it. The first screen that
    // can show system messages takes it after setting up the save data.
    int32_t pendingSaveError() const { return m_pendingSaveError; }
    int32_t takePendingSaveError();

    // A fresh, empty record of the profile being created.
    void beginNewProfile();
    void setNewProfileName(const FString& name) { m_pendingProfileName = name; }
    // Adds the record as a profile in the edit slot (any free slot when -1)
    // with the given volumes and creation language and records it as the
    // last profile; the record is then freed. False, record kept, when the
    // profile manager refused it; false too without a record or before
    // initSaveData. A name longer than a profile takes is a failure report.
    bool commitNewProfile(const Volumes& volumes, uint16_t language);
    // Frees every profile with this name (ProfileManager::deleteProfile);
    // when it was the last profile, the settings name none, so that the next
    // start does not look for it.
    void deleteProfile(const FString& name);
    // Frees the record and leaves the edit slot.
    void cancelNewProfile();
    // The six profiles in slot order (none before initSaveData).
    void copyProfiles(std::vector<PlayerProfile>& out) const;
    // True when the slot holds a profile. A slot outside 0 to 5 is
    // std::out_of_range; false before initSaveData.
    bool isProfileSlotUsed(int32_t slot) const;

    const FRefT<SaveManager>& saveManager() const { return m_saveManager; }
    const FRefT<GlobalSettings>& globalSettings() const { return m_globalSettings; }
    const FRefT<ProfileManager>& profileManager() const { return m_profileManager; }
    const FRefT<GameSession>& gameSession() const { return m_gameSession; }

    ProfileNameBuffer* newProfile() const { return m_newProfile.get(); }
    const FString& pendingProfileName() const { return m_pendingProfileName; }
    // The slot the profile screens create or edit (-1 none).
    int32_t editProfileSlot() const { return m_editProfileSlot; }
    void setEditProfileSlot(int32_t slot) { m_editProfileSlot = slot; }
    // Set by the profile screen: the avatar and name-entry screens go back to
    // it.
    bool returnToProfileScreen() const { return m_returnToProfileScreen; }
    void setReturnToProfileScreen(bool back) { m_returnToProfileScreen = back; }

private:
    FRefT<SaveManager> m_saveManager;
    FRefT<ProfileManager> m_profileManager;
    FRefT<GlobalSettings> m_globalSettings;
    FRefT<GameSession> m_gameSession;
    int32_t m_editProfileSlot = -1;
    FString m_pendingProfileName;
    std::unique_ptr<ProfileNameBuffer> m_newProfile;
    bool m_returnToProfileScreen = false;
    int32_t m_pendingSaveError = k_noSaveError;
};
