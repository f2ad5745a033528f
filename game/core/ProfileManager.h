#pragma once

#include "core/FString.h"
#include "game/core/PlayerProfile.h"

#include <cstdint>
#include <vector>

class FSerializer;
class SaveManager;

// The six player profiles, one per slot, each in the file "Pdl_<slot>.p"
// with its side file, and the current one. A slot whose profile is named
// "<>" is free. All operations run on the UI thread.
class ProfileManager
{
public:
    static constexpr int32_t k_slotCount = 6;
    static constexpr int32_t k_allowedBytes = 4311;

    // What a newly created profile starts with; the game module fills it just
    // before it adds a profile.
    struct NewProfileTemplate
    {
        bool difficulty = false;
        int16_t avatar = 1;
        int16_t voiceVolume = 44;
        int16_t musicVolume = 24;
        int16_t effectVolume = 6;
    };

    explicit ProfileManager(SaveManager& saveManager);
    virtual ~ProfileManager() = default;

    // "Pdl_<slot>.p".
    static FString fileNameOf(int32_t slot);

    // Loads the six files, or creates the missing ones, each slot on its own:
    // a slot that fails does not keep the others from loading. A file that
    // fails its check or is malformed is kept as "<name>.bad" and replaced by
    // a fresh profile; one that cannot be kept aside is left as it is and its
    // slot stays closed. False when a slot could not be made ready.
    bool createInitialFiles();
    // Slots whose file was damaged and replaced by the last
    // createInitialFiles.
    int32_t replacedFiles() const { return m_replacedFiles; }
    // True once the slot's file was read, created or replaced. Only such a
    // slot can be given to a new profile: one that was never read may hold
    // a player's profile on the disk.
    bool isSlotReady(int32_t slot) const;

    // Null while no profile is current.
    PlayerProfile* getCurrentProfile();
    int32_t currentIndex() const { return m_currentIndex; }
    // Null for an index outside 0 to 5.
    PlayerProfile* getProfile(int32_t index);
    // The names of the used slots, in slot order.
    void getUsedProfileNames(std::vector<FString>& names) const;

    // Fills a free ready slot (the wished one when it is free, else the
    // first free one; `slot` -1 for any) and saves it. A name longer than 12 units is a
    // failure report; a name in use, a name the profile file cannot hold
    // unchanged (control characters, broken surrogate pairs), a wished slot
    // outside -1 to 5 or no free slot answer false and change nothing.
    bool addProfile(const FString& name, uint16_t language, int32_t slot);
    // Makes `index` current and writes its file when the profile changed.
    // False when the file did not reach the disk (the profile stays marked
    // as changed, so the next save tries again). An index outside 0 to 5 is
    // std::out_of_range.
    bool saveProfile(int32_t index);
    // Frees every ready slot with this name and saves it.
    void deleteProfile(const FString& name);

    NewProfileTemplate& newProfileTemplate() { return m_template; }

    virtual void serialize(FSerializer& serializer);

private:
    SaveManager& m_saveManager;
    int32_t m_currentIndex = -1;
    std::vector<PlayerProfile> m_profiles;
    std::vector<bool> m_slotReady;
    int32_t m_replacedFiles = 0;
    NewProfileTemplate m_template;
};
