#pragma once

// The preview for people that `kittool build --preview` writes beside the kit
// (never into it): a world folder gives its scene with every findable item
// drawn at its place, outlined and named; any other folder a contact sheet of
// its pictures with their ids.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct ScreenManifest;

// One asset's made file: its bytes and its ending (".png", ...), in manifest order.
struct KitPreviewFile
{
    const std::vector<uint8_t>* bytes = nullptr;
    std::string extension;
};

// Writes "worldNN.png" or "folderNNN.png" into `folder`; answers its path.
std::filesystem::path writeKitPreview(const ScreenManifest& manifest,
                                      const std::vector<KitPreviewFile>& files,
                                      const std::filesystem::path& folder);
