#include "LevelFixture.h"

#include "game/core/GameParams.h"

#include "engine/script/ScriptTestSupport.h"

#include <fstream>
#include <iterator>

namespace {

class SessionTuningTest : public ScriptTest
{
};

TEST_F(SessionTuningTest, TheShippedTuningValuesSetTheWrongClickPenalty)
{
    std::ifstream in(std::string(ZIBBO_CONTENT_DIR) + "/Scripts/params.lua", std::ios::binary);
    writeScript("params.lua",
                std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    GameParams params(m_application);
    params.onLoaded();

    GameDataText::QuestText findZibbo;
    findZibbo.tasks = {0};
    LevelFixture level({findZibbo}, {}, GameSession::tuningOf(params));
    level.start(1);
    level.screen.calls.clear();
    for (std::int32_t i = 0; i < params.wrongHitCounter(); ++i) {
        level.session.registerWrongHit(0);
    }
    EXPECT_TRUE(level.screen.calls.empty());
    level.session.registerWrongHit(0);
    EXPECT_EQ(level.screen.calls, (std::vector<std::string>{"event 4", "penalty 0"}));
}

} // namespace
