#pragma once

#include <cstdint>

// Whole-row conversions for the image copy paths. Each gives exactly the bytes
// of the per-pixel operations (read the source pixel as bgra8, write it into the
// destination from bgra8) without a function call per pixel.

// Converts count pixels: source pixel srcIndex + j of srcRow into destination
// pixel dstIndex + j of dstRow.
using FPixelRowConvertFn = void (*)(const uint8_t* srcRow, int32_t srcIndex, uint8_t* dstRow,
                                    int32_t dstIndex, int32_t count);

// The converter between two kinds, or null when either is outside 1 to 13.
FPixelRowConvertFn getPixelRowConverter(int32_t srcKind, int32_t dstKind);

// Writes count transparent black pixels (a zero bgra8 value) from pixel index
// on; packed kinds keep the bits of the other pixels. Unknown kinds: nothing.
void clearPixels(int32_t kind, uint8_t* row, int32_t index, int32_t count);
