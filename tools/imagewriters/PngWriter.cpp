#include "tools/imagewriters/PngWriter.h"

#include <png.h>

#include <stdexcept>
#include <string>

namespace {

void onError(png_structp, png_const_charp message)
{
    throw std::runtime_error(std::string("libpng: ") + message);
}

void onWarning(png_structp, png_const_charp) {}

void append(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flush(png_structp) {}

int channels(int colorType)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

} // namespace

std::size_t PngPicture::rowBytes() const
{
    return (static_cast<std::size_t>(width) * channels(colorType) * bitDepth + 7) / 8;
}

PngPicture PngPicture::rgba(int32_t width, int32_t height, std::vector<uint8_t> rgba)
{
    PngPicture p;
    p.width = width;
    p.height = height;
    p.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    p.bitDepth = 8;
    p.samples = std::move(rgba);
    return p;
}

namespace {
void addAncillaryChunks(png_structp png, png_infop info, const PngPicture& picture)
{
    png_set_gAMA(png, info, 1.0 / 2.2);
    png_set_cHRM(png, info, 0.3127, 0.329, 0.64, 0.33, 0.3, 0.6, 0.15, 0.06);
    const bool palette = picture.colorType == PNG_COLOR_TYPE_PALETTE;
    const png_byte depth = static_cast<png_byte>(palette ? 8 : picture.bitDepth);
    png_color_8 significant{depth, depth, depth, depth, depth};
    png_set_sBIT(png, info, &significant);
    png_color_16 background{};
    if (palette)
        background.index = 0;
    else
        background.gray = background.red = background.green = background.blue = 1;
    png_set_bKGD(png, info, &background);
    png_set_pHYs(png, info, 2835, 2835, PNG_RESOLUTION_METER);
    png_time when{2024, 5, 17, 12, 30, 0};
    png_set_tIME(png, info, &when);
    png_text texts[2]{};
    texts[0].compression = PNG_TEXT_COMPRESSION_NONE;
    texts[0].key = const_cast<png_charp>("Title");
    texts[0].text = const_cast<png_charp>("fixture");
    texts[1].compression = PNG_TEXT_COMPRESSION_zTXt;
    texts[1].key = const_cast<png_charp>("Comment");
    texts[1].text = const_cast<png_charp>("made by our own writer, compressed");
    png_set_text(png, info, texts, 2);
}
} // namespace

std::vector<uint8_t> writePng(const PngPicture& picture)
{
    if (picture.samples.size() < picture.rowBytes() * picture.height)
        throw std::runtime_error("writePng: too few samples");
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("writePng: libpng set-up");
    }
    try {
        png_set_write_fn(png, &out, append, flush);
        png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                     static_cast<png_uint_32>(picture.height), picture.bitDepth, picture.colorType,
                     picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        std::vector<png_color> palette;
        if (picture.colorType == PNG_COLOR_TYPE_PALETTE) {
            for (std::size_t i = 0; i + 2 < picture.paletteRgb.size(); i += 3)
                palette.push_back(
                    {picture.paletteRgb[i], picture.paletteRgb[i + 1], picture.paletteRgb[i + 2]});
            png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
        }
        if (!picture.transparency.empty()) {
            if (picture.colorType == PNG_COLOR_TYPE_PALETTE) {
                png_set_tRNS(png, info, picture.transparency.data(),
                             static_cast<int>(picture.transparency.size()), nullptr);
            } else {
                png_color_16 key{};
                const auto word = [&](std::size_t i) {
                    return static_cast<png_uint_16>((picture.transparency[i] << 8) |
                                                    picture.transparency[i + 1]);
                };
                if (picture.colorType == PNG_COLOR_TYPE_GRAY) {
                    key.gray = word(0);
                } else {
                    key.red = word(0);
                    key.green = word(2);
                    key.blue = word(4);
                }
                png_set_tRNS(png, info, nullptr, 0, &key);
            }
        }
        if (picture.ancillary) addAncillaryChunks(png, info, picture);
        png_write_info(png, info);
        std::vector<png_bytep> rows(static_cast<std::size_t>(picture.height));
        for (int32_t y = 0; y < picture.height; ++y)
            rows[y] = const_cast<png_bytep>(&picture.samples[picture.rowBytes() * y]);
        png_write_image(png, rows.data());
        png_write_end(png, info);
    } catch (...) {
        png_destroy_write_struct(&png, &info);
        throw;
    }
    png_destroy_write_struct(&png, &info);
    return out;
}
