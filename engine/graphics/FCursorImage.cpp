#include "graphics/FCursorImage.h"

#include "core/FLogStream.h"
#include "graphics/FShapeEmitter.h"
#include "image/FImage.h"

FCursorImage::FCursorImage(FRefT<FImage> image, FPointI hotSpot)
    : m_image(std::move(image)), m_hotSpot(hotSpot)
{
}

FCursorImage::~FCursorImage() = default;

int32_t FCursorImage::cursorSize(int32_t width, int32_t height)
{
    if (width > 16 || height > 16) return 32;
    if (width > 8 || height > 8) return 16;
    return 8;
}

std::vector<uint32_t> FCursorImage::mapPixels(const FImage& image, int32_t& size)
{
    const FImage* root = FShapeEmitter::rootImage(&image);
    const int32_t width = root->width();
    const int32_t height = root->height();
    size = cursorSize(width, height);
    if (width != size || height != size) {
        ZIBBO_LOG(k_logPerf, false)
            << "Pointer pixmaps should be of square size, equal to 8x8, 16x16 or 32x32. "
            << "It is currently " << width << "x" << height << " and automatically got truncated.";
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(size) * size, 0u);
    for (int32_t y = 0; y < size && y < height; ++y) {
        for (int32_t x = 0; x < size && x < width; ++x) {
            // Image rows count up from the bottom: its last row is the top.
            const auto bgra = getImagePixel(*root, FImagePoint{x, height - 1 - y});
            pixels[static_cast<size_t>(y) * size + x] = static_cast<uint32_t>(bgra[3]) << 24 |
                                                        static_cast<uint32_t>(bgra[2]) << 16 |
                                                        static_cast<uint32_t>(bgra[1]) << 8 | bgra[0];
        }
    }
    return pixels;
}
