#pragma once

// A recipe: the key/value table that says how to make one asset's demo media
// (see README.md for the keys of every kind). Values are numbers, texts,
// booleans or lists of numbers; keys are texts. The recipe carries a name
// (the manifest's folder and id, or the recipe file's path) so that every
// failure names the recipe and the key that broke it.
//
// The canonical text (keys in order, numbers in shortest round-trip form) is
// what the cache keys on: two recipes that read alike make the same bytes.

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

// A recipe that cannot be made: the message names the recipe and the key.
class RecipeError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class Recipe
{
public:
    using Value = std::variant<double, std::string, bool, std::vector<double>>;

    explicit Recipe(std::string name = "recipe") : m_name(std::move(name)) {}

    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }

    void set(const std::string& key, Value value) { m_values[key] = std::move(value); }
    bool has(const std::string& key) const { return m_values.count(key) != 0; }
    const std::map<std::string, Value>& values() const { return m_values; }

    // The "kind" text; a RecipeError when missing.
    std::string kind() const { return text("kind"); }

    double number(const std::string& key) const;
    double number(const std::string& key, double fallback) const;
    // A whole number within [minimum, maximum].
    int32_t integer(const std::string& key, int32_t minimum, int32_t maximum) const;
    int32_t integer(const std::string& key, int32_t minimum, int32_t maximum, int32_t fallback) const;
    std::string text(const std::string& key) const;
    std::string text(const std::string& key, const std::string& fallback) const;
    bool flag(const std::string& key, bool fallback) const;
    // The "seed" key: a whole number 0 .. 2^31-1, 1 when missing.
    uint32_t seed() const { return static_cast<uint32_t>(integer("seed", 0, INT32_MAX, 1)); }
    std::vector<double> numbers(const std::string& key) const;
    // One of `choices`; the first when missing and `fallback` is set.
    std::string choice(const std::string& key, const std::vector<std::string>& choices,
                       bool fallbackToFirst = true) const;

    // Fails with "recipe NAME: key 'KEY': PROBLEM".
    [[noreturn]] void fail(const std::string& key, const std::string& problem) const;

    // One line per key, in key order: `key = value`.
    std::string canonicalText() const;

private:
    const Value& value(const std::string& key) const;

    std::string m_name;
    std::map<std::string, Value> m_values;
};
