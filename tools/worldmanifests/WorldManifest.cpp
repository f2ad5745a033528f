#include "tools/worldmanifests/WorldManifest.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace {
// Asset kinds as manifests name them.
const char* kindOf(WorldTable table)
{
    switch (table) {
    case WorldTable::Music:
    case WorldTable::AmbientSound:
    case WorldTable::HotSpot:
        return "sample";
    case WorldTable::Anim:
        return "video";
    default:
        return "image";
    }
}

const char* memberOf(WorldTable table)
{
    switch (table) {
    case WorldTable::BaseImage:
        return "baseImage";
    case WorldTable::Music:
        return "music";
    case WorldTable::AmbientSound:
        return "ambientSound";
    case WorldTable::ExtraAsset:
        return "extraAsset";
    default:
        return nullptr;
    }
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string captionText(const WorldContent& world, int32_t vignette)
{
    std::ostringstream text;
    text << "A corner of the " << lower(world.captionTheme) << ", scene " << vignette;
    return text.str();
}
} // namespace

WorldIds worldIds(int32_t index)
{
    const WorldContent& world = worldContent(index);
    WorldIds ids;
    int32_t id = k_worldIdBase + index * k_worldIdStride;
    for (WorldItem& item : worldItems(world))
        ids.assets.emplace_back(std::move(item), id++);
    for (int32_t vignette : worldPlainCaptionVignettes(world))
        ids.plainCaptions.emplace_back(vignette, id++);
    for (std::string& key : worldCaptionKeys(world))
        ids.keyedCaptions.emplace_back(std::move(key), id++);
    return ids;
}

std::string worldManifestName(int32_t index)
{
    char name[16];
    std::snprintf(name, sizeof name, "%03d.lua", static_cast<int>(worldContent(index).folder));
    return name;
}

std::string worldManifest(int32_t index)
{
    const WorldContent& world = worldContent(index);
    const WorldIds ids = worldIds(index);
    std::ostringstream out;
    out << "-- World " << world.number
        << "'s scene: written by `kittool worlds` from the worlds' content table.\n"
        << "-- Do not edit by hand; change the table and run the command again.\n"
        << "return {\n"
        << "  folder = " << world.folder << ",\n"
        << "  hint = " << world.entryHint << ",\n"
        << "  class = \"" << worldKeyPrefix(world) << "SceneLayout\",\n"
        << "  world = " << world.number << ",\n"
        << "  assets = {\n";
    for (const auto& [item, id] : ids.assets) {
        out << "    { id = " << id << ", kind = \"" << kindOf(item.table) << "\", table = \""
            << worldTableName(item.table) << "\"";
        if (const char* member = memberOf(item.table))
            out << ", member = \"" << member << "\"";
        else
            out << ", key = \"" << item.key << "\"";
        out << " },\n";
    }
    out << "  },\n  texts = {\n";
    // Plain texts first (held in the caption's place), then the keyed captions.
    for (const auto& [vignette, id] : ids.plainCaptions)
        out << "    { id = " << id << ", member = \"caption" << vignette << "\", strings = { \""
            << captionText(world, vignette) << "\" } },\n";
    for (const auto& [key, id] : ids.keyedCaptions) {
        const int32_t vignette = std::stoi(key.substr(key.size() - 2));
        out << "    { id = " << id << ", key = \"" << key << "\", strings = { \""
            << captionText(world, vignette) << "\" } },\n";
    }
    out << "  },\n}\n";
    return out.str();
}
