#include "tools/contentwriters/FontFileWriter.h"

#include "tools/contentwriters/ByteWriter.h"

std::vector<uint8_t> writeFontFile(const FontFileData& font)
{
    ByteWriter out;
    out.bytes(font.sheetPng);
    // Ignored by the font: 4 + 1 + 1 + 32 bytes, the first sixteen of them
    // shaped as a placement trailer (offset 0, 0 in a sheet-sized picture).
    out.u32(0).u8(0).u8(0).u8(0).u8(0);
    out.i32(font.sheetWidth).i32(font.sheetHeight);
    for (int i = 0; i < 22; ++i)
        out.u8(0);
    out.u8(0).u8(static_cast<uint8_t>(font.valueA)).i16(font.valueB);
    out.u16(static_cast<uint16_t>(font.glyphs.size()));
    for (const FontGlyphEntry& g : font.glyphs)
        out.u16(g.character);
    for (int16_t v : font.firstBox)
        out.i16(v);
    for (int16_t v : font.secondBox)
        out.i16(v);
    for (const FontGlyphEntry& g : font.glyphs)
        out.i16(g.left).i16(g.top).i16(g.right).i16(g.bottom).i16(g.advance).i16(g.offsetX).i16(g.offsetY);
    out.u16(static_cast<uint16_t>(font.kerning.size()));
    for (const auto& [key, value] : font.kerning)
        out.u32(key).i16(value);
    return out.take();
}
