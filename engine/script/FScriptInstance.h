#pragma once

// Runs one Lua script from the folder "Scripts/" of the mounted file systems
// once on a pooled worker thread, and then answers typed reads of the globals
// and tables the script left behind. No engine function is offered to
// scripts; the host only reads values back.
//
// Every read first waits until the script has run, so reads may be issued at
// once after construction, from any thread, but from one thread at a time:
// they take no lock. The Lua stack is the table cursor: with nothing entered,
// names are globals; after enterTable they are fields of the entered table.

#include "core/FRef.h"
#include "core/FSignal.h"
#include "core/FThreadTask.h"
#include "script/FScriptLimits.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

class FApplication;
struct lua_State;

class FScriptInstance : public FThreadTask
{
public:
    // Reads "Scripts/" + `name` through the application's file-system service
    // and starts running it. A missing file is a failure, and nothing runs. A
    // script that goes past one of its `bounds` fails, and what it took is
    // freed (FScriptLimits).
    FScriptInstance(FApplication& application, const char* name, FScriptLimits::Bounds bounds = {});
    // Stops a script that is still running and waits until its worker has
    // left it (the bounds make that quick), then closes the Lua state.
    ~FScriptInstance() override;

    // Blocks until the script has run; a script that failed never has, so its
    // readers wait until the application's shutdown unwinds them.
    void waitUntilExecuted();

    double getNumber(const char* name);
    // The number rounded to the nearest integer, ties to the even one.
    std::int32_t getInteger(const char* name);
    bool getBoolean(const char* name);
    // Element `index` + 1 of the entered table (zero-based here, one-based in
    // Lua), rounded as getInteger.
    std::int32_t getIntegerAt(std::int32_t index);
    // Enters the global table `name`, or with a table entered its field `name`.
    void enterTable(const char* name);
    // Leaves the entered table; nothing when none is entered.
    void leaveTable();

    const std::string& path() const noexcept { return m_path; }
    // Bytes the script's state holds; nothing once a failed script's state
    // has been closed.
    std::size_t memoryInUse() const noexcept { return m_limits.memoryInUse(); }

protected:
    // The task's work on the worker: opens the libraries and runs the script.
    void main() override;

private:
    static int callHandlerThis(lua_State* state);
    void loadChunk();
    // What a read looks up: a name in the current scope, or (name null) an
    // element of the entered table.
    struct Key
    {
        const char* name;
        std::int32_t index;
    };
    // Pushes the value of `key`; a nil value is popped again and raised as a
    // failure.
    void pushValue(const Key& key);
    // Pops the value pushed by pushValue as a number; anything else is a
    // failure.
    double popNumber(const Key& key);
    std::int32_t popInteger(const Key& key);
    // Room for `slots` more values on the Lua stack.
    void reserveStack(int slots);

    std::string m_path;
    FRef m_text;
    FSignal m_executedSignal;
    std::atomic<bool> m_executed{false};
    // The state allocates through it, so it is built before the state and
    // outlives it.
    FScriptLimits m_limits;
    lua_State* m_state = nullptr;
};
