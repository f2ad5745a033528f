// Validates the game data and search data that tools/gamedata generates from
// content/data, so content that the game cannot play never lands.

#include "GameDataTestSupport.h"

#include "game/core/GameDataAssets.h"
#include "game/core/TaskData_Characters.h"
#include "game/core/TaskData_PictureSearch.h"
#include "game/worldcontent/WorldKeys.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

namespace {

std::string generated(const std::string& name)
{
    std::ifstream in(std::string(ZIBBO_GAME_DATA_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The item keys of a world's scene (world number 1 to 12): the names the
// search data may give.
std::set<std::string> sceneKeys(int world)
{
    std::set<std::string> keys;
    for (const WorldItem& item : worldItems(worldContent(world - 1))) {
        if (!item.key.empty()) {
            keys.insert(item.key);
        }
    }
    return keys;
}

// The word of the scene table each category names its items from, and
// whether a found item shows its "Bling" and "Panel" companions.
struct CategoryRule
{
    SearchListGenerator::Category category;
    const char* word;
    bool companions;
};

const CategoryRule k_rules[] = {
    {SearchListGenerator::k_creatures, "Creature", true},
    {SearchListGenerator::k_differences, "Difference", false},
    {SearchListGenerator::k_hints, "Hint", false},
    {SearchListGenerator::k_photos, "Photographs", true},
    {SearchListGenerator::k_pictures, "Picture", true},
    {SearchListGenerator::k_pictureMultiples, "Picture", true},
    {SearchListGenerator::k_drabbs, "SpecialDrabb", false},
    {SearchListGenerator::k_zibbos, "SpecialZibbo", false},
    {SearchListGenerator::k_vessas, "SpecialVessa", false},
    {SearchListGenerator::k_starmantles, "SpecialStarmantle", false},
    {SearchListGenerator::k_tuffs, "SpecialTuff", false},
    {SearchListGenerator::k_scroll, "SpecialScroll", true},
    {SearchListGenerator::k_vignettes, "Vignette", true},
    {SearchListGenerator::k_travelers, "Travelers", false},
    {SearchListGenerator::k_watchers, "Watcher", true},
};

class GameDataContentTest : public testing::Test
{
protected:
    GameDataContentTest() : m_session(nullptr, {})
    {
        m_session.loadGameStructure(xmlStream(generated(GameDataAssets::k_gameDataFile)));
        for (int w = 0; w < 12; ++w) {
            m_worlds.push_back(engineNew<SearchListGenerator>(k_memObject, &m_session));
            FXmlSerializer serializer(xmlStream(generated(GameDataAssets::searchDataFile(w))));
            m_worlds.back()->readSearchData(serializer, w);
        }
    }
    ~GameDataContentTest() override
    {
        for (SearchListGenerator* world : m_worlds) {
            engineDelete(world);
        }
    }

    GameStructure& structure() { return m_session.structure(); }

    GameSession m_session;
    std::vector<SearchListGenerator*> m_worlds;
};

TEST_F(GameDataContentTest, QuestsAreAllThereAndUnlockInAChainFromQuestZero)
{
    ASSERT_EQ(structure().worlds().size(), 12u);
    std::map<std::int32_t, std::int32_t> worldOf;
    std::set<std::int32_t> stubs;
    for (const World& world : structure().worlds()) {
        std::set<std::int32_t> types;
        bool storyQuest = false;
        for (const Quest& quest : world.quests()) {
            EXPECT_TRUE(worldOf.emplace(quest.questId(), world.index()).second)
                << "quest " << quest.questId();
            if (quest.tasks().empty()) {
                stubs.insert(quest.questId());
                continue;
            }
            EXPECT_TRUE(types.insert(quest.questType()).second) << "quest " << quest.questId();
            storyQuest = storyQuest || quest.questType() == 0;
        }
        EXPECT_TRUE(storyQuest) << "world " << world.index();
    }
    EXPECT_EQ(worldOf.size(), 48u);
    EXPECT_EQ(stubs, (std::set<std::int32_t>{12, 14, 15, 17, 19, 21, 37, 40, 42, 44, 46, 47}));
    EXPECT_EQ(worldOf[0], 0);

    std::set<std::int32_t> reached{0};
    std::vector<std::int32_t> open{0};
    while (!open.empty()) {
        const Quest* quest = structure().findQuest(open.back()).first;
        open.pop_back();
        for (std::int32_t next : quest->unlockedQuestIds()) {
            EXPECT_FALSE(Quest::isStub(next)) << next;
            if (reached.insert(next).second) {
                open.push_back(next);
            }
        }
    }
    EXPECT_EQ(reached.size(), 36u);
}

TEST_F(GameDataContentTest, EveryTaskTypeIsPlayedAndRatiosCoverAHundred)
{
    std::set<std::int32_t> taskTypes;
    for (const World& world : structure().worlds()) {
        for (const Quest& quest : world.quests()) {
            for (const FRefT<TaskData>& task : quest.tasks()) {
                taskTypes.insert(task->taskType());
                for (bool normal : {true, false}) {
                    const std::vector<std::int32_t> ratios = task->getDiffRatios(normal);
                    // Photographs, differences, story lines and the tasks without data hold no ratios.
                    const std::int32_t t = task->taskType();
                    if (t == 8 || t == 9 || t == 10 || t == 11 || t >= 15) {
                        continue;
                    }
                    EXPECT_LE(ratios.size(), 5u) << "quest " << quest.questId();
                    int sum = 0;
                    for (std::int32_t r : ratios) {
                        sum += r;
                    }
                    EXPECT_EQ(sum, 100) << "quest " << quest.questId() << " task " << task->index();
                }
            }
        }
    }
    EXPECT_EQ(taskTypes.size(), 22u);
    EXPECT_EQ(*taskTypes.begin(), 0);
    EXPECT_EQ(*taskTypes.rbegin(), 21);
}

TEST_F(GameDataContentTest, SearchDataNamesItemsOfTheWorldsScene)
{
    for (int w = 0; w < 12; ++w) {
        const std::set<std::string> keys = sceneKeys(w + 1);
        const std::string prefix = worldKeyPrefix(worldContent(w));
        for (const CategoryRule& rule : k_rules) {
            for (const auto& record : m_worlds[w]->category(rule.category)) {
                const std::string& name = record->fileName();
                EXPECT_EQ(name.rfind(prefix + rule.word, 0), 0u) << name;
                EXPECT_TRUE(keys.count(name)) << name << " is not in the scene of world " << w + 1;
                if (rule.companions) {
                    const std::string base =
                        name.find("Multiple") != std::string::npos ? name.substr(0, name.size() - 10) : name;
                    EXPECT_TRUE(keys.count(base + "Bling") && keys.count(base + "Panel")) << name;
                }
            }
        }
        // A travelers search shows at most ten.
        EXPECT_LE(m_worlds[w]->category(SearchListGenerator::k_travelers).size(), 10u);
    }
}

// The objects of `category` that a pick may take at the difficulty.
std::size_t qualifying(const SearchListGenerator& world, SearchListGenerator::Category category, bool normal)
{
    std::size_t count = 0;
    for (const auto& record : world.category(category)) {
        count += !record->isNotInGame() && (normal || !record->isNotForKids()) ? 1 : 0;
    }
    return count;
}

std::size_t largestGroup(const SearchListGenerator& world, SearchListGenerator::Category category,
                         std::size_t* groups)
{
    std::map<std::int32_t, std::size_t> sizes;
    for (const auto& record : world.category(category)) {
        sizes[record->multipleType()] += 1;
    }
    std::size_t smallest = sizes.empty() ? 0 : SIZE_MAX;
    for (const auto& [type, size] : sizes) {
        smallest = std::min(smallest, size);
    }
    *groups = sizes.size();
    return smallest;
}

TEST_F(GameDataContentTest, EveryPickFindsEnoughObjectsInItsWorld)
{
    using G = SearchListGenerator;
    for (const World& world : structure().worlds()) {
        const SearchListGenerator& data = *m_worlds[static_cast<std::size_t>(world.index())];
        for (const Quest& quest : world.quests()) {
            for (bool normal : {true, false}) {
                const std::string where =
                    "quest " + std::to_string(quest.questId()) + (normal ? "" : " (Kids)");
                EXPECT_GE(qualifying(data, G::k_hints, normal),
                          static_cast<std::size_t>(quest.numBones(normal)))
                    << where;
                if (quest.hasInterruption()) {
                    EXPECT_FALSE(data.category(G::k_drabbs).empty()) << where;
                }
                for (const FRefT<TaskData>& task : quest.tasks()) {
                    const auto need = [&](G::Category category, std::int32_t count) {
                        EXPECT_GE(qualifying(data, category, normal),
                                  static_cast<std::size_t>(std::max(count, 1)))
                            << where << " task " << task->index() << " type " << task->taskType();
                    };
                    const std::int32_t count = task->getItemCount(normal);
                    switch (task->taskType()) {
                    case 0:
                        need(G::k_zibbos, count);
                        break;
                    case 1:
                        need(G::k_starmantles, count);
                        break;
                    case 2:
                        need(G::k_vessas, count);
                        break;
                    case 3:
                        need(G::k_tuffs, count);
                        break;
                    case 4:
                        need(G::k_drabbs, count);
                        break;
                    case 5: {
                        const auto& c = dynamic_cast<const TaskData_Characters&>(*task);
                        EXPECT_TRUE(c.usesZibbo() || c.usesVessa() || c.usesStarmantle()) << where;
                        if (c.usesZibbo()) need(G::k_zibbos, count);
                        if (c.usesVessa()) need(G::k_vessas, count);
                        if (c.usesStarmantle()) need(G::k_starmantles, count);
                        break;
                    }
                    case 6: {
                        const auto& search = dynamic_cast<const TaskData_PictureSearch&>(*task);
                        const LevelConfiguration::Ranges& ranges =
                            normal ? search.configuration().plain : search.configuration().kids;
                        need(G::k_pictures, ranges.maxCommonObjects);
                        need(G::k_vignettes, ranges.maxVignettes);
                        std::size_t groups = 0;
                        const std::size_t copies = largestGroup(data, G::k_pictureMultiples, &groups);
                        EXPECT_GE(groups, static_cast<std::size_t>(ranges.maxMultiples)) << where;
                        EXPECT_GE(copies,
                                  static_cast<std::size_t>(search.configuration().plain.maxMultipleCopies))
                            << where;
                        break;
                    }
                    case 7:
                        need(G::k_scroll, count);
                        break;
                    case 8:
                        need(G::k_photos, count);
                        break;
                    case 9:
                        need(G::k_differences, count);
                        break;
                    case 12:
                        need(G::k_watchers, 1);
                        break;
                    case 13:
                        EXPECT_FALSE(data.category(G::k_travelers).empty()) << where;
                        break;
                    case 14:
                        need(G::k_creatures, 1);
                        break;
                    default:
                        break;
                    }
                }
            }
        }
    }
}

} // namespace
