#include "tools/recipes/RecipeCache.h"

#include "io/FDigest.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <unistd.h>

namespace fs = std::filesystem;

RecipeCache::RecipeCache(fs::path folder) : m_folder(std::move(folder))
{
    fs::create_directories(m_folder);
}

std::string RecipeCache::key(const Recipe& recipe)
{
    const std::string text =
        "zibbo recipes " + std::to_string(k_recipeToolVersion) + "\n" + recipe.canonicalText();
    FDigestContext* context = FDigest::newSha1Context();
    FDigest::update(context, text.data(), text.size());
    const FDigestBytes digest = FDigest::finishDigest(context);
    FDigest::destroyDigestContext(context);
    return FDigest::toHex(digest).toUtf8();
}

fs::path RecipeCache::entryPath(const Recipe& recipe) const
{
    return m_folder / (key(recipe) + recipeExtension(recipe));
}

RecipeAsset RecipeCache::make(const Recipe& recipe)
{
    const fs::path path = entryPath(recipe);
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            RecipeAsset asset;
            asset.extension = path.extension().string();
            asset.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            if (!in.bad()) {
                ++m_reused;
                return asset;
            }
        }
    }
    RecipeAsset asset = makeRecipeAsset(recipe);
    std::ostringstream part;
    // Named by process and thread: builds of several build folders may share one cache.
    part << path.string() << ".part" << ::getpid() << "-" << std::this_thread::get_id();
    {
        std::ofstream out(part.str(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(asset.bytes.data()),
                  static_cast<std::streamsize>(asset.bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(part.str(), ignored);
            throw std::runtime_error("cannot write " + part.str());
        }
    }
    fs::rename(part.str(), path);
    ++m_made;
    return asset;
}
