// Hidden objects: an emoji glyph scaled, rotated and placed in its world's
// scene, stored trimmed to its inked pixels with the placement trailer that
// puts it back in the scene ("item"); the same with a glowing outline
// ("item_bling"); and the glyph fitted upright into a square ("item_panel").
// The three kinds read the same keys, so a manifest gives an item and its
// companions one recipe that differs only in its kind.
#include "tools/recipes/RecipeKinds.h"

#include "tools/recipes/EmojiGlyphs.h"
#include "tools/recipes/RecipePalette.h"
#include "tools/recipes/RecipePicture.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

struct ItemPlacement
{
    int32_t sceneW = 0, sceneH = 0;
    double x = 0, y = 0; // the item's centre in the scene
    double size = 0;     // the glyph's drawn height
    double angle = 0;    // degrees, clockwise
};

ItemPlacement placementOf(const Recipe& recipe)
{
    ItemPlacement p;
    p.sceneW = recipe.integer("scene_w", 1, 16384, 2400);
    p.sceneH = recipe.integer("scene_h", 1, 16384, 1600);
    p.x = recipe.number("x");
    p.y = recipe.number("y");
    p.size = recipe.number("size");
    if (p.size < 4 || p.size > 2048) recipe.fail("size", "the item's size must lie in 4..2048 pixels");
    p.angle = recipe.number("angle", 0);
    return p;
}

// The part of the scene the placed glyph may reach: its rotated box grown by
// `margin`, clipped to the scene.
RecipeRect reach(const Recipe& recipe, const ItemPlacement& p, const EmojiGlyph& glyph, double margin)
{
    const double scale = p.size / glyph.height;
    const double a = p.angle * M_PI / 180;
    const double hw = glyph.width * scale / 2, hh = glyph.height * scale / 2;
    const double ex = std::abs(hw * std::cos(a)) + std::abs(hh * std::sin(a)) + margin + 2;
    const double ey = std::abs(hw * std::sin(a)) + std::abs(hh * std::cos(a)) + margin + 2;
    const int32_t left = std::max(0, static_cast<int32_t>(std::floor(p.x - ex)));
    const int32_t top = std::max(0, static_cast<int32_t>(std::floor(p.y - ey)));
    const int32_t right = std::min(p.sceneW, static_cast<int32_t>(std::ceil(p.x + ex)));
    const int32_t bottom = std::min(p.sceneH, static_cast<int32_t>(std::ceil(p.y + ey)));
    if (right <= left || bottom <= top) recipe.fail("x", "the item lies outside its scene");
    return {left, top, right - left, bottom - top};
}

void drawPlaced(cairo_t* cr, const ItemPlacement& p, const EmojiGlyph& glyph, const RecipeRect& box)
{
    cairo_save(cr);
    cairo_translate(cr, p.x - box.x, p.y - box.y);
    cairo_rotate(cr, p.angle * M_PI / 180);
    glyph.paint(cr, p.size / glyph.height);
    cairo_restore(cr);
}

RecipeAsset trimmed(const Recipe& recipe, const RecipeCanvas& canvas, const ItemPlacement& p,
                    const RecipeRect& box)
{
    const RecipeRect ink = canvas.inkBounds();
    if (ink.empty()) recipe.fail("x", "no pixel of the item lies inside its scene");
    return encodeRecipePicture(recipe, canvas, ink, {box.x + ink.x, box.y + ink.y, p.sceneW, p.sceneH});
}

RecipeAsset item(const Recipe& recipe)
{
    const EmojiGlyph& glyph = EmojiGlyphs::of(recipe);
    const ItemPlacement p = placementOf(recipe);
    const RecipeRect box = reach(recipe, p, glyph, 0);
    RecipeCanvas canvas(box.w, box.h);
    drawPlaced(canvas.cr(), p, glyph, box);
    return trimmed(recipe, canvas, p, box);
}

// The item over a glow: its silhouette spread in rings around it, in the
// palette's glow colour, fading outward.
RecipeAsset bling(const Recipe& recipe)
{
    const EmojiGlyph& glyph = EmojiGlyphs::of(recipe);
    const ItemPlacement p = placementOf(recipe);
    const double glow = recipe.integer("glow", 1, 64, 10);
    const RecipeColour colour = RecipePalette::of(recipe).glow;
    const RecipeRect box = reach(recipe, p, glyph, glow);
    RecipeCanvas silhouette(box.w, box.h);
    drawPlaced(silhouette.cr(), p, glyph, box);
    RecipeCanvas canvas(box.w, box.h);
    cairo_t* cr = canvas.cr();
    constexpr int k_directions = 16;
    const std::array<std::pair<double, double>, 2> rings = {{{1.0, 0.4}, {0.5, 1.0}}};
    for (const auto& [radius, alpha] : rings) {
        cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
        for (int k = 0; k < k_directions; ++k) {
            const double a = k * 2 * M_PI / k_directions;
            // Whole-pixel offsets keep Cairo on its fast, unfiltered path.
            cairo_mask_surface(cr, silhouette.surface(), std::round(glow * radius * std::cos(a)),
                               std::round(glow * radius * std::sin(a)));
        }
    }
    cairo_set_source_surface(cr, silhouette.surface(), 0, 0);
    cairo_paint(cr);
    return trimmed(recipe, canvas, p, box);
}

// The glyph upright, fitted into an icon x icon square with a small margin.
RecipeAsset panel(const Recipe& recipe)
{
    const EmojiGlyph& glyph = EmojiGlyphs::of(recipe);
    const int32_t icon = recipe.integer("icon", 8, 1024, 96);
    RecipeCanvas canvas(icon, icon);
    cairo_translate(canvas.cr(), icon / 2.0, icon / 2.0);
    glyph.paint(canvas.cr(), icon * 0.88 / std::max(glyph.width, glyph.height));
    return encodeRecipePicture(recipe, canvas);
}

} // namespace

const std::vector<RecipeKind>& itemRecipeKinds()
{
    static const std::vector<RecipeKind> kinds = {
        {"item", recipePictureExtension, item},
        {"item_bling", recipePictureExtension, bling},
        {"item_panel", recipePictureExtension, panel},
    };
    return kinds;
}
