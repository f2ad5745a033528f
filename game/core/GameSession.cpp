#include "game/core/GameSession.h"

#include "game/core/ActivePowerUp.h"
#include "game/core/GameParams.h"
#include "game/core/GameplayScreen.h"
#include "game/core/LevelTimer.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/SearchListGenerator.h"

#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "core/FXmlSerializer.h"

#include <algorithm>

GameSession::GameSession(ProfileManager* profiles, const Tuning& tuning)
    : m_profiles(profiles), m_tuning(tuning),
      m_structure(makeRef(engineNew<GameStructure>(k_memObject, profiles)))
{
}

GameSession::Tuning GameSession::tuningOf(const GameParams& params)
{
    return Tuning{params.wrongHitTimer(), params.wrongHitCounter(), params.comboTime(),
                  params.comboWarning()};
}

GameSession::~GameSession()
{
    // The generator goes first: it unlinks the objects that hide power-ups.
    m_generator.release();
    for (ActivePowerUp* powerUp : m_activePowerUps) {
        powerUp->unlinkItem();
        engineDelete(powerUp);
    }
}

void GameSession::loadGameStructure(const FRefT<std::istream>& data)
{
    FXmlSerializer serializer(data);
    m_structure->serialize(serializer);
}

void GameSession::startLevel(GameplayScreen* screen)
{
    const std::int32_t worldNumber = m_currentWorld != nullptr ? m_currentWorld->index() : -1;
    m_generator = makeRef(engineNew<SearchListGenerator>(k_memObject, this));
    m_screen = nullptr;
    if (m_mode == 0) {
        m_screen = screen;
        FRefT<std::istream> data;
        if (screen != nullptr && worldNumber >= 0 && worldNumber < GameStructure::k_worldCount) {
            data = screen->openSearchData(worldNumber);
        }
        if (data.get() != nullptr) {
            FXmlSerializer serializer(data);
            m_generator->serializeState(serializer);
            if (m_currentQuest != nullptr) {
                m_generator->requireCategoriesFor(*m_currentQuest, worldNumber);
            }
        } else {
            // The level then plays with empty categories: every pick comes up
            // short and the tasks end without items.
            ZIBBO_LOG(k_logWarn, false) << "No search data for world number " << worldNumber;
        }
        if (m_currentQuest != nullptr) {
            m_currentQuest->resetTasks();
        }
    }
    m_generator->start();
}

void GameSession::update(std::int32_t elapsedMs)
{
    if (m_generator.get() != nullptr) {
        m_generator->update(elapsedMs);
    }
    for (std::size_t p = 0; p < m_wrongCounts.size(); ++p) {
        if (m_wrongCounts[p] > 0) {
            m_wrongTimers[p] += elapsedMs;
            if (m_wrongTimers[p] > m_tuning.wrongHitTimer) {
                m_wrongCounts[p] = 0;
                m_wrongTimers[p] = 0;
            }
        }
    }
}

void GameSession::registerWrongHit(std::int32_t player)
{
    if (player < 0 || player >= k_playerCount) {
        return;
    }
    const auto p = static_cast<std::size_t>(player);
    m_wrongCounts[p] += 1;
    if (m_wrongTimers[p] >= m_tuning.wrongHitTimer || m_wrongCounts[p] <= m_tuning.wrongHitCounter ||
        !m_penaltyEnabled) {
        return;
    }
    if (m_screen != nullptr) {
        m_screen->raiseStoryEvent(k_wrongClickEvent);
        m_screen->playWrongHitPenalty(player);
    }
    m_wrongCounts[p] = 0;
    m_wrongTimers[p] = 0;
}

void GameSession::resetWrongClicks(std::int32_t player)
{
    if (player < 0 || player >= k_playerCount) {
        return;
    }
    m_wrongCounts[static_cast<std::size_t>(player)] = 0;
    m_wrongTimers[static_cast<std::size_t>(player)] = 0;
}

LevelTimer* GameSession::getLevelTimer() const
{
    if (m_mode != 0 || m_generator.get() == nullptr) {
        return nullptr;
    }
    return &m_generator->levelTimer();
}

void GameSession::getSearchListState(std::deque<SearchableObject*>& out) const
{
    out.clear();
    if (m_generator.get() != nullptr) {
        m_generator->copyItems(out);
    }
}

void GameSession::checkSearchProgress()
{
    if (m_generator.get() != nullptr) {
        m_generator->checkProgress(-1);
    }
}

bool GameSession::isPictureSearchMode() const
{
    return m_screen != nullptr && m_screen->isPictureSearchMode();
}

std::int32_t GameSession::getCurrentTaskType() const
{
    if (m_currentQuest == nullptr || isPictureSearchMode()) {
        return 6;
    }
    const TaskData* task = m_currentQuest->getCurrentTask();
    return task != nullptr ? task->taskType() : -1;
}

