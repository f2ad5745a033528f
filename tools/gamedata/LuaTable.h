#pragma once

// Read access to a table that a Lua source returned: fields by name, array
// entries by position. A missing or mistyped field is a std::runtime_error
// naming the path to it, so a broken source stops the build with a clear
// message.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct lua_State;

class LuaTable
{
public:
    // Runs the Lua file and keeps the table it returns.
    static LuaTable load(const std::string& path);

    bool has(const char* key) const;
    std::int32_t integer(const char* key) const;
    // A missing field reads as `fallback`.
    std::int32_t integer(const char* key, std::int32_t fallback) const;
    double number(const char* key) const;
    bool boolean(const char* key) const;
    std::string text(const char* key) const;
    std::vector<std::int32_t> integers(const char* key) const;
    std::vector<std::string> texts(const char* key) const;
    LuaTable table(const char* key) const;
    // Hands field `key`, pushed on top of the Lua stack, to `read` (for
    // readers of their own, such as the recipe reader); the stack is left as
    // it was, also when `read` throws.
    void readField(const char* key, const std::function<void(lua_State*)>& read) const;
    // The array part: entries 1 to size().
    std::size_t size() const;
    LuaTable at(std::size_t index) const;

    const std::string& path() const noexcept { return m_path; }

private:
    struct State;
    LuaTable(std::shared_ptr<State> state, int ref, std::string path);
    // Pushes field `key` (or entry `index`) of the table.
    void push(const char* key) const;
    void pushAt(std::size_t index) const;
    [[noreturn]] void fail(const std::string& key, const char* expected) const;

    std::shared_ptr<State> m_state;
    int m_ref;
    std::string m_path;
};
