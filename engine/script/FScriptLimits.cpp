#include "script/FScriptLimits.h"

#include "core/FErrorMessage.h"

#include <lua.hpp>

#include <chrono>
#include <cstdlib>
#include <utility>

FScriptLimits::FScriptLimits(Bounds bounds)
    : m_remaining(bounds.instructionBudget), m_memoryLimit(bounds.memoryLimit),
      m_timeLimitMs(bounds.timeLimitMs), m_clock(std::move(bounds.clock)),
      m_timeText("the script ran past its time limit of " + std::to_string(bounds.timeLimitMs) + " ms")
{
    if (!m_clock) {
        m_clock = [] {
            using namespace std::chrono;
            return static_cast<std::uint64_t>(
                duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
        };
    }
}

void FScriptLimits::startClock()
{
    m_startMs = m_clock();
}

bool FScriptLimits::pastTime()
{
    if (!m_pastTime && m_clock() - m_startMs >= m_timeLimitMs) {
        m_pastTime = true;
    }
    return m_pastTime;
}

const char* FScriptLimits::dueError()
{
    if (stopped()) {
        return "the script was stopped";
    }
    if (spent()) {
        return "the script ran past its budget of instructions";
    }
    if (pastTime()) {
        return m_timeText.c_str();
    }
    return nullptr;
}

lua_State* FScriptLimits::newState()
{
    lua_State* state = lua_newstate(&FScriptLimits::allocate, this);
    if (state != nullptr) {
        lua_atpanic(state, &FScriptLimits::panic);
    }
    return state;
}

FScriptLimits& FScriptLimits::of(lua_State* state)
{
    void* limits = nullptr;
    lua_getallocf(state, &limits);
    return *static_cast<FScriptLimits*>(limits);
}

void FScriptLimits::take(std::uint64_t steps) noexcept
{
    const std::uint64_t remaining = m_remaining.load(std::memory_order_relaxed);
    m_remaining.store(remaining > steps ? remaining - steps : 0, std::memory_order_relaxed);
}

void FScriptLimits::charge(lua_State* state, std::uint64_t steps)
{
    take(steps);
    check(state);
}

void FScriptLimits::check(lua_State* state)
{
    if (const char* error = dueError()) {
        luaL_error(state, "%s", error);
    }
}

std::string FScriptLimits::describeRefusal() const
{
    switch (m_refusal) {
    case Refusal::k_memory:
        return "the script ran past its memory limit of " + std::to_string(m_memoryLimit >> 20) + " MB";
    case Refusal::k_stopped:
        return "the script was stopped";
    case Refusal::k_none:
        break;
    }
    return {};
}

void* FScriptLimits::allocate(void* data, void* block, std::size_t oldSize, std::size_t newSize) noexcept
{
    auto& limits = *static_cast<FScriptLimits*>(data);
    if (newSize == 0) {
        std::free(block);
        limits.m_inUse.fetch_sub(oldSize, std::memory_order_relaxed);
        return nullptr;
    }
    // Shrinking never fails: the collector shrinks while it frees.
    if (newSize > oldSize) {
        const std::size_t growth = newSize - oldSize;
        if (limits.stopped()) {
            limits.m_refusal = Refusal::k_stopped;
            return nullptr;
        }
        const std::size_t inUse = limits.m_inUse.load(std::memory_order_relaxed);
        if (growth > limits.m_memoryLimit || inUse > limits.m_memoryLimit - growth) {
            limits.m_refusal = Refusal::k_memory;
            return nullptr;
        }
        // Paid for here, refused at the next instruction or library step:
        // Lua does not expect its allocator to raise errors.
        limits.take(growth / k_bytesPerStep);
    }
    void* result = std::realloc(block, newSize);
    if (result == nullptr) {
        if (newSize > oldSize) {
            return nullptr;
        }
        // Lua holds the block as the smaller size from here on.
        result = block;
    }
    if (newSize > oldSize) {
        limits.m_inUse.fetch_add(newSize - oldSize, std::memory_order_relaxed);
    } else {
        limits.m_inUse.fetch_sub(oldSize - newSize, std::memory_order_relaxed);
    }
    return result;
}

// An error outside any protected call; the engine's failure unwinds the
// caller instead of ending the process.
int FScriptLimits::panic(lua_State* state)
{
    const char* message = lua_tostring(state, -1);
    ZIBBO_FAIL_TEXT("Unprotected Lua error (" << (message == nullptr ? "no message" : message) << ")");
}
