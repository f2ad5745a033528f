#include "tools/kittool/KitDemoRecipe.h"

#include "tools/kittool/KitItemLayout.h"
#include "tools/kittool/KitManifest.h"
#include "tools/recipes/RecipePalette.h"

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int32_t k_sceneWidth = 2400;
constexpr int32_t k_sceneHeight = 1600;
constexpr int32_t k_tileSize = 200; // 12 x 8 tiles cover the scene
constexpr int32_t k_tileColumns = k_sceneWidth / k_tileSize;

// A stable number from a text, so that the same key always lands alike.
uint32_t hashOf(const std::string& text)
{
    uint32_t hash = 2166136261u;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

// Each world's own palette, fitting its theme.
std::string worldPalette(int32_t world)
{
    return RecipePalette::ofWorld(world).name;
}

Recipe named(const ScreenManifest& m, const ManifestAsset& a, const char* kind)
{
    Recipe recipe(m.where() + ", asset " + std::to_string(a.id));
    recipe.set("kind", std::string(kind));
    return recipe;
}

// A hidden item and its companions: the companions take the emoji and the
// place of the item they belong to.
Recipe itemRecipe(const ScreenManifest& m, const ManifestAsset& a)
{
    std::string key = a.member;
    const char* kind = "item";
    if (key.ends_with("Bling")) {
        key.resize(key.size() - 5);
        kind = "item_bling";
    } else if (key.ends_with("Panel")) {
        key.resize(key.size() - 5);
        kind = "item_panel";
    }
    const KitItemLayout::Place* place = KitItemLayout::of(m).find(key);
    if (place == nullptr)
        throw std::runtime_error(m.where() + ", asset " + std::to_string(a.id) + ", key '" + a.member +
                                 "': no hidden item of the scene");
    Recipe recipe = named(m, a, kind);
    recipe.set("palette", worldPalette(m.world));
    recipe.set("emoji", place->emoji);
    recipe.set("x", place->x);
    recipe.set("y", place->y);
    recipe.set("size", place->size);
    recipe.set("angle", place->angle);
    return recipe;
}

std::optional<Recipe> worldRecipe(const ScreenManifest& m, const ManifestAsset& a)
{
    const std::string& table = a.table;
    const double seed = m.world;
    if (table == "BaseImage") {
        Recipe recipe = named(m, a, "background");
        recipe.set("palette", worldPalette(m.world));
        recipe.set("w", double(k_sceneWidth));
        recipe.set("h", double(k_sceneHeight));
        recipe.set("seed", seed);
        return recipe;
    }
    if (table == "BG") {
        const int32_t index = std::stoi(a.member.substr(a.member.size() - 2)) - 1;
        Recipe recipe = named(m, a, "tile");
        recipe.set("palette", worldPalette(m.world));
        recipe.set("w", double(k_tileSize));
        recipe.set("h", double(k_tileSize));
        recipe.set("scene_w", double(k_sceneWidth));
        recipe.set("scene_h", double(k_sceneHeight));
        recipe.set("x", double(index % k_tileColumns * k_tileSize));
        recipe.set("y", double(index / k_tileColumns * k_tileSize));
        recipe.set("seed", seed);
        return recipe;
    }
    if (table == "Anim") {
        Recipe recipe = named(m, a, "clip");
        recipe.set("palette", worldPalette(m.world));
        recipe.set("w", 160.0);
        recipe.set("h", 120.0);
        recipe.set("frames", 12.0);
        recipe.set("fps", 12.0);
        recipe.set("sparkles", 8.0);
        recipe.set("seed", double(hashOf(a.member) % 100000));
        return recipe;
    }
    if (table == "Music" || table == "AmbientSound") {
        Recipe recipe = named(m, a, "music");
        recipe.set("bars", table == "Music" ? 8.0 : 4.0);
        recipe.set("tempo", table == "Music" ? 96.0 : 60.0);
        recipe.set("rate", 22050.0);
        recipe.set("seed", seed + (table == "Music" ? 0 : 100));
        return recipe;
    }
    if (table == "HotSpot") {
        static const char* const effects[] = {"chime", "pop", "whoosh", "click"};
        Recipe recipe = named(m, a, "effect");
        const uint32_t hash = hashOf(a.member);
        recipe.set("effect", std::string(effects[hash % 4]));
        recipe.set("pitch", 0.75 + (hash / 4 % 6) * 0.1);
        return recipe;
    }
    if (table == "ExtraAsset") {
        Recipe recipe = named(m, a, "panel");
        recipe.set("palette", worldPalette(m.world));
        recipe.set("w", 128.0);
        recipe.set("h", 128.0);
        return recipe;
    }
    return itemRecipe(m, a);
}

std::optional<Recipe> screenRecipe(const ScreenManifest& m, const ManifestAsset& a)
{
    switch (a.kindCode) {
    case 1: {
        Recipe recipe = named(m, a, "font");
        recipe.set("face", std::string("sans-bold"));
        recipe.set("size", 20.0);
        return recipe;
    }
    case 3: {
        const bool cursor = a.role.find("cursor") != std::string::npos;
        const bool fullScreen = a.role.find("full-screen") != std::string::npos;
        Recipe recipe = named(m, a, "panel");
        recipe.set("w", fullScreen ? 800.0 : cursor ? 32.0 : 96.0);
        recipe.set("h", fullScreen ? 600.0 : cursor ? 32.0 : 96.0);
        return recipe;
    }
    case 4: {
        Recipe recipe = named(m, a, "effect");
        recipe.set("effect", std::string(a.role.find("click") != std::string::npos ? "click" : "pop"));
        return recipe;
    }
    case 7: {
        Recipe recipe = named(m, a, "clip");
        recipe.set("w", 160.0);
        recipe.set("h", 120.0);
        recipe.set("frames", 12.0);
        recipe.set("fps", 12.0);
        recipe.set("seed", double(a.id));
        return recipe;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<Recipe> kitDemoRecipe(const ScreenManifest& manifest, const ManifestAsset& asset)
{
    return manifest.world != 0 ? worldRecipe(manifest, asset) : screenRecipe(manifest, asset);
}

std::optional<Recipe> kitAssetRecipe(const ScreenManifest& manifest, const ManifestAsset& asset)
{
    // A skin's recipe names the assets it is made of; it makes no file.
    if (asset.kindCode == 6) return std::nullopt;
    if (asset.recipe) return asset.recipe;
    return kitDemoRecipe(manifest, asset);
}
