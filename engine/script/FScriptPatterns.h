#pragma once

// The string library's pattern functions (find, match, gmatch, gfind, gsub)
// and rep, with the library's own results, but bounded: the library's
// matcher backtracks without limit inside one call, where no instruction
// count can reach it, and its rep works through any count even when the
// result is empty or far past the memory a script may take.
//
// Every position the matcher tries is charged to the script's step budget
// (FScriptLimits), a pattern nests at most k_maxDepth levels deep (the
// matcher recurses on the worker's stack), and rep refuses a result past the
// memory limit before it copies anything.

struct lua_State;

class FScriptPatterns
{
public:
    static constexpr int k_maxDepth = 200;

    // Replaces the functions in the string table on top of the stack.
    static void install(lua_State* state);
};
