#include "tools/recipes/RecipeLua.h"

#include <lua.hpp>

#include <memory>

namespace {

std::string keyText(lua_State* lua, int index)
{
    if (lua_type(lua, index) == LUA_TSTRING) return lua_tostring(lua, index);
    if (lua_type(lua, index) == LUA_TNUMBER) return std::to_string(lua_tonumber(lua, index));
    return std::string("(") + luaL_typename(lua, index) + ")";
}

// The array of numbers at the top of the stack.
std::vector<double> numberList(lua_State* lua, const Recipe& recipe, const std::string& key)
{
    std::vector<double> out;
    const int top = lua_gettop(lua);
    const std::size_t count = lua_objlen(lua, top);
    for (std::size_t i = 1; i <= count; ++i) {
        lua_rawgeti(lua, top, static_cast<int>(i));
        if (lua_type(lua, -1) != LUA_TNUMBER) {
            lua_pop(lua, 1);
            recipe.fail(key, "entry " + std::to_string(i) + " is not a number");
        }
        out.push_back(lua_tonumber(lua, -1));
        lua_pop(lua, 1);
    }
    return out;
}

} // namespace

Recipe recipeFromLua(lua_State* lua, int index, const std::string& name)
{
    Recipe recipe(name);
    if (index < 0) index = lua_gettop(lua) + index + 1;
    if (!lua_istable(lua, index)) throw RecipeError("recipe " + name + ": not a table");
    const int base = lua_gettop(lua);
    lua_pushnil(lua);
    try {
        while (lua_next(lua, index) != 0) {
            if (lua_type(lua, -2) != LUA_TSTRING) recipe.fail(keyText(lua, -2), "keys of a recipe are texts");
            const std::string key = lua_tostring(lua, -2);
            switch (lua_type(lua, -1)) {
            case LUA_TNUMBER:
                recipe.set(key, lua_tonumber(lua, -1));
                break;
            case LUA_TSTRING:
                recipe.set(key, std::string(lua_tostring(lua, -1), lua_objlen(lua, -1)));
                break;
            case LUA_TBOOLEAN:
                recipe.set(key, lua_toboolean(lua, -1) != 0);
                break;
            case LUA_TTABLE:
                recipe.set(key, numberList(lua, recipe, key));
                break;
            default:
                recipe.fail(key, std::string("a ") + luaL_typename(lua, -1) + " cannot be a recipe value");
            }
            lua_pop(lua, 1);
        }
    } catch (...) {
        lua_settop(lua, base);
        throw;
    }
    return recipe;
}

Recipe loadRecipeFile(const std::string& path)
{
    std::unique_ptr<lua_State, void (*)(lua_State*)> lua(luaL_newstate(), lua_close);
    if (luaL_loadfile(lua.get(), path.c_str()) != 0 || lua_pcall(lua.get(), 0, 1, 0) != 0)
        throw RecipeError("recipe " + path + ": " + lua_tostring(lua.get(), -1));
    return recipeFromLua(lua.get(), -1, path);
}
