#include "game/core/SearchListGenerator.h"

#include "game/core/ActivePowerUp.h"
#include "game/core/GameDataFields.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSession.h"
#include "game/core/GameShuffle.h"
#include "game/core/GameplayScreen.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/Quest.h"
#include "game/core/StoryTaskStepper.h"
#include "game/core/TaskData_Characters.h"
#include "game/core/World.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FSerializer.h"

#include <algorithm>
#include <cstdio>

namespace {

// The five difficulty classes a single picture is rated in.
constexpr std::size_t k_bucketCount = 5;

std::size_t bucketOf(std::int32_t rating)
{
    // Ratings 1, 2, 3 and 5 have their own bucket; any other joins bucket 4.
    return rating == 1 || rating == 2 || rating == 3 || rating == 5 ? static_cast<std::size_t>(rating - 1)
                                                                    : 3;
}

std::string baseName(const std::string& fileName)
{
    return fileName.size() < 2 ? std::string() : fileName.substr(0, fileName.size() - 2);
}

} // namespace

SearchListGenerator::SearchListGenerator(GameSession* owner)
    : SearchListGeneratorBase(owner), m_hintCounter(owner),
      m_levelTimer(makeRef(
          engineNew<LevelTimer>(k_memObject, owner, owner->tuning().comboTime, owner->tuning().comboWarning)))
{
}

SearchListGenerator::~SearchListGenerator()
{
    // Power-ups outlive the level's objects: their links to the objects go.
    for (CategoryList& list : m_categories) {
        for (Record& record : list) {
            if (ActivePowerUp* powerUp = record->linkedPowerUp(); powerUp != nullptr) {
                powerUp->unlinkItem();
            }
        }
    }
}

std::string SearchListGenerator::worldSectionName(std::int32_t worldNumber)
{
    char name[24];
    std::snprintf(name, sizeof(name), "World%02d", worldNumber + 1);
    return name;
}

const std::array<std::pair<const char*, SearchListGenerator::Category>, SearchListGenerator::k_categoryCount>&
SearchListGenerator::fileLists()
{
    static const std::array<std::pair<const char*, Category>, k_categoryCount> k_lists = {{
        {"CREATURES", k_creatures},
        {"DIFFERENCES", k_differences},
        {"HINTS", k_hints},
        {"PHOTOS", k_photos},
        {"PICTURES", k_pictures},
        {"PICTUREMULTIPLES", k_pictureMultiples},
        {"SPECIALS", k_specials},
        {"DRABBS", k_drabbs},
        {"ZIBBOS", k_zibbos},
        {"VESSAS", k_vessas},
        {"STARMANTLES", k_starmantles},
        {"TUFFS", k_tuffs},
        {"SCROLL", k_scroll},
        {"VIGNETTES", k_vignettes},
        {"WATCHERS", k_watchers},
        {"TRAVELERS", k_travelers},
    }};
    return k_lists;
}

void SearchListGenerator::serializeState(FSerializer& serializer)
{
    readSearchData(serializer, session().currentWorld() != nullptr ? session().currentWorld()->index() : -1);
}

void SearchListGenerator::readSearchData(FSerializer& serializer, std::int32_t worldNumber)
{
    const std::string section = worldSectionName(worldNumber);
    std::array<CategoryList, k_categoryCount> categories;
    GameDataFields::enterSection(serializer, section.c_str());
    for (const auto& [name, category] : fileLists()) {
        std::int32_t count = -1;
        serializer.beginArray(name, count);
        for (std::int32_t i = 0; i < count; ++i) {
            Record& record = categories[category].emplace_back(engineNew<SearchableObject>(k_memObject));
            serializer.beginItem(i);
            record->serialize(serializer);
            serializer.endItem(i);
        }
        serializer.endArray(name);
    }
    GameDataFields::leaveSection(serializer, section.c_str());
    m_categories.swap(categories);

    const std::pair<Category, std::int32_t> characters[] = {
        {k_zibbos, 1}, {k_vessas, 2}, {k_starmantles, 3}, {k_drabbs, 4}};
    for (const auto& [category, character] : characters) {
        for (Record& record : m_categories[category]) {
            record->setCharacter(character);
        }
    }
    for (Category category : {k_pictureMultiples, k_creatures}) {
        for (Record& record : m_categories[category]) {
            record->setKind(2);
        }
    }
    assignMultipleTypes();
    for (Record& record : m_categories[k_pictures]) {
        record->setKind(0);
    }
    for (Record& record : m_categories[k_vignettes]) {
        record->setKind(1);
    }
}

