// kittool recipe RECIPE.lua OUT_FILE [--cache DIR]: makes one asset's demo
// media from a recipe file (a Lua file returning the recipe table; see
// tools/recipes/README.md). OUT_FILE takes the file ending the recipe makes:
// one is added when OUT_FILE has none, and a different one is refused. With
// --cache, an asset made before from the same recipe is read back instead.
#include "tools/kittool/KitCommand.h"

#include "tools/recipes/RecipeCache.h"
#include "tools/recipes/RecipeLua.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>

namespace fs = std::filesystem;

int kitRecipe(const KitArgs& args)
{
    std::optional<fs::path> cacheFolder;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--cache" && i + 1 < args.size())
            cacheFolder = args[++i];
        else if (args[i].rfind("--", 0) == 0)
            return kitUsage("recipe");
        else
            files.push_back(args[i]);
    }
    if (files.size() != 2) return kitUsage("recipe");

    const Recipe recipe = loadRecipeFile(files[0]);
    fs::path out = files[1];
    const std::string extension = recipeExtension(recipe);
    if (!out.has_extension())
        out += extension;
    else if (out.extension() != extension)
        throw std::runtime_error("recipe " + files[0] + " makes a " + extension + " file, not " +
                                 out.extension().string());

    std::optional<RecipeCache> cache;
    if (cacheFolder) cache.emplace(*cacheFolder);
    const RecipeAsset asset = cache ? cache->make(recipe) : makeRecipeAsset(recipe);
    kitWriteFile(out.string(), asset.bytes);
    std::printf("%s: %s, %zu bytes%s\n", out.string().c_str(), recipe.kind().c_str(), asset.bytes.size(),
                cache && cache->reused() > 0 ? " (from the cache)" : "");
    return 0;
}
