#include "engine/script/ScriptTestSupport.h"

#include <clocale>
#include <limits>

namespace {

using FScriptSandboxTest = ScriptTest;

// Each way out that a script was seen to take, and the rest of what would
// reach the machine: all are run-time errors of the script, reported like any
// other, and nothing they asked for happens.
TEST_F(FScriptSandboxTest, EscapesFailTheScriptCleanly)
{
    writeScript("victim.txt", "keep me");
    const std::string localeBefore = std::setlocale(LC_ALL, nullptr);
    const char* const calls[] = {
        // A number became a file name in the working folder.
        "io.output(1)",
        // Precompiled code from a file, also one written through a temporary file.
        "loadfile('Scripts/victim.txt')",
        "dofile('Scripts/victim.txt')",
        "package.path = './?.lua'; require('victim')",
        "local f = io.tmpfile(); f:write('x')",
        // Any absolute path could be read.
        "io.open('/etc/passwd')",
        "io.lines('/etc/passwd')",
        "os.setlocale('C')",
        "os.getenv('HOME')",
        "os.execute('touch executed.txt')",
        "io.popen('touch popened.txt')",
        "os.remove('Scripts/victim.txt')",
        "os.rename('Scripts/victim.txt', 'renamed.txt')",
        "os.exit(3)",
        "os.tmpname()",
        "io.open('written.txt', 'w')",
        "package.loadlib('libc.so.6', 'abort')",
        "loadlib('libc.so.6', 'abort')",
        "require('string')",
        "module('m')",
        "debug.getregistry()",
        "string.dump(print)",
        "('').dump(function() end)",
    };
    for (const char* call : calls) {
        SCOPED_TRACE(call);
        m_handler.texts.clear();
        auto script = run("sandbox.lua", std::string(call) + "\nx = 1\n");
        EXPECT_THROW(script->getNumber("x"), FDebug::TreatedException);
        ASSERT_EQ(m_handler.texts.size(), 2u);
        EXPECT_EQ(
            utf8(m_handler.texts[0]).rfind("Error while executing Scripts/sandbox.lua (error code = 2)\n", 0),
            0u)
            << utf8(m_handler.texts[0]);
    }
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), localeBefore);
    const auto& folder = m_scratch.path();
    for (const char* made : {"1", "executed.txt", "popened.txt", "renamed.txt", "written.txt"}) {
        EXPECT_FALSE(std::filesystem::exists(folder / made)) << made;
    }
    std::ifstream victim(folder / "Scripts" / "victim.txt");
    std::string text((std::istreambuf_iterator<char>(victim)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "keep me");
}

// The libraries hold exactly what is listed: a function that a library adds
// or that someone forgets to take out shows up here.
TEST_F(FScriptSandboxTest, LibrariesHoldOnlyTheirListedFunctions)
{
    auto script =
        run("names.lua", "local function names(t)\n"
                         "  local list = {}\n"
                         "  for k in pairs(t) do list[#list + 1] = tostring(k) end\n"
                         "  table.sort(list)\n"
                         "  return table.concat(list, ',')\n"
                         "end\n"
                         "local globals = names(_G)\n"
                         "osNames = names(os) == 'clock,date,time'\n"
                         "stringNames = names(string) == "
                         "'byte,char,find,format,gfind,gmatch,gsub,len,lower,match,rep,reverse,sub,upper'\n"
                         "globalNames = globals == '_G,_VERSION,assert,collectgarbage,coroutine,error,"
                         "gcinfo,getfenv,getmetatable,ipairs,load,loadstring,math,newproxy,next,os,"
                         "pairs,pcall,print,rawequal,rawget,rawset,select,setfenv,setmetatable,string,"
                         "table,tonumber,tostring,type,unpack,xpcall'\n"
                         "stringMeta = getmetatable('').__index == string\n");
    EXPECT_TRUE(script->getBoolean("osNames"));
    EXPECT_TRUE(script->getBoolean("stringNames"));
    EXPECT_TRUE(script->getBoolean("globalNames"));
    EXPECT_TRUE(script->getBoolean("stringMeta"));
}

