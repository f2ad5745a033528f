#include "graphics/FStatisticsLine.h"

#include "core/FString.h"
#include "graphics/FRenderDevice.h"

#include <cstdio>
#include <vector>

namespace {

struct StatisticsGlyph
{
    char character;
    uint8_t rows[7];
};

// Only what the line can hold: its words, digits, separators and blanks.
constexpr StatisticsGlyph k_statisticsGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}}, {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}}, {' ', {0, 0, 0, 0, 0, 0, 0}},
    {'a', {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F}}, {'e', {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E}},
    {'f', {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}}, {'k', {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12}},
    {'m', {0x00, 0x00, 0x1A, 0x15, 0x15, 0x11, 0x11}}, {'p', {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}},
    {'r', {0x00, 0x00, 0x16, 0x19, 0x10, 0x10, 0x10}}, {'s', {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E}},
    {'v', {0x00, 0x00, 0x11, 0x11, 0x11, 0x0A, 0x04}},
};

constexpr uint32_t k_statisticsColour = 0xFFFFFFFFu;

// One counter as text; the line holds unsigned counters, the formatter
// signed ones, and no process reaches 2 TB of KB counts.
std::string statisticsCounter(uint32_t value)
{
    char text[k_formatThousandsSize];
    formatThousands(static_cast<int32_t>(value > 0x7FFFFFFFu ? 0x7FFFFFFFu : value), text);
    return text;
}

} // namespace

std::string FStatisticsLine::format(uint32_t ramKB, uint32_t ramPeakKB, uint32_t vramInUse, uint32_t vramPeak,
                                    int32_t framesPerSecond)
{
    char line[k_bufferSize];
    std::snprintf(line, sizeof line, "ram:%s peak:%s vram:%s peak:%s fps:%i",
                  statisticsCounter(ramKB).c_str(), statisticsCounter(ramPeakKB).c_str(),
                  statisticsCounter(vramInUse).c_str(), statisticsCounter(vramPeak).c_str(), framesPerSecond);
    return line;
}

bool FStatisticsLine::advance(int64_t nowMs)
{
    if (!m_started || nowMs < m_windowStartMs) {
        // The first frame, or a clock that went back: start counting afresh.
        m_started = true;
        m_windowStartMs = nowMs;
        m_frames = 0;
        return false;
    }
    const int64_t elapsed = nowMs - m_windowStartMs;
    if (elapsed < 1000) return false;
    m_framesPerSecond = static_cast<int32_t>(static_cast<int64_t>(m_frames) * 1000 / elapsed);
    m_frames = 0;
    m_windowStartMs = nowMs;
    return true;
}

const uint8_t* FStatisticsLine::glyph(char c)
{
    for (const StatisticsGlyph& g : k_statisticsGlyphs)
        if (g.character == c) return g.rows;
    return nullptr;
}

void FStatisticsLine::draw(FRenderDevice& device, FPointI clientSize, std::string_view text)
{
    std::vector<FColouredVertex> vertices;
    const auto s = static_cast<float>(k_pixelScale);
    const auto height = static_cast<float>(clientSize.y);
    int32_t pen = 0;
    for (const char c : text) {
        if (const uint8_t* rows = glyph(c)) {
            for (int32_t row = 0; row < 7; ++row) {
                // One quad for every run of lit pixels in the row.
                for (int32_t column = 0; column < 5;) {
                    if ((rows[row] & (0x10 >> column)) == 0) {
                        ++column;
                        continue;
                    }
                    int32_t end = column;
                    while (end < 5 && (rows[row] & (0x10 >> end)) != 0)
                        ++end;
                    // Application units of the full-window viewport: y up.
                    const float left = static_cast<float>(pen + column * k_pixelScale);
                    const float right = static_cast<float>(pen + end * k_pixelScale);
                    const float top = height - static_cast<float>(row) * s;
                    const float bottom = top - s;
                    const FColouredVertex quad[6] = {
                        {left, top, 0.0f, k_statisticsColour},     {right, top, 0.0f, k_statisticsColour},
                        {right, bottom, 0.0f, k_statisticsColour}, {left, top, 0.0f, k_statisticsColour},
                        {right, bottom, 0.0f, k_statisticsColour}, {left, bottom, 0.0f, k_statisticsColour},
                    };
                    vertices.insert(vertices.end(), quad, quad + 6);
                    column = end;
                }
            }
        }
        pen += k_cellWidth * k_pixelScale;
    }
    device.setViewport(FRectI{0, 0, clientSize.x, clientSize.y}, clientSize);
    device.setBlendMode(k_blendAlpha);
    if (!vertices.empty())
        device.draw(k_primTriangleList, k_vertexColoured, 0, vertices.data(),
                    static_cast<int32_t>(vertices.size()));
}
