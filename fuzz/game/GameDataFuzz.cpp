// Reads arbitrary bytes as the game data, as a world's search data and as the
// gameplay animation table, then plays a level of every search task over
// search data that read. Failure reports are the expected answer to most
// inputs; crashes, overruns, leaks and a half-read animation table are not.

#include "game/GameDataTestSupport.h"
#include "support/QuietErrorHandler.h"

#include "core/FErrorHandler.h"
#include "core/FMemory.h"
#include "core/FXmlSerializer.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSession.h"
#include "game/core/GameplayScreen.h"
#include "game/core/SearchListGenerator.h"
#include "game/core/StoryTaskStepper.h"
#include "game/gameplay/AnimRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <sstream>
#include <string>

namespace {

// One quest per task type 0 to 16 in world 0, each with an interruption,
// bones and initial power-ups.
std::string levelsData()
{
    std::vector<std::string> quests;
    for (int t = 0; t <= 16; ++t) {
        GameDataText::QuestText quest;
        quest.id = t;
        quest.type = t;
        quest.tasks = {t};
        quest.interrupt = 1;
        quest.bones = 4;
        quest.initialPowerUps = {0, 1, 2};
        quests.push_back(GameDataText::quest(quest));
    }
    return GameDataText::gameData({quests});
}

// Plays every quest of world 0 over the search data: picks, finds, the
// interruption and the end of each task.
void playLevels(const std::string& searchData)
{
    GameSession session(nullptr, {5000, 3, 3000.0, 1000.0});
    session.loadGameStructure(xmlStream(levelsData()));
    RecordingScreen screen;
    screen.searchData[0] = searchData;
    session.setMode(0);
    session.setCurrentWorld(0, &session.structure().worlds()[0]);
    for (int t = 0; t <= 16; ++t) {
        for (bool normal : {true, false}) {
            GameRandom::srand(static_cast<std::uint32_t>(t + 1));
            session.setNormalDifficulty(normal);
            session.selectQuest(t);
            session.startLevel(&screen);
            SearchListGenerator& generator = *session.getSearchListGenerator();
            StoryTaskStepper stepper{&screen, &generator, -1};
            generator.setInterruptTarget(&stepper);
            std::deque<SearchableObject*> items;
            session.getSearchListState(items);
            for (SearchableObject* item : items) {
                item->markFound(0);
                if (stepper.step > 0) {
                    storyTaskStep(stepper);
                    storyTaskStep(stepper);
                    storyTaskStep(stepper);
                }
            }
            session.update(2500);
            session.registerWrongHit(0);
        }
    }
}

// Reads the animation table of worlds 0 to 3 through one serializer, so a
// failed world must leave the serializer where a next world still reads. A
// failure must leave the records as they were.
void readAnimTables(const std::string& text)
{
    FXmlSerializer serializer(xmlStream(text));
    std::vector<AnimRecord> records(1);
    records[0].top = 12345;
    for (std::int32_t world = 0; world <= 3; ++world) {
        const std::vector<AnimRecord> before = records;
        try {
            loadWorldAnims(serializer, world, records);
        } catch (const std::exception&) {
            if (records.size() != before.size() || (!records.empty() && records[0].top != before[0].top))
                std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QuietErrorHandler::installForProcess(false);
    if (size > (1u << 20)) {
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        GameSession session(nullptr, {});
        session.loadGameStructure(xmlStream(text));
    } catch (const std::exception&) {
    }
    try {
        GameSession session(nullptr, {});
        SearchListGenerator generator(&session);
        FXmlSerializer serializer(xmlStream(text));
        if (serializer.hasSection("World01")) {
            generator.readSearchData(serializer, 0);
            playLevels(text);
        }
    } catch (const std::exception&) {
    }
    try {
        readAnimTables(text);
    } catch (const std::exception&) {
    }
    return 0;
}
