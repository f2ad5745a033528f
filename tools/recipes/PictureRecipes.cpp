// The Cairo pictures: backgrounds and their tiles, panels, buttons, frames
// and maps, each in its palette's colours.
#include "tools/recipes/RecipeKinds.h"

#include "tools/recipes/RecipeLabel.h"
#include "tools/recipes/RecipeMotif.h"
#include "tools/recipes/RecipePalette.h"
#include "tools/recipes/RecipePicture.h"
#include "tools/recipes/RecipeRandom.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int32_t k_maxSide = 8192;

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// A world's scene over w x h logical pixels: a sky gradient, the theme's
// backdrop, three layers of hills, and the theme's motif scattered over them. Tiles cut pieces of the
// same scene, so its look depends only on the palette, the seed and the size.
void drawScene(cairo_t* cr, const RecipePalette& p, uint32_t seed, double w, double h)
{
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(sky, 0, p.sky.r, p.sky.g, p.sky.b);
    const RecipeColour horizon = p.sky.mix(p.light, 0.6);
    cairo_pattern_add_color_stop_rgb(sky, 0.55, horizon.r, horizon.g, horizon.b);
    cairo_pattern_add_color_stop_rgb(sky, 1, p.ground.r, p.ground.g, p.ground.b);
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);

    RecipeRandom random(seed);
    drawRecipeBackdrop(cr, p, random, w, h);
    for (int layer = 0; layer < 3; ++layer) {
        const double base = h * (0.45 + 0.15 * layer);
        const double amplitude = h * random.uniform(0.03, 0.08);
        const double phase = random.uniform(0, 2 * M_PI);
        const double waves = random.uniform(1.5, 4.0);
        setRecipeColour(cr, p.ground.mix(p.sky, 0.45 - 0.2 * layer).mix(p.dark, 0.1 * layer));
        cairo_move_to(cr, 0, h);
        for (int i = 0; i <= 64; ++i) {
            const double x = w * i / 64.0;
            cairo_line_to(cr, x, base + amplitude * std::sin(phase + waves * 2 * M_PI * i / 64.0));
        }
        cairo_line_to(cr, w, h);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    const int count = static_cast<int>(std::clamp(w * h / 60000.0, 6.0, 120.0));
    // Far things first, so nearer ones stand in front of them.
    std::vector<std::array<double, 3>> spots(static_cast<std::size_t>(count));
    for (auto& [x, y, size] : spots) {
        x = random.uniform(0, w);
        y = random.uniform(h * 0.5, h);
        size = std::min(w, h) * random.uniform(0.04, 0.09) * (0.6 + y / h);
    }
    std::stable_sort(spots.begin(), spots.end(), [](const auto& a, const auto& b) { return a[1] < b[1]; });
    for (const auto& [x, y, size] : spots)
        drawRecipeMotif(cr, p, random, x, y, size);
}

int32_t side(const Recipe& recipe, const char* key)
{
    return recipe.integer(key, 1, k_maxSide);
}

RecipeAsset background(const Recipe& recipe)
{
    const RecipePalette& p = RecipePalette::of(recipe);
    RecipeCanvas canvas(side(recipe, "w"), side(recipe, "h"));
    drawScene(canvas.cr(), p, recipe.seed(), canvas.width(), canvas.height());
    drawRecipeLabel(canvas.cr(), recipe.text("label", ""), canvas.width() / 2.0, canvas.height() * 0.2,
                    canvas.height() * 0.08, p.ink);
    return encodeRecipePicture(recipe, canvas);
}

// One piece (x, y, w, h) of the scene of size scene_w x scene_h.
RecipeAsset tile(const Recipe& recipe)
{
    const RecipePalette& p = RecipePalette::of(recipe);
    const int32_t sceneW = recipe.integer("scene_w", 1, 65536);
    const int32_t sceneH = recipe.integer("scene_h", 1, 65536);
    RecipeCanvas canvas(side(recipe, "w"), side(recipe, "h"));
    const int32_t x = recipe.integer("x", 0, sceneW - 1, 0);
    const int32_t y = recipe.integer("y", 0, sceneH - 1, 0);
    cairo_translate(canvas.cr(), -x, -y);
    drawScene(canvas.cr(), p, recipe.seed(), sceneW, sceneH);
    return encodeRecipePicture(recipe, canvas);
}

