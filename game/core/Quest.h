#pragma once

// One level: its timers, hints, bones, power-ups, star marks and the ordered
// tasks it is played as. Every plain value has a Kids twin used when the
// current profile's difficulty is false.

#include "game/core/TaskData.h"

#include "core/FRef.h"

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

class FSerializer;
class GameStructure;

class Quest
{
public:
    // Quest ids are 0 to 47 (the profile keeps one entry per id).
    static constexpr std::int32_t k_questIdCount = 48;
    // Tasks a quest may hold.
    static constexpr std::int32_t k_maxTasks = 64;
    // Stub quests: their records hold only "QuestId".
    static constexpr std::array<std::int32_t, 12> k_skipList = {12, 37, 14, 15, 40, 17,
                                                                42, 19, 44, 21, 46, 47};

    Quest() = default;
    virtual ~Quest();
    // A copy holds new handles to the same task data, its cursor at the same
    // position.
    Quest(const Quest&) = default;
    Quest& operator=(const Quest&) = default;

    static bool isStub(std::int32_t questId) noexcept;

    // Reads one quest record and each task's own section. Refuses quest ids
    // outside 0 to 47, task types outside 0 to 21 and task lists longer than
    // 64, naming the quest (and the task).
    virtual void serialize(FSerializer& serializer);

    // Appends a task and puts the cursor on the first task.
    void addTask(FRefT<TaskData> task);
    // The first task not done; the last task when all are done; null without
    // tasks.
    TaskData* getCurrentTask();
    // Marks the task at the cursor done; after the last one the quest is
    // finished and unlocks the quests that follow it.
    void completeCurrentTask();
    void unlockFollowingQuests();
    // Makes the quest playable again: no task done, cursor on the first task,
    // not finished (completed stays).
    void resetTasks();
    // True when every open task has a type above 14 (also with none open).
    bool onlyLateTasksLeft() const;
    void rewindTasks() noexcept { m_cursor = 0; }

    bool isCompleted() const noexcept { return m_completed; }
    bool isFinished() const noexcept { return m_finished; }
    bool isUnlocked() const noexcept { return m_unlocked; }
    void setUnlocked(bool unlocked) noexcept { m_unlocked = unlocked; }
    std::int32_t questType() const noexcept { return m_questType; }
    GameStructure* owner() const noexcept { return m_owner; }
    void setOwner(GameStructure* owner) noexcept { m_owner = owner; }
    const std::deque<FRefT<TaskData>>& tasks() const noexcept { return m_tasks; }
    const std::vector<std::int32_t>& unlockedQuestIds() const noexcept { return m_unlockedQuestIds; }
    std::int32_t questId() const noexcept { return m_questId; }
    bool hasTimer() const noexcept { return m_hasTimer; }
    bool hasInterruption() const noexcept { return m_hasInterruption; }

    // The values of the difficulty: `normal` true the plain key, false "Kids".
    std::int32_t timerLength(bool normal) const noexcept { return normal ? m_timerLen : m_kidsTimerLen; }
    std::int32_t interruptTimer(bool normal) const noexcept
    {
        return normal ? m_interruptTimer : m_kidsInterruptTimer;
    }
    std::int32_t timerPause(bool normal) const noexcept { return normal ? m_timerPause : m_kidsTimerPause; }
    double timeReward(bool normal) const noexcept { return normal ? m_timeReward : m_kidsTimeReward; }
    const std::vector<std::int32_t>& availablePowerUps(bool normal) const noexcept
    {
        return normal ? m_availablePowerUps : m_kidsAvailablePowerUps;
    }
    const std::vector<std::int32_t>& initialPowerUps() const noexcept { return m_initialPowerUps; }
    const std::vector<std::int32_t>& starsPos() const noexcept { return m_starsPos; }
    std::int32_t startHints(bool normal) const noexcept { return normal ? m_startHints : m_kidsStartHints; }
    std::int32_t numBones(bool normal) const noexcept { return normal ? m_numBones : m_kidsNumBones; }

    // The program-made special quest.
    struct Values
    {
        std::int32_t questType;
        std::int32_t questId;
        std::int32_t timerLen;
        std::int32_t kidsTimerLen;
        std::int32_t timerPause;
        std::int32_t kidsTimerPause;
        double timeReward;
        double kidsTimeReward;
        std::int32_t startHints;
        std::int32_t kidsStartHints;
        std::int32_t numBones;
        std::int32_t kidsNumBones;
        std::vector<std::int32_t> starsPos;
        std::vector<std::int32_t> unlockedQuestIds;
    };
    void assign(const Values& values);
    void clearTasks() noexcept;

private:
    void readRecord(FSerializer& serializer);

    bool m_completed = false;
    bool m_finished = false;
    bool m_unlocked = false;
    std::int32_t m_questType = -1;
    GameStructure* m_owner = nullptr;
    std::deque<FRefT<TaskData>> m_tasks;
    std::size_t m_cursor = 0;
    std::vector<std::int32_t> m_unlockedQuestIds;
    std::int32_t m_questId = -1;
    bool m_hasTimer = false;
    std::int32_t m_timerLen = 0;
    std::int32_t m_kidsTimerLen = 0;
    std::int32_t m_interruptTimer = 0;
    std::int32_t m_kidsInterruptTimer = 0;
    std::int32_t m_timerPause = 0;
    std::int32_t m_kidsTimerPause = 0;
    double m_timeReward = 0.0;
    double m_kidsTimeReward = 0.0;
    std::vector<std::int32_t> m_availablePowerUps;
    std::vector<std::int32_t> m_kidsAvailablePowerUps;
    std::vector<std::int32_t> m_initialPowerUps;
    std::vector<std::int32_t> m_starsPos;
    std::int32_t m_startHints = 0;
    std::int32_t m_kidsStartHints = 0;
    std::int32_t m_numBones = 0;
    std::int32_t m_kidsNumBones = 0;
    bool m_hasInterruption = false;
};
