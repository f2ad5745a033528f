#include "tools/recipes/RecipeCanvas.h"

#include <cairo.h>

#include <algorithm>
#include <stdexcept>
#include <string>

RecipeCanvas::RecipeCanvas(int32_t width, int32_t height)
    : m_width(width), m_height(height),
      m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), m_cr(cairo_create(m_surface))
{
    if (cairo_surface_status(m_surface) != CAIRO_STATUS_SUCCESS ||
        cairo_status(m_cr) != CAIRO_STATUS_SUCCESS) {
        const std::string reason = cairo_status_to_string(cairo_surface_status(m_surface));
        cairo_destroy(m_cr);
        cairo_surface_destroy(m_surface);
        throw std::runtime_error("cannot make a " + std::to_string(width) + " x " + std::to_string(height) +
                                 " picture: " + reason);
    }
}

RecipeCanvas::~RecipeCanvas()
{
    cairo_destroy(m_cr);
    cairo_surface_destroy(m_surface);
}

std::vector<uint8_t> RecipeCanvas::rgba(const RecipeRect& area) const
{
    cairo_surface_flush(m_surface);
    const uint8_t* data = cairo_image_surface_get_data(m_surface);
    const int stride = cairo_image_surface_get_stride(m_surface);
    std::vector<uint8_t> out;
    out.reserve(static_cast<std::size_t>(area.w) * area.h * 4);
    for (int32_t y = area.y; y < area.y + area.h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int32_t x = area.x; x < area.x + area.w; ++x) {
            // Native-endian premultiplied ARGB words.
            const uint32_t p = row[x];
            const uint32_t a = p >> 24;
            uint32_t c[3] = {(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF};
            for (uint32_t& v : c)
                v = a == 0 ? 0 : std::min<uint32_t>(255, (v * 255 + a / 2) / a);
            out.insert(out.end(), {static_cast<uint8_t>(c[0]), static_cast<uint8_t>(c[1]),
                                   static_cast<uint8_t>(c[2]), static_cast<uint8_t>(a)});
        }
    }
    return out;
}

RecipeRect RecipeCanvas::inkBounds() const
{
    cairo_surface_flush(m_surface);
    const uint8_t* data = cairo_image_surface_get_data(m_surface);
    const int stride = cairo_image_surface_get_stride(m_surface);
    int32_t left = m_width, top = m_height, right = -1, bottom = -1;
    for (int32_t y = 0; y < m_height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int32_t x = 0; x < m_width; ++x) {
            if ((row[x] >> 24) == 0) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    return {left, top, right - left + 1, bottom - top + 1};
}
