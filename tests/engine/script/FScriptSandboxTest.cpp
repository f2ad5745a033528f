#include "engine/script/ScriptTestSupport.h"

namespace {

using FScriptSandboxTest = ScriptTest;

// Each refused call is a run-time error of the script, reported like any
// other; nothing it asked for happens.
TEST_F(FScriptSandboxTest, RefusedCallsFailTheScriptCleanly)
{
    writeScript("victim.txt", "keep me");
    const char* const calls[] = {
        "os.execute('touch executed.txt')",
        "io.popen('touch popened.txt')",
        "os.remove('Scripts/victim.txt')",
        "os.rename('Scripts/victim.txt', 'renamed.txt')",
        "os.exit(3)",
        "os.tmpname()",
        "io.open('written.txt', 'w')",
        "io.open('written.txt', 'a')",
        "io.open('Scripts/victim.txt', 'r+')",
        "io.output('written.txt')",
        "package.loadlib('libc.so.6', 'abort')",
        "loadlib('libc.so.6', 'abort')",
        "require('no_such_module')",
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
    const auto& folder = m_scratch.path();
    EXPECT_TRUE(std::filesystem::exists(folder / "Scripts" / "victim.txt"));
    for (const char* made : {"executed.txt", "popened.txt", "renamed.txt", "written.txt"}) {
        EXPECT_FALSE(std::filesystem::exists(folder / made)) << made;
    }
    std::ifstream victim(folder / "Scripts" / "victim.txt");
    std::string text((std::istreambuf_iterator<char>(victim)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "keep me");
}

// Precompiled chunks are refused wherever a script could hand one to the
// compiler, and the script itself must be source text.
TEST_F(FScriptSandboxTest, PrecompiledChunksAreRefused)
{
    auto script =
        run("bytecode.lua", "local code = string.dump(function() return 1 end)\n"
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
    EXPECT_EQ(utf8(m_handler.texts[0]).rfind("Error while parsing Scripts/compiled.lua (error code = 3)", 0),
              0u);
}

// What stays: every library, reading files, loading source text.
TEST_F(FScriptSandboxTest, EverythingElseStaysAvailable)
{
    writeScript("data.txt", "line one\n");
    auto script = run("allowed.lua",
                      "local file = io.open('Scripts/data.txt')\n"
                      "readText = file:read('*l') == 'line one'\n"
                      "file:close()\n"
                      "local binary = io.open('Scripts/data.txt', 'rb')\n"
                      "readBinary = binary ~= nil\n"
                      "binary:close()\n"
                      "local chunk = loadstring('return 40 + 2')\n"
                      "compiled = chunk()\n"
                      "local pieces = { 'return ', '7' }\n"
                      "loaded = load(function() return table.remove(pieces, 1) end)()\n"
                      "clock = type(os.time()) == 'number' and type(os.clock()) == 'number'\n"
                      "libraries = type(string.format) == 'function' and type(math.floor) == 'function'\n"
                      "  and type(table.insert) == 'function' and type(debug.traceback) == 'function'\n"
                      "  and type(coroutine.wrap) == 'function' and type(require) == 'function'\n"
                      "io.output(io.stdout)\n");
    EXPECT_TRUE(script->getBoolean("readText"));
    EXPECT_TRUE(script->getBoolean("readBinary"));
    EXPECT_EQ(script->getInteger("compiled"), 42);
    EXPECT_EQ(script->getInteger("loaded"), 7);
    EXPECT_TRUE(script->getBoolean("clock"));
    EXPECT_TRUE(script->getBoolean("libraries"));
    EXPECT_TRUE(m_handler.texts.empty());
}

} // namespace
