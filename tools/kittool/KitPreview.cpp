// Preview pictures of a built kit, drawn with Cairo from the made media.
#include "tools/kittool/KitPreview.h"

#include "tools/kittool/KitManifest.h"
#include "tools/recipes/RecipeLabel.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

struct PngSource
{
    const std::vector<uint8_t>* bytes;
    std::size_t at = 0;
};

cairo_status_t readPng(void* closure, unsigned char* data, unsigned int length)
{
    auto* source = static_cast<PngSource*>(closure);
    if (source->bytes->size() - source->at < length) return CAIRO_STATUS_READ_ERROR;
    std::copy_n(source->bytes->data() + source->at, length, data);
    source->at += length;
    return CAIRO_STATUS_SUCCESS;
}

// The stored picture of a PNG (a trailer after it is not read); null when it does not load.
cairo_surface_t* loadPng(const KitPreviewFile& file)
{
    if (file.extension != ".png" || file.bytes == nullptr) return nullptr;
    PngSource source{file.bytes};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(readPng, &source);
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) return surface;
    cairo_surface_destroy(surface);
    return nullptr;
}

int32_t bigEndianAt(const std::vector<uint8_t>& bytes, std::size_t at)
{
    return static_cast<int32_t>(uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 |
                                uint32_t(bytes[at + 2]) << 8 | uint32_t(bytes[at + 3]));
}

bool isCompanion(const std::string& key)
{
    for (const char* suffix : {"Bling", "Panel"}) {
        const std::string s(suffix);
        if (key.size() > s.size() && key.compare(key.size() - s.size(), s.size(), s) == 0) return true;
    }
    return false;
}

// Ends the drawing and writes the picture as PREFIX and the number in DIGITS digits.
fs::path finish(cairo_t* cr, cairo_surface_t* canvas, const fs::path& folder, const char* prefix,
                int32_t number, int digits)
{
    char name[32];
    std::snprintf(name, sizeof name, "%s%0*d.png", prefix, digits, static_cast<int>(number));
    const fs::path path = folder / name;
    cairo_destroy(cr);
    const cairo_status_t status = cairo_surface_write_to_png(canvas, path.c_str());
    cairo_surface_destroy(canvas);
    if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + path.string());
    return path;
}

fs::path worldPreview(const ScreenManifest& m, const std::vector<KitPreviewFile>& files,
                      const fs::path& folder)
{
    const int32_t w = 2400;
    const int32_t h = 1600;
    cairo_surface_t* canvas = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(canvas);
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    cairo_paint(cr);
    for (std::size_t i = 0; i < m.assets.size(); ++i) {
        if (m.assets[i].table != "BaseImage") continue;
        if (cairo_surface_t* base = loadPng(files[i])) {
            cairo_set_source_surface(cr, base, 0, 0);
            cairo_paint(cr);
            cairo_surface_destroy(base);
        }
    }
    for (std::size_t i = 0; i < m.assets.size(); ++i) {
        const ManifestAsset& a = m.assets[i];
        if (a.table != "Picture" || isCompanion(a.member) || files[i].bytes == nullptr) continue;
        cairo_surface_t* item = loadPng(files[i]);
        if (item == nullptr) continue;
        const std::vector<uint8_t>& bytes = *files[i].bytes;
        const double x = bytes.size() >= 16 ? bigEndianAt(bytes, bytes.size() - 16) : 0;
        const double y = bytes.size() >= 16 ? bigEndianAt(bytes, bytes.size() - 12) : 0;
        const double iw = cairo_image_surface_get_width(item);
        const double ih = cairo_image_surface_get_height(item);
        cairo_set_source_surface(cr, item, x, y);
        cairo_paint(cr);
        cairo_surface_destroy(item);
        cairo_set_source_rgb(cr, 1, 0.1, 0.6);
        cairo_set_line_width(cr, 3);
        cairo_rectangle(cr, x - 2, y - 2, iw + 4, ih + 4);
        cairo_stroke(cr);
        drawRecipeLabel(cr, a.member, x + iw / 2, y + ih + 14, 18, RecipeColour{1, 1, 1});
    }
    return finish(cr, canvas, folder, "world", m.world, 2);
}

fs::path contactSheet(const ScreenManifest& m, const std::vector<KitPreviewFile>& files,
                      const fs::path& folder)
{
    const int32_t cell = 160;
    const int32_t columns = 8;
    std::vector<std::size_t> pictures;
    for (std::size_t i = 0; i < m.assets.size(); ++i)
        if (files[i].extension == ".png") pictures.push_back(i);
    const int32_t rows =
        std::max<int32_t>(1, (static_cast<int32_t>(pictures.size()) + columns - 1) / columns);
    cairo_surface_t* canvas =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cell * columns, (cell + 24) * rows);
    cairo_t* cr = cairo_create(canvas);
    cairo_set_source_rgb(cr, 0.25, 0.25, 0.28);
    cairo_paint(cr);
    for (std::size_t n = 0; n < pictures.size(); ++n) {
        const double cx = double(n % columns) * cell;
        const double cy = double(n / columns) * (cell + 24);
        const ManifestAsset& a = m.assets[pictures[n]];
        if (cairo_surface_t* picture = loadPng(files[pictures[n]])) {
            const double pw = cairo_image_surface_get_width(picture);
            const double ph = cairo_image_surface_get_height(picture);
            const double scale = std::min(1.0, (cell - 12) / std::max(pw, ph));
            cairo_save(cr);
            cairo_translate(cr, cx + (cell - pw * scale) / 2, cy + (cell - ph * scale) / 2);
            cairo_scale(cr, scale, scale);
            cairo_set_source_surface(cr, picture, 0, 0);
            cairo_paint(cr);
            cairo_restore(cr);
            cairo_surface_destroy(picture);
        }
        drawRecipeLabel(cr, std::to_string(a.id), cx + cell / 2.0, cy + cell + 10, 14, RecipeColour{1, 1, 1});
    }
    return finish(cr, canvas, folder, "folder", m.folder, 3);
}

} // namespace

fs::path writeKitPreview(const ScreenManifest& m, const std::vector<KitPreviewFile>& files,
                         const fs::path& folder)
{
    fs::create_directories(folder);
    return m.world != 0 ? worldPreview(m, files, folder) : contactSheet(m, files, folder);
}
