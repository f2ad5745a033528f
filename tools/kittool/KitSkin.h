#pragma once

// A skin has no file of its own: its screen-file entry names the pictures,
// font and sound of the button states it is made of. A skin asset's recipe
// table says which, by asset id:
//   recipe = { kind = "skin", normal = 6601, hover = 6602, pressed = 6603,
//              disabled = 6604, font = 6605, sound = 6606,
//              insets = { 12, 8, 12, 8 }, text = { 20, 20, 30 } }
// (a state left out shows no picture; font, sound, insets and the text
// colour are optional). Without a recipe a skin names nothing.

#include "tools/contentwriters/ScreenFileWriter.h"

#include <map>

struct ScreenManifest;
struct ManifestAsset;

// The skin data of a skin asset; a fault naming folder, asset and key when
// its recipe is not a skin's.
SkinData kitSkinData(const ScreenManifest& manifest, const ManifestAsset& skin);

// Every part a skin of the manifest names is an asset of the right kind in the
// manifest itself or in one of its layout parts (`byFolder`, the manifests by
// folder).
void checkKitSkins(const ScreenManifest& manifest, const std::map<int32_t, const ScreenManifest*>& byFolder);
