#pragma once

#include "core/FRef.h"
#include "core/FString.h"
#include "image/FImage.h"

#include <cstdint>
#include <vector>

// One glyph of a laid-out line: where its read starts in the text (so a
// replay from there repeats the colour escapes before it) and its x in pixels.
struct FPlacedGlyph
{
    int32_t index = 0;
    int32_t x = 0;
};

// A line of text as the font lays it out and draws it, with the reading
// settings the escape codes change on the way.
struct FLaidOutString
{
    // 2 once laid out.
    int32_t state = 0;
    // Colour escapes switch the drawing colour; off, glyphs draw in white.
    bool colourEscapes = false;
    // ARGB, alpha in the top byte.
    uint32_t colour = 0xFFFFFFFFu;
    float inverseScale = 1;
    FRefT<FImage> page;
    FString text;
    int32_t horizontalAlignment = 1;
    int32_t verticalAlignment = 3;
    // Pixels; 0: no limit.
    int32_t maximumWidth = 0;
    // Backslash escapes are read; off, a backslash is an ordinary character.
    bool escapes = true;
    // Font units: minimum x, minimum y, pen x, maximum y.
    float minimumX = 0;
    float minimumY = 0;
    float penX = 0;
    float maximumY = 0;
    // Pixels: left, top, right, bottom.
    float box[4] = {0, 0, 0, 0};
    std::vector<FPlacedGlyph> glyphs;
    uint32_t colourTable[4] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
    // The colour the line starts in, and the one its escapes leave.
    int32_t colourIndex = 0;
    int32_t finalColourIndex = 0;
    // Text typed by a player may hold a malformed escape; its characters up to
    // this index are shown as they are instead of being read as an escape.
    int32_t literalEnd = -1;
};
