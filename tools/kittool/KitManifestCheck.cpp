// kittool manifests MANIFEST_DIR: checks every screen manifest of the folder.
// Besides what reading a manifest checks (ids unique in their maps, the
// entry-count hint, known kinds and type codes), the folder's screen file is
// written as `kittool screenfile` writes it and read back with the engine's
// reader: every id the generated class fetches must come out of it.
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/kittool/KitCommand.h"
#include "tools/kittool/KitManifest.h"
#include "tools/kittool/KitSession.h"
#include "tools/kittool/KitSkin.h"
#include "tools/kittool/KitWidgetTree.h"

#include "asset/FScreenFileReader.h"
#include "asset/FScreenRegistry.h"
#include "io/FMemoryInStream.h"
#include "ui/FSkin.h"

#include <cstdio>
#include <set>
#include <stdexcept>

namespace {

void collect(const KitWidgetTree::Node& node, std::set<uint32_t>& ids)
{
    ids.insert(static_cast<uint32_t>(node.id));
    for (const KitWidgetTree::Node& child : node.children)
        collect(child, ids);
}

[[noreturn]] void missing(const ScreenManifest& m, const std::string& what, const std::string& id)
{
    throw std::runtime_error(
        m.where() + ", " + what + " " + id +
        ", key 'id': the class fetches it but the folder's screen file does not hold it");
}

} // namespace

void checkScreenFileBytes(const ScreenManifest& m, const std::vector<uint8_t>& bytes)
{
    FRefT<FInStream> stream = FMemoryInStream::make(std::string(bytes.begin(), bytes.end()));
    FScreenRegistry registry;
    std::vector<int32_t> ids;
    FScreenFileReader::Options options;
    options.folder = m.folder;
    FScreenFileReader reader(registry, &kitScreenObject);
    reader.read(*stream, options, ids);
    for (const ManifestAsset& a : m.assets)
        if (registry.findInSecond(a.id).get() == nullptr) missing(m, "asset", std::to_string(a.id));
    // A skin reads back naming the parts its recipe gives.
    for (const ManifestAsset& a : m.assets) {
        if (a.kindCode != 6) continue;
        const auto* skin = dynamic_cast<const FSkin*>(registry.findInSecond(a.id).as<FAsset>());
        const SkinData expected = kitSkinData(m, a);
        for (int s = 0; s < 4; ++s) {
            const SkinState& want = expected.states[s];
            if (skin != nullptr && skin->state(s).imageId == want.imageId &&
                skin->state(s).fontId == want.fontId && skin->state(s).soundId == want.soundId)
                continue;
            throw std::runtime_error(m.where() + ", asset " + std::to_string(a.id) + ", key 'recipe'" +
                                     ": the screen file's skin does not name the parts of its recipe");
        }
    }
    for (const ManifestText& t : m.texts)
        if (registry.findInThird(t.id).get() == nullptr) missing(m, "text", std::to_string(t.id));
    if (m.isPart()) return;
    KitWidgetTree tree;
    reader.readOwnerTail(*stream, tree, ids);
    if (!tree.failure.empty()) throw std::runtime_error(m.where() + ": " + tree.failure);
    std::set<uint32_t> widgets;
    collect(tree.root, widgets);
    for (const ManifestWidget& w : m.widgets) {
        if (widgets.count(w.id) != 0) continue;
        char id[16];
        std::snprintf(id, sizeof id, "0x%08x", w.id);
        missing(m, "widget", id);
    }
}

int kitManifests(const KitArgs& args)
{
    if (args.size() != 1) return kitUsage("manifests");
    KitSession session;
    const std::vector<ScreenManifest> all = readScreenManifests(args[0]);
    for (const ScreenManifest& m : all)
        checkScreenFileBytes(m, writeScreenFile(manifestScreenFile(m)));
    std::printf("%zu screen manifests checked\n", all.size());
    return 0;
}
