#include "script/FScriptSandbox.h"

#include "script/FScriptLimits.h"
#include "script/FScriptPatterns.h"

#include <lua.hpp>

#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace {

// The budget is counted in steps of this many instructions, which keeps the
// hook off the hot path.
constexpr int k_hookInterval = FScriptLimits::k_checkInterval;

constexpr const char* k_precompiledRefused = "precompiled chunks are not accepted";

struct Library
{
    const char* name;
    lua_CFunction open;
    std::initializer_list<const char*> kept;
};

// Everything a library offers that is not named here is removed, so a
// function a newer library adds stays closed until someone lists it.
const Library k_libraries[] = {
    {"",
     &luaopen_base,
     {"assert",   "collectgarbage", "error",  "gcinfo",   "getfenv", "getmetatable", "ipairs",
      "load",     "loadstring",     "next",   "newproxy", "pairs",   "pcall",        "print",
      "rawequal", "rawget",         "rawset", "select",   "setfenv", "setmetatable", "tonumber",
      "tostring", "type",           "unpack", "xpcall",   "_G",      "_VERSION"}},
    // Opened with the base library.
    {"coroutine", nullptr, {"create", "resume", "running", "status", "wrap", "yield"}},
    {LUA_STRLIBNAME,
     &luaopen_string,
     {"byte", "char", "find", "format", "gfind", "gmatch", "gsub", "len", "lower", "match", "rep", "reverse",
      "sub", "upper"}},
    {LUA_TABLIBNAME,
     &luaopen_table,
     {"concat", "foreach", "foreachi", "getn", "insert", "maxn", "remove", "setn", "sort"}},
    {LUA_MATHLIBNAME,
     &luaopen_math,
     {"abs",  "acos",  "asin",   "atan",       "atan2", "ceil",  "cos",  "cosh", "deg", "exp",  "floor",
      "fmod", "frexp", "huge",   "ldexp",      "log",   "log10", "max",  "min",  "mod", "modf", "pi",
      "pow",  "rad",   "random", "randomseed", "sin",   "sinh",  "sqrt", "tan",  "tanh"}},
    {LUA_OSLIBNAME, &luaopen_os, {"time", "clock", "date"}},
};

// The top-level names a script may keep: the base library's and the other
// libraries' own tables.
bool isKeptGlobal(const char* name)
{
    for (const Library& library : k_libraries) {
        if (std::strcmp(library.name, name) == 0 && library.name[0] != '\0') {
            return true;
        }
    }
    for (const char* kept : k_libraries[0].kept) {
        if (std::strcmp(kept, name) == 0) {
            return true;
        }
    }
    return false;
}

bool isKept(const Library& library, const char* name)
{
    if (library.name[0] == '\0') {
        return isKeptGlobal(name);
    }
    for (const char* kept : library.kept) {
        if (std::strcmp(kept, name) == 0) {
            return true;
        }
    }
    return false;
}

// Removes every field of the table on top of the stack that `library` does
// not keep (fields with other keys than names go as well).
void keepOnly(lua_State* state, const Library& library)
{
    lua_newtable(state);
    lua_pushnil(state);
    while (lua_next(state, -3) != 0) {
        lua_pop(state, 1);
        if (lua_type(state, -1) != LUA_TSTRING || !isKept(library, lua_tostring(state, -1))) {
            lua_pushvalue(state, -1);
            lua_rawseti(state, -3, static_cast<int>(lua_objlen(state, -3)) + 1);
        }
    }
    // Removed afterwards: changing a table while lua_next walks it is undefined.
    for (int index = static_cast<int>(lua_objlen(state, -1)); index > 0; --index) {
        lua_rawgeti(state, -1, index);
        lua_pushnil(state);
        lua_rawset(state, -4);
    }
    lua_pop(state, 1);
}

int refusePrecompiled(lua_State* state)
{
    lua_pushnil(state);
    lua_pushstring(state, k_precompiledRefused);
    return 2;
}

// loadstring for source text only.
int loadText(lua_State* state)
{
    std::size_t length = 0;
    const char* text = luaL_checklstring(state, 1, &length);
    const char* chunkName = luaL_optstring(state, 2, text);
    if (FScriptSandbox::isPrecompiled(text, length)) {
        return refusePrecompiled(state);
    }
    if (luaL_loadbuffer(state, text, length, chunkName) == 0) {
        return 1;
    }
    lua_pushnil(state);
    lua_insert(state, -2);
    return 2;
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
        if (FScriptSandbox::isPrecompiled(piece, length)) {
            return luaL_error(state, k_precompiledRefused);
        }
        if (length > 0) {
            lua_pushboolean(state, 1);
            lua_replace(state, lua_upvalueindex(2));
        }
    }
    return 1;
}

// load with its reader wrapped in checkedReader. Upvalue: the library's load.
int loadFromReader(lua_State* state)
{
    luaL_checktype(state, 1, LUA_TFUNCTION);
    lua_pushvalue(state, 1);
    lua_pushboolean(state, 0);
    lua_pushcclosure(state, &checkedReader, 2);
    lua_replace(state, 1);
    lua_pushvalue(state, lua_upvalueindex(1));
    lua_insert(state, 1);
    lua_call(state, lua_gettop(state) - 1, LUA_MULTRET);
    return lua_gettop(state);
}

void countInstructions(lua_State* state, lua_Debug* event)
{
    FScriptLimits& limits = FScriptLimits::of(state);
    limits.take(k_hookInterval);
    const char* what = limits.dueError();
    if (what == nullptr) {
        return;
    }
    // From here every instruction fails, so a script that catches the error
    // with pcall cannot go on either.
    lua_sethook(state, &countInstructions, LUA_MASKCOUNT, 1);
    // The error names the chunk and line the script had reached.
    if (lua_getinfo(state, "Sl", event) != 0 && event->currentline > 0) {
        luaL_error(state, "%s:%d: %s", event->short_src, event->currentline, what);
    }
    luaL_error(state, "%s", what);
}

} // namespace

bool FScriptSandbox::isPrecompiled(const char* text, std::size_t length) noexcept
{
    return length > 0 && text[0] == LUA_SIGNATURE[0];
}

void FScriptSandbox::open(lua_State* state)
{
    for (const Library& library : k_libraries) {
        if (library.open == nullptr) {
            continue;
        }
        lua_pushcfunction(state, library.open);
        lua_pushstring(state, library.name);
        lua_call(state, 1, 0);
    }
    for (const Library& library : k_libraries) {
        if (library.name[0] == '\0') {
            lua_pushvalue(state, LUA_GLOBALSINDEX);
        } else {
            lua_getglobal(state, library.name);
        }
        keepOnly(state, library);
        if (std::strcmp(library.name, LUA_STRLIBNAME) == 0) {
            FScriptPatterns::install(state);
        }
        lua_pop(state, 1);
    }
    // The libraries register themselves in the loaded-module table as well;
    // nothing can reach it without package, but nothing should be left there.
    lua_pushnil(state);
    lua_setfield(state, LUA_REGISTRYINDEX, "_LOADED");

    lua_pushcfunction(state, &loadText);
    lua_setglobal(state, "loadstring");
    lua_getglobal(state, "load");
    lua_pushcclosure(state, &loadFromReader, 1);
    lua_setglobal(state, "load");

    lua_sethook(state, &countInstructions, LUA_MASKCOUNT, k_hookInterval);
}
