#include "tools/contentwriters/ScreenFileWriter.h"

#include "tools/contentwriters/ByteWriter.h"

#include <cstdio>

namespace {

void writeText(ByteWriter& out, const ScreenText& text)
{
    out.i16(5).i16(text.key).name(text.name).i16(static_cast<int16_t>(text.properties.size()));
    for (const auto& property : text.properties)
        out.bytes({property.begin(), property.end()});
    out.i16(static_cast<int16_t>(text.strings.size()));
    for (const std::string& s : text.strings) {
        out.i16(static_cast<int16_t>(s.size() + 1));
        out.name(s);
    }
}

void writeAsset(ByteWriter& out, const ScreenAsset& asset)
{
    out.i16(asset.kind).i16(asset.id).name(asset.name).i16(static_cast<int16_t>(asset.loads.size()));
    for (const ScreenLoadEntry& load : asset.loads)
        out.i16(load.value).u8(load.flags).u8(load.mode);
    out.bytes(asset.kindData);
}

} // namespace

std::vector<uint8_t> writeScreenFile(const ScreenFile& file)
{
    ByteWriter out;
    out.u32(file.tag).u8(file.version).i16(static_cast<int16_t>(file.records.size()));
    for (const auto& record : file.records) {
        if (const auto* text = std::get_if<ScreenText>(&record))
            writeText(out, *text);
        else
            writeAsset(out, std::get<ScreenAsset>(record));
    }
    if (file.owner) {
        const ScreenOwnerTail& owner = *file.owner;
        out.i16(static_cast<int16_t>(owner.cameraKeys.size()));
        for (const auto& key : owner.cameraKeys)
            out.i32(key[0]).i32(key[1]).i32(key[2]);
        out.i32(owner.valueA)
            .i32(owner.valueB)
            .u32(owner.ignored1)
            .u32(owner.ignored2)
            .bytes(owner.widgetTree);
    }
    return out.take();
}

std::string screenFilePath(int folder)
{
    char text[32];
    std::snprintf(text, sizeof text, "%03d/GWScreen", folder);
    return text;
}

std::string assetFileName(int folder, int id, const std::string& extension)
{
    char text[48];
    std::snprintf(text, sizeof text, "%03d/%06d_0", folder, static_cast<int>(static_cast<int16_t>(id)));
    return text + extension;
}

std::vector<uint8_t> writeTarget(const std::string& text, std::optional<uint32_t> lengthField)
{
    ByteWriter out;
    out.u32(0).u8(0).u32(lengthField.value_or(static_cast<uint32_t>(text.size())));
    out.bytes({text.begin(), text.end()});
    out.i32(0).i32(0);
    return out.take();
}

std::vector<uint8_t> imageKindData(bool alphaHitTest, bool flagB)
{
    return {static_cast<uint8_t>(alphaHitTest ? 1 : 0), static_cast<uint8_t>(flagB ? 1 : 0)};
}

std::vector<uint8_t> fontKindData(bool flag)
{
    return {static_cast<uint8_t>(flag ? 1 : 0)};
}

std::vector<uint8_t> videoKindData(bool loop)
{
    return {static_cast<uint8_t>(loop ? 1 : 0)};
}

std::vector<uint8_t> skinKindData(const SkinData& skin)
{
    ByteWriter out;
    out.i16(0);
    for (const SkinState& s : skin.states) {
        out.i16(s.imageId).bytes({s.imageTintRgba.begin(), s.imageTintRgba.end()});
        out.i32(s.imageValues[0]).i32(s.imageValues[1]);
        out.i16(s.fontId).bytes({s.textRgba.begin(), s.textRgba.end()});
        out.i32(s.fontValues[0]).i32(s.fontValues[1]);
        out.i16(s.soundId).i32(s.soundValues[0]).i32(s.soundValues[1]);
    }
    for (int16_t inset : skin.insets)
        out.i16(inset);
    return out.take();
}
