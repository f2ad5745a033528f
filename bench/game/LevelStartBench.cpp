// Level start: reading one world's generated search data and drawing up the
// first task's search list, per task type. The goal is one UI tick (20 ms).

#include "game/GameDataTestSupport.h"

#include "game/core/GameDataAssets.h"
#include "game/core/GameRandom.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

namespace {

// World 1: creatures and watchers; world 2: photographs and travelers.
std::string searchDataOf(std::int32_t worldNumber)
{
    std::ifstream in(std::string(ZIBBO_GAME_DATA_DIR) + "/" + GameDataAssets::searchDataFile(worldNumber),
                     std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void levelStart(benchmark::State& state)
{
    const int taskType = static_cast<int>(state.range(0));
    const std::int32_t world = taskType == 8 || taskType == 13 ? 1 : 0;
    GameDataText::QuestText quest;
    quest.tasks = {taskType};
    quest.bones = 3;
    quest.interrupt = 1;
    quest.initialPowerUps = {0, 1, 2};
    std::vector<std::vector<std::string>> worlds(2);
    worlds[static_cast<std::size_t>(world)].push_back(GameDataText::quest(quest));
    GameSession session(nullptr, {5000, 3, 3000.0, 1000.0});
    session.loadGameStructure(xmlStream(GameDataText::gameData(worlds)));
    RecordingScreen screen;
    screen.searchData[world] = searchDataOf(world);
    session.setMode(0);
    session.setCurrentWorld(world, &session.structure().worlds()[static_cast<std::size_t>(world)]);
    session.selectQuest(quest.type);
    GameRandom::srand(1);
    std::int64_t items = 0;
    for (auto _ : state) {
        screen.calls.clear();
        session.startLevel(&screen);
        items += session.getSearchListGenerator()->getItemCount();
    }
    state.counters["items"] =
        benchmark::Counter(static_cast<double>(items) / static_cast<double>(state.iterations()));
}

BENCHMARK(levelStart)->DenseRange(0, 16)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
