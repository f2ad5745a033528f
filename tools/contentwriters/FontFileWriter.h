#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// Font files as the engine's font loader reads them: the glyph sheet as a
// PNG stream, then the tables.
//
// What the tables mean to the font (the same mapping in the loader, the
// font class and this writer):
// - A glyph's sheet cell grown by one pixel on every side is its page
//   rectangle, so the cell is the glyph's ink and the sheet keeps a clear
//   pixel around it. Offset x and offset y place the page rectangle's
//   top-left relative to the pen (y downward from the base line); the page
//   rectangle's size plus those offsets gives the right and bottom edges.
// - V is the advance; every glyph is tinted; each glyph uses the font's
//   scale divisor.
// - Value A is the scale divisor: font units per pixel (below 1 counts 1).
//   Value B is the line height, kept for reference.
// - The first box's top and bottom, once grown by one pixel like a cell,
//   are the top and bottom extents; the second box's are the ascent line and
//   the base line. So a box is written one pixel inside the extents it
//   stands for.
// - Kerning keys are (current character << 16) | previous character, the
//   value the adjustment in font units.
struct FontGlyphEntry
{
    uint16_t character = 0;
    int16_t left = 0; // the cell in the sheet, pixels
    int16_t top = 0;
    int16_t right = 0;
    int16_t bottom = 0;
    int16_t advance = 0; // V
    int16_t offsetX = 0;
    int16_t offsetY = 0;
};

struct FontFileData
{
    std::vector<uint8_t> sheetPng;
    // The sheet's size: the first sixteen ignored bytes after the sheet are
    // written as a placement trailer that leaves it where it is, so an image
    // loader that reads a trailer after any PNG finds a plausible one.
    int32_t sheetWidth = 0;
    int32_t sheetHeight = 0;
    int8_t valueA = 1;
    int16_t valueB = 0;
    int16_t firstBox[4] = {0, 0, 0, 0}; // left, top, right, bottom
    int16_t secondBox[4] = {0, 0, 0, 0};
    std::vector<FontGlyphEntry> glyphs;
    std::vector<std::pair<uint32_t, int16_t>> kerning;
};

std::vector<uint8_t> writeFontFile(const FontFileData& font);
