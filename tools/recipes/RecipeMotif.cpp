#include "tools/recipes/RecipeMotif.h"

#include <cmath>

namespace {

using Motif = RecipePalette::Motif;

void disc(cairo_t* cr, double x, double y, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
}

// An ellipse with radii rx and ry around (x, y), turned by `angle` radians.
void ellipse(cairo_t* cr, double x, double y, double rx, double ry, double angle = 0)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    cairo_scale(cr, rx, ry);
    disc(cr, 0, 0, 1);
    cairo_restore(cr);
}

void triangle(cairo_t* cr, double x0, double y0, double x1, double y1, double x2, double y2)
{
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_close_path(cr);
}

void sun(cairo_t* cr, const RecipeColour& colour, double x, double y, double r)
{
    setRecipeColour(cr, colour, 0.35);
    disc(cr, x, y, r * 1.4);
    cairo_fill(cr);
    setRecipeColour(cr, colour);
    disc(cr, x, y, r);
    cairo_fill(cr);
}

// A soft cloud of overlapping discs, `r` the radius of its middle one.
void cloud(cairo_t* cr, const RecipeColour& colour, double alpha, double x, double y, double r)
{
    setRecipeColour(cr, colour, alpha);
    disc(cr, x, y, r);
    disc(cr, x - r * 0.9, y + r * 0.3, r * 0.7);
    disc(cr, x + r * 0.9, y + r * 0.3, r * 0.75);
    disc(cr, x + r * 0.3, y - r * 0.4, r * 0.7);
    cairo_fill(cr);
}

// A crenellated tower with a pennant, its foot at (x, y).
void tower(cairo_t* cr, const RecipePalette& p, const RecipeColour& stone, double x, double y, double w,
           double h)
{
    setRecipeColour(cr, stone);
    cairo_rectangle(cr, x - w / 2, y - h, w, h);
    for (int k = 0; k < 3; ++k)
        cairo_rectangle(cr, x - w / 2 + k * w * 0.4, y - h - w * 0.22, w * 0.2, w * 0.22);
    cairo_fill(cr);
    setRecipeColour(cr, p.dark);
    cairo_rectangle(cr, x - w * 0.08, y - h * 0.7, w * 0.16, h * 0.18);
    cairo_fill(cr);
    cairo_set_line_width(cr, w * 0.05);
    cairo_move_to(cr, x, y - h - w * 0.2);
    cairo_line_to(cr, x, y - h - w * 0.9);
    cairo_stroke(cr);
    setRecipeColour(cr, p.accent);
    triangle(cr, x, y - h - w * 0.9, x + w * 0.5, y - h - w * 0.75, x, y - h - w * 0.6);
    cairo_fill(cr);
}

