#include "tools/recipes/Recipe.h"

#include <charconv>
#include <cmath>

namespace {

std::string numberText(double v)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

} // namespace

void Recipe::fail(const std::string& key, const std::string& problem) const
{
    throw RecipeError("recipe " + m_name + ": key '" + key + "': " + problem);
}

const Recipe::Value& Recipe::value(const std::string& key) const
{
    const auto it = m_values.find(key);
    if (it == m_values.end()) fail(key, "missing");
    return it->second;
}

double Recipe::number(const std::string& key) const
{
    const Value& v = value(key);
    if (!std::holds_alternative<double>(v)) fail(key, "a number expected");
    const double n = std::get<double>(v);
    if (!std::isfinite(n)) fail(key, "a finite number expected");
    return n;
}

double Recipe::number(const std::string& key, double fallback) const
{
    return has(key) ? number(key) : fallback;
}

int32_t Recipe::integer(const std::string& key, int32_t minimum, int32_t maximum) const
{
    const double n = number(key);
    if (n != std::floor(n)) fail(key, "a whole number expected");
    if (n < minimum || n > maximum)
        fail(key, numberText(n) + " is outside " + std::to_string(minimum) + ".." + std::to_string(maximum));
    return static_cast<int32_t>(n);
}

int32_t Recipe::integer(const std::string& key, int32_t minimum, int32_t maximum, int32_t fallback) const
{
    return has(key) ? integer(key, minimum, maximum) : fallback;
}

std::string Recipe::text(const std::string& key) const
{
    const Value& v = value(key);
    if (!std::holds_alternative<std::string>(v)) fail(key, "a text expected");
    return std::get<std::string>(v);
}

std::string Recipe::text(const std::string& key, const std::string& fallback) const
{
    return has(key) ? text(key) : fallback;
}

bool Recipe::flag(const std::string& key, bool fallback) const
{
    if (!has(key)) return fallback;
    const Value& v = value(key);
    if (!std::holds_alternative<bool>(v)) fail(key, "true or false expected");
    return std::get<bool>(v);
}

std::vector<double> Recipe::numbers(const std::string& key) const
{
    const Value& v = value(key);
    if (!std::holds_alternative<std::vector<double>>(v)) fail(key, "a list of numbers expected");
    return std::get<std::vector<double>>(v);
}

std::string Recipe::choice(const std::string& key, const std::vector<std::string>& choices,
                           bool fallbackToFirst) const
{
    if (!has(key) && fallbackToFirst) return choices.front();
    const std::string chosen = text(key);
    for (const std::string& c : choices)
        if (c == chosen) return chosen;
    std::string list;
    for (const std::string& c : choices)
        list += (list.empty() ? "" : ", ") + c;
    fail(key, "'" + chosen + "' is not one of " + list);
}

std::string Recipe::canonicalText() const
{
    std::string out;
    for (const auto& [key, v] : m_values) {
        out += key + " = ";
        if (const auto* n = std::get_if<double>(&v)) {
            out += numberText(*n);
        } else if (const auto* t = std::get_if<std::string>(&v)) {
            out += quoted(*t);
        } else if (const auto* b = std::get_if<bool>(&v)) {
            out += *b ? "true" : "false";
        } else {
            out += "{";
            for (double n : std::get<std::vector<double>>(v))
                out += " " + numberText(n);
            out += " }";
        }
        out += "\n";
    }
    return out;
}
