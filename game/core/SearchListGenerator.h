#pragma once

// Draws up what the player has to find in a level and runs the quest's tasks
// one after another: per task type it picks from the sixteen categories of the
// world's search data (by difficulty ratios for a picture search), watches the
// finds, ends a task 2000 ms after its last find and begins the next, places
// the quest's bones and initial power-ups and starts the Drabb interruption.
// Every random choice draws from the game's rand(), so a seed replays a level.

#include "game/core/HintCounter.h"
#include "game/core/LevelTimer.h"
#include "game/core/SearchListGeneratorBase.h"
#include "game/core/SearchableObject.h"

#include "core/FMemory.h"
#include "core/FRef.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Quest;
class TaskData;

class SearchListGenerator : public SearchListGeneratorBase
{
public:
    // The categories in the order they are kept.
    enum Category : std::int32_t {
        k_creatures,
        k_differences,
        k_hints,
        k_photos,
        k_pictures,
        k_pictureMultiples,
        k_specials,
        k_drabbs,
        k_zibbos,
        k_starmantles,
        k_vessas,
        k_tuffs,
        k_scroll,
        k_vignettes,
        k_travelers,
        k_watchers,
        k_categoryCount
    };
    // The milliseconds between a task's last find and its end.
    static constexpr std::int32_t k_endDelayMs = 2000;

    struct RecordDeleter
    {
        void operator()(SearchableObject* object) const noexcept { engineDelete(object); }
    };
    using Record = std::unique_ptr<SearchableObject, RecordDeleter>;
    using CategoryList = std::vector<Record>;

    explicit SearchListGenerator(GameSession* owner);
    ~SearchListGenerator() override;

    // The section and list names of a world's search data ("World01" for
    // world number 0) and the category each list of the file fills.
    static std::string worldSectionName(std::int32_t worldNumber);
    static const std::array<std::pair<const char*, Category>, k_categoryCount>& fileLists();

    void start() override;
    std::int32_t getItemCount() const override;
    std::int32_t getRemainingCount() const override;
    void checkProgress(std::int32_t itemId) override;
    void update(std::int32_t elapsedMs) override;
    void clearItems() override { m_items.clear(); }
    void setInterruptTarget(StoryTaskStepper* target) override { m_interruptTarget = target; }
    void addInterruptItem() override;
    void markLastItem() override;
    // Reads the section of the current world's number with its sixteen lists
    // and completes the records (characters, kinds, multiple types).
    void serializeState(FSerializer& serializer) override;
    void onItemFound() override { m_levelTimer->onItemFound(); }
    void copyItems(std::deque<SearchableObject*>& out) const override { out = m_items; }
    const std::deque<SearchableObject*>* getBones() const override { return &m_bones; }
    bool checkInterrupt() override;

    // Refuses, with a failure report naming the world, the quest and the
    // task, a quest whose picture search or interruption would draw from an
    // empty category of the search data read.
    void requireCategoriesFor(const Quest& quest, std::int32_t worldNumber) const;

    // Reads the section of `worldNumber`; the play session's world decides
    // which one serializeState reads.
    void readSearchData(FSerializer& serializer, std::int32_t worldNumber);

    LevelTimer& levelTimer() const { return *m_levelTimer; }
    HintCounter& hintCounter() noexcept { return m_hintCounter; }
    const CategoryList& category(Category category) const { return m_categories[category]; }
    bool isEndDelayRunning() const noexcept { return m_endDelayRunning; }
    std::int32_t interruptStarted() const noexcept { return m_interruptStarted; }
    bool isInterruptDone() const noexcept { return m_interruptDone; }

private:
    void prepareLevel();
    void beginTask();
    void pickForTask(std::int32_t taskType);
    void pickSearchables(Category category, std::int32_t count);
    void pickMultiples(const CategoryList& list, std::int32_t count);
    void pickSingles(const CategoryList& list, std::int32_t count, const std::vector<std::int32_t>& ratios);
    void assignInitialPowerUps();
    void assignMultipleTypes();
    void completeTask();
    bool qualifies(const SearchableObject& object) const;
    // The type of the current quest's current task, -1 without one.
    std::int32_t currentTaskType() const;
    TaskData* currentTask() const;
    bool completesAtOnce() const;

    HintCounter m_hintCounter;
    FRefT<LevelTimer> m_levelTimer;
    std::deque<SearchableObject*> m_bones;
    std::array<CategoryList, k_categoryCount> m_categories;
    bool m_endDelayRunning = false;
    std::int32_t m_endDelay = 0;
    StoryTaskStepper* m_interruptTarget = nullptr;
    Quest* m_currentQuest = nullptr;
    std::int32_t m_interruptStarted = 0;
    bool m_interruptDone = false;
};
