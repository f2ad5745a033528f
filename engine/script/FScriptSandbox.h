#pragma once

// Scripts come from content kits, which players can replace, so a script must
// not reach the machine. The libraries are built from a list of what a tuning
// script may use, never by taking dangerous parts out of the full set: the
// base library without dofile and loadfile, and with load and loadstring
// refusing precompiled chunks; string without dump; table; math; of os only
// time, clock and date. No io, package or debug library is opened.
//
// Every script also runs under the bounds of its state's FScriptLimits: one
// that runs past its steps fails with a Lua error naming the chunk, so an
// endless loop cannot hold a worker for the rest of the run; the pattern
// functions and rep are bounded inside their calls (FScriptPatterns).

#include <cstddef>

struct lua_State;

class FScriptSandbox
{
public:
    // Opens the allowed libraries into the globals of a fresh state made by
    // FScriptLimits::newState and installs the step count; call before the
    // chunk is loaded.
    static void open(lua_State* state);

    // Whether `text` is a precompiled chunk rather than source text.
    static bool isPrecompiled(const char* text, std::size_t length) noexcept;
};
