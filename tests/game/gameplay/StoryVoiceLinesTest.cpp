// Every line the story scripts and the dialog's pools ask for is filed in the
// story screen's manifest under a voice id of the game's grammar, so that no
// step of any world plays silently.
#include "game/core/GameRandom.h"
#include "game/gameplay/StoryDialog.h"
#include "game/gameplay/StoryDialogHost.h"
#include "game/gameplay/StoryScriptHost.h"
#include "game/gameplay/StoryTaskList.h"
#include "ui/FImageWidget.h"

#include "game/core/GameRandom.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

std::set<std::string> manifestVoiceIds()
{
    std::ifstream in(SCREEN_MANIFESTS "/029.lua");
    std::stringstream text;
    text << in.rdbuf();
    const std::string manifest = text.str();
    const std::regex entry("map = \"voiceSamples\", name = \"([^\"]+)\"");
    std::set<std::string> ids;
    for (auto it = std::sregex_iterator(manifest.begin(), manifest.end(), entry);
         it != std::sregex_iterator(); ++it)
        ids.insert((*it)[1].str());
    return ids;
}

bool followsVoiceGrammar(const std::string& id)
{
    static const std::regex grammar(
        "KTQ_(\\d\\d_\\d\\d[a-z]?_(sm|smt|vss|vsst)|\\d\\ddq_\\d\\d_(sm|smt|vss|vsst)|"
        "VSSQ_\\d{3}[a-z]?(_[a-z])?_(sm|smt|vss|vsst)|TUFQ_\\d{3}[a-z]_sm|PAR_\\d{3}_smt)");
    return std::regex_match(id, grammar);
}

// Answers a line for every id of the manifest and notes the others.
class ManifestScreen : public StoryScriptHost, public StoryDialogHost
{
public:
    ManifestScreen() : known(manifestVoiceIds())
    {
        line = FRef(makeRef(engineNew<FImageWidget>(k_memObject, nullptr, false)));
    }
    FRef voice(const std::string& id)
    {
        asked.insert(id);
        if (!followsVoiceGrammar(id)) badGrammar.insert(id);
        if (known.count(id) == 0) {
            missing.insert(id);
            return FRef();
        }
        return line;
    }
    FRef storyVoice(const std::string& id) override { return voice(id); }
    FRef storyInterruptLine() override { return dialog.pickInterruptLine(); }
    int32_t storyQuestType() const override { return quest; }
    void onStoryLevelReady(bool) override {}
    void presentStoryRecord(StoryTaskRecord&) override {}
    void playStoryVoice(const FRef&, StoryVoiceEnd) override {}
    void setStoryVoiceEnd(StoryVoiceEnd) override {}
    void stopStoryVoice() override {}
    void playCommonVoiceLine(const FRef&) override {}
    void setStoryDimmed(bool) override {}
    void shakeForSpeaker() override {}
    void onFirstDifferenceLineDone() override {}
    void clearClickToContinue() override {}
    void requestTaskStep() override {}
    int32_t dialogQuestType() const override { return quest; }
    const StoryTaskRecord* dialogRunningRecord() const override { return nullptr; }
    FRef dialogVoice(const std::string& id) override { return voice(id); }

    std::set<std::string> known;
    std::set<std::string> asked;
    std::set<std::string> missing;
    std::set<std::string> badGrammar;
    FRef line;
    int32_t quest = 0;
    FTimerTween reminder;
    FTimerTween reaction;
    StoryDialog dialog{*this, reminder, reaction};
};

TEST(StoryVoiceLinesTest, EveryLineOfTheScriptsAndPoolsIsFiledUnderAGrammaticalId)
{
    // The random comments draw from the game's random source: pinned, so the
    // lines asked do not depend on the tests that ran before.
    GameRandom::srand(1);
    ManifestScreen screen;
    ASSERT_GT(screen.known.size(), 100u);
    // The comments are drawn at random: the count below holds for this seed,
    // whatever ran before.
    GameRandom::srand(1);
    screen.dialog.fillInterruptLinePool();
    screen.dialog.fillVessaLinePool();
    // The comments draw from the game's random source: pinned, so that the
    // draws reach every comment whatever ran before in this process.
    GameRandom::srand(1);
    for (int32_t quest : {0, 1, 2, 3, 6}) {
        screen.quest = quest;
        for (int32_t draw = 0; draw < 12; ++draw)
            screen.dialog.playRandomComment();
        for (int32_t world = 0; world < StoryTaskList::k_worldCount; ++world) {
            StoryTaskList list(screen);
            list.buildWorldTaskScript(world, true, true);
            for (const StoryTaskRecord& record : list.records())
                EXPECT_NE(record.getVoice().get(), nullptr)
                    << "world " << world << " quest " << quest << " key " << record.m_orderKey;
        }
    }
    EXPECT_TRUE(screen.missing.empty()) << *screen.missing.begin();
    EXPECT_TRUE(screen.badGrammar.empty()) << *screen.badGrammar.begin();
    // The tutorial, the quests' lines, the pools and the comments.
    EXPECT_GE(screen.asked.size(), 17u + 3u + 2u + 5u + 1u + 7u + 6u);
    // Every id of the manifest follows the grammar too.
    for (const std::string& id : screen.known)
        EXPECT_TRUE(followsVoiceGrammar(id)) << id;
}

} // namespace
