#include "tools/gamedata/LuaTable.h"

#include <lua.hpp>

#include <stdexcept>

struct LuaTable::State
{
    lua_State* lua = luaL_newstate();
    ~State() { lua_close(lua); }
};

LuaTable LuaTable::load(const std::string& path)
{
    auto state = std::make_shared<State>();
    lua_State* lua = state->lua;
    luaL_openlibs(lua);
    if (luaL_loadfile(lua, path.c_str()) != 0 || lua_pcall(lua, 0, 1, 0) != 0) {
        throw std::runtime_error(path + ": " + lua_tostring(lua, -1));
    }
    if (!lua_istable(lua, -1)) {
        throw std::runtime_error(path + ": does not return a table");
    }
    const int ref = luaL_ref(lua, LUA_REGISTRYINDEX);
    return LuaTable(state, ref, path);
}

LuaTable::LuaTable(std::shared_ptr<State> state, int ref, std::string path)
    : m_state(std::move(state)), m_ref(ref), m_path(std::move(path))
{
}

void LuaTable::push(const char* key) const
{
    lua_rawgeti(m_state->lua, LUA_REGISTRYINDEX, m_ref);
    lua_getfield(m_state->lua, -1, key);
    lua_remove(m_state->lua, -2);
}

void LuaTable::pushAt(std::size_t index) const
{
    lua_rawgeti(m_state->lua, LUA_REGISTRYINDEX, m_ref);
    lua_rawgeti(m_state->lua, -1, static_cast<int>(index));
    lua_remove(m_state->lua, -2);
}

void LuaTable::fail(const std::string& key, const char* expected) const
{
    lua_pop(m_state->lua, 1);
    throw std::runtime_error(m_path + "." + key + ": " + expected + " expected");
}

bool LuaTable::has(const char* key) const
{
    push(key);
    const bool present = !lua_isnil(m_state->lua, -1);
    lua_pop(m_state->lua, 1);
    return present;
}

std::int32_t LuaTable::integer(const char* key) const
{
    push(key);
    if (lua_type(m_state->lua, -1) != LUA_TNUMBER) {
        fail(key, "a number");
    }
    const auto value = static_cast<std::int32_t>(lua_tointeger(m_state->lua, -1));
    lua_pop(m_state->lua, 1);
    return value;
}

std::int32_t LuaTable::integer(const char* key, std::int32_t fallback) const
{
    return has(key) ? integer(key) : fallback;
}

double LuaTable::number(const char* key) const
{
    push(key);
    if (lua_type(m_state->lua, -1) != LUA_TNUMBER) {
        fail(key, "a number");
    }
    const double value = lua_tonumber(m_state->lua, -1);
    lua_pop(m_state->lua, 1);
    return value;
}

bool LuaTable::boolean(const char* key) const
{
    push(key);
    if (lua_type(m_state->lua, -1) != LUA_TBOOLEAN) {
        fail(key, "a boolean");
    }
    const bool value = lua_toboolean(m_state->lua, -1) != 0;
    lua_pop(m_state->lua, 1);
    return value;
}

std::string LuaTable::text(const char* key) const
{
    push(key);
    if (lua_type(m_state->lua, -1) != LUA_TSTRING) {
        fail(key, "a string");
    }
    std::string value = lua_tostring(m_state->lua, -1);
    lua_pop(m_state->lua, 1);
    return value;
}

LuaTable LuaTable::table(const char* key) const
{
    push(key);
    if (!lua_istable(m_state->lua, -1)) {
        fail(key, "a table");
    }
    const int ref = luaL_ref(m_state->lua, LUA_REGISTRYINDEX);
    return LuaTable(m_state, ref, m_path + "." + key);
}

void LuaTable::readField(const char* key, const std::function<void(lua_State*)>& read) const
{
    const int top = lua_gettop(m_state->lua);
    push(key);
    try {
        read(m_state->lua);
    } catch (...) {
        lua_settop(m_state->lua, top);
        throw;
    }
    lua_settop(m_state->lua, top);
}

std::size_t LuaTable::size() const
{
    lua_rawgeti(m_state->lua, LUA_REGISTRYINDEX, m_ref);
    const std::size_t size = lua_objlen(m_state->lua, -1);
    lua_pop(m_state->lua, 1);
    return size;
}

LuaTable LuaTable::at(std::size_t index) const
{
    pushAt(index);
    const std::string where = "[" + std::to_string(index) + "]";
    if (!lua_istable(m_state->lua, -1)) {
        fail(where, "a table");
    }
    const int ref = luaL_ref(m_state->lua, LUA_REGISTRYINDEX);
    return LuaTable(m_state, ref, m_path + where);
}

std::vector<std::int32_t> LuaTable::integers(const char* key) const
{
    const LuaTable list = table(key);
    std::vector<std::int32_t> values;
    for (std::size_t i = 1; i <= list.size(); ++i) {
        list.pushAt(i);
        if (lua_type(m_state->lua, -1) != LUA_TNUMBER) {
            list.fail("[" + std::to_string(i) + "]", "a number");
        }
        values.push_back(static_cast<std::int32_t>(lua_tointeger(m_state->lua, -1)));
        lua_pop(m_state->lua, 1);
    }
    return values;
}

std::vector<std::string> LuaTable::texts(const char* key) const
{
    const LuaTable list = table(key);
    std::vector<std::string> values;
    for (std::size_t i = 1; i <= list.size(); ++i) {
        list.pushAt(i);
        if (lua_type(m_state->lua, -1) != LUA_TSTRING) {
            list.fail("[" + std::to_string(i) + "]", "a string");
        }
        values.push_back(lua_tostring(m_state->lua, -1));
        lua_pop(m_state->lua, 1);
    }
    return values;
}