void face(cairo_t* cr, const RecipePalette& p, const RecipeColour& top, double w, double h, double radius,
          double border)
{
    roundedRect(cr, border / 2, border / 2, w - border, h - border, radius);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, h);
    const RecipeColour bottom = top.mix(p.dark, 0.25);
    cairo_pattern_add_color_stop_rgb(fill, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    setRecipeColour(cr, p.dark);
    cairo_set_line_width(cr, border);
    cairo_stroke(cr);
}

RecipeAsset panel(const Recipe& recipe)
{
    const RecipePalette& p = RecipePalette::of(recipe);
    RecipeCanvas canvas(side(recipe, "w"), side(recipe, "h"));
    const double w = canvas.width(), h = canvas.height();
    const double border = std::max(1.0, std::min(w, h) * 0.04);
    // `corner`: the corners' radius in hundredths of the shorter side; 50 on a
    // square makes a round face, which looks the same however it is turned.
    const double corner = recipe.integer("corner", 0, 50, 12) / 100.0;
    face(canvas.cr(), p, p.light, w, h, std::min(w, h) * corner, border);
    drawRecipeLabel(canvas.cr(), recipe.text("label", ""), w / 2, h / 2, std::min(h * 0.3, w * 0.12), p.ink);
    return encodeRecipePicture(recipe, canvas);
}

// A button in one of its four states; a skin is made of the four.
RecipeAsset button(const Recipe& recipe)
{
    const RecipePalette& p = RecipePalette::of(recipe);
    const std::string state = recipe.choice("state", {"normal", "hover", "pressed", "disabled"});
    RecipeCanvas canvas(side(recipe, "w"), side(recipe, "h"));
    const double w = canvas.width(), h = canvas.height();
    RecipeColour top = p.accent;
    if (state == "hover") top = p.accent.mix(p.light, 0.35);
    if (state == "pressed") top = p.accent.mix(p.dark, 0.3);
    if (state == "disabled") top = p.accent.mix({0.6, 0.6, 0.6}, 0.8);
    const double border = std::max(1.0, std::min(w, h) * 0.06);
    cairo_save(canvas.cr());
    if (state == "pressed") cairo_translate(canvas.cr(), 0, border / 2);
    face(canvas.cr(), p, top, w, h - border / 2, h * 0.3, border);
    drawRecipeLabel(canvas.cr(), recipe.text("label", ""), w / 2, h / 2, h * 0.42,
                    state == "disabled" ? p.dark : p.ink);
    cairo_restore(canvas.cr());
    return encodeRecipePicture(recipe, canvas);
}

// A picture frame: a border of the given thickness around a clear centre.
RecipeAsset frame(const Recipe& recipe)
{
    const RecipePalette& p = RecipePalette::of(recipe);
    RecipeCanvas canvas(side(recipe, "w"), side(recipe, "h"));
    const double w = canvas.width(), h = canvas.height();
    const double border = recipe.integer("border", 1, static_cast<int32_t>(std::min(w, h) / 2), 12);
    cairo_t* cr = canvas.cr();
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_rectangle(cr, border, border, w - 2 * border, h - 2 * border);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, w, h);
    cairo_pattern_add_color_stop_rgb(fill, 0, p.accent.r, p.accent.g, p.accent.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, p.dark.r, p.dark.g, p.dark.b);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
    setRecipeColour(cr, p.ink);
    cairo_set_line_width(cr, std::max(1.0, border / 6));
    cairo_rectangle(cr, border * 0.5, border * 0.5, w - border, h - border);
    cairo_stroke(cr);
    return encodeRecipePicture(recipe, canvas);
}

