#include "engine/script/ScriptTestSupport.h"

#include <cstring>
#include <limits>
#include <thread>

namespace {

using FScriptInstanceTest = ScriptTest;

TEST_F(FScriptInstanceTest, ReadsNumbersStringsAndBooleans)
{
    auto script = run("params.lua", "speed = 1.5\ncount = '12'\nshown = true\nhidden = false\n");
    EXPECT_EQ(script->getNumber("speed"), 1.5);
    EXPECT_EQ(script->getNumber("count"), 12.0);
    EXPECT_EQ(script->getInteger("count"), 12);
    EXPECT_TRUE(script->getBoolean("shown"));
    EXPECT_FALSE(script->getBoolean("hidden"));
    EXPECT_EQ(script->path(), "Scripts/params.lua");
}

TEST_F(FScriptInstanceTest, IntegersRoundHalfToEven)
{
    auto script = run("round.lua", "values = { 2.5, 3.5, -1.5, -2.5, 0.4999, '4.5', 7 }\n");
    const std::int32_t expected[] = {2, 4, -2, -2, 0, 4, 7};
    script->enterTable("values");
    for (std::int32_t i = 0; i < 7; ++i) {
        EXPECT_EQ(script->getIntegerAt(i), expected[i]) << "index " << i;
    }
    script->leaveTable();
}

// Every failed read raises its text and leaves the stack as it found it, so
// reads after it still see the same scope.
TEST_F(FScriptInstanceTest, FailedReadsNameTheVariableAndItsType)
{
    auto script = run("types.lua", "one = 1\nflag = true\nword = 'abc'\nlist = { 1, 'x' }\nhuge = 1e10\n"
                                   "outer = { inner = { v = 3 }, n = 4 }\n");
    const struct
    {
        std::function<void()> read;
        const char* message;
    } cases[] = {
        {[&] { script->getBoolean("one"); }, "variable one is of type number (a boolean was expected)"},
        {[&] { script->getBoolean("word"); }, "variable word is of type string (a boolean was expected)"},
        {[&] { script->getNumber("flag"); }, "variable flag is of type boolean (a number was expected)"},
        {[&] { script->getInteger("word"); }, "variable word is of type string (a number was expected)"},
        {[&] { script->getNumber("list"); }, "variable list is of type table (a number was expected)"},
        {[&] { script->getNumber("missing"); }, "Could not found variable 'missing'"},
        {[&] { script->getBoolean("missing"); }, "Could not found variable 'missing'"},
        {[&] { script->getInteger("huge"); }, "variable huge (1e+10) does not fit a 32-bit integer"},
        {[&] { script->getIntegerAt(0); }, "Cannot access a variable via an index if it's not in a table!"},
        {[&] { script->enterTable("one"); }, "Could not found global table 'one'"},
        {[&] { script->enterTable("nothing"); }, "Could not found global table 'nothing'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        expectFailure(c.read, c.message);
        EXPECT_EQ(script->getInteger("one"), 1);
    }

    script->enterTable("list");
    expectFailure([&] { script->getIntegerAt(1); },
                  "variable at index 1 is of type string (a number was expected)");
    expectFailure([&] { script->getIntegerAt(2); }, "Could not found variable at index 2");
    EXPECT_EQ(script->getIntegerAt(0), 1);
    script->leaveTable();

    script->enterTable("outer");
    expectFailure([&] { script->enterTable("n"); }, "Could not found table 'n' in current scope");
    script->enterTable("inner");
    EXPECT_EQ(script->getInteger("v"), 3);
    script->leaveTable();
    EXPECT_EQ(script->getInteger("n"), 4);
    script->leaveTable();
}

TEST_F(FScriptInstanceTest, NamedReadsInsideATableReadItsFields)
{
    auto script = run("scope.lua", "x = 1\nt = { x = 2, sub = { x = 3 } }\n");
    script->enterTable("t");
    EXPECT_EQ(script->getNumber("x"), 2.0);
    script->enterTable("sub");
    EXPECT_EQ(script->getNumber("x"), 3.0);
    script->leaveTable();
    script->leaveTable();
    EXPECT_EQ(script->getNumber("x"), 1.0);
    script->leaveTable();
    EXPECT_EQ(script->getNumber("x"), 1.0) << "leaving with nothing entered does nothing";
}

TEST_F(FScriptInstanceTest, ReturnedValuesAreDropped)
{
    auto script = run("returns.lua", "x = 5\nreturn { 1 }, 2, 3\n");
    EXPECT_EQ(script->getInteger("x"), 5);
    expectFailure([&] { script->getIntegerAt(0); },
                  "Cannot access a variable via an index if it's not in a table!");
}

// Reads wait for the script; the last line of a long script sets the value.
TEST_F(FScriptInstanceTest, ReadsFromAnyThreadWaitUntilTheScriptHasRun)
{
    auto script = run("slow.lua", "local n = 0\nfor i = 1, 3000000 do n = n + 1 end\ndone = n\n");
    std::int32_t seen = 0;
    std::thread reader([&] { seen = script->getInteger("done"); });
    reader.join();
    EXPECT_EQ(seen, 3000000);
    EXPECT_EQ(script->getInteger("done"), 3000000);
}

TEST_F(FScriptInstanceTest, DestroyingARunningScriptWaitsForIt)
{
    auto script = run("busy.lua", "local n = 0\nfor i = 1, 3000000 do n = n + 1 end\n");
    script.reset();
    EXPECT_TRUE(m_handler.texts.empty());
}

// Destroying an instance under a script that is still running stops the
// script and waits until the worker has left the state before closing it;
// nothing is reported, as the owner is going away. Without a budget only the
// stop can end these scripts, inside a library call or between instructions.
TEST_F(FScriptInstanceTest, DestroyingARunningScriptStopsItBeforeTheStateCloses)
{
    const char* const scripts[] = {
        "for i = 1, 3 do string.rep('', 2147483647) end\nwhile true do end",
        "while true do string.find(string.rep('a', 400), string.rep('.-', 4)..'b') end",
        "while true do pcall(string.rep, 'x', 2^30) end",
        "local t = {}\nwhile true do t[#t % 1000 + 1] = { 1, 2, 3 } end",
    };
    for (const char* text : scripts) {
        SCOPED_TRACE(text);
        m_handler.texts.clear();
        auto script = run("endless.lua", text, std::numeric_limits<std::uint64_t>::max());
        script.reset();
        EXPECT_TRUE(m_handler.texts.empty());
    }
}

TEST_F(FScriptInstanceTest, AMissingScriptFailsInTheConstructor)
{
    expectFailure([&] { FScriptInstance script(m_application, "params.lua"); },
                  "Unable to find script (Scripts/params.lua)");
}

// A failure raised inside the protected call that runs the chunk unwinds
// through Lua (status -1); the worker then reports the status, and the main
// thread is made to unwind at its next wait.
TEST_F(FScriptInstanceTest, ParseAndRunFailuresUnwindThroughTheProtectedCall)
{
    const struct
    {
        const char* name;
        const char* text;
        const char* failure;
        const char* luaMessage;
    } cases[] = {
        {"syntax.lua", "x = = 1\n", "Error while parsing Scripts/syntax.lua (error code = 3)\n",
         "Scripts/syntax.lua:1: unexpected symbol near '='"},
        {"runtime.lua", "x = 1\nerror('boom')\n",
         "Error while executing Scripts/runtime.lua (error code = 2)\n", "Scripts/runtime.lua:2: boom"},
        {"nilcall.lua", "local t = {}\nt.f()\n",
         "Error while executing Scripts/nilcall.lua (error code = 2)\n",
         "Scripts/nilcall.lua:2: attempt to call field 'f' (a nil value)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_handler.texts.clear();
        auto script = run(c.name, c.text);
        EXPECT_THROW(script->getNumber("x"), FDebug::TreatedException);
        ASSERT_EQ(m_handler.texts.size(), 2u);
        std::string first = utf8(m_handler.texts[0]);
        EXPECT_EQ(first.substr(0, std::strlen(c.failure)), c.failure) << first;
        EXPECT_NE(first.find(c.luaMessage), std::string::npos) << first;
        EXPECT_EQ(utf8(m_handler.texts[1]).substr(0, 30), "Script execution returned -1\n\n");
    }
}

} // namespace
