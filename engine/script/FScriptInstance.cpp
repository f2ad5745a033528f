#include "script/FScriptInstance.h"

#include "core/FApplication.h"
#include "core/FDebug.h"
#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "core/FThread.h"
#include "io/FFileSystemService.h"
#include "script/FScriptSandbox.h"

#include <lua.hpp>

#include <cmath>
#include <cstring>
#include <utility>

FScriptInstance::FScriptInstance(FApplication& application, const char* name, FScriptLimits::Bounds bounds)
    : m_path(std::string("Scripts/") + (name == nullptr ? "" : name)), m_text(makeNullRef()),
      m_limits(std::move(bounds))
{
    m_state = m_limits.newState();
    if (m_state == nullptr) {
        ZIBBO_FAIL_TEXT("Could not initialize Lua");
    }
    try {
        // Searched first: opening a name that matches nothing is a failure of
        // the file systems' own, and this one names the script.
        FRefT<FInStream> stream;
        auto* files = static_cast<FFileSystemService*>(application.service(k_slotFileSystems));
        if (files != nullptr) {
            FFileEntryMap found;
            files->search(found, FString(m_path.c_str()));
            if (!found.empty()) {
                files->openEntry(stream, found.begin()->second);
            }
        }
        FInStream* in = stream.isNull() ? nullptr : waitForRefTarget(stream);
        if (in == nullptr) {
            ZIBBO_FAIL_TEXT("Unable to find script (" << m_path << ")");
        }
        std::int64_t size = in->remaining() > 0 ? in->remaining() : 0;
        auto* text = static_cast<char*>(engineAlloc(k_memStream, static_cast<std::size_t>(size) + 1));
        if (text == nullptr) {
            ZIBBO_FAIL(msgSystemError, "engineAlloc (" << size + 1 << ")");
        }
        m_text = makeRefHolder(text);
        in->read(text, static_cast<std::streamsize>(size));
        text[in->gcount()] = '\0';
    } catch (...) {
        lua_close(m_state);
        m_state = nullptr;
        throw;
    }
    start();
}

FScriptInstance::~FScriptInstance()
{
    // The worker must be done with the state before it is closed. A script
    // that still runs is stopped: its next step, allocation or library call
    // fails, and none of those runs long, so the wait ends soon.
    if (state() == k_running) {
        m_limits.stop();
        while (state() == k_running && !isInline() && worker() != nullptr &&
               !worker()->waitIdle(FThread::k_endPatienceMs, false)) {
            ZIBBO_LOG(k_logDev, false) << "Script " << m_path << " still runs; waiting for it to stop";
        }
    }
    {
        // The task is marked done under its lock; once the lock is free the
        // worker no longer touches this object.
        FMutexLock lock(m_lock);
    }
    if (m_state != nullptr) {
        lua_close(m_state);
    }
}

void FScriptInstance::main()
{
    m_limits.startClock();
    int status = lua_cpcall(m_state, &FScriptInstance::callHandlerThis, this);
    if (status != 0) {
        // A failed script is never read: what it took goes at once.
        lua_close(m_state);
        m_state = nullptr;
        if (m_limits.stopped()) {
            // Its owner is going away; there is nobody to tell.
            ZIBBO_LOG(k_logDev, false) << "Script " << m_path << " was stopped";
            return;
        }
        ZIBBO_FAIL_TEXT("Script execution returned " << status);
    }
    // Reads push names, and an allocation refused outside a protected call
    // would end in the panic handler.
    m_limits.liftMemoryLimit();
    FMutexLock lock(m_executedSignal);
    m_executed.store(true, std::memory_order_release);
    m_executedSignal.set();
}

int FScriptInstance::callHandlerThis(lua_State* state)
{
    auto* self = static_cast<FScriptInstance*>(lua_touserdata(state, 1));
    if (self == nullptr) {
        ZIBBO_FAIL_TEXT("Could not retrieve 'this'");
    }
    self->loadChunk();
    return 0;
}

void FScriptInstance::loadChunk()
{
    lua_gc(m_state, LUA_GCSTOP, 0);
    FScriptSandbox::open(m_state);
    lua_gc(m_state, LUA_GCRESTART, 0);

    // The text ends at its first zero byte; a precompiled chunk always has one
    // in its header, and is refused before the compiler sees it.
    const char* text = static_cast<const char*>(m_text.get());
    const std::string chunkName = "@" + m_path;
    auto fail = [this](const char* what, int status) {
        if (m_limits.stopped()) {
            // Stopped by the destructor: not a fault of the script's.
            throw FDebug::TreatedException();
        }
        const std::string refusal = status == LUA_ERRMEM ? m_limits.describeRefusal() : std::string();
        const char* message = refusal.empty() ? lua_tostring(m_state, -1) : refusal.c_str();
        ZIBBO_FAIL_TEXT(what << m_path << " (error code = " << status << ")"
                             << (message == nullptr ? "" : "\n") << (message == nullptr ? "" : message));
    };
    const std::size_t length = std::strlen(text);
    if (FScriptSandbox::isPrecompiled(text, length)) {
        lua_pushliteral(m_state, "precompiled chunks are not accepted");
        fail("Error while parsing ", LUA_ERRSYNTAX);
    }
    int status = luaL_loadbuffer(m_state, text, length, chunkName.c_str());
    if (status != 0) {
        fail("Error while parsing ", status);
    }
    status = lua_pcall(m_state, 0, LUA_MULTRET, 0);
    if (status != 0) {
        fail("Error while executing ", status);
    }
}

