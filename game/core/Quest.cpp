#include "game/core/Quest.h"

#include "game/core/GameDataFields.h"
#include "game/core/GameStructure.h"
#include "game/core/TaskDataFactory.h"

#include "core/FLogStream.h"
#include "core/FSerializer.h"

#include <algorithm>
#include <string>

Quest::~Quest() = default;

bool Quest::isStub(std::int32_t questId) noexcept
{
    return std::find(k_skipList.begin(), k_skipList.end(), questId) != k_skipList.end();
}

void Quest::serialize(FSerializer& serializer)
{
    using namespace GameDataFields;
    m_questId = readInt(serializer, "QuestId");
    requireRange(m_questId, 0, k_questIdCount - 1, "QuestId", m_questId, -1);
    if (isStub(m_questId)) {
        return;
    }
    ZIBBO_LOG(k_logDefault, false) << "Quest ID : " << m_questId;
    readRecord(serializer);
    m_hasTimer = m_timerLen > 0;
    m_cursor = 0;
}

void Quest::readRecord(FSerializer& serializer)
{
    using namespace GameDataFields;
    const std::int32_t questType = readInt(serializer, "QuestType");
    readInt(serializer, "ParentWorld");
    readIntList(serializer, "UnlockedQuestIds", m_unlockedQuestIds);
    m_timerLen = readInt(serializer, "TimerLen");
    m_kidsTimerLen = readInt(serializer, "KidsTimerLen");
    m_startHints = readInt(serializer, "StartHints");
    m_kidsStartHints = readInt(serializer, "KidsStartHints");
    m_numBones = readInt(serializer, "NumBones");
    m_kidsNumBones = readInt(serializer, "KidsNumBones");
    readIntList(serializer, "AvailablePowerUps", m_availablePowerUps);
    readIntList(serializer, "KidsAvailablePowerUps", m_kidsAvailablePowerUps);
    readIntList(serializer, "InitialPowerUps", m_initialPowerUps);
    m_timerPause = readInt(serializer, "TimerPause");
    m_kidsTimerPause = readInt(serializer, "KidsTimerPause");
    serializer.readDouble("TimeReward", m_timeReward);
    serializer.readDouble("KidsTimeReward", m_kidsTimeReward);
    readIntList(serializer, "StarsPos", m_starsPos);
    const std::int32_t taskCount = readInt(serializer, "TaskCount");
    m_interruptTimer = readInt(serializer, "drabbInteruptTimer");
    m_kidsInterruptTimer = readInt(serializer, "KidsdrabbInteruptTimer");
    m_hasInterruption = readInt(serializer, "hasDrabbInterupt") > 0;
    m_questType = questType;

    // Values the level arithmetic divides by or counts with.
    requireRange(m_timerLen, 0, 0x7FFFFFFF, "TimerLen", m_questId, -1);
    requireRange(m_kidsTimerLen, 0, 0x7FFFFFFF, "KidsTimerLen", m_questId, -1);
    requireRange(m_startHints, 0, 98, "StartHints", m_questId, -1);
    requireRange(m_kidsStartHints, 0, 98, "KidsStartHints", m_questId, -1);
    requireRange(m_numBones, 0, k_maxCount, "NumBones", m_questId, -1);
    requireRange(m_kidsNumBones, 0, k_maxCount, "KidsNumBones", m_questId, -1);
    for (std::int32_t position : m_starsPos) {
        requireRange(position, 0, 100, "StarsPos", m_questId, -1);
    }
    for (std::int32_t id : m_unlockedQuestIds) {
        requireRange(id, 0, k_questIdCount - 1, "UnlockedQuestIds", m_questId, -1);
    }
    requirePowerUpKinds(m_availablePowerUps, "AvailablePowerUps", m_questId);
    requirePowerUpKinds(m_kidsAvailablePowerUps, "KidsAvailablePowerUps", m_questId);
    requirePowerUpKinds(m_initialPowerUps, "InitialPowerUps", m_questId);
    requireRange(taskCount, 1, k_maxTasks, "TaskCount", m_questId, -1);

    m_tasks.clear();
    for (std::int32_t i = 0; i < taskCount; ++i) {
        ZIBBO_LOG(k_logDefault, false) << "Task : TaskType_" << i;
        const std::string key = "TaskType_" + std::to_string(i);
        const std::int32_t taskType = readInt(serializer, key.c_str());
        // A type without a kind would leave its section to the task before it.
        requireRange(taskType, 0, TaskData::k_maxTaskType, key.c_str(), m_questId, i);
        FRefT<TaskData> task = createTaskData(taskType, this);
        m_tasks.push_back(task);
        task->setIndex(i);
        task->serialize(serializer);
        ZIBBO_LOG(k_logDefault, false) << "\ttastype : " << taskType;
    }
}

void Quest::addTask(FRefT<TaskData> task)
{
    m_tasks.push_back(std::move(task));
    m_cursor = 0;
}

TaskData* Quest::getCurrentTask()
{
    if (m_tasks.empty()) {
        return nullptr;
    }
    m_cursor = 0;
    while (m_cursor < m_tasks.size() && m_tasks[m_cursor]->isDone()) {
        ++m_cursor;
    }
    if (m_cursor == m_tasks.size()) {
        --m_cursor;
    }
    return m_tasks[m_cursor].get();
}

void Quest::completeCurrentTask()
{
    if (m_tasks.empty()) {
        return;
    }
    m_tasks[m_cursor]->setDone(true);
    if (m_cursor + 1 == m_tasks.size()) {
        m_completed = true;
        m_finished = true;
        unlockFollowingQuests();
    } else {
        ++m_cursor;
    }
}

void Quest::unlockFollowingQuests()
{
    if (m_owner == nullptr) {
        return;
    }
    for (std::int32_t id : m_unlockedQuestIds) {
        m_owner->unlock(id);
    }
}

void Quest::resetTasks()
{
    for (const FRefT<TaskData>& task : m_tasks) {
        task->setDone(false);
    }
    m_cursor = 0;
    m_finished = false;
}

bool Quest::onlyLateTasksLeft() const
{
    return std::all_of(m_tasks.begin(), m_tasks.end(),
                       [](const FRefT<TaskData>& task) { return task->isDone() || task->taskType() > 14; });
}

void Quest::assign(const Values& values)
{
    m_questType = values.questType;
    m_questId = values.questId;
    m_timerLen = values.timerLen;
    m_kidsTimerLen = values.kidsTimerLen;
    m_timerPause = values.timerPause;
    m_kidsTimerPause = values.kidsTimerPause;
    m_timeReward = values.timeReward;
    m_kidsTimeReward = values.kidsTimeReward;
    m_startHints = values.startHints;
    m_kidsStartHints = values.kidsStartHints;
    m_numBones = values.numBones;
    m_kidsNumBones = values.kidsNumBones;
    m_starsPos = values.starsPos;
    m_unlockedQuestIds = values.unlockedQuestIds;
    m_hasInterruption = false;
    m_hasTimer = true;
}

void Quest::clearTasks() noexcept
{
    m_tasks.clear();
    m_cursor = 0;
}
