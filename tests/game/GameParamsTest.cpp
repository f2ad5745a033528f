#include "game/core/GameParams.h"

#include "engine/script/ScriptTestSupport.h"

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>

namespace {

// Our own params.lua, as shipped.
std::string shippedParams()
{
    std::ifstream in(std::string(ZIBBO_CONTENT_DIR) + "/Scripts/params.lua", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The shipped file with the line assigning `name` replaced by `line` (an
// empty line removes the value).
std::string withLine(const std::string& name, const std::string& line)
{
    const std::regex assignment("(^|\n)" + name + " = [^\n]*");
    std::string text = shippedParams();
    EXPECT_TRUE(std::regex_search(text, assignment)) << name;
    return std::regex_replace(text, assignment, "$1" + line);
}

class GameParamsTest : public ScriptTest
{
protected:
    std::unique_ptr<GameParams> load(const std::string& text)
    {
        writeScript("params.lua", text);
        auto params = std::make_unique<GameParams>(m_application);
        params->onLoaded();
        return params;
    }
};

TEST_F(GameParamsTest, TheShippedFileHasEveryValue)
{
    const std::string text = shippedParams();
    ASSERT_FALSE(text.empty());
    std::unique_ptr<GameParams> params = load(text);
    EXPECT_EQ(params->wrongHitTimer(), 5000);
    EXPECT_EQ(params->wrongHitCounter(), 3);
    EXPECT_EQ(params->map100Width(), 2400);
    EXPECT_EQ(params->map100Height(), 1600);
    EXPECT_FALSE(params->fullScreen());
    EXPECT_TRUE(params->customCursor());
    EXPECT_DOUBLE_EQ(params->comboTime(), 4000.0);
    EXPECT_EQ(params->smackReverseX(), -10);
    // Twelve worlds in every position table.
    for (int32_t world = 0; world < 12; ++world) {
        params->getOrigin(world, 640, 480);
        params->getTag(world, 640, 480);
        const FRectI box = params->getBox(world, 640, 480);
        EXPECT_LT(box.left, box.right);
        EXPECT_LT(box.top, box.bottom);
    }
    EXPECT_TRUE(m_handler.texts.empty());
}

TEST_F(GameParamsTest, NumbersAreRoundedOrTruncatedAsTheirFieldsAsk)
{
    const struct
    {
        const char* name;
        const char* value;
        int32_t expected;
    } cases[] = {
        {"ClickX", "2.9", 2},        {"ClickX", "-2.9", -2},        {"WrongHitTimer", "2.5", 2},
        {"WrongHitTimer", "3.5", 4}, {"SmackY", "1e12", INT32_MAX}, {"BreakY", "-1e12", INT32_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " = " + c.value);
        std::unique_ptr<GameParams> params = load(withLine(c.name, std::string(c.name) + " = " + c.value));
        const int32_t read = std::string(c.name) == "ClickX"          ? params->clickX()
                             : std::string(c.name) == "WrongHitTimer" ? params->wrongHitTimer()
                             : std::string(c.name) == "SmackY"        ? params->smackY()
                                                                      : params->breakY();
        EXPECT_EQ(read, c.expected);
    }
}

TEST_F(GameParamsTest, PositionTablesScaleToTheScreen)
{
    std::string text = withLine("OriginX", "OriginX = { 320, 7 }");
    text = std::regex_replace(text, std::regex("\nOriginY = [^\n]*"), "\nOriginY = { 240, 7 }");
    text = std::regex_replace(text, std::regex("\nBoxW = [^\n]*"), "\nBoxW = { 1, 3 }");
    std::unique_ptr<GameParams> params = load(text);
    EXPECT_EQ(params->getOrigin(0, 800, 600), (FPointI{400, 300}));
    EXPECT_EQ(params->getOrigin(1, 640, 480), (FPointI{7, 7}));
    const FRectI box = params->getBox(0, 800, 600);
    EXPECT_EQ(box.right - box.left, 1); // 1 x 1.25, truncated
    expectFailure([&] { params->getOrigin(2, 800, 600); }, "Could not found variable at index");
    // The failed read left the table, so the next read starts at the globals.
    EXPECT_EQ(params->getOrigin(0, 640, 480), (FPointI{320, 240}));
}

TEST_F(GameParamsTest, AMissingOrMistypedValueStopsTheLoad)
{
    const struct
    {
        const char* name;
        const char* line;
        const char* failure;
    } cases[] = {
        {"DizzyBirdMax", "", "Could not found variable 'DizzyBirdMax'"},
        {"BaseMove", "", "Could not found variable 'BaseMove'"},
        {"SmackReverseY", "", "Could not found variable 'SmackReverseY'"},
        {"FullScreen", "FullScreen = 1", "variable FullScreen is of type number (a boolean was expected)"},
        {"WrongHitCounter", "WrongHitCounter = 'three'",
         "variable WrongHitCounter is of type string (a number was expected)"},
        {"ComboTime", "ComboTime = true", "variable ComboTime is of type boolean (a number was expected)"},
        {"ClickY", "ClickY = {}", "variable ClickY is of type table (a number was expected)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeScript("params.lua", withLine(c.name, c.line));
        GameParams params(m_application);
        expectFailure([&] { params.onLoaded(); }, c.failure);
    }
    writeScript("params.lua", withLine("TagY", ""));
    GameParams noTable(m_application);
    noTable.onLoaded();
    expectFailure([&] { noTable.getTag(0, 640, 480); }, "Could not found global table 'TagY'");
}

TEST_F(GameParamsTest, ASyntaxErrorIsReportedByTheScriptHost)
{
    m_handler.texts.clear();
    writeScript("params.lua", withLine("ComboTime", "ComboTime = = 4000"));
    GameParams params(m_application);
    EXPECT_THROW(params.onLoaded(), FDebug::TreatedException);
    ASSERT_FALSE(m_handler.texts.empty());
    EXPECT_EQ(utf8(m_handler.texts[0]).rfind("Error while parsing Scripts/params.lua", 0), 0u)
        << utf8(m_handler.texts[0]);
}

} // namespace