void SearchListGenerator::requireCategoriesFor(const Quest& quest, std::int32_t worldNumber) const
{
    auto require = [&](Category category, std::int32_t count, std::int32_t taskIndex) {
        if (count <= 0 || !m_categories[category].empty()) {
            return;
        }
        const char* name = "";
        for (const auto& [listName, listCategory] : fileLists()) {
            name = listCategory == category ? listName : name;
        }
        ZIBBO_FAIL_TEXT("Search data of world " << worldNumber + 1 << ": quest " << quest.questId()
                                                << ", task " << taskIndex << " needs " << name
                                                << ", which is empty");
    };
    if (quest.hasInterruption()) {
        require(k_drabbs, 1, -1);
    }
    for (const FRefT<TaskData>& task : quest.tasks()) {
        if (task->taskType() != 6) {
            continue;
        }
        for (bool normal : {true, false}) {
            require(k_pictures, task->getCommonObjectCount(normal), task->index());
            require(k_pictureMultiples, task->getMultipleCount(normal), task->index());
            require(k_vignettes, task->getVignetteCount(normal), task->index());
        }
    }
}

void SearchListGenerator::assignMultipleTypes()
{
    for (Category category : {k_pictureMultiples, k_creatures}) {
        CategoryList& list = m_categories[category];
        std::int32_t group = 1;
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i]->multipleType() != 0) {
                continue;
            }
            list[i]->setMultipleType(group);
            const std::string base = baseName(list[i]->fileName());
            for (std::size_t j = i + 1; j < list.size(); ++j) {
                if (baseName(list[j]->fileName()) == base) {
                    list[j]->setMultipleType(group);
                }
            }
            ++group;
        }
    }
}

void SearchListGenerator::start()
{
    m_flags[1] = false;
    prepareLevel();
    beginTask();
}

void SearchListGenerator::prepareLevel()
{
    m_currentQuest = session().currentQuest();
    // The level follows the profile's own difficulty, not the session's copy.
    bool normal = true;
    if (ProfileManager* profiles = session().profiles(); profiles != nullptr) {
        if (const PlayerProfile* profile = profiles->getCurrentProfile(); profile != nullptr) {
            normal = profile->difficulty();
        }
    }
    if (m_currentQuest != nullptr) {
        m_levelTimer->setTotal(m_currentQuest->timerLength(normal));
        for (std::int32_t position : m_currentQuest->starsPos()) {
            m_levelTimer->addStar(position / 100.0);
        }
        m_hintCounter.hints = m_currentQuest->startHints(normal);
        m_hintCounter.startHints = m_hintCounter.hints;
    }
    m_levelTimer->prepared = true;

    const std::int32_t bones = m_currentQuest != nullptr ? m_currentQuest->numBones(normal) : 0;
    CategoryList& hints = m_categories[k_hints];
    gameShuffle(hints);
    for (Record& record : hints) {
        if (static_cast<std::int32_t>(m_bones.size()) >= bones) {
            break;
        }
        if (!record->isNotInGame()) {
            m_bones.push_back(record.get());
            record->list(this);
            record->setType(SearchableObject::k_typeBone);
        }
    }
    m_interruptDone = false;
}

TaskData* SearchListGenerator::currentTask() const
{
    return m_currentQuest != nullptr ? m_currentQuest->getCurrentTask() : nullptr;
}

std::int32_t SearchListGenerator::currentTaskType() const
{
    const TaskData* task = currentTask();
    return task != nullptr ? task->taskType() : -1;
}

bool SearchListGenerator::completesAtOnce() const
{
    return m_currentQuest != nullptr && !session().isPictureSearchMode() && currentTaskType() >= 15;
}

void SearchListGenerator::beginTask()
{
    const std::int32_t taskType = currentTaskType();
    if (taskType < 15) {
        m_items.clear();
        pickForTask(taskType);
        for (SearchableObject* item : m_items) {
            item->list(this);
        }
        session().dropActivePowerUps();
        if (taskType == 6 || taskType == 8) {
            assignInitialPowerUps();
        }
    }
    if (GameplayScreen* screen = session().gameplayScreen(); screen != nullptr) {
        screen->onTaskBegun();
    }
}

