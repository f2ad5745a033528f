#pragma once

// The demo kit's own design of an asset's media where its manifest gives no
// recipe: world scenes are drawn in their world's palette (the scene, its
// background tiles, hidden items from emoji glyphs placed about the scene
// with their "Bling" and "Panel" companions, clips, music and spot sounds);
// screen folders take plain pictures, clicks, clips and fonts by kind. Kinds
// with no recipe (skins, pattern music, raw data) keep their placeholder.

#include "tools/recipes/Recipe.h"

#include <optional>

struct ScreenManifest;
struct ManifestAsset;

std::optional<Recipe> kitDemoRecipe(const ScreenManifest& manifest, const ManifestAsset& asset);
// The recipe the kit makes an asset from: the manifest's own recipe table
// when the asset has one, otherwise the demo design's.
std::optional<Recipe> kitAssetRecipe(const ScreenManifest& manifest, const ManifestAsset& asset);
