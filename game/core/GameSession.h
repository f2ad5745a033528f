#pragma once

// The current play: the game data, the current world and quest, the level's
// search-list generator, the power-ups active in the level and each player's
// wrong clicks against the wrong-click penalty.

#include "game/core/GameStructure.h"
#include "game/core/QuestProgress.h"
#include "game/core/StoryEvent.h"

#include "core/FRef.h"

#include <array>
#include <cstdint>
#include <deque>
#include <istream>
#include <vector>

class ActivePowerUp;
class GameParams;
class GameplayScreen;
class LevelTimer;
class ProfileManager;
class SearchListGenerator;
class SearchableObject;
class World;

class GameSession
{
public:
    static constexpr std::int32_t k_playerCount = 2;
    static constexpr std::int32_t k_slotCount = 2;
    // The story event the wrong-click penalty raises.
    static constexpr std::int32_t k_wrongClickEvent = k_eventWrongClickPenalty;

    // The tuning values the session and its level objects use; the game
    // module fills them from its GameParams ("WrongHitTimer",
    // "WrongHitCounter", "ComboTime", "ComboWarning").
    struct Tuning
    {
        std::int32_t wrongHitTimer = 5000;
        std::int32_t wrongHitCounter = 3;
        double comboTime = 0.0;
        double comboWarning = 0.0;
    };

    // The tuning the game's tuning values give.
    static Tuning tuningOf(const GameParams& params);

    // `profiles` gives the current profile (may be null).
    GameSession(ProfileManager* profiles, const Tuning& tuning);
    ~GameSession();
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // Reads the game data from a readable stream into the game structure.
    void loadGameStructure(const FRefT<std::istream>& data);

    // Starts a level of the current quest on `screen`: a new generator, in
    // mode 0 the world's search data read into it and the quest's tasks
    // reset, then the generator started.
    void startLevel(GameplayScreen* screen);
    void update(std::int32_t elapsedMs);
    void registerWrongHit(std::int32_t player);
    // The player's wrong clicks start over (a click that found an item).
    void resetWrongClicks(std::int32_t player);

    LevelTimer* getLevelTimer() const;
    FRefT<SearchListGenerator> getSearchListGenerator() const { return m_generator; }
    void getSearchListState(std::deque<SearchableObject*>& out) const;
    void checkSearchProgress();
    // 6 without a current quest or in picture-search mode, else the current
    // task's type (-1 for a quest without tasks).
    std::int32_t getCurrentTaskType() const;
    void selectQuest(std::int32_t questType);
    bool getWorldFlag(std::int32_t worldIndex) const;
    bool getQuestFlagOfWorld(std::int32_t questType) const;
    Quest* findQuestByKey(std::int32_t questId) const;
    void clearNewWorlds();
    void clearNewQuests();
    void copyOpenQuests(std::vector<QuestProgress>& out) const;
    void copyQuestProgress(std::vector<QuestProgress>& out) const;
    void copyNegativePowerUps(std::vector<std::int32_t>& out) const;

    ActivePowerUp* addActivePowerUp(std::int32_t kind);
    void copyActivePowerUps(std::vector<ActivePowerUp*>& out) const;
    // Places a power-up in its slot, ending the one that held the slot.
    void setPowerUpSlot(ActivePowerUp* powerUp, bool keepOthers);
    // Ends the listed power-up (if it is still listed) and empties `slot`.
    void cancelPowerUp(ActivePowerUp* powerUp, std::int32_t slot);
    void cancelAllPowerUps();
    // Ends every power-up when a new task begins.
    void dropActivePowerUps();
    ActivePowerUp* powerUpSlot(std::int32_t slot) const { return m_slots.at(static_cast<std::size_t>(slot)); }

    GameStructure& structure() const { return *m_structure; }
    ProfileManager* profiles() const noexcept { return m_profiles; }
    const Tuning& tuning() const noexcept { return m_tuning; }
    GameplayScreen* gameplayScreen() const noexcept { return m_screen; }
    bool isPictureSearchMode() const;

    std::int32_t currentWorldIndex() const noexcept { return m_currentWorldIndex; }
    World* currentWorld() const noexcept { return m_currentWorld; }
    // Screens set the index and the world together.
    void setCurrentWorld(std::int32_t index, World* world) noexcept
    {
        m_currentWorldIndex = index;
        m_currentWorld = world;
    }
    std::int32_t currentQuestType() const noexcept { return m_currentQuestType; }
    Quest* currentQuest() const noexcept { return m_currentQuest; }
    bool isNormalDifficulty() const noexcept { return m_normalDifficulty; }
    void setNormalDifficulty(bool normal) noexcept { m_normalDifficulty = normal; }
    // The world map's special-quest answer: the level that starts next plays
    // the special quest as well.
    bool isSpecialQuest() const noexcept { return m_specialQuest; }
    void setSpecialQuest(bool special) noexcept { m_specialQuest = special; }
    std::int32_t mode() const noexcept { return m_mode; }
    void setMode(std::int32_t mode) noexcept { m_mode = mode; }
    bool isPenaltyEnabled() const noexcept { return m_penaltyEnabled; }
    void setPenaltyEnabled(bool enabled) noexcept { m_penaltyEnabled = enabled; }
    std::int32_t wrongClickCount(std::int32_t player) const { return m_wrongCounts.at(player); }
    std::int32_t wrongClickTimer(std::int32_t player) const { return m_wrongTimers.at(player); }

private:
    // Deletes a listed record after clearing its links (the slots that held it
    // and its hiding object).
    void deletePowerUp(ActivePowerUp* powerUp);

    ProfileManager* m_profiles;
    bool m_specialQuest = false;
    std::int32_t m_currentWorldIndex = -1;
    std::int32_t m_currentQuestType = -1;
    Quest* m_currentQuest = nullptr;
    World* m_currentWorld = nullptr;
    bool m_normalDifficulty = true;
    std::int32_t m_mode = -1;
    Tuning m_tuning;
    GameplayScreen* m_screen = nullptr;
    FRefT<SearchListGenerator> m_generator;
    FRefT<GameStructure> m_structure;
    std::deque<ActivePowerUp*> m_activePowerUps;
    std::array<ActivePowerUp*, k_slotCount> m_slots{};
    std::array<std::int32_t, k_playerCount> m_wrongCounts{};
    std::array<std::int32_t, k_playerCount> m_wrongTimers{};
    std::int32_t m_nextPowerUpId = 0;
    bool m_penaltyEnabled = true;
};
