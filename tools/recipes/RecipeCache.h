#pragma once

// A folder of made assets, each named by the SHA-1 of the tool version and
// the recipe's canonical text, with the asset's file ending: a recipe that
// has not changed since its asset was made is read back instead of being
// made again. Entries are written under a temporary name and renamed, so a
// broken build never leaves half a file under a key; several threads may use
// one cache at once.

#include "tools/recipes/RecipeMaker.h"

#include <atomic>
#include <filesystem>
#include <string>

class RecipeCache
{
public:
    explicit RecipeCache(std::filesystem::path folder);

    // The recipe's asset: the cached one, or made now and stored.
    RecipeAsset make(const Recipe& recipe);

    // Forty hexadecimal digits naming the recipe's entry.
    static std::string key(const Recipe& recipe);
    std::filesystem::path entryPath(const Recipe& recipe) const;

    // How many assets this cache made and how many it read back.
    int made() const { return m_made; }
    int reused() const { return m_reused; }

private:
    std::filesystem::path m_folder;
    std::atomic<int> m_made{0};
    std::atomic<int> m_reused{0};
};
