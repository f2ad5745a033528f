// Clips: frames drawn with Cairo (the world's scene, slowly panned, with
// seeded sparkles drifting over it and an optional caption), written as GW
// video (frames as PNG or JPEG pictures; it knows its length, so it can be
// played backwards or sought to its end) or as Theora.
#include "tools/recipes/RecipeKinds.h"

#include "tools/recipes/EmojiGlyphs.h"
#include "tools/recipes/RecipeCanvas.h"
#include "tools/recipes/RecipeLabel.h"
#include "tools/recipes/RecipePalette.h"
#include "tools/recipes/RecipeRandom.h"
#include "tools/videowriters/GwVideoWriter.h"
#include "tools/videowriters/TheoraWriter.h"

#include <cairo.h>

#include <cmath>

namespace {

const std::vector<std::string> k_formats = {"gwvideo", "theora"};

std::string extension(const Recipe& recipe)
{
    return "." + recipe.choice("format", k_formats);
}

struct Sparkle
{
    double x, y, dx, dy, radius, phase;
};

// Frame n of the clip into `canvas`.
void drawFrame(const RecipeCanvas& canvas, const RecipeCanvas& scene, const RecipePalette& p,
               const std::vector<Sparkle>& sparkles, int32_t n, int32_t frames, const std::string& caption,
               const EmojiGlyph* figure, double bob)
{
    cairo_t* cr = canvas.cr();
    const double w = canvas.width(), h = canvas.height();
    const double u = frames > 1 ? static_cast<double>(n) / (frames - 1) : 0;
    cairo_set_source_surface(cr, scene.surface(), -(scene.width() - w) * u, 0);
    cairo_paint(cr);
    for (const Sparkle& s : sparkles) {
        const double x = std::fmod(s.x + s.dx * n + w * 4, w);
        const double y = std::fmod(s.y + s.dy * n + h * 4, h);
        const double alpha = 0.5 + 0.5 * std::sin(s.phase + n * 0.4);
        cairo_set_source_rgba(cr, p.glow.r, p.glow.g, p.glow.b, alpha);
        cairo_arc(cr, x, y, s.radius, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    // The clip's figure stands in the middle; one that talks bobs up and down.
    if (figure != nullptr) {
        cairo_save(cr);
        cairo_translate(cr, w / 2, h * 0.45 - bob * std::fabs(std::sin(n * 0.9)));
        figure->paint(cr, std::min(w, h) * 0.6 / std::max(figure->width, figure->height));
        cairo_restore(cr);
    }
    drawRecipeLabel(cr, caption, w / 2, h * 0.82, h * 0.09, p.light);
}

RecipeAsset clip(const Recipe& recipe)
{
    const std::string format = recipe.choice("format", k_formats);
    const RecipePalette& p = RecipePalette::of(recipe);
    const int32_t w = recipe.integer("w", 16, 2048);
    const int32_t h = recipe.integer("h", 16, 2048);
    const int32_t frames = recipe.integer("frames", 1, 2000);
    const int32_t fps = recipe.integer("fps", 1, 60, 25);
    const std::string caption = recipe.text("label", "");
    const uint32_t seed = recipe.seed();
    const EmojiGlyph* figure = recipe.has("emoji") ? &EmojiGlyphs::of(recipe) : nullptr;
    const double bob = recipe.integer("bob", 0, 64, 0);

    RecipeCanvas scene(w + w / 4, h);
    drawRecipeScene(scene.cr(), p, seed, scene.width(), scene.height());
    RecipeRandom random(seed ^ 0x51A4u);
    std::vector<Sparkle> sparkles(static_cast<std::size_t>(recipe.integer("sparkles", 0, 500, 24)));
    for (Sparkle& s : sparkles)
        s = {random.uniform(0, w),
             random.uniform(0, h),
             random.uniform(-2, 2),
             random.uniform(-2.5, -0.5),
             random.uniform(1.5, 4) * w / 320,
             random.uniform(0, 2 * M_PI)};

    RecipeCanvas canvas(w, h);
    GwVideoFile gw;
    gw.frameRate = static_cast<uint32_t>(fps);
    gw.keyFrames = {{0, -1}};
    TheoraClip theora;
    theora.width = w;
    theora.height = h;
    theora.fpsNumerator = static_cast<uint32_t>(fps);
    const bool jpegFrames = recipe.choice("pictures", {"png", "jpg"}) == "jpg";
    for (int32_t n = 0; n < frames; ++n) {
        drawFrame(canvas, scene, p, sparkles, n, frames, caption, figure, bob);
        std::vector<uint8_t> rgba = canvas.rgba();
        if (format == "gwvideo" && !jpegFrames) {
            gw.frames.push_back(GwFrameRecord::png(PngPicture::rgba(w, h, std::move(rgba))));
            continue;
        }
        TestPicture picture;
        picture.width = w;
        picture.height = h;
        picture.rgb.reserve(rgba.size() / 4 * 3);
        for (std::size_t i = 0; i < rgba.size(); i += 4)
            picture.rgb.insert(picture.rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
        if (format == "gwvideo")
            gw.frames.push_back(GwFrameRecord::jpeg(picture));
        else
            theora.frames.push_back(std::move(picture));
    }
    return {format == "gwvideo" ? writeGwVideo(gw) : writeTheora(theora), "." + format};
}

} // namespace

const std::vector<RecipeKind>& clipRecipeKinds()
{
    static const std::vector<RecipeKind> kinds = {{"clip", extension, clip}};
    return kinds;
}