// A parchment map with a dotted route through its places.
RecipeAsset map(const Recipe& recipe)
{
    const RecipePalette& p = RecipePalette::of(recipe);
    RecipeCanvas canvas(side(recipe, "w"), side(recipe, "h"));
    const double w = canvas.width(), h = canvas.height();
    cairo_t* cr = canvas.cr();
    const RecipeColour paper = p.light.mix({0.93, 0.85, 0.65}, 0.6);
    setRecipeColour(cr, paper);
    cairo_paint(cr);
    RecipeRandom random(recipe.seed());
    // `worlds` = 1: place i is world i + 1's land, drawn in that world's
    // palette below; the plain map has faint patches of its own palette.
    const bool worlds = recipe.integer("worlds", 0, 1, 0) == 1;
    for (int i = 0; i < (worlds ? 0 : 14); ++i) {
        setRecipeColour(cr, p.ground, 0.25);
        cairo_arc(cr, random.uniform(0, w), random.uniform(0, h), std::min(w, h) * random.uniform(0.05, 0.16),
                  0, 2 * M_PI);
        cairo_fill(cr);
    }
    // The places lie where the map that shows the picture puts its worlds
    // (`places`: x, y pairs as fractions of the picture), or spread evenly
    // left to right at random heights.
    std::vector<std::pair<double, double>> places;
    if (recipe.has("places")) {
        const std::vector<double> fractions = recipe.numbers("places");
        if (fractions.empty() || fractions.size() % 2 != 0 || fractions.size() > 128)
            recipe.fail("places", "wants 1 to 64 pairs of x, y fractions");
        for (std::size_t i = 0; i < fractions.size(); i += 2) {
            if (fractions[i] < 0 || fractions[i] > 1 || fractions[i + 1] < 0 || fractions[i + 1] > 1)
                recipe.fail("places", "a fraction lies outside 0 .. 1");
            places.emplace_back(w * fractions[i], h * fractions[i + 1]);
        }
    } else {
        const int spots = recipe.integer("spots", 1, 64, 12);
        for (int i = 0; i < spots; ++i)
            places.emplace_back(w * (0.08 + 0.84 * (i + 0.5) / spots), h * random.uniform(0.15, 0.85));
    }
    if (worlds) {
        if (places.size() > 12) recipe.fail("worlds", "wants at most 12 places, one per world");
        const double r = std::min(w, h) * 0.055;
        for (std::size_t i = 0; i < places.size(); ++i) {
            const RecipePalette& land = RecipePalette::ofWorld(static_cast<int>(i) + 1);
            const auto [x, y] = places[i];
            // A patch of the world's ground with a lighter heart, then a few of
            // its things (boats, stalls, cacti...) around the place.
            for (int blob = 0; blob < 5; ++blob) {
                setRecipeColour(cr, land.ground, 0.55);
                cairo_arc(cr, x + random.uniform(-0.4, 0.4) * r, y + random.uniform(-0.3, 0.3) * r,
                          r * random.uniform(0.6, 0.8), 0, 2 * M_PI);
                cairo_fill(cr);
            }
            setRecipeColour(cr, land.sky, 0.5);
            cairo_arc(cr, x, y, r * 0.45, 0, 2 * M_PI);
            cairo_fill(cr);
            const double s = r * 0.5;
            const double spots[][2] = {{-1.0, 0.5}, {1.0, 0.45}, {-0.9, -0.4}, {0.95, -0.45}};
            for (const auto& spot : spots)
                drawRecipeMotif(cr, land, random, x + spot[0] * r, y + spot[1] * r, s);
        }
    }
    const double dash[] = {std::max(2.0, w / 120), std::max(2.0, w / 160)};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_set_line_width(cr, std::max(1.0, w / 300));
    setRecipeColour(cr, p.ink, 0.8);
    for (std::size_t i = 0; i < places.size(); ++i)
        (i == 0 ? cairo_move_to : cairo_line_to)(cr, places[i].first, places[i].second);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    for (const auto& [x, y] : places) {
        setRecipeColour(cr, p.accent);
        cairo_arc(cr, x, y, std::min(w, h) * 0.02, 0, 2 * M_PI);
        cairo_fill_preserve(cr);
        setRecipeColour(cr, p.ink);
        cairo_stroke(cr);
    }
    setRecipeColour(cr, p.dark);
    cairo_set_line_width(cr, std::max(2.0, std::min(w, h) * 0.015));
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_stroke(cr);
    return encodeRecipePicture(recipe, canvas);
}

} // namespace

const std::vector<RecipeKind>& pictureRecipeKinds()
{
    static const std::vector<RecipeKind> kinds = {
        {"background", recipePictureExtension, background}, {"tile", recipePictureExtension, tile},
        {"panel", recipePictureExtension, panel},           {"button", recipePictureExtension, button},
        {"frame", recipePictureExtension, frame},           {"map", recipePictureExtension, map},
    };
    return kinds;
}

void drawRecipeScene(cairo_t* cr, const RecipePalette& palette, uint32_t seed, double width, double height)
{
    drawScene(cr, palette, seed, width, height);
}
