#include "script/FScriptSandbox.h"

#include <lua.hpp>

#include <atomic>
#include <cstring>

namespace {

// The library functions that the guards below call once a call passed its
// test. They are the same functions in every state, so one copy serves all.
std::atomic<lua_CFunction> s_ioOpen{nullptr};
std::atomic<lua_CFunction> s_ioOutput{nullptr};
std::atomic<lua_CFunction> s_loadString{nullptr};
std::atomic<lua_CFunction> s_load{nullptr};

bool isBinaryChunk(const char* text, std::size_t length)
{
    return length > 0 && text[0] == LUA_SIGNATURE[0];
}

int guardedIoOpen(lua_State* state)
{
    const char* mode = luaL_optstring(state, 2, "r");
    if (std::strcmp(mode, "r") != 0 && std::strcmp(mode, "rb") != 0) {
        return luaL_error(state, "io.open: scripts may only open files for reading (mode '%s')", mode);
    }
    return s_ioOpen.load()(state);
}

int guardedIoOutput(lua_State* state)
{
    if (lua_type(state, 1) == LUA_TSTRING) {
        return luaL_error(state, "io.output: scripts may not open files for writing");
    }
    return s_ioOutput.load()(state);
}

int refuseBinaryChunk(lua_State* state)
{
    lua_pushnil(state);
    lua_pushliteral(state, "precompiled chunks are not accepted");
    return 2;
}

int guardedLoadString(lua_State* state)
{
    std::size_t length = 0;
    const char* text = luaL_checklstring(state, 1, &length);
    return isBinaryChunk(text, length) ? refuseBinaryChunk(state) : s_loadString.load()(state);
}

// Stands between load and the script's reader: the first piece that is not
// empty decides whether the chunk is text. Upvalues: the reader, and whether
// that piece has been seen.
int checkedReader(lua_State* state)
{
    lua_pushvalue(state, lua_upvalueindex(1));
    lua_call(state, 0, 1);
    if (lua_toboolean(state, lua_upvalueindex(2)) == 0 && lua_type(state, -1) == LUA_TSTRING) {
        std::size_t length = 0;
        const char* piece = lua_tolstring(state, -1, &length);
        if (isBinaryChunk(piece, length)) {
            return luaL_error(state, "precompiled chunks are not accepted");
        }
        if (length > 0) {
            lua_pushboolean(state, 1);
            lua_replace(state, lua_upvalueindex(2));
        }
    }
    return 1;
}

int guardedLoad(lua_State* state)
{
    luaL_checktype(state, 1, LUA_TFUNCTION);
    lua_pushvalue(state, 1);
    lua_pushboolean(state, 0);
    lua_pushcclosure(state, &checkedReader, 2);
    lua_replace(state, 1);
    return s_load.load()(state);
}

// Sets field `name` of the table on top of the stack to nil.
void removeField(lua_State* state, const char* name)
{
    lua_pushnil(state);
    lua_setfield(state, -2, name);
}

// Replaces field `name` of the table on top of the stack with `guard`, which
// runs with the original's environment (the io functions keep their state
// there) and calls the original through `original`.
void guardField(lua_State* state, const char* name, lua_CFunction guard, std::atomic<lua_CFunction>& original)
{
    lua_getfield(state, -1, name);
    lua_CFunction function = lua_tocfunction(state, -1);
    if (function == nullptr || function == guard) {
        lua_pop(state, 1);
        return;
    }
    original.store(function);
    lua_pushcfunction(state, guard);
    lua_getfenv(state, -2);
    lua_setfenv(state, -2);
    lua_setfield(state, -3, name);
    lua_pop(state, 1);
}

} // namespace

void FScriptSandbox::restrict(lua_State* state)
{
    lua_getglobal(state, "os");
    if (lua_istable(state, -1)) {
        for (const char* name : {"execute", "remove", "rename", "exit", "tmpname"}) {
            removeField(state, name);
        }
    }
    lua_pop(state, 1);

    lua_getglobal(state, "io");
    if (lua_istable(state, -1)) {
        removeField(state, "popen");
        guardField(state, "open", &guardedIoOpen, s_ioOpen);
        guardField(state, "output", &guardedIoOutput, s_ioOutput);
    }
    lua_pop(state, 1);

    lua_getglobal(state, "package");
    if (lua_istable(state, -1)) {
        removeField(state, "loadlib");
        // The searchers are preload, Lua files, native libraries and native
        // libraries by root name: keep the first two.
        lua_getfield(state, -1, "loaders");
        if (lua_istable(state, -1)) {
            for (int index = static_cast<int>(lua_objlen(state, -1)); index > 2; --index) {
                lua_pushnil(state);
                lua_rawseti(state, -2, index);
            }
        }
        lua_pop(state, 1);
    }
    lua_pop(state, 1);

    lua_pushvalue(state, LUA_GLOBALSINDEX);
    removeField(state, "loadlib");
    guardField(state, "loadstring", &guardedLoadString, s_loadString);
    guardField(state, "load", &guardedLoad, s_load);
    lua_pop(state, 1);
}
