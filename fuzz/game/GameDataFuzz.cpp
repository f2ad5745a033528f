// Reads arbitrary bytes as the game data and as a world's search data, then
// plays a level of every search task over search data that read. Failure
// reports are the expected answer to most inputs; crashes, overruns and leaks
// are not.

#include "support/QuietErrorHandler.h"

#include "core/FErrorHandler.h"
#include "core/FMemory.h"
#include "core/FXmlSerializer.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSession.h"
#include "game/core/GameplayScreen.h"
#include "game/core/SearchListGenerator.h"
#include "game/core/StoryTaskStepper.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <sstream>
#include <string>

namespace {

FRefT<std::istream> streamOf(const std::string& text)
{
    return FRefT<std::istream>(
        makeSignaledRef<std::istream>(engineNew<std::istringstream>(k_memObject, text)));
}

class QuietScreen : public GameplayScreen
{
public:
    explicit QuietScreen(std::string searchData) : m_searchData(std::move(searchData)) {}
    bool raiseStoryEvent(std::int32_t) override { return true; }
    void playWrongHitPenalty(std::int32_t) override {}
    bool isPictureSearchMode() const override { return false; }
    void clearOwnedItemQueue() override {}
    void onTaskBegun() override {}
    void onTaskAdvanced() override {}
    void endTask() override {}
    void showAnimatedOverlay(StoryTaskStepper&) override {}
    void stagedSequenceBegin() override {}
    void stagedSequenceShow() override {}
    void stagedSequenceRun() override {}
    void stagedSequenceEnd() override {}
    FRefT<std::istream> openSearchData(std::int32_t) override { return streamOf(m_searchData); }

private:
    std::string m_searchData;
};

// One quest per search task type in world 0, each with an interruption and
// initial power-ups; picture searches in plain and Kids play.
std::string levelsData()
{
    std::string quests;
    for (int t = 0; t <= 15; ++t) {
        std::string task;
        if (t == 6) {
            task =
                "<MinVignettes>0</MinVignettes><MaxVignettes>3</MaxVignettes><MinCommonObj>2</MinCommonObj>"
                "<MaxCommonObj>9</MaxCommonObj><MinMultiples>0</MinMultiples><MaxMultiples>4</MaxMultiples>"
                "<MinMultipleCopies>2</MinMultipleCopies><MaxMultipleCopies>6</MaxMultipleCopies>"
                "<DiffRatios count=\"3\"><_0>50</_0><_1>30</_1><_2>20</_2></DiffRatios>"
                "<KidsMinVignettes>0</KidsMinVignettes><KidsMaxVignettes>1</KidsMaxVignettes>"
                "<KidsMinCommonObj>1</KidsMinCommonObj><KidsMaxCommonObj>5</KidsMaxCommonObj>"
                "<KidsMinMultiples>1</KidsMinMultiples><KidsMaxMultiples>2</KidsMaxMultiples>"
                "<KidsMinMultipleCopies>2</KidsMinMultipleCopies><KidsMaxMultipleCopies>3</"
                "KidsMaxMultipleCopies>"
                "<KidsDiffRatios count=\"1\"><_0>100</_0></KidsDiffRatios>";
        } else if (t == 5) {
            task = "<DiffRatios count=\"0\"/><KidsDiffRatios count=\"0\"/><UseZibbo>1</UseZibbo>"
                   "<UseVessa>1</UseVessa><UseStarmantle>1</UseStarmantle>";
        } else if (t == 8) {
            task = "<NumPhotographs>9</NumPhotographs>";
        } else if (t == 9) {
            task = "<Left>0</Left><Top>0</Top><NumDifferences>9</NumDifferences>";
        } else if (t == 15) {
            task = "<StringNames count=\"0\"/><SampleNames "
                   "count=\"0\"/><UseLargeCharacter>0</UseLargeCharacter>";
        } else if (t != 10 && t != 11) {
            task = "<DiffRatios count=\"1\"><_0>100</_0></DiffRatios>";
        }
        quests += "<_" + std::to_string(t) + "><QuestId>" + std::to_string(t) + "</QuestId><QuestType>" +
                  std::to_string(t) +
                  "</QuestType><ParentWorld>0</ParentWorld><UnlockedQuestIds count=\"0\"/>"
                  "<TimerLen>1000</TimerLen><KidsTimerLen>1000</KidsTimerLen><StartHints>1</StartHints>"
                  "<KidsStartHints>1</KidsStartHints><NumBones>4</NumBones><KidsNumBones>2</KidsNumBones>"
                  "<AvailablePowerUps count=\"0\"/><KidsAvailablePowerUps count=\"0\"/>"
                  "<InitialPowerUps count=\"3\"><_0>0</_0><_1>1</_1><_2>2</_2></InitialPowerUps>"
                  "<TimerPause>0</TimerPause><KidsTimerPause>0</KidsTimerPause><TimeReward>0.1</TimeReward>"
                  "<KidsTimeReward>0.1</KidsTimeReward><StarsPos count=\"1\"><_0>50</_0></StarsPos>"
                  "<TaskCount>1</TaskCount><drabbInteruptTimer>0</drabbInteruptTimer>"
                  "<KidsdrabbInteruptTimer>0</KidsdrabbInteruptTimer><hasDrabbInterupt>1</hasDrabbInterupt>"
                  "<TaskType_0>" +
                  std::to_string(t) + "</TaskType_0>" +
                  (task.empty() ? std::string() : "<TaskData_0>" + task + "</TaskData_0>") + "</_" +
                  std::to_string(t) + ">";
    }
    std::string worlds = "<_0><Quests count=\"16\">" + quests + "</Quests></_0>";
    for (int w = 1; w < 12; ++w) {
        worlds += "<_" + std::to_string(w) + "><Quests count=\"0\"/></_" + std::to_string(w) + ">";
    }
    return "<root><Worlds count=\"12\">" + worlds +
           "</Worlds><MultiplayerAvailablePowerUps count=\"0\"/><DrobbNegativePowerUps count=\"0\"/></root>";
}

// Plays every quest of world 0 over the search data: picks, finds, the
// interruption and the end of each task.
void playLevels(const std::string& searchData)
{
    GameSession session(nullptr, {5000, 3, 3000.0, 1000.0});
    session.loadGameStructure(streamOf(levelsData()));
    QuietScreen screen(searchData);
    session.setMode(0);
    session.setCurrentWorld(0, &session.structure().worlds()[0]);
    for (int t = 0; t <= 15; ++t) {
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QuietErrorHandler s_handler(false);
    static FErrorHandler* s_installed = FErrorHandler::install(&s_handler);
    (void)s_installed;
    if (size > (1u << 20)) {
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        GameSession session(nullptr, {});
        session.loadGameStructure(streamOf(text));
    } catch (const std::exception&) {
    }
    try {
        GameSession session(nullptr, {});
        SearchListGenerator generator(&session);
        FXmlSerializer serializer(streamOf(text));
        if (serializer.hasSection("World01")) {
            generator.readSearchData(serializer, 0);
            playLevels(text);
        }
    } catch (const std::exception&) {
    }
    return 0;
}
