#include "game/core/ProfileManager.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FSerializer.h"
#include "core/FXmlSerializer.h"
#include "game/core/SaveManager.h"

#include <string>

namespace {

const char k_freeName[] = "<>";

} // namespace

ProfileManager::ProfileManager(SaveManager& saveManager)
    : m_saveManager(saveManager), m_profiles(k_slotCount, PlayerProfile(FString(k_freeName))),
      m_slotReady(k_slotCount, false)
{
}

FString ProfileManager::fileNameOf(int32_t slot)
{
    return FString(("Pdl_" + std::to_string(slot) + ".p").c_str());
}

bool ProfileManager::createInitialFiles()
{
    bool allReady = true;
    m_replacedFiles = 0;
    for (int32_t slot = 0; slot < k_slotCount; ++slot) {
        const FString fileName = fileNameOf(slot);
        PlayerProfile& profile = m_profiles[static_cast<size_t>(slot)];
        m_slotReady[static_cast<size_t>(slot)] = false;
        FFileEntryMap found;
        m_saveManager.findFiles(found, fileName);
        if (found.empty()) {
            ZIBBO_LOG(k_logDefault, false)
                << "ProfileManager::createInitialFiles: Creating new profile: '" << fileName << "'.";
            profile.reset();
            m_slotReady[static_cast<size_t>(slot)] = saveProfile(slot);
            allReady = allReady && m_slotReady[static_cast<size_t>(slot)];
            continue;
        }
        const FRefT<FInStream> stream = m_saveManager.loadData(fileName);
        if (waitForRefTarget(stream) != nullptr) {
            ZIBBO_LOG(k_logDefault, false)
                << "ProfileManager::createInitialFiles: Loading existing profile: '" << fileName << "'.";
            if (profile.load(stream)) {
                m_slotReady[static_cast<size_t>(slot)] = true;
                continue;
            }
        }
        // A failed check or a malformed file: the player's data is kept aside
        // before a fresh profile takes the slot, and is never written over.
        profile.reset();
        if (!m_saveManager.keepAsBad(fileName)) {
            allReady = false;
            continue;
        }
        ++m_replacedFiles;
        m_slotReady[static_cast<size_t>(slot)] = saveProfile(slot);
        allReady = allReady && m_slotReady[static_cast<size_t>(slot)];
    }
    return allReady;
}

bool ProfileManager::isSlotReady(int32_t slot) const
{
    return static_cast<uint32_t>(slot) < static_cast<uint32_t>(k_slotCount) &&
           m_slotReady[static_cast<size_t>(slot)];
}

PlayerProfile* ProfileManager::getCurrentProfile()
{
    return m_currentIndex < 0 ? nullptr : &m_profiles.at(static_cast<size_t>(m_currentIndex));
}

PlayerProfile* ProfileManager::getProfile(int32_t index)
{
    return static_cast<uint32_t>(index) < static_cast<uint32_t>(k_slotCount)
               ? &m_profiles[static_cast<size_t>(index)]
               : nullptr;
}

void ProfileManager::getUsedProfileNames(std::vector<FString>& names) const
{
    names.clear();
    for (const PlayerProfile& profile : m_profiles)
        if (!(profile.name() == FString(k_freeName))) names.push_back(profile.name());
}

bool ProfileManager::saveProfile(int32_t index)
{
    m_currentIndex = index;
    PlayerProfile& profile = m_profiles.at(static_cast<size_t>(index));
    if (!profile.isChanged()) {
        ZIBBO_LOG(k_logDefault, false)
            << "No revelant changes in " << profile.name() << "'s profile, skip saving.";
        return true;
    }
    const FString fileName = fileNameOf(index);
    bool saved = false;
    {
        const FRefT<FOutStream> stream = m_saveManager.saveData(fileName, k_allowedBytes);
        if (waitForRefTarget(stream) != nullptr) {
            profile.save(stream);
            saved = true;
        }
    }
    saved = saved && m_saveManager.writeChecksum(fileName);
    if (!saved) {
        profile.setChanged();
        ZIBBO_LOG(k_logRelease, false) << "Profile could not be saved: " << fileName;
        return false;
    }
    ZIBBO_LOG(k_logDefault, false) << "Profile saved: " << fileName;
    return true;
}

bool ProfileManager::addProfile(const FString& name, uint16_t language, int32_t slot)
{
    if (name.length() > PlayerProfile::k_maxNameLength)
        ZIBBO_FAIL_TEXT("[Create] User profile name can not have more then " << PlayerProfile::k_maxNameLength
                                                                             << " characters.");
    // A name the profile file would change is refused here, not discovered
    // at the next start.
    if (!FXmlSerializer::canHoldText(name)) {
        ZIBBO_LOG(k_logDefault, false) << "ProfileManager::addProfile: profile name can not be saved.";
        return false;
    }
    for (const PlayerProfile& profile : m_profiles) {
        if (profile.name() == name) {
            ZIBBO_LOG(k_logDefault, false)
                << "ProfileManager::addProfile: profile '" << name << "' already exists.";
            return false;
        }
    }
    const auto isFree = [this](int32_t i) {
        return m_slotReady[static_cast<size_t>(i)] &&
               m_profiles[static_cast<size_t>(i)].name() == FString(k_freeName);
    };
    int32_t chosen = -1;
    if (slot >= -1 && slot < k_slotCount) {
        if (slot >= 0 && isFree(slot)) chosen = slot;
        for (int32_t i = 0; chosen < 0 && i < k_slotCount; ++i)
            if (isFree(i)) chosen = i;
    }
    if (chosen < 0) {
        ZIBBO_LOG(k_logDefault, false) << "ProfileManager::addProfile: All out of profiles!";
        return false;
    }
    PlayerProfile& profile = m_profiles[static_cast<size_t>(chosen)];
    profile.setName(name);
    profile.reset();
    profile.setAvatar(m_template.avatar);
    profile.setDifficulty(m_template.difficulty);
    profile.setVoiceVolume(m_template.voiceVolume);
    profile.setMusicVolume(m_template.musicVolume);
    profile.setEffectVolume(m_template.effectVolume);
    profile.setCreationLanguage(language);
    profile.setChanged();
    m_currentIndex = chosen;
    return saveProfile(chosen);
}

void ProfileManager::deleteProfile(const FString& name)
{
    for (int32_t slot = 0; slot < k_slotCount; ++slot) {
        PlayerProfile& profile = m_profiles[static_cast<size_t>(slot)];
        if (!m_slotReady[static_cast<size_t>(slot)] || !(profile.name() == name)) continue;
        profile.setName(FString(k_freeName));
        profile.setAvatar(0);
        profile.reset();
        saveProfile(slot);
    }
}

void ProfileManager::serialize(FSerializer& serializer)
{
    for (PlayerProfile& profile : m_profiles) {
        int32_t noCount = -1;
        serializer.beginArray("Profile", noCount);
        profile.serialize(serializer);
        serializer.endArray("Profile");
    }
}
