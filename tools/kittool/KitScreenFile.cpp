// kittool screenfile MANIFEST OUT_DIR: writes the folder's screen file
// ("NNN/GWScreen") and a placeholder file for each of its assets, named as
// the engine searches them, so that the folder can be read and bound before
// the demo kit draws the real media.
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/contentwriters/WidgetRecordWriter.h"
#include "tools/imagewriters/PngWriter.h"
#include "tools/kittool/KitCommand.h"
#include "tools/kittool/KitManifest.h"
#include "tools/kittool/KitSkin.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

WidgetPart partOf(const ManifestWidget& w)
{
    WidgetPart part;
    part.x = static_cast<int16_t>(w.rect[0]);
    part.y = static_cast<int16_t>(w.rect[1]);
    part.width = static_cast<int16_t>(w.rect[2]);
    part.height = static_cast<int16_t>(w.rect[3]);
    part.visible = w.visible ? 1 : 0;
    return part;
}

std::vector<uint8_t> recordOf(const ScreenManifest& m, const ManifestWidget& w,
                              const std::map<uint32_t, std::vector<const ManifestWidget*>>& children);

ContainerRecord containerOf(const ScreenManifest& m, const WidgetPart& part, uint32_t id,
                            const std::map<uint32_t, std::vector<const ManifestWidget*>>& children)
{
    ContainerRecord record;
    record.widget = part;
    const auto found = children.find(id);
    if (found == children.end()) return record;
    for (const ManifestWidget* child : found->second)
        record.children.push_back(
            {static_cast<int32_t>(child->id), child->type, recordOf(m, *child, children)});
    return record;
}

LabelRecord labelOf(const ManifestWidget& w)
{
    LabelRecord record;
    record.widget = partOf(w);
    record.fontId = static_cast<int16_t>(w.font);
    record.textId = static_cast<int16_t>(w.text);
    return record;
}

std::vector<uint8_t> recordOf(const ScreenManifest& m, const ManifestWidget& w,
                              const std::map<uint32_t, std::vector<const ManifestWidget*>>& children)
{
    switch (w.type) {
    case WidgetType::k_container:
    // A step slider loads as a plain container; its knob and track are made
    // by the screen that hosts it. A fade-swap widget is a container whose
    // pictures its screen gives it.
    case WidgetType::k_stepSlider:
    // An animated menu button is a container of its own frame, clip, caption
    // and click area; the screen sets it up.
    case WidgetType::k_animatedMenuButton:
    case WidgetType::k_fadeSwapWidget:
    // The game's container kinds (the map view, the HUD strip, the story
    // panel, the awards viewport, the timer bar) load as containers too; their
    // screen fills them.
    case WidgetType::k_mapView:
    case WidgetType::k_hudPanel:
    case WidgetType::k_storyPanel:
    case WidgetType::k_awardsViewport:
    case WidgetType::k_factoryContainer:
        return writeContainerRecord(containerOf(m, partOf(w), w.id, children));
    case WidgetType::k_marker:
        return writeWidgetPart(partOf(w));
    case WidgetType::k_image:
    // A video sprite's record is an image widget's; the screen gives it its clip.
    case WidgetType::k_videoSprite:
    case WidgetType::k_characterVideoSprite:
    case WidgetType::k_queuedVideoSprite:
    // So is a flash sprite's; the screen gives it its colour.
    case WidgetType::k_flashSprite:
        return writeImageRecord({partOf(w), static_cast<int16_t>(w.image)});
    case WidgetType::k_label:
        return writeLabelRecord(labelOf(w));
    case WidgetType::k_editBox: {
        EditBoxRecord record;
        record.label = labelOf(w);
        return writeEditBoxRecord(record);
    }
    case WidgetType::k_button:
    case WidgetType::k_invisibleButton: {
        ButtonRecord record;
        record.widget = partOf(w);
        record.skinId = static_cast<int16_t>(w.skin);
        record.captionId = static_cast<int16_t>(w.text);
        return writeButtonRecord(record);
    }
    default: {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08x", w.type);
        throw std::runtime_error(m.where() + ", widget " + w.member +
                                 ", key 'type': no record writer for type " + code);
    }
    }
}

std::vector<uint8_t> kindDataOf(const ScreenManifest& m, const ManifestAsset& a)
{
    switch (a.kindCode) {
    case 1:
        return fontKindData(false);
    case 3:
        return imageKindData(false);
    case 6:
        return skinKindData(kitSkinData(m, a));
    case 7:
        return videoKindData(false);
    default:
        return {};
    }
}

} // namespace

ScreenFile manifestScreenFile(const ScreenManifest& m)
{
    ScreenFile file;
    for (const ManifestText& t : m.texts) {
        ScreenText text;
        text.key = static_cast<int16_t>(t.id);
        text.name = t.member;
        text.strings = t.strings;
        file.records.emplace_back(std::move(text));
    }
    for (const ManifestAsset& a : m.assets) {
        ScreenAsset asset;
        asset.kind = a.kindCode;
        asset.id = static_cast<int16_t>(a.id);
        asset.name = a.member;
        asset.loads.push_back({0, 1, 0}); // loaded on first use
        asset.kindData = kindDataOf(m, a);
        file.records.emplace_back(std::move(asset));
    }
    if (!m.isPart()) {
        std::map<uint32_t, std::vector<const ManifestWidget*>> children;
        for (const ManifestWidget& w : m.widgets)
            children[w.parent].push_back(&w);
        WidgetPart screen;
        screen.width = static_cast<int16_t>(m.width);
        screen.height = static_cast<int16_t>(m.height);
        ScreenOwnerTail tail;
        tail.valueA = m.width;
        tail.valueB = m.height;
        tail.widgetTree = writeContainerRecord(containerOf(m, screen, 0, children));
        file.owner = std::move(tail);
    }
    return file;
}

std::string placeholderExtension(int16_t kindCode)
{
    switch (kindCode) {
    case 1:
        return ".gwfont";
    case 2:
        return ".vorbis";
    case 3:
        return ".png";
    case 4:
        return ".gwsample";
    case 6:
        return ".skin";
    case 7:
        return ".gwvideo";
    default:
        return ".dat";
    }
}

std::vector<uint8_t> placeholderBytes(const ScreenManifest& m, const ManifestAsset& a)
{
    if (a.kindCode == 3) {
        // A real picture: one grey pixel.
        PngPicture picture;
        picture.width = 1;
        picture.height = 1;
        picture.samples = {128, 128, 128, 255};
        return writePng(picture);
    }
    const std::string text =
        "placeholder of asset " + std::to_string(a.id) + " of folder " + std::to_string(m.folder) + "\n";
    return {text.begin(), text.end()};
}

int kitScreenFile(const KitArgs& args)
{
    if (args.size() != 2) return kitUsage("screenfile");
    const ScreenManifest m = readScreenManifest(args[0]);
    const fs::path out = args[1];
    kitWriteFile((out / screenFilePath(m.folder)).string(), writeScreenFile(manifestScreenFile(m)));
    for (const ManifestAsset& a : m.assets)
        kitWriteFile((out / assetFileName(m.folder, a.id, placeholderExtension(a.kindCode))).string(),
                     placeholderBytes(m, a));
    std::printf("wrote %s with %zu texts and %zu assets\n", screenFilePath(m.folder).c_str(), m.texts.size(),
                m.assets.size());
    return 0;
}