void backdrop(cairo_t* cr, const RecipePalette& p, RecipeRandom& random, double w, double h)
{
    switch (p.motif) {
    case Motif::boats: { // a lighthouse on a headland
        setRecipeColour(cr, p.dark.mix(p.sky, 0.5));
        cairo_move_to(cr, w * 0.7, h * 0.5);
        cairo_curve_to(cr, w * 0.78, h * 0.36, w * 0.9, h * 0.34, w, h * 0.33);
        cairo_line_to(cr, w, h * 0.5);
        cairo_close_path(cr);
        cairo_fill(cr);
        const double x = w * 0.86, y = h * 0.35, s = h * 0.16;
        for (int band = 0; band < 4; ++band) {
            setRecipeColour(cr, band % 2 == 0 ? p.light : RecipeColour{0.8, 0.15, 0.15});
            cairo_rectangle(cr, x - s * 0.12, y - s * (band + 1) / 4, s * 0.24, s / 4);
            cairo_fill(cr);
        }
        sun(cr, p.glow, x, y - s * 1.05, s * 0.1);
        break;
    }
    case Motif::fruitTrees:
    case Motif::trees:
    case Motif::flowers:
        sun(cr, p.glow, w * random.uniform(0.1, 0.9), h * 0.12, h * 0.06);
        for (int k = 0; k < 4; ++k)
            cloud(cr, p.light, 0.8, w * random.uniform(0, 1), h * random.uniform(0.08, 0.3), h * 0.04);
        break;
    case Motif::stalls: // the town's gabled houses along the square
        for (double x = 0; x < w; x += h * 0.14) {
            const double hw = h * 0.07, top = h * random.uniform(0.3, 0.38);
            setRecipeColour(cr, p.light.mix(p.accent, random.uniform(0.0, 0.35)).mix(p.dark, 0.15));
            cairo_rectangle(cr, x, top, hw * 2, h * 0.55 - top);
            cairo_fill(cr);
            setRecipeColour(cr, p.dark.mix(p.accent, 0.3));
            triangle(cr, x - hw * 0.1, top, x + hw, top - hw * 0.8, x + hw * 2.1, top);
            cairo_fill(cr);
            setRecipeColour(cr, p.dark.mix(p.sky, 0.3));
            for (int row = 0; row < 2; ++row)
                for (int col = 0; col < 2; ++col)
                    cairo_rectangle(cr, x + hw * (0.35 + col * 0.9), top + hw * (0.4 + row * 0.9), hw * 0.4,
                                    hw * 0.5);
            cairo_fill(cr);
        }
        break;
    case Motif::palms: // a far island and the sun over the lagoon
        sun(cr, p.glow, w * 0.2, h * 0.15, h * 0.07);
        setRecipeColour(cr, p.ground.mix(p.dark, 0.4));
        cairo_move_to(cr, w * 0.55, h * 0.47);
        cairo_curve_to(cr, w * 0.6, h * 0.36, w * 0.75, h * 0.36, w * 0.8, h * 0.47);
        cairo_close_path(cr);
        cairo_fill(cr);
        break;
    case Motif::mesas:
    case Motif::cacti: { // far flat-topped rocks, or pyramids under a big sun
        sun(cr, p.glow, w * 0.78, h * 0.14, h * 0.08);
        setRecipeColour(cr, p.ground.mix(p.sky, 0.35));
        for (int k = 0; k < 4; ++k) {
            const double x = w * (0.1 + 0.25 * k) + w * random.uniform(-0.05, 0.05);
            const double s = h * random.uniform(0.14, 0.24);
            if (p.motif == Motif::mesas) {
                cairo_move_to(cr, x - s * 1.1, h * 0.5);
                cairo_line_to(cr, x - s * 0.7, h * 0.5 - s);
                cairo_line_to(cr, x + s * 0.7, h * 0.5 - s);
                cairo_line_to(cr, x + s * 1.1, h * 0.5);
                cairo_close_path(cr);
            } else {
                triangle(cr, x - s, h * 0.5, x, h * 0.5 - s * 0.8, x + s, h * 0.5);
            }
            cairo_fill(cr);
        }
        break;
    }
    case Motif::icebergs: // a range of snowy peaks
        for (int k = 0; k < 6; ++k) {
            const double x = w * (k + random.uniform(0.2, 0.8)) / 6, s = h * random.uniform(0.18, 0.3);
            setRecipeColour(cr, p.dark.mix(p.sky, 0.45));
            triangle(cr, x - s * 1.2, h * 0.5, x, h * 0.5 - s, x + s * 1.2, h * 0.5);
            cairo_fill(cr);
            setRecipeColour(cr, p.light);
            triangle(cr, x - s * 0.42, h * 0.5 - s * 0.65, x, h * 0.5 - s, x + s * 0.42, h * 0.5 - s * 0.65);
            cairo_fill(cr);
        }
        break;
    case Motif::leaves: // vines hanging from the canopy
        cairo_set_line_width(cr, h * 0.008);
        for (int k = 0; k < 14; ++k) {
            const double x = w * random.uniform(0, 1), length = h * random.uniform(0.12, 0.4);
            setRecipeColour(cr, p.dark.mix(p.ground, 0.5));
            cairo_move_to(cr, x, 0);
            cairo_curve_to(cr, x - h * 0.04, length * 0.4, x + h * 0.04, length * 0.7, x, length);
            cairo_stroke(cr);
            setRecipeColour(cr, p.ground.mix(p.sky, 0.2));
            for (double y = length * 0.2; y < length; y += h * 0.05) {
                ellipse(cr, x, y, h * 0.02, h * 0.01);
            }
            cairo_fill(cr);
        }
        break;
    case Motif::battlements: // the keep on its hill
        tower(cr, p, p.dark.mix(p.sky, 0.55), w * 0.5, h * 0.48, h * 0.12, h * 0.3);
        tower(cr, p, p.dark.mix(p.sky, 0.6), w * 0.4, h * 0.48, h * 0.08, h * 0.2);
        tower(cr, p, p.dark.mix(p.sky, 0.6), w * 0.6, h * 0.48, h * 0.08, h * 0.2);
        break;
    case Motif::coral: // light falling through the water
        for (int k = 0; k < 7; ++k) {
            const double x = w * random.uniform(0, 1), spread = w * random.uniform(0.03, 0.07);
            setRecipeColour(cr, p.light, 0.12);
            cairo_move_to(cr, x - spread * 0.3, 0);
            cairo_line_to(cr, x + spread * 0.3, 0);
            cairo_line_to(cr, x + spread * 2.5, h * 0.8);
            cairo_line_to(cr, x + spread, h * 0.8);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
        break;
    case Motif::cones: { // the great volcano, smoking
        const double x = w * 0.5, top = h * 0.18;
        setRecipeColour(cr, p.dark.mix(p.sky, 0.3));
        cairo_move_to(cr, x - w * 0.35, h * 0.55);
        cairo_line_to(cr, x - w * 0.05, top);
        cairo_line_to(cr, x + w * 0.05, top);
        cairo_line_to(cr, x + w * 0.35, h * 0.55);
        cairo_close_path(cr);
        cairo_fill(cr);
        setRecipeColour(cr, p.accent);
        cairo_set_line_width(cr, h * 0.012);
        for (int k = -1; k <= 1; ++k) {
            cairo_move_to(cr, x + k * w * 0.02, top);
            cairo_curve_to(cr, x + k * w * 0.05, h * 0.3, x + k * w * 0.1, h * 0.4, x + k * w * 0.16,
                           h * 0.52);
            cairo_stroke(cr);
        }
        for (int k = 0; k < 5; ++k)
            cloud(cr, RecipeColour{0.35, 0.3, 0.3}, 0.6, x + w * 0.04 * k, top - h * 0.05 * (k + 1),
                  h * (0.035 + 0.01 * k));
        break;
    }
    case Motif::clouds:
        sun(cr, p.glow, w * 0.85, h * 0.12, h * 0.06);
        for (int k = 0; k < 8; ++k)
            cloud(cr, p.light, 0.9, w * random.uniform(0, 1), h * random.uniform(0.08, 0.42),
                  h * random.uniform(0.03, 0.06));
        break;
    case Motif::stars:
        for (int k = 0; k < 120; ++k) {
            setRecipeColour(cr, p.ink, random.uniform(0.3, 1.0));
            disc(cr, w * random.uniform(0, 1), h * random.uniform(0, 0.5), h * random.uniform(0.001, 0.003));
            cairo_fill(cr);
        }
        break;
    }
}

void motif(cairo_t* cr, const RecipePalette& p, RecipeRandom& random, double x, double y, double s)
{
    switch (p.motif) {
    case Motif::trees:
    case Motif::fruitTrees:
        setRecipeColour(cr, p.dark);
        cairo_rectangle(cr, x - s * 0.08, y - s * 0.5, s * 0.16, s * 0.5);
        cairo_fill(cr);
        setRecipeColour(cr, p.ground.mix(p.sky, random.uniform(0.0, 0.25)).mix(p.dark, 0.2));
        if (p.motif == Motif::trees) {
            triangle(cr, x - s * 0.45, y - s * 0.35, x, y - s * 1.4, x + s * 0.45, y - s * 0.35);
            cairo_fill(cr);
            break;
        }
        disc(cr, x, y - s * 0.85, s * 0.45);
        cairo_fill(cr);
        setRecipeColour(cr, p.accent.mix({0.9, 0.2, 0.1}, 0.5));
        for (int k = 0; k < 6; ++k)
            disc(cr, x + random.uniform(-0.32, 0.32) * s, y - s * (0.85 + random.uniform(-0.3, 0.3)),
                 s * 0.07);
        cairo_fill(cr);
        break;
    case Motif::flowers:
        for (int k = 0; k < 5; ++k) {
            const double a = k * 2 * M_PI / 5;
            setRecipeColour(cr, p.accent.mix(p.light, random.uniform(0.0, 0.4)));
            disc(cr, x + std::cos(a) * s * 0.22, y - s * 0.5 + std::sin(a) * s * 0.22, s * 0.16);
            cairo_fill(cr);
        }
        setRecipeColour(cr, p.glow);
        disc(cr, x, y - s * 0.5, s * 0.12);
        cairo_fill(cr);
        break;
    case Motif::boats: {
        setRecipeColour(cr, p.light, 0.7);
        cairo_set_line_width(cr, s * 0.05);
        cairo_move_to(cr, x - s * 0.8, y + s * 0.1);
        cairo_curve_to(cr, x - s * 0.4, y - s * 0.1, x + s * 0.4, y + s * 0.3, x + s * 0.8, y + s * 0.1);
        cairo_stroke(cr);
        setRecipeColour(cr, p.dark.mix(p.accent, random.uniform(0.0, 0.5)));
        cairo_move_to(cr, x - s * 0.5, y - s * 0.2);
        cairo_line_to(cr, x + s * 0.5, y - s * 0.2);
        cairo_line_to(cr, x + s * 0.35, y);
        cairo_line_to(cr, x - s * 0.35, y);
        cairo_close_path(cr);
        cairo_fill(cr);
        setRecipeColour(cr, p.light);
        triangle(cr, x - s * 0.02, y - s * 0.25, x - s * 0.02, y - s * 1.1, x + s * 0.4, y - s * 0.25);
        cairo_fill(cr);
        break;
    }
    case Motif::stalls: {
        const RecipeColour cloth = random.uniform(0, 1) < 0.5 ? p.accent : RecipeColour{0.2, 0.5, 0.8};
        setRecipeColour(cr, p.dark);
        cairo_rectangle(cr, x - s * 0.5, y - s * 0.9, s * 0.06, s * 0.9);
        cairo_rectangle(cr, x + s * 0.44, y - s * 0.9, s * 0.06, s * 0.9);
        cairo_fill(cr);
        setRecipeColour(cr, p.dark.mix(p.light, 0.4));
        cairo_rectangle(cr, x - s * 0.55, y - s * 0.4, s * 1.1, s * 0.3);
        cairo_fill(cr);
        for (int k = 0; k < 6; ++k) {
            setRecipeColour(cr, k % 2 == 0 ? cloth : p.light);
            cairo_move_to(cr, x - s * 0.6 + k * s * 0.2, y - s * 1.0);
            cairo_line_to(cr, x - s * 0.4 + k * s * 0.2, y - s * 1.0);
            cairo_line_to(cr, x - s * 0.4 + k * s * 0.2, y - s * 0.75);
            cairo_line_to(cr, x - s * 0.6 + k * s * 0.2, y - s * 0.8);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
        break;
    }
    case Motif::palms: {
        setRecipeColour(cr, p.light.mix(p.glow, 0.4));
        ellipse(cr, x, y, s * 0.7, s * 0.15);
        cairo_fill(cr);
        setRecipeColour(cr, p.dark.mix(p.accent, 0.4));
        cairo_set_line_width(cr, s * 0.08);
        const double lean = random.uniform(-0.3, 0.3) * s;
        cairo_move_to(cr, x, y);
        cairo_curve_to(cr, x, y - s * 0.6, x + lean, y - s * 0.9, x + lean, y - s * 1.2);
        cairo_stroke(cr);
        setRecipeColour(cr, RecipeColour{0.15, 0.55, 0.2});
        cairo_set_line_width(cr, s * 0.1);
        for (int k = 0; k < 5; ++k) {
            const double a = M_PI + k * M_PI / 4;
            cairo_move_to(cr, x + lean, y - s * 1.2);
            cairo_curve_to(cr, x + lean + std::cos(a) * s * 0.3, y - s * 1.4 + std::sin(a) * s * 0.3,
                           x + lean + std::cos(a) * s * 0.6, y - s * 1.2 + std::sin(a) * s * 0.3,
                           x + lean + std::cos(a) * s * 0.7, y - s * 1.0);
            cairo_stroke(cr);
        }
        break;
    }
    case Motif::mesas: {
        setRecipeColour(cr, p.ground.mix(p.dark, random.uniform(0.15, 0.4)));
        cairo_move_to(cr, x - s * 0.7, y);
        cairo_line_to(cr, x - s * 0.4, y - s * 0.8);
        cairo_line_to(cr, x + s * 0.4, y - s * 0.8);
        cairo_line_to(cr, x + s * 0.7, y);
        cairo_close_path(cr);
        cairo_fill(cr);
        setRecipeColour(cr, p.light, 0.3);
        cairo_rectangle(cr, x - s * 0.5, y - s * 0.55, s, s * 0.06);
        cairo_rectangle(cr, x - s * 0.6, y - s * 0.3, s * 1.2, s * 0.06);
        cairo_fill(cr);
        break;
    }
    case Motif::icebergs:
        setRecipeColour(cr, p.light);
        cairo_move_to(cr, x - s * 0.6, y);
        cairo_line_to(cr, x - s * 0.3, y - s * 0.7);
        cairo_line_to(cr, x, y - s * 0.5);
        cairo_line_to(cr, x + s * 0.2, y - s * 0.9);
        cairo_line_to(cr, x + s * 0.6, y);
        cairo_close_path(cr);
        cairo_fill(cr);
        setRecipeColour(cr, p.accent, 0.35);
        triangle(cr, x + s * 0.2, y - s * 0.9, x + s * 0.6, y, x + s * 0.1, y);
        cairo_fill(cr);
        break;
    case Motif::leaves:
        for (int k = 0; k < 5; ++k) {
            const double a = -M_PI / 2 + (k - 2) * 0.45;
            setRecipeColour(cr, p.ground.mix(p.sky, random.uniform(0.05, 0.35)));
            ellipse(cr, x + std::cos(a) * s * 0.45, y + std::sin(a) * s * 0.45, s * 0.45, s * 0.16, a);
            cairo_fill(cr);
        }
        break;
    case Motif::battlements:
        tower(cr, p, p.dark.mix(p.sky, random.uniform(0.1, 0.4)), x, y, s * 0.45, s * 1.1);
        break;
    case Motif::cacti: {
        setRecipeColour(cr, p.ground.mix(p.dark, random.uniform(0.05, 0.2)));
        cairo_arc(cr, x, y + s * 0.2, s * 0.7, M_PI, 2 * M_PI);
        cairo_fill(cr);
        setRecipeColour(cr, RecipeColour{0.25, 0.5, 0.25});
        cairo_set_line_width(cr, s * 0.14);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(cr, x, y - s * 0.3);
        cairo_line_to(cr, x, y - s * 1.1);
        cairo_move_to(cr, x, y - s * 0.6);
        cairo_line_to(cr, x - s * 0.25, y - s * 0.6);
        cairo_line_to(cr, x - s * 0.25, y - s * 0.85);
        cairo_move_to(cr, x, y - s * 0.75);
        cairo_line_to(cr, x + s * 0.22, y - s * 0.75);
        cairo_line_to(cr, x + s * 0.22, y - s * 0.95);
        cairo_stroke(cr);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        break;
    }
    case Motif::coral: {
        setRecipeColour(cr, p.accent.mix(p.glow, random.uniform(0.0, 0.5)));
        cairo_set_line_width(cr, s * 0.1);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        for (int k = 0; k < 4; ++k) {
            const double a = -M_PI / 2 + (k - 1.5) * 0.4;
            const double tx = x + std::cos(a) * s * 0.7, ty = y + std::sin(a) * s * 0.8;
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, tx, ty);
            cairo_move_to(cr, (x + tx) / 2, (y + ty) / 2);
            cairo_line_to(cr, (x + tx) / 2 + std::cos(a - 0.6) * s * 0.3,
                          (y + ty) / 2 + std::sin(a - 0.6) * s * 0.3);
        }
        cairo_stroke(cr);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        setRecipeColour(cr, p.light, 0.6);
        cairo_set_line_width(cr, s * 0.02);
        for (int k = 0; k < 3; ++k) {
            disc(cr, x + random.uniform(-0.3, 0.3) * s, y - s * (1.0 + k * 0.25), s * (0.04 + 0.02 * k));
            cairo_stroke(cr);
        }
        break;
    }
    case Motif::cones: {
        setRecipeColour(cr, p.dark.mix(p.ground, random.uniform(0.0, 0.5)));
        triangle(cr, x - s * 0.6, y, x, y - s * 0.7, x + s * 0.6, y);
        cairo_fill(cr);
        setRecipeColour(cr, p.accent);
        cairo_set_line_width(cr, s * 0.06);
        cairo_move_to(cr, x, y - s * 0.7);
        cairo_curve_to(cr, x + s * 0.05, y - s * 0.5, x - s * 0.1, y - s * 0.3, x + s * 0.05, y);
        cairo_stroke(cr);
        break;
    }
    case Motif::clouds: {
        cloud(cr, p.light, 0.95, x, y - s * 0.2, s * 0.3);
        const double top = y - s * random.uniform(1.2, 2.0);
        setRecipeColour(cr, p.accent.mix(p.light, random.uniform(0.0, 0.4)));
        ellipse(cr, x, top, s * 0.3, s * 0.36);
        cairo_fill(cr);
        setRecipeColour(cr, p.dark);
        cairo_set_line_width(cr, s * 0.02);
        cairo_move_to(cr, x - s * 0.2, top + s * 0.22);
        cairo_line_to(cr, x - s * 0.08, top + s * 0.5);
        cairo_move_to(cr, x + s * 0.2, top + s * 0.22);
        cairo_line_to(cr, x + s * 0.08, top + s * 0.5);
        cairo_stroke(cr);
        cairo_rectangle(cr, x - s * 0.1, top + s * 0.5, s * 0.2, s * 0.12);
        cairo_fill(cr);
        break;
    }
    case Motif::stars:
        setRecipeColour(cr, p.glow, random.uniform(0.5, 1.0));
        for (int k = 0; k < 10; ++k) {
            const double a = k * M_PI / 5 - M_PI / 2;
            const double r = (k % 2 == 0 ? 0.3 : 0.12) * s;
            cairo_line_to(cr, x + std::cos(a) * r, y - s * 2 + std::sin(a) * r);
        }
        cairo_close_path(cr);
        cairo_fill(cr);
        break;
    }
}

} // namespace

void setRecipeColour(cairo_t* cr, const RecipeColour& colour, double alpha)
{
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
}

void drawRecipeBackdrop(cairo_t* cr, const RecipePalette& palette, RecipeRandom& random, double w, double h)
{
    cairo_save(cr);
    backdrop(cr, palette, random, w, h);
    cairo_restore(cr);
}

void drawRecipeMotif(cairo_t* cr, const RecipePalette& palette, RecipeRandom& random, double x, double y,
                     double s)
{
    cairo_save(cr);
    motif(cr, palette, random, x, y, s);
    cairo_restore(cr);
}