void SearchListGenerator::pickForTask(std::int32_t taskType)
{
    const TaskData* task = currentTask();
    if (task == nullptr) {
        return;
    }
    const bool normal = session().isNormalDifficulty();
    const std::int32_t count = task->getItemCount(normal);
    auto sizeOf = [this](Category category) {
        return static_cast<std::int32_t>(m_categories[category].size());
    };
    switch (taskType) {
    case 0:
    case 10:
    case 11:
        pickSearchables(k_zibbos, count);
        break;
    case 1:
        pickSearchables(k_starmantles, count);
        break;
    case 2:
        pickSearchables(k_vessas, count);
        break;
    case 3:
        pickSearchables(k_tuffs, count);
        break;
    case 4:
        pickSearchables(k_drabbs, count);
        break;
    case 5: {
        const auto* characters = dynamic_cast<const TaskData_Characters*>(task);
        if (characters == nullptr) {
            break;
        }
        if (characters->usesZibbo()) {
            pickSearchables(k_zibbos, count);
        }
        if (characters->usesVessa()) {
            pickSearchables(k_vessas, count);
        }
        if (characters->usesStarmantle()) {
            pickSearchables(k_starmantles, count);
        }
        break;
    }
    case 6:
        pickSearchables(k_pictures, task->getCommonObjectCount(normal));
        pickSearchables(k_pictureMultiples, task->getMultipleCount(normal));
        pickSearchables(k_vignettes, task->getVignetteCount(normal));
        break;
    case 7:
        pickSearchables(k_scroll, count);
        break;
    case 8:
        pickSearchables(k_photos, count);
        break;
    case 9:
        pickSearchables(k_differences, count);
        break;
    case 12:
        pickSearchables(k_watchers, sizeOf(k_watchers));
        break;
    case 13:
        for (Record& record : m_categories[k_travelers]) {
            m_items.push_back(record.get());
        }
        break;
    case 14:
        pickSearchables(k_creatures, sizeOf(k_creatures));
        break;
    default:
        break;
    }
}

bool SearchListGenerator::qualifies(const SearchableObject& object) const
{
    return !object.isNotInGame() && (session().isNormalDifficulty() || !object.isNotForKids());
}

void SearchListGenerator::pickSearchables(Category category, std::int32_t count)
{
    CategoryList& list = m_categories[category];
    gameShuffle(list);
    if (count > 0) {
        if (m_currentQuest != nullptr && !session().isPictureSearchMode() && currentTaskType() != 6) {
            std::int32_t picked = 0;
            for (std::size_t i = 0; i < list.size() && picked < count; ++i) {
                if (qualifies(*list[i])) {
                    m_items.push_back(list[i].get());
                    ++picked;
                }
            }
        } else if (!list.empty()) {
            // An empty category has nothing to pick by difficulty; the list
            // simply comes up short.
            const TaskData* task = currentTask();
            const std::int32_t kind = list.front()->kind();
            if (kind == 2) {
                pickMultiples(list, count);
            } else if (kind == 0 || kind == 1) {
                pickSingles(list, count,
                            task != nullptr ? task->getDiffRatios(session().isNormalDifficulty())
                                            : std::vector<std::int32_t>());
            }
        }
    }
    gameShuffle(m_items);
}

void SearchListGenerator::pickMultiples(const CategoryList& list, std::int32_t count)
{
    std::deque<SearchableObject*> candidates;
    for (const Record& record : list) {
        if (qualifies(*record)) {
            candidates.push_back(record.get());
        }
    }
    const TaskData* task = currentTask();
    // The copies per multiple always come from the plain counts.
    const std::int32_t copies = task != nullptr ? task->getMultipleCopyCount(true) : 0;
    for (std::int32_t m = 0; m < count && !candidates.empty(); ++m) {
        std::int32_t group = 0;
        for (std::int32_t c = 0; c < copies; ++c) {
            if (group == 0) {
                if (candidates.empty()) {
                    break;
                }
                SearchableObject* first = candidates.back();
                candidates.pop_back();
                m_items.push_back(first);
                group = first->multipleType();
                continue;
            }
            auto same =
                std::find_if(candidates.begin(), candidates.end(),
                             [group](const SearchableObject* o) { return o->multipleType() == group; });
            if (same != candidates.end()) {
                m_items.push_back(*same);
                candidates.erase(same);
            }
        }
    }
}

void SearchListGenerator::pickSingles(const CategoryList& list, std::int32_t count,
                                      const std::vector<std::int32_t>& ratios)
{
    // There are five classes; ratios beyond them have no bucket.
    const std::size_t classes = std::min(ratios.size(), k_bucketCount);
    std::vector<std::int32_t> counts(classes);
    std::int32_t sum = 0;
    for (std::size_t d = 0; d < classes; ++d) {
        counts[d] = static_cast<std::int32_t>(ratios[d] / 100.0 * count);
        sum += counts[d];
    }
    if (sum < count) {
        // The shortfall is spread one per class from the first; more than one
        // per class would be a ratio list that does not cover 100.
        const std::size_t deficit = std::min(static_cast<std::size_t>(count - sum), classes);
        for (std::size_t d = 0; d < deficit; ++d) {
            ++counts[d];
        }
    }
    std::array<std::vector<SearchableObject*>, k_bucketCount> buckets;
    for (const Record& record : list) {
        if (qualifies(*record)) {
            buckets[bucketOf(record->difficultyRating())].push_back(record.get());
        }
    }
    for (auto& bucket : buckets) {
        gameShuffle(bucket);
    }
    for (std::size_t d = 0; d < classes; ++d) {
        for (std::int32_t n = 0; n < counts[d]; ++n) {
            for (std::size_t j = 0; j < classes; ++j) {
                std::vector<SearchableObject*>& bucket = buckets[(d + j) % classes];
                if (!bucket.empty()) {
                    m_items.push_back(bucket.back());
                    bucket.pop_back();
                    break;
                }
            }
        }
    }
}

