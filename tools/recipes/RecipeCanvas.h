#pragma once

// A Cairo picture for the recipes: an ARGB32 surface and its drawing context,
// freed together, and the picture's pixels in the form the image writers take.

#include <cstdint>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

struct RecipeRect
{
    int32_t x = 0, y = 0, w = 0, h = 0; // y downward from the top
    bool empty() const { return w <= 0 || h <= 0; }
};

class RecipeCanvas
{
public:
    // A transparent picture; throws std::runtime_error when Cairo cannot make it.
    RecipeCanvas(int32_t width, int32_t height);
    ~RecipeCanvas();
    RecipeCanvas(const RecipeCanvas&) = delete;
    RecipeCanvas& operator=(const RecipeCanvas&) = delete;

    cairo_t* cr() const { return m_cr; }
    cairo_surface_t* surface() const { return m_surface; }
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }

    // Straight (not premultiplied) R, G, B, A bytes of `area`, top row first.
    std::vector<uint8_t> rgba(const RecipeRect& area) const;
    std::vector<uint8_t> rgba() const { return rgba({0, 0, m_width, m_height}); }
    // The smallest rectangle holding every pixel whose alpha is not 0; empty
    // when there is none.
    RecipeRect inkBounds() const;

private:
    int32_t m_width;
    int32_t m_height;
    cairo_surface_t* m_surface;
    cairo_t* m_cr;
};