void FScriptInstance::waitUntilExecuted()
{
    while (!m_executed.load(std::memory_order_acquire)) {
        m_executedSignal.wait();
        // Let every other waiter through as well.
        m_executedSignal.set();
    }
}

void FScriptInstance::reserveStack(int slots)
{
    if (lua_checkstack(m_state, slots) == 0) {
        ZIBBO_FAIL_TEXT("Too many tables entered in " << m_path);
    }
}

// Lookups are raw: a metamethod of the script's could raise a Lua error here,
// outside any protected call, which would end the process.
void FScriptInstance::pushValue(const Key& key)
{
    reserveStack(2);
    bool global = lua_gettop(m_state) == 0;
    if (key.name != nullptr) {
        lua_pushstring(m_state, key.name);
        lua_rawget(m_state, global ? LUA_GLOBALSINDEX : -2);
    } else {
        if (global) {
            ZIBBO_FAIL_TEXT("Cannot access a variable via an index if it's not in a table!");
        }
        lua_pushnumber(m_state, static_cast<lua_Number>(key.index) + 1);
        lua_rawget(m_state, -2);
    }
    if (lua_isnil(m_state, -1)) {
        lua_pop(m_state, 1);
        if (key.name != nullptr) {
            ZIBBO_FAIL_TEXT("Could not found variable '" << key.name << "'");
        }
        ZIBBO_FAIL_TEXT("Could not found variable at index " << key.index);
    }
}

double FScriptInstance::popNumber(const Key& key)
{
    if (lua_isnumber(m_state, -1) == 0) {
        const char* type = luaL_typename(m_state, -1);
        lua_pop(m_state, 1);
        if (key.name != nullptr) {
            ZIBBO_FAIL_TEXT("variable " << key.name << " is of type " << type << " (a number was expected)");
        }
        ZIBBO_FAIL_TEXT("variable at index " << key.index << " is of type " << type
                                             << " (a number was expected)");
    }
    double number = lua_tonumber(m_state, -1);
    lua_pop(m_state, 1);
    return number;
}

std::int32_t FScriptInstance::popInteger(const Key& key)
{
    double number = popNumber(key);
    // Ties go to the even neighbour (the default rounding mode).
    double rounded = std::nearbyint(number);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
        if (key.name != nullptr) {
            ZIBBO_FAIL_TEXT("variable " << key.name << " (" << number << ") does not fit a 32-bit integer");
        }
        ZIBBO_FAIL_TEXT("variable at index " << key.index << " (" << number
                                             << ") does not fit a 32-bit integer");
    }
    return static_cast<std::int32_t>(rounded);
}

double FScriptInstance::getNumber(const char* name)
{
    waitUntilExecuted();
    pushValue({name, 0});
    return popNumber({name, 0});
}

std::int32_t FScriptInstance::getInteger(const char* name)
{
    waitUntilExecuted();
    pushValue({name, 0});
    return popInteger({name, 0});
}

std::int32_t FScriptInstance::getIntegerAt(std::int32_t index)
{
    waitUntilExecuted();
    pushValue({nullptr, index});
    return popInteger({nullptr, index});
}

bool FScriptInstance::getBoolean(const char* name)
{
    waitUntilExecuted();
    pushValue({name, 0});
    if (!lua_isboolean(m_state, -1)) {
        const char* type = luaL_typename(m_state, -1);
        lua_pop(m_state, 1);
        ZIBBO_FAIL_TEXT("variable " << name << " is of type " << type << " (a boolean was expected)");
    }
    bool value = lua_toboolean(m_state, -1) != 0;
    lua_pop(m_state, 1);
    return value;
}

void FScriptInstance::enterTable(const char* name)
{
    waitUntilExecuted();
    bool global = lua_gettop(m_state) == 0;
    reserveStack(2);
    lua_pushstring(m_state, name);
    lua_rawget(m_state, global ? LUA_GLOBALSINDEX : -2);
    if (!lua_istable(m_state, -1)) {
        lua_pop(m_state, 1);
        if (global) {
            ZIBBO_FAIL_TEXT("Could not found global table '" << name << "'");
        }
        ZIBBO_FAIL_TEXT("Could not found table '" << name << "' in current scope");
    }
}

void FScriptInstance::leaveTable()
{
    waitUntilExecuted();
    if (lua_gettop(m_state) > 0) {
        lua_pop(m_state, 1);
    }
}
