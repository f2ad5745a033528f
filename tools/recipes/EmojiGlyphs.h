#pragma once

// The colour glyphs of Noto Color Emoji by name ("key", "apple", "cat" ...):
// the font's 109-pixel colour bitmap strike read through FreeType once per
// glyph, kept for the life of the process and shared by every thread.

#include "tools/recipes/Recipe.h"

#include <cstdint>
#include <string>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

struct EmojiGlyph
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    std::vector<uint8_t> argb; // premultiplied, Cairo's native ARGB32 layout

    // A Cairo surface over the glyph's pixels (destroy it after use; it must
    // not outlive the glyph).
    cairo_surface_t* surface() const;
    // Draws the glyph scaled by `scale` with its centre at the origin of the
    // current transform.
    void paint(cairo_t* cr, double scale) const;
};

class EmojiGlyphs
{
public:
    static constexpr const char* k_fontPath = "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf";

    // The glyph of the recipe's "emoji" key; a RecipeError naming the key when
    // the name is unknown, a std::runtime_error when the font cannot be read.
    static const EmojiGlyph& of(const Recipe& recipe);
    // The names a recipe may use, in name order.
    static std::vector<std::string> names();
};
