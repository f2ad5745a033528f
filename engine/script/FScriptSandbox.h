#pragma once

// Scripts come from content kits, which anyone can make. Every standard
// library stays open, but what would let a script run programs, change or
// remove files, end the process, load native code or hand-made bytecode is
// taken out or refused.

struct lua_State;

class FScriptSandbox
{
public:
    // Call after the standard libraries were opened. Removes os.execute,
    // os.remove, os.rename, os.exit, os.tmpname, io.popen, package.loadlib (and
    // a global loadlib) and the searchers of native modules; io.open accepts
    // only the reading modes "r" and "rb", io.output no file name, and
    // loadstring and load refuse precompiled chunks.
    static void restrict(lua_State* state);
};