// Precompiled chunks are refused wherever a script could hand one to the
// compiler, and the script itself must be source text.
TEST_F(FScriptSandboxTest, PrecompiledChunksAreRefused)
{
    // No string.dump: a chunk header written by hand stands for compiled code.
    auto script =
        run("bytecode.lua", "local code = '\\27Lua\\81\\0\\1\\4\\8\\4\\8\\0'\n"
                            "local f, message = loadstring(code)\n"
                            "viaString = f == nil and message == 'precompiled chunks are not accepted'\n"
                            "local parts = { '', code }\n"
                            "local g = load(function() return table.remove(parts, 1) end)\n"
                            "viaReader = g == nil\n");
    EXPECT_TRUE(script->getBoolean("viaString"));
    EXPECT_TRUE(script->getBoolean("viaReader"));
    script.reset();

    m_handler.texts.clear();
    writeScript("compiled.lua", std::string("\x1bLua\x51\x00\x01\x04\x08\x04\x08\x00", 12));
    auto compiled = std::make_unique<FScriptInstance>(m_application, "compiled.lua");
    EXPECT_THROW(compiled->getNumber("x"), FDebug::TreatedException);
    ASSERT_EQ(m_handler.texts.size(), 2u);
    EXPECT_EQ(utf8(m_handler.texts[0])
                  .rfind("Error while parsing Scripts/compiled.lua (error code = 3)\n"
                         "precompiled chunks are not accepted",
                         0),
              0u)
        << utf8(m_handler.texts[0]);
}

// What a tuning script uses stays: loading source text, the clock, the
// libraries' ordinary functions.
TEST_F(FScriptSandboxTest, WhatTuningScriptsUseStaysAvailable)
{
    auto script = run("allowed.lua", "local chunk = loadstring('return 40 + 2')\n"
                                     "compiled = chunk()\n"
                                     "local pieces = { 'return ', '7' }\n"
                                     "loaded = load(function() return table.remove(pieces, 1) end)()\n"
                                     "clock = type(os.time()) == 'number' and type(os.clock()) == 'number'\n"
                                     "  and type(os.date('%Y')) == 'string'\n"
                                     "text = string.format('%d', math.floor(2.5)) == '2'\n"
                                     "local co = coroutine.wrap(function() coroutine.yield(5) end)\n"
                                     "yielded = co()\n"
                                     "caught = not pcall(error, 'x')\n");
    EXPECT_EQ(script->getInteger("compiled"), 42);
    EXPECT_EQ(script->getInteger("loaded"), 7);
    EXPECT_TRUE(script->getBoolean("clock"));
    EXPECT_TRUE(script->getBoolean("text"));
    EXPECT_EQ(script->getInteger("yielded"), 5);
    EXPECT_TRUE(script->getBoolean("caught"));
    EXPECT_TRUE(m_handler.texts.empty());
}

// A script that never ends is stopped by its instruction budget, also when it
// catches the error or runs its loop in a coroutine, and the report names it.
TEST_F(FScriptSandboxTest, RunawayScriptsEndWithAFailureNamingThem)
{
    const char* const loops[] = {
        "while true do end",
        "while true do pcall(function() while true do end end) end",
        "local co = coroutine.wrap(function() while true do end end)\nco()",
        "local function f() return f() end\nf()",
    };
    for (const char* loop : loops) {
        SCOPED_TRACE(loop);
        m_handler.texts.clear();
        auto script = run("runaway.lua", std::string(loop) + "\nx = 1\n", 2'000'000);
        EXPECT_THROW(script->getNumber("x"), FDebug::TreatedException);
        ASSERT_EQ(m_handler.texts.size(), 2u);
        std::string text = utf8(m_handler.texts[0]);
        EXPECT_EQ(text.rfind("Error while executing Scripts/runaway.lua (error code = 2)\n", 0), 0u) << text;
        EXPECT_NE(text.find("Scripts/runaway.lua:"), std::string::npos) << text;
        EXPECT_NE(text.find("ran past its budget of instructions"), std::string::npos) << text;
    }
    // The same work within the budget runs.
    auto script = run("bounded.lua", "local n = 0\nfor i = 1, 100000 do n = n + 1 end\nx = n\n", 2'000'000);
    EXPECT_EQ(script->getInteger("x"), 100000);
}

} // namespace

