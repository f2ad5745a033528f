#pragma once

// Scripts come from content kits, which players can replace, so a script must
// not reach the machine. The libraries are built from a list of what a tuning
// script may use, never by taking dangerous parts out of the full set: the
// base library without dofile and loadfile, and with load and loadstring
// refusing precompiled chunks; string without dump; table; math; of os only
// time, clock and date. No io, package or debug library is opened.
//
// Every script also runs under an instruction budget: one that runs past it
// fails with a Lua error naming the chunk, so an endless loop cannot hold a
// worker for the rest of the run.

#include <cstdint>

struct lua_State;

class FScriptSandbox
{
public:
    // Enough for any tuning script many times over, and still under a second.
    static constexpr std::uint64_t k_defaultInstructionBudget = 100'000'000;

    // Opens the allowed libraries into the globals of a fresh state and
    // installs the instruction budget; call before the chunk is loaded.
    static void open(lua_State* state, std::uint64_t instructionBudget = k_defaultInstructionBudget);

    // Whether `text` is a precompiled chunk rather than source text.
    static bool isPrecompiled(const char* text, std::size_t length) noexcept;
};
