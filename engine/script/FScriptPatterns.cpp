#include "script/FScriptPatterns.h"

#include "script/FScriptLimits.h"

#include <lua.hpp>

#include <cctype>
#include <cstddef>
#include <cstring>

namespace {

constexpr char k_escape = '%';
constexpr const char* k_specials = "^$*+?.([%-";
constexpr int k_maxCaptures = LUA_MAXCAPTURES;
constexpr std::ptrdiff_t k_captureUnfinished = -1;
constexpr std::ptrdiff_t k_capturePosition = -2;
// Steps are paid in batches, which keeps the budget off the matcher's hot path.
constexpr std::uint64_t k_stepBatch = 4096;

int scriptPatternsByte(char c)
{
    return static_cast<unsigned char>(c);
}

struct MatchState
{
    const char* sourceBegin;
    const char* sourceEnd;
    lua_State* state;
    FScriptLimits* limits;
    int level;
    int depth;
    std::uint64_t unpaid;
    struct
    {
        const char* init;
        std::ptrdiff_t length;
    } capture[k_maxCaptures];

    void step()
    {
        if (++unpaid == k_stepBatch) {
            pay();
        }
    }
    void pay()
    {
        std::uint64_t steps = unpaid;
        unpaid = 0;
        limits->charge(state, steps);
    }
};

MatchState makeMatchState(lua_State* state, const char* source, std::size_t length)
{
    MatchState ms{};
    ms.sourceBegin = source;
    ms.sourceEnd = source + length;
    ms.state = state;
    ms.limits = &FScriptLimits::of(state);
    return ms;
}

const char* scriptPatternsMatch(MatchState& ms, const char* s, const char* p);

int checkCapture(MatchState& ms, int l)
{
    l -= '1';
    if (l < 0 || l >= ms.level || ms.capture[l].length == k_captureUnfinished) {
        return luaL_error(ms.state, "invalid capture index");
    }
    return l;
}

int captureToClose(MatchState& ms)
{
    for (int level = ms.level - 1; level >= 0; level--) {
        if (ms.capture[level].length == k_captureUnfinished) {
            return level;
        }
    }
    return luaL_error(ms.state, "invalid pattern capture");
}

const char* classEnd(MatchState& ms, const char* p)
{
    switch (*p++) {
    case k_escape:
        if (*p == '\0') {
            luaL_error(ms.state, "malformed pattern (ends with '%%')");
        }
        return p + 1;
    case '[':
        if (*p == '^') {
            p++;
        }
        do {
            if (*p == '\0') {
                luaL_error(ms.state, "malformed pattern (missing ']')");
            }
            if (*(p++) == k_escape && *p != '\0') {
                p++;
            }
        } while (*p != ']');
        return p + 1;
    default:
        return p;
    }
}

bool matchClass(int c, int cl)
{
    bool result = false;
    switch (std::tolower(cl)) {
    case 'a':
        result = std::isalpha(c) != 0;
        break;
    case 'c':
        result = std::iscntrl(c) != 0;
        break;
    case 'd':
        result = std::isdigit(c) != 0;
        break;
    case 'l':
        result = std::islower(c) != 0;
        break;
    case 'p':
        result = std::ispunct(c) != 0;
        break;
    case 's':
        result = std::isspace(c) != 0;
        break;
    case 'u':
        result = std::isupper(c) != 0;
        break;
    case 'w':
        result = std::isalnum(c) != 0;
        break;
    case 'x':
        result = std::isxdigit(c) != 0;
        break;
    case 'z':
        result = c == 0;
        break;
    default:
        return cl == c;
    }
    return std::islower(cl) != 0 ? result : !result;
}

bool matchBracketClass(int c, const char* p, const char* ec)
{
    bool sig = true;
    if (*(p + 1) == '^') {
        sig = false;
        p++;
    }
    while (++p < ec) {
        if (*p == k_escape) {
            p++;
            if (matchClass(c, scriptPatternsByte(*p))) {
                return sig;
            }
        } else if (*(p + 1) == '-' && p + 2 < ec) {
            p += 2;
            if (scriptPatternsByte(*(p - 2)) <= c && c <= scriptPatternsByte(*p)) {
                return sig;
            }
        } else if (scriptPatternsByte(*p) == c) {
            return sig;
        }
    }
    return !sig;
}

bool singleMatch(int c, const char* p, const char* ep)
{
    switch (*p) {
    case '.':
        return true;
    case k_escape:
        return matchClass(c, scriptPatternsByte(*(p + 1)));
    case '[':
        return matchBracketClass(c, p, ep - 1);
    default:
        return scriptPatternsByte(*p) == c;
    }
}

const char* matchBalance(MatchState& ms, const char* s, const char* p)
{
    if (*p == '\0' || *(p + 1) == '\0') {
        luaL_error(ms.state, "unbalanced pattern");
    }
    if (s >= ms.sourceEnd || *s != *p) {
        return nullptr;
    }
    const char open = *p;
    const char close = *(p + 1);
    int count = 1;
    while (++s < ms.sourceEnd) {
        ms.step();
        if (*s == close) {
            if (--count == 0) {
                return s + 1;
            }
        } else if (*s == open) {
            count++;
        }
    }
    return nullptr;
}

const char* maxExpand(MatchState& ms, const char* s, const char* p, const char* ep)
{
    std::ptrdiff_t i = 0;
    while (s + i < ms.sourceEnd && singleMatch(scriptPatternsByte(*(s + i)), p, ep)) {
        ms.step();
        i++;
    }
    while (i >= 0) {
        if (const char* result = scriptPatternsMatch(ms, s + i, ep + 1)) {
            return result;
        }
        i--;
    }
    return nullptr;
}

const char* minExpand(MatchState& ms, const char* s, const char* p, const char* ep)
{
    for (;;) {
        if (const char* result = scriptPatternsMatch(ms, s, ep + 1)) {
            return result;
        }
        if (s < ms.sourceEnd && singleMatch(scriptPatternsByte(*s), p, ep)) {
            s++;
        } else {
            return nullptr;
        }
    }
}

const char* startCapture(MatchState& ms, const char* s, const char* p, std::ptrdiff_t what)
{
    const int level = ms.level;
    if (level >= k_maxCaptures) {
        luaL_error(ms.state, "too many captures");
    }
    ms.capture[level].init = s;
    ms.capture[level].length = what;
    ms.level = level + 1;
    const char* result = scriptPatternsMatch(ms, s, p);
    if (result == nullptr) {
        ms.level--;
    }
    return result;
}

const char* endCapture(MatchState& ms, const char* s, const char* p)
{
    const int l = captureToClose(ms);
    ms.capture[l].length = s - ms.capture[l].init;
    const char* result = scriptPatternsMatch(ms, s, p);
    if (result == nullptr) {
        ms.capture[l].length = k_captureUnfinished;
    }
    return result;
}

const char* matchCapture(MatchState& ms, const char* s, int l)
{
    l = checkCapture(ms, l);
    const auto length = static_cast<std::size_t>(ms.capture[l].length);
    ms.unpaid += length / 8;
    if (static_cast<std::size_t>(ms.sourceEnd - s) >= length &&
        std::memcmp(ms.capture[l].init, s, length) == 0) {
        return s + length;
    }
    return nullptr;
}

// The recursive matcher; each entry is one step and one level of depth.
const char* matchAt(MatchState& ms, const char* s, const char* p)
{
init:
    ms.step();
    switch (*p) {
    case '(':
        if (*(p + 1) == ')') {
            return startCapture(ms, s, p + 2, k_capturePosition);
        }
        return startCapture(ms, s, p + 1, k_captureUnfinished);
    case ')':
        return endCapture(ms, s, p + 1);
    case k_escape:
        switch (*(p + 1)) {
        case 'b':
            s = matchBalance(ms, s, p + 2);
            if (s == nullptr) {
                return nullptr;
            }
            p += 4;
            goto init;
        case 'f': {
            p += 2;
            if (*p != '[') {
                luaL_error(ms.state, "missing '[' after '%%f' in pattern");
            }
            const char* ep = classEnd(ms, p);
            const char previous = s == ms.sourceBegin ? '\0' : *(s - 1);
            const char current = s < ms.sourceEnd ? *s : '\0';
            if (matchBracketClass(scriptPatternsByte(previous), p, ep - 1) ||
                !matchBracketClass(scriptPatternsByte(current), p, ep - 1)) {
                return nullptr;
            }
            p = ep;
            goto init;
        }
        default:
            if (std::isdigit(scriptPatternsByte(*(p + 1))) != 0) {
                s = matchCapture(ms, s, scriptPatternsByte(*(p + 1)));
                if (s == nullptr) {
                    return nullptr;
                }
                p += 2;
                goto init;
            }
            break;
        }
        break;
    case '\0':
        return s;
    case '$':
        if (*(p + 1) == '\0') {
            return s == ms.sourceEnd ? s : nullptr;
        }
        break;
    default:
        break;
    }
    const char* ep = classEnd(ms, p);
    const bool m = s < ms.sourceEnd && singleMatch(scriptPatternsByte(*s), p, ep);
    switch (*ep) {
    case '?':
        if (m) {
            if (const char* result = scriptPatternsMatch(ms, s + 1, ep + 1)) {
                return result;
            }
        }
        p = ep + 1;
        goto init;
    case '*':
        return maxExpand(ms, s, p, ep);
    case '+':
        return m ? maxExpand(ms, s + 1, p, ep) : nullptr;
    case '-':
        return minExpand(ms, s, p, ep);
    default:
        if (!m) {
            return nullptr;
        }
        s++;
        p = ep;
        goto init;
    }
}

const char* scriptPatternsMatch(MatchState& ms, const char* s, const char* p)
{
    if (ms.depth >= FScriptPatterns::k_maxDepth) {
        luaL_error(ms.state, "pattern too complex");
    }
    ms.depth++;
    const char* result = matchAt(ms, s, p);
    ms.depth--;
    return result;
}

void pushOneCapture(MatchState& ms, int i, const char* s, const char* e)
{
    if (i >= ms.level) {
        if (i != 0) {
            luaL_error(ms.state, "invalid capture index");
        }
        lua_pushlstring(ms.state, s, static_cast<std::size_t>(e - s));
        return;
    }
    const std::ptrdiff_t length = ms.capture[i].length;
    if (length == k_captureUnfinished) {
        luaL_error(ms.state, "unfinished capture");
    }
    if (length == k_capturePosition) {
        lua_pushinteger(ms.state, ms.capture[i].init - ms.sourceBegin + 1);
    } else {
        lua_pushlstring(ms.state, ms.capture[i].init, static_cast<std::size_t>(length));
    }
}

int pushCaptures(MatchState& ms, const char* s, const char* e)
{
    const int levels = (ms.level == 0 && s != nullptr) ? 1 : ms.level;
    luaL_checkstack(ms.state, levels, "too many captures");
    for (int i = 0; i < levels; i++) {
        pushOneCapture(ms, i, s, e);
    }
    return levels;
}

std::ptrdiff_t relativePosition(std::ptrdiff_t position, std::size_t length)
{
    if (position < 0) {
        position += static_cast<std::ptrdiff_t>(length) + 1;
    }
    return position >= 0 ? position : 0;
}

// A plain search, paid for by the bytes it compares.
const char* findPlain(MatchState& ms, const char* s1, std::size_t l1, const char* s2, std::size_t l2)
{
    if (l2 == 0) {
        return s1;
    }
    if (l2 > l1) {
        return nullptr;
    }
    l2--;
    l1 -= l2;
    const char* init = nullptr;
    while (l1 > 0 && (init = static_cast<const char*>(std::memchr(s1, *s2, l1))) != nullptr) {
        ms.unpaid += l2 / 8;
        ms.step();
        init++;
        if (std::memcmp(init, s2 + 1, l2) == 0) {
            return init - 1;
        }
        l1 -= static_cast<std::size_t>(init - s1);
        s1 = init;
    }
    return nullptr;
}

int findOrMatch(lua_State* state, bool find)
{
    std::size_t sourceLength = 0;
    std::size_t patternLength = 0;
    const char* s = luaL_checklstring(state, 1, &sourceLength);
    const char* p = luaL_checklstring(state, 2, &patternLength);
    std::ptrdiff_t init = relativePosition(luaL_optinteger(state, 3, 1), sourceLength) - 1;
    if (init < 0) {
        init = 0;
    } else if (static_cast<std::size_t>(init) > sourceLength) {
        init = static_cast<std::ptrdiff_t>(sourceLength);
    }
    MatchState ms = makeMatchState(state, s, sourceLength);
    if (find && (lua_toboolean(state, 4) != 0 || std::strpbrk(p, k_specials) == nullptr)) {
        const char* found =
            findPlain(ms, s + init, sourceLength - static_cast<std::size_t>(init), p, patternLength);
        ms.pay();
        if (found != nullptr) {
            lua_pushinteger(state, found - s + 1);
            lua_pushinteger(state, found - s + static_cast<std::ptrdiff_t>(patternLength));
            return 2;
        }
    } else {
        const bool anchor = *p == '^';
        if (anchor) {
            p++;
        }
        const char* s1 = s + init;
        do {
            ms.level = 0;
            ms.depth = 0;
            if (const char* result = scriptPatternsMatch(ms, s1, p)) {
                ms.pay();
                if (find) {
                    lua_pushinteger(state, s1 - s + 1);
                    lua_pushinteger(state, result - s);
                    return pushCaptures(ms, nullptr, nullptr) + 2;
                }
                return pushCaptures(ms, s1, result);
            }
        } while (s1++ < ms.sourceEnd && !anchor);
        ms.pay();
    }
    lua_pushnil(state);
    return 1;
}

int scriptFind(lua_State* state)
{
    return findOrMatch(state, true);
}

int scriptMatch(lua_State* state)
{
    return findOrMatch(state, false);
}

int scriptGmatchNext(lua_State* state)
{
    std::size_t length = 0;
    const char* s = lua_tolstring(state, lua_upvalueindex(1), &length);
    const char* p = lua_tostring(state, lua_upvalueindex(2));
    MatchState ms = makeMatchState(state, s, length);
    for (const char* source = s + static_cast<std::size_t>(lua_tointeger(state, lua_upvalueindex(3)));
         source <= ms.sourceEnd; source++) {
        ms.level = 0;
        ms.depth = 0;
        if (const char* e = scriptPatternsMatch(ms, source, p)) {
            ms.pay();
            lua_Integer next = e - s;
            if (e == source) {
                next++;
            }
            lua_pushinteger(state, next);
            lua_replace(state, lua_upvalueindex(3));
            return pushCaptures(ms, source, e);
        }
    }
    ms.pay();
    return 0;
}

int scriptGmatch(lua_State* state)
{
    luaL_checkstring(state, 1);
    luaL_checkstring(state, 2);
    lua_settop(state, 2);
    lua_pushinteger(state, 0);
    lua_pushcclosure(state, &scriptGmatchNext, 3);
    return 1;
}

void addReplacementText(MatchState& ms, luaL_Buffer& buffer, const char* s, const char* e)
{
    std::size_t length = 0;
    const char* text = lua_tolstring(ms.state, 3, &length);
    for (std::size_t i = 0; i < length; i++) {
        if (text[i] != k_escape) {
            luaL_addchar(&buffer, text[i]);
            continue;
        }
        i++;
        if (std::isdigit(scriptPatternsByte(text[i])) == 0) {
            luaL_addchar(&buffer, text[i]);
        } else if (text[i] == '0') {
            luaL_addlstring(&buffer, s, static_cast<std::size_t>(e - s));
        } else {
            pushOneCapture(ms, text[i] - '1', s, e);
            luaL_addvalue(&buffer);
        }
    }
}

void addReplacement(MatchState& ms, luaL_Buffer& buffer, const char* s, const char* e)
{
    lua_State* state = ms.state;
    switch (lua_type(state, 3)) {
    case LUA_TNUMBER:
    case LUA_TSTRING:
        addReplacementText(ms, buffer, s, e);
        return;
    case LUA_TFUNCTION: {
        lua_pushvalue(state, 3);
        const int count = pushCaptures(ms, s, e);
        lua_call(state, count, 1);
        break;
    }
    case LUA_TTABLE:
        pushOneCapture(ms, 0, s, e);
        lua_gettable(state, 3);
        break;
    default:
        break;
    }
    if (lua_toboolean(state, -1) == 0) {
        lua_pop(state, 1);
        lua_pushlstring(state, s, static_cast<std::size_t>(e - s));
    } else if (lua_isstring(state, -1) == 0) {
        luaL_error(state, "invalid replacement value (a %s)", luaL_typename(state, -1));
    }
    luaL_addvalue(&buffer);
}

int scriptGsub(lua_State* state)
{
    std::size_t sourceLength = 0;
    const char* source = luaL_checklstring(state, 1, &sourceLength);
    const char* p = luaL_checkstring(state, 2);
    const int replacementType = lua_type(state, 3);
    const int maxReplacements = luaL_optint(state, 4, static_cast<int>(sourceLength + 1));
    const bool anchor = *p == '^';
    if (anchor) {
        p++;
    }
    luaL_argcheck(state,
                  replacementType == LUA_TNUMBER || replacementType == LUA_TSTRING ||
                      replacementType == LUA_TFUNCTION || replacementType == LUA_TTABLE,
                  3, "string/function/table expected");
    luaL_Buffer buffer;
    luaL_buffinit(state, &buffer);
    MatchState ms = makeMatchState(state, source, sourceLength);
    int replaced = 0;
    while (replaced < maxReplacements) {
        ms.level = 0;
        ms.depth = 0;
        const char* e = scriptPatternsMatch(ms, source, p);
        if (e != nullptr) {
            replaced++;
            // A replacement function runs Lua code, which pays for itself.
            ms.pay();
            addReplacement(ms, buffer, source, e);
        }
        if (e != nullptr && e > source) {
            source = e;
        } else if (source < ms.sourceEnd) {
            luaL_addchar(&buffer, *source++);
        } else {
            break;
        }
        if (anchor) {
            break;
        }
    }
    ms.pay();
    luaL_addlstring(&buffer, source, static_cast<std::size_t>(ms.sourceEnd - source));
    luaL_pushresult(&buffer);
    lua_pushinteger(state, replaced);
    return 2;
}

int scriptRep(lua_State* state)
{
    std::size_t length = 0;
    const char* text = luaL_checklstring(state, 1, &length);
    const lua_Number count = luaL_checknumber(state, 2);
    if (length == 0 || !(count >= 1)) {
        lua_pushliteral(state, "");
        return 1;
    }
    FScriptLimits& limits = FScriptLimits::of(state);
    const std::size_t limit = limits.memoryLimit();
    if (count >= static_cast<lua_Number>(limit) || static_cast<std::size_t>(count) > limit / length) {
        luaL_error(state, "string.rep: a result of %f bytes is past the script's memory limit",
                   static_cast<double>(length) * count);
    }
    auto times = static_cast<std::size_t>(count);
    luaL_Buffer buffer;
    luaL_buffinit(state, &buffer);
    while (times-- > 0) {
        luaL_addlstring(&buffer, text, length);
    }
    luaL_pushresult(&buffer);
    limits.check(state);
    return 1;
}

} // namespace

void FScriptPatterns::install(lua_State* state)
{
    const luaL_Reg functions[] = {
        {"find", &scriptFind},    {"match", &scriptMatch}, {"gmatch", &scriptGmatch},
        {"gfind", &scriptGmatch}, {"gsub", &scriptGsub},   {"rep", &scriptRep},
    };
    for (const luaL_Reg& function : functions) {
        lua_pushcfunction(state, function.func);
        lua_setfield(state, -2, function.name);
    }
}