namespace {

// One library call that ran for minutes and took gigabytes, and the other ways
// to the same end: each fails at once with a text that says which bound it
// met, and the state's memory is given back.
TEST_F(FScriptSandboxTest, LongLibraryCallsAndGreedyScriptsMeetTheirBounds)
{
    const struct
    {
        const char* script;
        const char* message;
        int status;
    } cases[] = {
        {"string.rep('x', 2^30)",
         "Scripts/bounds.lua:1: string.rep: a result of 1073741824 bytes is past the script's memory limit",
         2},
        {"local s = ('x'):rep(2^20)\nlocal t = {}\nfor i = 1, 100 do t[i] = s .. i end",
         "the script ran past its memory limit of 64 MB", 4},
        {"local s = 'x'\nwhile true do s = s .. s end", "the script ran past its memory limit of 64 MB", 4},
        {"local t = {}\nfor i = 1, 1e8 do t[i] = i end", "the script ran past its memory limit of 64 MB", 4},
        {"local s = table.concat({ string.rep('x', 2^24), string.rep('y', 2^24), string.rep('z', 2^24) })",
         "the script ran past its memory limit of 64 MB", 4},
        {"string.find(string.rep('a', 400), string.rep('.-', 4)..'b')",
         "Scripts/bounds.lua:1: the script ran past its budget of instructions", 2},
        {"local s = string.rep('a', 400)\nlocal r = s:gsub('(.-)(.-)(.-)(.-)b', '')",
         "Scripts/bounds.lua:2: the script ran past its budget of instructions", 2},
        {"for w in string.gmatch(string.rep('a', 300), '%w-%w-%w-%w-b') do end",
         "the script ran past its budget of instructions", 2},
        {"string.match(string.rep('a', 2^20), string.rep('a', 2^19)..'b')",
         "the script ran past its budget of instructions", 2},
        {"string.find(string.rep('a', 2^24), string.rep('a', 2^12)..'b', 1, true)",
         "Scripts/bounds.lua:1: the script ran past its budget of instructions", 2},
        // Copies that fit the memory limit one at a time are paid for by what
        // they allocate.
        {"for i = 1, 1e6 do local copy = string.rep('x', 2^22 + i) end",
         "the script ran past its budget of instructions", 2},
        // The matcher recurses on the worker's stack.
        {"string.find(string.rep('a', 100000), string.rep('a?', 100000))",
         "Scripts/bounds.lua:1: pattern too complex", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        m_handler.texts.clear();
        // The clock stands still: on a loaded machine the time limit would
        // otherwise end a case before the bound it is about.
        FScriptLimits::Bounds bounds;
        bounds.clock = [] { return std::uint64_t{0}; };
        auto script = run("bounds.lua", std::string(c.script) + "\nx = 1\n", std::move(bounds));
        EXPECT_THROW(script->getNumber("x"), FDebug::TreatedException);
        ASSERT_EQ(m_handler.texts.size(), 2u);
        const std::string text = utf8(m_handler.texts[0]);
        const std::string head =
            "Error while executing Scripts/bounds.lua (error code = " + std::to_string(c.status) + ")\n";
        EXPECT_EQ(text.rfind(head, 0), 0u) << text;
        EXPECT_NE(text.find(c.message), std::string::npos) << text;
        EXPECT_EQ(script->memoryInUse(), 0u);
    }
}

// Instructions that cost in proportion to long texts without allocating
// (here the same concatenation, whose result Lua finds already interned) are
// not seen by the step count; the time limit ends them. The clock is simulated:
// each look at it is a tenth of a second later.
TEST_F(FScriptSandboxTest, ScriptsPastTheirTimeLimitFail)
{
    const char* const scripts[] = {
        "local s = string.rep('x', 2^22)\nfor i = 1, 1e6 do local c = s .. 'y' end",
        "while true do end",
        "while true do pcall(string.find, string.rep('a', 400), string.rep('.-', 4)..'b') end",
    };
    for (const char* text : scripts) {
        SCOPED_TRACE(text);
        m_handler.texts.clear();
        FScriptLimits::Bounds bounds;
        bounds.instructionBudget = std::numeric_limits<std::uint64_t>::max();
        bounds.timeLimitMs = 1000;
        std::uint64_t now = 0;
        int reads = 0;
        bounds.clock = [&now, &reads] {
            ++reads;
            return now += 100;
        };
        auto script = run("slow.lua", std::string(text) + "\nx = 1\n", std::move(bounds));
        EXPECT_THROW(script->getNumber("x"), FDebug::TreatedException);
        ASSERT_EQ(m_handler.texts.size(), 2u);
        const std::string message = utf8(m_handler.texts[0]);
        EXPECT_EQ(message.rfind("Error while executing Scripts/slow.lua (error code = 2)\n", 0), 0u)
            << message;
        EXPECT_NE(message.find("Scripts/slow.lua:"), std::string::npos) << message;
        EXPECT_NE(message.find("the script ran past its time limit of 1000 ms"), std::string::npos)
            << message;
        EXPECT_EQ(reads, 11);
    }
}

// The bounded pattern functions give the library's results.
TEST_F(FScriptSandboxTest, PatternFunctionsKeepTheLibrarysResults)
{
    const struct
    {
        const char* expression;
        const char* expected;
    } cases[] = {
        {"string.find('hello world', 'o w')", "5 7"},
        {"string.find('hello world', 'l+')", "3 4"},
        {"string.find('hello', 'l', -2)", "4 4"},
        {"string.find('hello', 'xyz')", "nil"},
        {"string.find('a.b', '.', 1, true)", "2 2"},
        {"string.find('abc', '', 10)", "4 3"},
        {"string.find('key = value', '(%w+)%s*=%s*(%w+)')", "1 11 key value"},
        {"string.match('  trim  ', '^%s*(.-)%s*$')", "trim"},
        {"string.match('f(a(b)c)d', '%b()')", "(a(b)c)"},
        {"string.match('THE (quick) fox', '%f[%a]%a+', 5)", "quick"},
        {"string.match('hello', '()ll()')", "3 5"},
        {"string.match('abcabc', '(abc)%1')", "abc"},
        {"string.match('2024-01-05', '(%d+)-(%d+)-(%d+)')", "2024 01 05"},
        {"string.match('x', '[%]x]')", "x"},
        {"string.match('-', '[a%-z]')", "-"},
        {"string.match('end', 'd$')", "d"},
        {"string.match('a$b', 'a$b')", "a$b"},
        {"string.match('aaa', 'a-b')", "nil"},
        {"string.match('aaab', 'a*')", "aaa"},
        {"string.match('ab', '[^a]')", "b"},
        {"string.gsub('hello world', 'o', '0')", "hell0 w0rld 2"},
        {"string.gsub('hello world', '(%w+)', '<%1>')", "<hello> <world> 2"},
        {"string.gsub('abc', '%w', '%0%0')", "aabbcc 3"},
        {"string.gsub('abc', '', '-')", "-a-b-c- 4"},
        {"string.gsub('abc', 'b', '%%')", "a%c 1"},
        {"string.gsub('hello', 'l', 'L', 1)", "heLlo 1"},
        {"string.gsub('$name is $age', '%$(%w+)', { name = 'Ann', age = 7 })", "Ann is 7 2"},
        {"string.gsub('1 2 3', '%d', function(d) return d * 2 end)", "2 4 6 3"},
        {"string.gsub('keep', 'e', function() return nil end)", "keep 2"},
        {"string.gsub('aaa', '^a', 'b')", "baa 1"},
        {"(function() local t = {} for k, v in string.gmatch('a=1, b=2', '(%w+)=(%w+)') do "
         "t[#t + 1] = k .. v end return table.concat(t, ',') end)()",
         "a1,b2"},
        {"(function() local n = 0 for w in string.gmatch('', 'x*') do n = n + 1 end return n end)()", "1"},
        {"(function() local t = {} for w in string.gfind('one two', '%a+') do t[#t + 1] = w end "
         "return table.concat(t, ' ') end)()",
         "one two"},
        {"('ab'):rep(3)", "ababab"},
        {"string.rep('ab', 0)", ""},
        {"string.rep('', 2147483647)", ""},
        {"pcall(string.find, 'a', '(')", "false unfinished capture"},
        {"pcall(string.find, 'a', '%')", "false malformed pattern (ends with '%')"},
        {"pcall(string.find, 'a', '[a')", "false malformed pattern (missing ']')"},
        {"pcall(string.find, 'a', '%1')", "false invalid capture index"},
        {"pcall(string.gsub, 'a', 'a', true)",
         "false bad argument #3 to '?' (string/function/table expected)"},
    };
    std::string text = "local function show(...)\n"
                       "  local parts = {}\n"
                       "  for i = 1, select('#', ...) do parts[i] = tostring((select(i, ...))) end\n"
                       "  return table.concat(parts, ' ')\n"
                       "end\n"
                       "results = {}\n";
    for (const auto& c : cases) {
        text += "results[#results + 1] = show(" + std::string(c.expression) + ")\n";
    }
    // The host reads numbers and booleans only: the script compares each
    // result with its expected text, and prints the ones that differ.
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        std::string expected;
        for (const char* p = cases[i].expected; *p != '\0'; ++p) {
            if (*p == '\\' || *p == '\'') {
                expected += '\\';
            }
            expected += *p;
        }
        const std::string index = std::to_string(i + 1);
        text += "same" + std::to_string(i) + " = results[" + index + "] == '" + expected + "'\nif not same" +
                std::to_string(i) + " then print(results[" + index + "]) end\n";
    }
    auto compared = run("patterns.lua", text);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_TRUE(compared->getBoolean(("same" + std::to_string(i)).c_str())) << cases[i].expression;
    }
}

} // namespace
