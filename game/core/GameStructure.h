#pragma once

// The static game data: the twelve worlds in story order with their quests,
// the game's two power-up lists and the program-made special quest. Read once
// from the game data; afterwards it follows the current profile's unlocks and
// records quest results into it.

#include "game/core/Quest.h"
#include "game/core/World.h"

#include "core/FRef.h"

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

class FSerializer;
class ProfileManager;
class TaskData;

class GameStructure
{
public:
    static constexpr std::int32_t k_worldCount = 12;
    // The quest type the play session selects the special quest by.
    static constexpr std::int32_t k_specialQuestType = 6;

    struct Result
    {
        std::int32_t questId = -1;
        std::int32_t world = -1;
        std::int32_t state = -2;
    };

    // `profiles` gives the current profile; it may be null (no unlock then
    // reaches a profile).
    explicit GameStructure(ProfileManager* profiles);
    ~GameStructure();
    GameStructure(const GameStructure&) = delete;
    GameStructure& operator=(const GameStructure&) = delete;

    // Reads "Worlds", "MultiplayerAvailablePowerUps" and
    // "DrobbNegativePowerUps". Game data that is not twelve worlds, or that a
    // quest refuses, raises a failure report and leaves the structure as it
    // was.
    void serialize(FSerializer& serializer);

    // Applies the current profile's unlocked worlds and quests.
    void initialize();
    // Unlocks a quest (and its world for quest type 0) in the game data and
    // the current profile, saving the profile when it changed; false when no
    // quest has the id.
    bool unlock(std::int32_t questId);
    // The last quest with the id and its world index; (null, 0) for none.
    std::pair<Quest*, std::int32_t> findQuest(std::int32_t questId);
    // Records a finished quest's stars in the current profile and saves it.
    void recordQuestResult(std::int32_t questId, std::int32_t stars);

    std::deque<World>& worlds() noexcept { return m_worlds; }
    const Result& lastResult() const noexcept { return m_lastResult; }
    void setLastResult(const Result& result) noexcept { m_lastResult = result; }
    // The world map takes the last result once: back to {-1, -1, -2}.
    void resetLastResult() noexcept { m_lastResult = Result{}; }
    const std::vector<std::int32_t>& multiplayerPowerUps() const noexcept { return m_multiplayerPowerUps; }
    const std::vector<std::int32_t>& negativePowerUps() const noexcept { return m_negativePowerUps; }
    Quest& specialQuest() noexcept { return m_specialQuest; }
    ProfileManager* profiles() const noexcept { return m_profiles; }

private:
    void buildSpecialQuest();

    ProfileManager* m_profiles;
    std::deque<World> m_worlds;
    Result m_lastResult;
    std::vector<std::int32_t> m_multiplayerPowerUps;
    std::vector<std::int32_t> m_negativePowerUps;
    Quest m_specialQuest;
    std::deque<FRefT<TaskData>> m_specialTasks;
};
