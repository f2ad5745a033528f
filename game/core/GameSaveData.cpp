#include "game/core/GameSaveData.h"

#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "game/core/GlobalSettings.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/SaveManager.h"

#include <stdexcept>

GameSaveData::GameSaveData() : m_saveManager(makeRef(engineNew<SaveManager>(k_memObject))) {}

GameSaveData::~GameSaveData()
{
    m_newProfile.reset();
    // The session reads the profiles, and both read the save manager.
    m_gameSession.release();
    m_globalSettings.release();
    m_profileManager.release();
    m_saveManager.release();
}

void GameSaveData::initSaveData(const GameSession::Tuning& tuning)
{
    // The session goes before the manager it reads the profiles from.
    m_gameSession.release();
    m_profileManager = makeRef(engineNew<ProfileManager>(k_memObject, *m_saveManager));
    m_globalSettings = makeRef(engineNew<GlobalSettings>(k_memObject, *m_saveManager));
    loadSaveData();
    m_gameSession = makeRef(engineNew<GameSession>(k_memObject, m_profileManager.get(), tuning));
}

bool GameSaveData::loadSaveData()
{
    if (m_globalSettings.isNull() || m_profileManager.isNull()) return false;
    const bool settingsLoaded = m_globalSettings->load();
    const bool profilesLoaded = m_profileManager->createInitialFiles();
    if (!settingsLoaded || !profilesLoaded) {
        ZIBBO_LOG(k_logDefault, false) << "THERE WAS AN ERROR WHILE CREATING INITIAL PROFILE DATA!";
        m_pendingSaveError = k_saveErrorCannotWrite;
        return false;
    }
    if (m_globalSettings->replacedDamagedFile() || m_profileManager->replacedFiles() > 0)
        m_pendingSaveError = k_saveErrorFileReplaced;
    std::vector<FString> names;
    m_profileManager->getUsedProfileNames(names);
    if (names.size() == 1) {
        ZIBBO_LOG(k_logDefault, false) << "Profile found : " << names.front();
    }
    return true;
}

int32_t GameSaveData::takePendingSaveError()
{
    const int32_t error = m_pendingSaveError;
    m_pendingSaveError = k_noSaveError;
    return error;
}

void GameSaveData::beginNewProfile()
{
    m_newProfile = std::make_unique<ProfileNameBuffer>();
}

bool GameSaveData::commitNewProfile(const Volumes& volumes, uint16_t language)
{
    if (m_newProfile == nullptr || m_profileManager.isNull()) return false;
    ProfileManager::NewProfileTemplate& initial = m_profileManager->newProfileTemplate();
    initial.difficulty = m_newProfile->difficulty != 0;
    initial.avatar = m_newProfile->avatar;
    initial.voiceVolume = volumes.voice;
    initial.musicVolume = volumes.music;
    initial.effectVolume = volumes.effectScale;
    if (!m_profileManager->addProfile(m_newProfile->name, language, m_editProfileSlot)) return false;
    if (!m_globalSettings.isNull()) m_globalSettings->setLastProfile(m_newProfile->name);
    m_newProfile.reset();
    return true;
}

void GameSaveData::deleteProfile(const FString& name)
{
    if (m_profileManager.isNull()) return;
    m_profileManager->deleteProfile(name);
    if (!m_globalSettings.isNull() && m_globalSettings->lastProfile() == name)
        m_globalSettings->setLastProfile(FString("<>"));
}

void GameSaveData::cancelNewProfile()
{
    m_newProfile.reset();
    m_editProfileSlot = -1;
}

void GameSaveData::copyProfiles(std::vector<PlayerProfile>& out) const
{
    out.clear();
    if (m_profileManager.isNull()) return;
    for (int32_t slot = 0; slot < ProfileManager::k_slotCount; ++slot)
        out.push_back(*m_profileManager->getProfile(slot));
}

bool GameSaveData::isProfileSlotUsed(int32_t slot) const
{
    if (slot < 0 || slot >= ProfileManager::k_slotCount) throw std::out_of_range("profile slot");
    if (m_profileManager.isNull()) return false;
    return !(m_profileManager->getProfile(slot)->name() == FString("<>"));
}
