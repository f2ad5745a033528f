#pragma once

// One task of a quest: its type (0 to 21), its place in the quest and what the
// search-list generator and the story screen need to play it. Kinds with data
// derive from this class; types 10, 11 and 16 to 21 use it as it is.

#include <cstdint>
#include <string>
#include <vector>

class FSerializer;
class Quest;

class TaskData
{
public:
    static constexpr std::int32_t k_maxTaskType = 21;

    TaskData(std::int32_t taskType, Quest* quest) noexcept : m_quest(quest), m_taskType(taskType) {}
    virtual ~TaskData();
    TaskData(const TaskData&) = delete;
    TaskData& operator=(const TaskData&) = delete;

    // Reads the task's section "TaskData_<index>"; the base kind has none.
    virtual void serialize(FSerializer& serializer);

    virtual bool usesLargeCharacter() const { return false; }
    // "Normal difficulty" selects the plain values, false the Kids values.
    virtual std::int32_t getItemCount(bool normalDifficulty) const;
    virtual std::int32_t getVignetteCount(bool normalDifficulty) const;
    virtual std::int32_t getCommonObjectCount(bool normalDifficulty) const;
    virtual std::int32_t getMultipleCount(bool normalDifficulty) const;
    virtual std::int32_t getMultipleCopyCount(bool normalDifficulty) const;
    // The difficulty ratios a pick by difficulty uses (empty for kinds
    // without ratios).
    virtual std::vector<std::int32_t> getDiffRatios(bool normalDifficulty) const;

    Quest* quest() const noexcept { return m_quest; }
    bool isDone() const noexcept { return m_done; }
    void setDone(bool done) noexcept { m_done = done; }
    std::int32_t taskType() const noexcept { return m_taskType; }
    std::int32_t index() const noexcept { return m_index; }
    void setIndex(std::int32_t index) noexcept { m_index = index; }

protected:
    // The id of the owning quest for failure reports (-1 without one).
    std::int32_t questId() const noexcept;
    // "TaskData_<index>"
    std::string sectionName() const;

private:
    Quest* m_quest;
    bool m_done = false;
    std::int32_t m_taskType;
    std::int32_t m_index = -1;
};
