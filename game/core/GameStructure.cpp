#include "game/core/GameStructure.h"

#include "game/core/GameDataFields.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/TaskDataFactory.h"
#include "game/core/TaskData_PictureSearch.h"
#include "game/core/TaskData_Ratios.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FSerializer.h"

GameStructure::GameStructure(ProfileManager* profiles) : m_profiles(profiles)
{
    buildSpecialQuest();
}

GameStructure::~GameStructure() = default;

void GameStructure::serialize(FSerializer& serializer)
{
    // Everything is read aside first, so refused data leaves the structure
    // as it was.
    std::deque<World> worlds;
    GameDataFields::readRecords(serializer, "Worlds", worlds);
    std::vector<std::int32_t> multiplayerPowerUps;
    std::vector<std::int32_t> negativePowerUps;
    GameDataFields::readIntList(serializer, "MultiplayerAvailablePowerUps", multiplayerPowerUps);
    GameDataFields::readIntList(serializer, "DrobbNegativePowerUps", negativePowerUps);
    for (const std::vector<std::int32_t>* kinds : {&multiplayerPowerUps, &negativePowerUps}) {
        for (std::int32_t kind : *kinds) {
            if (kind < 0 || kind > GameDataFields::k_maxPowerUpKind) {
                ZIBBO_FAIL_TEXT("Game data: power-up kind " << kind << " is not 0 to "
                                                            << GameDataFields::k_maxPowerUpKind);
            }
        }
    }
    if (worlds.size() != static_cast<std::size_t>(k_worldCount)) {
        ZIBBO_FAIL_TEXT("Game data: " << static_cast<std::int32_t>(worlds.size()) << " worlds, the game has "
                                      << k_worldCount);
    }

    m_worlds.swap(worlds);
    m_multiplayerPowerUps = std::move(multiplayerPowerUps);
    m_negativePowerUps = std::move(negativePowerUps);
    std::int32_t index = 0;
    for (World& world : m_worlds) {
        for (Quest& quest : world.quests()) {
            quest.setOwner(this);
        }
        world.setIndex(index++);
    }
    buildSpecialQuest();
    m_lastResult = Result{};
}

void GameStructure::buildSpecialQuest()
{
    const std::vector<std::int32_t> ratios = {100, 100, 100, 100, 100};
    m_specialTasks.clear();
    m_specialQuest.clearTasks();
    auto add = [this](std::int32_t taskType, std::int32_t index) -> TaskData& {
        FRefT<TaskData> task = createTaskData(taskType, &m_specialQuest);
        if (index >= 0) {
            task->setIndex(index);
        }
        m_specialTasks.push_back(task);
        m_specialQuest.addTask(task);
        return *task;
    };
    add(16, -1);
    static_cast<TaskData_Ratios&>(add(1, 0)).setRatios(ratios, 1);
    static_cast<TaskData_Ratios&>(add(0, 1)).setRatios(ratios, 1);
    LevelCounts counts;
    counts.total = 5;
    counts.multiples = 1;
    counts.multipleCopies = 3;
    counts.commonObjects = 5;
    counts.vignettes = 0;
    static_cast<TaskData_PictureSearch&>(add(6, 2)).setCounts(counts, ratios);
    static_cast<TaskData_Ratios&>(add(7, 3)).setRatios(ratios, 1);
    add(18, -1);

    Quest::Values values;
    values.questType = k_specialQuestType;
    values.questId = 0;
    values.timerLen = 180000;
    values.kidsTimerLen = 132000;
    values.timerPause = 8000;
    values.kidsTimerPause = 3000;
    values.timeReward = 0.15;
    values.kidsTimeReward = 0.15;
    values.startHints = 0;
    values.kidsStartHints = 0;
    values.numBones = 5;
    values.kidsNumBones = 5;
    values.starsPos = {10, 30, 50, 70, 90};
    values.unlockedQuestIds = {1};
    m_specialQuest.assign(values);
    m_specialQuest.setOwner(this);
    m_specialQuest.rewindTasks();
}

void GameStructure::initialize()
{
    PlayerProfile* current = m_profiles != nullptr ? m_profiles->getCurrentProfile() : nullptr;
    if (current == nullptr || current->name() == u"<>") {
        ZIBBO_LOG(k_logDefault, false) << "GameStructure::initialize : No current profile was found. Cannot "
                                          "load any profile information.";
        return;
    }
    // A copy: unlocking below changes and saves the profile itself.
    const PlayerProfile profile = *current;
    std::int32_t w = 0;
    for (std::int32_t value : profile.worlds()) {
        World& world = m_worlds.at(static_cast<std::size_t>(w));
        if (value == 1) {
            ZIBBO_LOG(k_logDefault, false) << "*** Unlocking world: " << w;
        }
        world.setUnlocked(value == 1);
        ++w;
    }
    for (const QuestProgress& entry : profile.copyQuests()) {
        if (entry.state == QuestProgress::k_locked) {
            if (Quest* quest = findQuest(entry.questId).first; quest != nullptr) {
                quest->setUnlocked(false);
            }
        } else {
            ZIBBO_LOG(k_logDefault, false)
                << "*** Unlocking quest: " << entry.questId << " from world " << entry.world;
            unlock(entry.questId);
        }
    }
}

bool GameStructure::unlock(std::int32_t questId)
{
    ZIBBO_LOG(k_logDefault, false) << "unlocking quest with id " << questId;
    auto [quest, worldIndex] = findQuest(questId);
    if (quest == nullptr) {
        return false;
    }
    quest->setUnlocked(true);
    PlayerProfile* profile = m_profiles != nullptr ? m_profiles->getCurrentProfile() : nullptr;
    if (profile != nullptr && profile->unlockQuest(questId, worldIndex)) {
        if (quest->questType() == 0) {
            ZIBBO_LOG(k_logDefault, false) << "unlocking world " << worldIndex + 1;
            m_worlds.at(static_cast<std::size_t>(worldIndex)).setUnlocked(true);
            profile->unlockWorld(worldIndex);
        }
        m_profiles->saveProfile(m_profiles->currentIndex());
    }
    return true;
}

std::pair<Quest*, std::int32_t> GameStructure::findQuest(std::int32_t questId)
{
    std::pair<Quest*, std::int32_t> found{nullptr, 0};
    for (World& world : m_worlds) {
        for (Quest& quest : world.quests()) {
            if (quest.questId() == questId) {
                found = {&quest, world.index()};
            }
        }
    }
    return found;
}

void GameStructure::recordQuestResult(std::int32_t questId, std::int32_t stars)
{
    PlayerProfile* profile = m_profiles != nullptr ? m_profiles->getCurrentProfile() : nullptr;
    if (profile == nullptr) {
        return;
    }
    const QuestProgress* entry = profile->setQuestResult(questId, stars);
    m_profiles->saveProfile(m_profiles->currentIndex());
    if (entry != nullptr) {
        m_lastResult = Result{entry->questId, entry->world, entry->state};
    }
}
