#pragma once

// Screen manifests: one Lua table per screen-file folder ("NNN.lua") that
// names everything the folder's layout class binds (assets, texts, widgets,
// wired buttons) and carries our demo design of the folder (rectangles,
// strings). The layout generator, the screen-file writer and the manifest
// check all read them through here.

#include "tools/recipes/Recipe.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct ManifestAsset
{
    int32_t id = 0;
    std::string kind; // "raw", "font", "music", "image", "sample", "skin", "video"
    int16_t kindCode = 0;
    std::string member;
    std::string role;
    bool chosen = false; // the kind is our choice, no document states it
    // How the kit makes the asset's media; none: the demo design decides.
    std::optional<Recipe> recipe;
    std::string table; // world scenes: the table the asset is filed in
    // Screens: a sample filed under `name` in the name map `map` (one of the
    // manifest's `nameMaps`) instead of a member of its own; `member` then
    // only names its file.
    std::string map;
    std::string name;
    bool isFiled() const { return !map.empty(); }
};

struct ManifestText
{
    int32_t id = 0;
    std::string member;
    std::vector<std::string> strings; // in language order, English first
};

struct ManifestWidget
{
    uint32_t id = 0;
    uint32_t type = 0;
    std::string member;
    uint32_t parent = 0;            // 0: the screen itself
    int32_t rect[4] = {0, 0, 0, 0}; // x, y, width, height
    bool visible = true;
    int32_t text = 0;  // labels, edit boxes, button captions
    int32_t font = 0;  // labels, edit boxes
    int32_t image = 0; // image widgets
    int32_t skin = 0;  // buttons
};

struct ManifestButton
{
    uint32_t widget = 0;
    std::string handler;
};

// A named list of widgets of the manifest that the class gathers after
// fetching them (each entry also stays a single member).
struct ManifestList
{
    std::string member;
    std::vector<uint32_t> widgets;
};

struct ScreenManifest
{
    std::string path;
    int32_t folder = 0;
    int32_t hint = 0;
    std::string className;
    // Screen layouts only: the main base, its header and constructor, the
    // folders of the layout parts taken as further bases, the design size.
    std::string base;
    std::string baseHeader;
    std::string constructorParameters;
    std::string baseArguments;
    std::vector<int32_t> parts;
    int32_t width = 800;
    int32_t height = 600;
    std::vector<ManifestAsset> assets;
    std::vector<ManifestText> texts;
    std::vector<ManifestWidget> widgets;
    std::vector<ManifestButton> buttons;
    std::vector<ManifestList> lists;
    // The name maps the class files samples in, in member order.
    std::vector<std::string> nameMaps;

    bool isPart() const { return className.rfind("LayoutPart", 0) == 0; }
    // World scenes (1 to 12) file their assets by item key and take their
    // hint from the worlds' table; 0 for every other folder.
    int32_t world = 0;
    // The ids the class holds in members of its own (the samples filed in
    // name maps are fetched too, but held by the maps).
    std::size_t heldIds() const;
    // "manifest 012.lua, folder 12" for messages.
    std::string where() const;
};

// Reads and checks one manifest on its own; a fault is a std::runtime_error
// naming the file, the folder, the id and the key.
ScreenManifest readScreenManifest(const std::string& path);
// Every "NNN.lua" of the folder in folder order, checked together: one
// manifest per folder, layout parts that exist and are parts.
std::vector<ScreenManifest> readScreenManifests(const std::string& folder);

// The asset kind code of a kind name, or -1.
int16_t manifestKindCode(const std::string& kind);
// Whether a type code builds a button that layouts wire.
bool isButtonType(uint32_t type);

struct ScreenFile;

// The folder's screen file as the manifest describes it: its texts (every
// language string), its assets (loaded on use) and, for a screen layout, the
// owner tail with the widget tree of the listed widgets.
ScreenFile manifestScreenFile(const ScreenManifest& manifest);
// Reads a folder's screen file with the engine's reader and checks that every
// id the generated class fetches comes out of it; a fault names folder and id.
void checkScreenFileBytes(const ScreenManifest& manifest, const std::vector<uint8_t>& bytes);
// The extension of an asset kind's placeholder file (".png" for images).
std::string placeholderExtension(int16_t kindCode);
// The bytes of an asset's placeholder file until the demo kit draws its media.
std::vector<uint8_t> placeholderBytes(const ScreenManifest& manifest, const ManifestAsset& asset);