void GameSession::selectQuest(std::int32_t questType)
{
    m_currentQuestType = questType;
    if (questType == GameStructure::k_specialQuestType) {
        m_currentQuest = &m_structure->specialQuest();
    } else if (m_currentWorld != nullptr) {
        if (Quest* quest = m_currentWorld->findQuestByType(questType); quest != nullptr) {
            m_currentQuest = quest;
        }
    }
    if (m_currentQuest != nullptr) {
        m_currentQuest->rewindTasks();
    }
}

bool GameSession::getWorldFlag(std::int32_t worldIndex) const
{
    return m_structure->worlds().at(static_cast<std::size_t>(worldIndex)).isUnlocked();
}

bool GameSession::getQuestFlagOfWorld(std::int32_t questType) const
{
    World& world = m_structure->worlds().at(static_cast<std::size_t>(m_currentWorldIndex));
    const Quest* quest = world.findQuestByType(questType);
    return quest != nullptr && quest->isUnlocked();
}

Quest* GameSession::findQuestByKey(std::int32_t questId) const
{
    for (World& world : m_structure->worlds()) {
        for (Quest& quest : world.quests()) {
            if (quest.questId() == questId) {
                return &quest;
            }
        }
    }
    return nullptr;
}

void GameSession::clearNewWorlds()
{
    if (PlayerProfile* profile = m_profiles != nullptr ? m_profiles->getCurrentProfile() : nullptr) {
        profile->newWorlds().clear();
    }
}

void GameSession::clearNewQuests()
{
    if (PlayerProfile* profile = m_profiles != nullptr ? m_profiles->getCurrentProfile() : nullptr) {
        profile->newQuests().clear();
    }
}

void GameSession::copyOpenQuests(std::vector<QuestProgress>& out) const
{
    const PlayerProfile* profile = m_profiles != nullptr ? m_profiles->getCurrentProfile() : nullptr;
    out = profile != nullptr ? profile->copyOpenQuests() : std::vector<QuestProgress>();
}

void GameSession::copyQuestProgress(std::vector<QuestProgress>& out) const
{
    const PlayerProfile* profile = m_profiles != nullptr ? m_profiles->getCurrentProfile() : nullptr;
    out = profile != nullptr ? profile->copyQuests() : std::vector<QuestProgress>();
}

void GameSession::copyNegativePowerUps(std::vector<std::int32_t>& out) const
{
    out = m_structure->negativePowerUps();
}

ActivePowerUp* GameSession::addActivePowerUp(std::int32_t kind)
{
    auto* powerUp = engineNew<ActivePowerUp>(k_memObject, m_nextPowerUpId++, kind);
    m_activePowerUps.push_back(powerUp);
    return powerUp;
}

void GameSession::copyActivePowerUps(std::vector<ActivePowerUp*>& out) const
{
    out.assign(m_activePowerUps.begin(), m_activePowerUps.end());
}

void GameSession::setPowerUpSlot(ActivePowerUp* powerUp, bool keepOthers)
{
    const std::int32_t slot = powerUp->slot();
    if (slot < 0 || slot >= k_slotCount) {
        return;
    }
    const auto s = static_cast<std::size_t>(slot);
    // A power-up placed again in the slot it holds stays in play.
    if (m_slots[s] != nullptr && m_slots[s] != powerUp) {
        cancelPowerUp(m_slots[s], slot);
    }
    m_slots[s] = powerUp;
    if (isPictureSearchMode() && !keepOthers) {
        const std::deque<ActivePowerUp*> listed = m_activePowerUps;
        for (ActivePowerUp* other : listed) {
            if (other->slot() != slot) {
                cancelPowerUp(other, other->slot());
            }
        }
    }
}

void GameSession::cancelPowerUp(ActivePowerUp* powerUp, std::int32_t slot)
{
    // Found by identity: a record that is no longer listed is never read.
    auto listed = std::find(m_activePowerUps.begin(), m_activePowerUps.end(), powerUp);
    if (listed != m_activePowerUps.end()) {
        m_activePowerUps.erase(listed);
        powerUp->setState(ActivePowerUp::k_stateEnded);
        deletePowerUp(powerUp);
    }
    if (slot >= 0 && slot < k_slotCount) {
        m_slots[static_cast<std::size_t>(slot)] = nullptr;
    }
}

void GameSession::cancelAllPowerUps()
{
    dropActivePowerUps();
    if (m_screen != nullptr) {
        m_screen->clearOwnedItemQueue();
    }
}

void GameSession::dropActivePowerUps()
{
    // Every record is taken off the list before its views hear of its end, so
    // a view that asks for the list sees only live records.
    std::deque<ActivePowerUp*> ended;
    ended.swap(m_activePowerUps);
    for (ActivePowerUp* powerUp : ended) {
        powerUp->setState(ActivePowerUp::k_stateEnded);
        deletePowerUp(powerUp);
    }
    m_slots.fill(nullptr);
}

void GameSession::deletePowerUp(ActivePowerUp* powerUp)
{
    for (ActivePowerUp*& held : m_slots) {
        if (held == powerUp) {
            held = nullptr;
        }
    }
    powerUp->unlinkItem();
    engineDelete(powerUp);
}
