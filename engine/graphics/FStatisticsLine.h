#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "graphics/FGeometry.h"

class FRenderDevice;

// The memory and frame-rate line drawn over the window while the application
// asks for it: its text, the frame rate it shows (frames of the game counted
// over whole seconds) and its drawing in white at the window's top-left, in
// a small pixel font of its own, so that it shows before any kit's font has
// loaded and whatever the screens draw.
class FStatisticsLine
{
public:
    static constexpr std::size_t k_bufferSize = 512;
    // Window pixels per pixel of the font's 5 x 7 cells.
    static constexpr int32_t k_pixelScale = 2;
    static constexpr int32_t k_cellWidth = 6;
    static constexpr int32_t k_cellHeight = 8;

    // "ram:%s peak:%s vram:%s peak:%s fps:%i", each counter with thousands
    // separators.
    static std::string format(uint32_t ramKB, uint32_t ramPeakKB, uint32_t vramInUse, uint32_t vramPeak,
                              int32_t framesPerSecond);

    // Counts one frame of the game shown.
    void frameShown() { ++m_frames; }
    // Moves the meter's clock to nowMs; true when a second (or more) has
    // passed since the last rate was taken, which takes a new rate.
    bool advance(int64_t nowMs);
    int32_t framesPerSecond() const { return m_framesPerSecond; }

    // Draws text with its top-left at the top-left of a target of clientSize
    // pixels; characters the font lacks leave their cell empty.
    static void draw(FRenderDevice& device, FPointI clientSize, std::string_view text);
    // The 5 x 7 cell of a character, one row a byte (bit 4 the left column),
    // top row first; null when the font lacks it.
    static const uint8_t* glyph(char c);

private:
    bool m_started = false;
    int64_t m_windowStartMs = 0;
    int32_t m_frames = 0;
    int32_t m_framesPerSecond = 0;
};
