// kittool worlds: writes the twelve world scenes' manifests from the worlds'
// content table (content/worlds is made this way and checked in).
#include "game/worldcontent/WorldContent.h"
#include "tools/kittool/KitCommand.h"
#include "tools/worldmanifests/WorldLayout.h"
#include "tools/worldmanifests/WorldManifest.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

void writeText(const fs::path& path, const std::string& text)
{
    kitWriteFile(path.string(), std::vector<uint8_t>(text.begin(), text.end()));
}

} // namespace

int kitWorlds(const KitArgs& args)
{
    if (args.size() != 1) return kitUsage("worlds");
    const fs::path out = args[0];
    fs::create_directories(out);
    for (int32_t index = 0; index < k_worldCount; ++index)
        writeText(out / worldManifestName(index), worldManifest(index));
    std::printf("wrote %d world manifests to %s\n", k_worldCount, out.string().c_str());
    return 0;
}

// The build runs this into its own tree; the classes are never checked in.
int kitWorldLayouts(const KitArgs& args)
{
    if (args.size() != 1) return kitUsage("worldlayouts");
    const fs::path out = args[0];
    fs::create_directories(out);
    for (int32_t index = 0; index < k_worldCount; ++index) {
        const std::string name = worldLayoutClass(index);
        writeText(out / (name + ".h"), worldLayoutHeader(index));
        writeText(out / (name + ".cpp"), worldLayoutSource(index));
    }
    return 0;
}