void SearchListGenerator::assignInitialPowerUps()
{
    session().cancelAllPowerUps();
    if (m_currentQuest == nullptr) {
        return;
    }
    std::vector<std::int32_t> kinds = m_currentQuest->initialPowerUps();
    gameShuffle(kinds);
    std::size_t next = 0;
    for (SearchableObject* item : m_items) {
        if (next == kinds.size()) {
            break;
        }
        if (item->multipleType() == 0) {
            ActivePowerUp* powerUp = session().addActivePowerUp(kinds[next++]);
            powerUp->setLinkedItem(item);
            item->setLinkedPowerUp(powerUp);
        }
    }
}

std::int32_t SearchListGenerator::getItemCount() const
{
    return static_cast<std::int32_t>(m_items.size());
}

std::int32_t SearchListGenerator::getRemainingCount() const
{
    return static_cast<std::int32_t>(
        std::count_if(m_items.begin(), m_items.end(), [](const SearchableObject* o) {
            return o->state() == SearchableObject::k_stateListed;
        }));
}

void SearchListGenerator::checkProgress(std::int32_t itemId)
{
    if (itemId != -1) {
        onItemFound();
    }
    const TaskData* task = currentTask();
    if ((task != nullptr && task->isDone()) || getRemainingCount() == 0) {
        if (completesAtOnce()) {
            completeTask();
        } else {
            m_endDelayRunning = true;
            m_endDelay = 0;
        }
    }
}

void SearchListGenerator::update(std::int32_t elapsedMs)
{
    m_hintCounter.update(elapsedMs);
    m_levelTimer->update(elapsedMs);
    if (!m_endDelayRunning) {
        return;
    }
    const std::int32_t taskType = currentTaskType();
    if (m_endDelay == 0 && (taskType == 7 || taskType == 8 || taskType == 9)) {
        if (LevelTimer* timer = session().getLevelTimer(); timer != nullptr) {
            timer->started = false;
        }
    }
    m_endDelay += elapsedMs;
    if (m_endDelay > k_endDelayMs) {
        m_endDelayRunning = false;
        m_endDelay = 0;
        completeTask();
    }
}

void SearchListGenerator::completeTask()
{
    GameplayScreen* screen = session().gameplayScreen();
    if (!completesAtOnce() && screen != nullptr) {
        screen->endTask();
    }
    m_items.clear();
    if (m_currentQuest == nullptr) {
        return;
    }
    m_currentQuest->completeCurrentTask();
    if (m_currentQuest->isFinished()) {
        session().structure().recordQuestResult(m_currentQuest->questId(), 0);
        return;
    }
    beginTask();
    if (screen != nullptr) {
        screen->onTaskAdvanced();
    }
}

void SearchListGenerator::addInterruptItem()
{
    CategoryList& drabbs = m_categories[k_drabbs];
    if (drabbs.empty()) {
        ZIBBO_LOG(k_logWarn, false) << "No Drabb to interrupt with";
        return;
    }
    SearchableObject* item = drabbs[static_cast<std::size_t>(GameRandom::rand()) % drabbs.size()].get();
    item->setInterruptItem(true);
    item->list(this);
    m_items.push_back(item);
}

void SearchListGenerator::markLastItem()
{
    // Only the interrupt item retires: without one (no Drabb to interrupt
    // with) the last entry is an item of the task, which stays to be found.
    if (!m_items.empty() && m_items.back()->isInterruptItem()) {
        m_items.back()->setState(SearchableObject::k_stateMarked);
    }
}

bool SearchListGenerator::checkInterrupt()
{
    m_currentQuest = session().currentQuest();
    if (m_interruptStarted != 0 || m_interruptDone || m_interruptTarget == nullptr ||
        m_currentQuest == nullptr || !m_currentQuest->hasInterruption()) {
        return false;
    }
    const auto found = std::count_if(m_items.begin(), m_items.end(), [](const SearchableObject* o) {
        return o->state() == SearchableObject::k_stateFound;
    });
    const std::int32_t taskType = session().getCurrentTaskType();
    if (found != 2 || (taskType != 6 && taskType != 8 && taskType != 14) || m_items.size() == 2) {
        return false;
    }
    m_interruptStarted = 1;
    m_interruptTarget->step = 1;
    if (m_interruptTarget->screen != nullptr) {
        m_interruptTarget->screen->showAnimatedOverlay(*m_interruptTarget);
    }
    m_interruptDone = true;
    return true;
}
