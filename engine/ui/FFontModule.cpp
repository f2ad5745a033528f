#include "ui/FFontModule.h"

#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "core/FServiceSlots.h"
#include "core/FTimedLogStream.h"
#include "ui/FFont.h"

#include <optional>

namespace {

// A box or cell as the font keeps it: grown by one pixel on every side.
void readGrownBox(FInStream& reader, float box[4])
{
    const int16_t left = reader.readInt16();
    const int16_t top = reader.readInt16();
    const int16_t right = reader.readInt16();
    const int16_t bottom = reader.readInt16();
    box[0] = float(left - 1);
    box[1] = float(top - 1);
    box[2] = float(right + 1);
    box[3] = float(bottom + 1);
}

// Loads the glyph sheet that starts the font file through the PNG loader.
FRefT<FImage> readSheet(const FRefT<FInStream>& source)
{
    auto* png = findService<FAssetLoader>(k_slotPngLoader);
    if (png == nullptr) ZIBBO_FAIL(msgIllegalOperation, "PNG loader (NULL) != NULL");
    // The bytes after the sheet are the font's tables, not a placement trailer.
    auto* image = engineNew<FImage>(k_memObject);
    if (image == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (glyph sheet)");
    image->setIgnoresPlacement(true);
    FRef handle = FAsset::handleFor(image);
    png->createFromStream(handle, source);
    auto* sheet = handle.as<FImage>();
    if (sheet == nullptr || !sheet->isLoaded()) ZIBBO_FAIL(msgFileCorrupted, "glyph sheet is loaded");
    return FRefT<FImage>(std::move(handle));
}

} // namespace

FFontModule::FFontModule() : FAssetLoaderModule(k_slotFontLoader) {}

FAsset* FFontModule::newAsset()
{
    return engineNew<FFont>(k_memObject);
}

void FFontModule::load(FAsset& asset)
{
    std::optional<FTimedLogStream> timer;
    if (k_logDiskLoad.isOn()) timer.emplace(ZIBBO_HERE) << "Font ";

    auto* font = dynamic_cast<FFont*>(&asset);
    if (font == nullptr) ZIBBO_FAIL(msgIllegalOperation, "asset (" << asset.id() << ") is a font");
    const FRefT<FInStream> source = asset.sourceHandle();
    FInStream* reader = waitForRefTarget(source);
    if (reader == nullptr) ZIBBO_FAIL(msgIllegalOperation, "source of asset (" << asset.id() << ") != NULL");

    // The font's tables follow the sheet's PNG data directly.
    FRefT<FImage> sheet = readSheet(source);
    reader = waitForRefTarget(source);

    reader->readUInt32();
    reader->readInt8();
    reader->readInt8();
    for (int i = 0; i < 32; ++i)
        reader->readUInt8();
    reader->readInt8();
    const int32_t valueA = reader->readInt8();
    const int32_t valueB = reader->readInt16();
    const uint16_t count = reader->readUInt16();
    std::vector<uint16_t> characters(count);
    for (uint16_t& c : characters)
        c = reader->readUInt16();
    float firstBox[4];
    float secondBox[4];
    readGrownBox(*reader, firstBox);
    readGrownBox(*reader, secondBox);

    std::vector<FFontGlyph> glyphs(count);
    for (FFontGlyph& glyph : glyphs) {
        readGrownBox(*reader, glyph.pageRect);
        glyph.advance = reader->readInt16();
        glyph.leftOffset = reader->readInt16();
        glyph.topOffset = reader->readInt16();
        glyph.rightEdge = glyph.pageRect[2] - glyph.pageRect[0] + glyph.leftOffset;
        glyph.bottomEdge = glyph.pageRect[3] - glyph.pageRect[1] + glyph.topOffset;
        glyph.tinted = true;
        glyph.scaleDivisor = 0;
    }
    const uint16_t pairs = reader->readUInt16();
    std::map<int32_t, int32_t> kerning;
    for (uint16_t i = 0; i < pairs; ++i) {
        const int32_t key = reader->readInt32();
        kerning[key] = reader->readInt16();
    }
    // Stored only once everything was read: a damaged file leaves the font
    // as it was.
    font->setFontData(std::move(sheet), valueA, valueB, firstBox, secondBox, std::move(glyphs), characters,
                      std::move(kerning));
}
