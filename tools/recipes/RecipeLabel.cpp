#include "tools/recipes/RecipeLabel.h"

#include <cairo-ft.h>
#include <cairo.h>

#include <mutex>
#include <stdexcept>
#include <string>

namespace {

constexpr const char* k_labelFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr double k_labelRoom = 0.9;

// The face is opened once and kept for the process: Cairo's font face holds
// the FreeType face, which must outlive every scaled font made from it.
cairo_font_face_t* labelFace()
{
    static std::once_flag once;
    static cairo_font_face_t* face = nullptr;
    static FT_Library library = nullptr;
    static FT_Face ftFace = nullptr;
    std::call_once(once, [] {
        if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, k_labelFont, 0, &ftFace) != 0) return;
        face = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
    });
    if (face == nullptr) throw std::runtime_error(std::string("cannot read the label font ") + k_labelFont);
    return face;
}

} // namespace

void drawRecipeLabel(cairo_t* cr, const std::string& text, double cx, double cy, double size,
                     const RecipeColour& colour)
{
    if (text.empty()) return;
    cairo_set_font_face(cr, labelFace());
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    // A text wider than its picture would be cut at both sides: it is made
    // smaller until it fits within nine tenths of the picture's width (a few
    // steps, since glyph widths are rounded to whole pixels at each size).
    const double room = cairo_image_surface_get_width(cairo_get_target(cr)) * k_labelRoom;
    for (int step = 0; step < 8 && extents.width > room && extents.width > 0; ++step) {
        size *= room / extents.width * 0.98;
        cairo_set_font_size(cr, size);
        cairo_text_extents(cr, text.c_str(), &extents);
    }
    cairo_move_to(cr, cx - extents.width / 2 - extents.x_bearing,
                  cy - extents.height / 2 - extents.y_bearing);
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    cairo_show_text(cr, text.c_str());
}
