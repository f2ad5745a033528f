// Text a player may type, read by the font and the label: the first byte
// picks the options (escapes, wrap width), the rest is UTF-16 (little-endian
// pairs). Nothing may fail, read outside the text or loop forever.
#include "asset/FAssetStream.h"
#include "core/FApplication.h"
#include "core/FErrorHandler.h"
#include "image/FImageLoaderModule.h"
#include "image/FPngLoader.h"
#include "support/QuietErrorHandler.h"
#include "tools/contentwriters/FontFileWriter.h"
#include "tools/imagewriters/PngWriter.h"
#include "ui/FFont.h"
#include "ui/FFontModule.h"
#include "ui/FLabel.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The font lives for the whole run; it is never destroyed, so exit-time
// teardown does not depend on the order of the statics.
const FRef& fuzzFont()
{
    static FApplication application;
    static FImageLoaderModule png(k_slotPngLoader, &FPngLoader::load);
    static FFontModule fonts;
    static const FRef* handle = [] {
        FontFileData font;
        font.sheetWidth = 16;
        font.sheetHeight = 16;
        font.sheetPng = writePng(PngPicture::rgba(16, 16, std::vector<uint8_t>(16 * 16 * 4, 255)));
        font.valueA = 2;
        font.firstBox[1] = -19;
        font.firstBox[3] = 5;
        for (char16_t c : std::u16string_view(u" abcW\\C0123"))
            font.glyphs.push_back({static_cast<uint16_t>(c), 2, 2, 4, 4,
                                   static_cast<int16_t>(c == u'W' ? 40 : 20), static_cast<int16_t>(-2),
                                   static_cast<int16_t>(-8)});
        font.kerning = {{(uint32_t{u'b'} << 16) | u'a', -5}};
        const std::vector<uint8_t> bytes = writeFontFile(font);
        FRef* made = new FRef(FAsset::emptyHandle());
        fonts.createFromStream(*made, FAssetStream::makeCopy(bytes.data(), int64_t(bytes.size())));
        return made;
    }();
    return *handle;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QuietErrorHandler::installForProcess();
    if (size < 1) return 0;
    const FRef& handle = fuzzFont();
    FFont& font = *handle.as<FFont>();
    const bool escapes = (data[0] & 1) != 0;
    const int32_t width = data[0] >> 1;
    std::u16string units;
    for (size_t i = 1; i + 1 < size; i += 2)
        units.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    const FString text(std::u16string_view(units.data(), units.size()));

    // Every read moves forward and stays inside the text.
    FLaidOutString settings;
    settings.escapes = escapes;
    FRefT<FImage> page;
    FFontGlyph glyph;
    int32_t index = 0;
    while (font.parseText(settings, units, index, page, glyph) != FFont::k_endOfText) {
        if (index > static_cast<int32_t>(units.size()) || settings.colourIndex < 0 ||
            settings.colourIndex > 3)
            std::abort();
    }

    const uint32_t table[4] = {1, 2, 3, 4};
    FLaidOutString line;
    font.layoutLine(text, 0, width, 1, 3, table, line, escapes);
    for (const FPlacedGlyph& placed : line.glyphs)
        if (placed.index < 0 || placed.index >= static_cast<int32_t>(units.size())) std::abort();

    std::vector<int32_t> starts;
    const std::vector<FString> lines = font.wrapText(text, {width, width / 2 + 1}, starts, escapes);
    if (starts.size() != lines.size()) std::abort();
    for (int32_t start : starts)
        if (start < 0 || start > static_cast<int32_t>(units.size())) std::abort();

    FLabel label(nullptr, false);
    label.setWidgetRect({0, 0, width * 4, 200});
    label.setFont(FRefT<FFont>(handle));
    label.setText(text);
    if ((data[0] & 2) != 0) label.enableWordWrap();
    for (int32_t x = -10; x < width * 4 + 10; x += 7) {
        const int32_t at = label.characterAt({x, 100});
        if (at < -1 || at > static_cast<int32_t>(units.size()) + 1) std::abort();
        label.caretRect(x / 7);
    }
    return 0;
}
