#pragma once

// The bounds one script runs under. Scripts come from content kits, which
// players can replace, so neither an endless loop nor one library call may
// hold a worker or the machine's memory for the rest of the run.
//
// Time is counted in steps rather than read from a clock, so a script fails
// at the same point on every machine: each Lua instruction is one step, the
// pattern matcher charges one per position it tries, and every byte a state
// allocates is charged as well (copying, concatenating and repeating text is
// paid for by the memory it makes). Memory is capped by the state's allocator.
// Some single instructions still cost in proportion to the texts they touch
// without allocating (a concatenation whose result is already interned, the
// comparison of two long texts), so a time limit stands behind the steps: the
// clock is read every k_checkInterval instructions and at each library step
// batch.
//
// The object is the state's allocator data, so it must outlive the state.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct lua_State;

class FScriptLimits
{
public:
    // Enough for any tuning script many times over, and still under a second.
    static constexpr std::uint64_t k_defaultInstructionBudget = 100'000'000;
    // A tuning script needs well under a megabyte.
    static constexpr std::size_t k_defaultMemoryLimit = 64u << 20;
    // Allocating this many bytes costs one step.
    static constexpr std::size_t k_bytesPerStep = 8;
    // Far past what a tuning script takes, even on a loaded machine.
    static constexpr std::uint32_t k_defaultTimeLimitMs = 10'000;
    // Instructions between two looks at the steps, the stop and the clock.
    static constexpr int k_checkInterval = 100;

    struct Bounds
    {
        std::uint64_t instructionBudget = k_defaultInstructionBudget;
        std::size_t memoryLimit = k_defaultMemoryLimit;
        std::uint32_t timeLimitMs = k_defaultTimeLimitMs;
        // Milliseconds from any fixed point; the steady clock when empty.
        std::function<std::uint64_t()> clock;
    };

    enum class Refusal {
        k_none,
        k_memory,
        k_stopped,
    };

    explicit FScriptLimits(Bounds bounds);
    FScriptLimits(const FScriptLimits&) = delete;
    FScriptLimits& operator=(const FScriptLimits&) = delete;

    // A state that allocates through these limits, or null.
    lua_State* newState();
    // The limits of a state made by newState.
    static FScriptLimits& of(lua_State* state);

    // Takes `steps` from the budget, down to nothing.
    void take(std::uint64_t steps) noexcept;
    // Takes `steps` from the budget; raises a Lua error in `state` when the
    // budget is spent or a stop was asked for.
    void charge(lua_State* state, std::uint64_t steps);
    // Raises the Lua error of a stop, a spent budget or a time past the limit.
    void check(lua_State* state);
    bool spent() const noexcept { return m_remaining.load(std::memory_order_relaxed) == 0; }
    // Starts the time limit; called when the script starts to run.
    void startClock();
    // Whether the time limit has passed (reads the clock).
    bool pastTime();
    // The text of the Lua error check raises now, or null when none is due.
    const char* dueError();

    // Asked from any thread: the script fails at its next step or allocation.
    void stop() noexcept { m_stopped.store(true, std::memory_order_release); }
    bool stopped() const noexcept { return m_stopped.load(std::memory_order_acquire); }

    // Reads after the script has run only push names and must not fail.
    void liftMemoryLimit() noexcept { m_memoryLimit = static_cast<std::size_t>(-1); }
    std::size_t memoryLimit() const noexcept { return m_memoryLimit; }
    std::size_t memoryInUse() const noexcept { return m_inUse.load(std::memory_order_relaxed); }
    // Why the allocator last refused a block.
    Refusal refusal() const noexcept { return m_refusal; }

    // What the script ran into when the allocator refused it a block, for
    // the failure report; empty when nothing was refused.
    std::string describeRefusal() const;

private:
    static void* allocate(void* limits, void* block, std::size_t oldSize, std::size_t newSize) noexcept;
    static int panic(lua_State* state);

    std::atomic<std::uint64_t> m_remaining;
    std::size_t m_memoryLimit;
    std::uint32_t m_timeLimitMs;
    std::function<std::uint64_t()> m_clock;
    std::uint64_t m_startMs = 0;
    bool m_pastTime = false;
    std::string m_timeText;
    std::atomic<std::size_t> m_inUse{0};
    std::atomic<bool> m_stopped{false};
    Refusal m_refusal = Refusal::k_none;
};
