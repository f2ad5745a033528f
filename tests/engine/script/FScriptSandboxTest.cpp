#include "engine/script/ScriptTestSupport.h"

#include <clocale>

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
