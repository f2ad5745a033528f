#include "image/FImage.h"

#include <algorithm>
#include <cstring>

#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "core/FMemory.h"
#include "image/FPixelRows.h"

namespace {

// Pixels of a packed kind cannot be copied as bytes from an odd column; these
// copy the stored bits of count pixels unchanged.
void copyStoredPixels(const FPixelFormatOps& ops, const uint8_t* src, int32_t srcIndex, uint8_t* dst,
                      int32_t dstIndex, int32_t count)
{
    const int32_t bits = ops.bitsPerPixel();
    if (bits >= 8) {
        const int32_t bytes = bits / 8;
        std::memcpy(dst + static_cast<size_t>(dstIndex) * bytes, src + static_cast<size_t>(srcIndex) * bytes,
                    static_cast<size_t>(count) * bytes);
        return;
    }
    // Grey4 (mono never takes this path): move the nibbles.
    for (int32_t j = 0; j < count; ++j) {
        const int32_t si = srcIndex + j;
        const int32_t di = dstIndex + j;
        const uint8_t v = (si & 1) ? (src[si >> 1] >> 4) : (src[si >> 1] & 15);
        uint8_t& b = dst[di >> 1];
        b = (di & 1) ? static_cast<uint8_t>((b & 0x0F) | (v << 4)) : static_cast<uint8_t>((b & 0xF0) | v);
    }
}

bool is32Bit(const FImage& image)
{
    return image.formatOps() != nullptr && image.formatOps()->bitsPerPixel() == 32;
}

} // namespace

FImage::FImage() = default;

FImage::~FImage()
{
    releasePixels();
}

void FImage::releasePixels()
{
    if (m_texture.get() != nullptr) {
        m_texture->release();
    }
    m_texture = FRefT<FMaterial>();
    m_sourceImage = FRefT<FImage>();
    freeAndNull(m_pixels);
    m_width = 0;
    m_height = 0;
    m_pixelRect = FImageRect();
    m_format = k_pixelNone;
    m_formatOps = nullptr;
    m_pitch = 0;
}

void FImage::setSourceImage(FRefT<FImage> source)
{
    releasePixels();
    m_sourceImage = std::move(source);
}

bool FImage::usesAlphaHitTest() const
{
    if (const FImage* source = m_sourceImage.get()) return source->usesAlphaHitTest();
    return m_alphaHitTest;
}

bool FImage::hasPixels()
{
    ensureLoaded();
    return root().m_pixels != nullptr;
}

void FImage::releaseData(bool)
{
    releasePixels();
}

void FImage::readKindData(FInStream& reader)
{
    m_alphaHitTest = reader.readUInt8() == 1;
    m_flagB = reader.readUInt8() == 1;
    // Exact comparison, case included: ".PNG" picks no loader.
    static constexpr LoaderChoice k_choices[] = {
        {u".png", k_slotPngLoader},
        {u".ppm", k_slotPpmLoader},
        {u".jpg", k_slotJpegLoader},
        {u".j32", k_slotJpeg32Loader},
    };
    chooseLoaderByExtension(k_choices);
}

void FImage::setFormat(int32_t kind)
{
    m_format = kind;
    m_formatOps = getPixelFormatOps(kind);
}

void FImage::takeBuffer(uint8_t* buffer, int32_t kind, int32_t pitch, float scale)
{
    releasePixels();
    m_pixels = buffer;
    setFormat(kind);
    m_scale = scale;
    m_pitch = pitch;
}

void FImage::setPixels(FImagePoint size, int32_t kind, uint8_t* buffer, int32_t pitch, float scale)
{
    takeBuffer(buffer, kind, pitch, scale);
    m_width = size.x;
    m_height = size.y;
    m_pixelRect = FImageRect{0, 0, size.x, size.y};
    markLoaded();
}

void FImage::setPlacedPixels(FImagePoint fullSize, int32_t kind, uint8_t* buffer, FImagePoint storedSize,
                             FImagePoint offset, int32_t pitch, float scale)
{
    takeBuffer(buffer, kind, pitch, scale);
    m_width = fullSize.x;
    m_height = fullSize.y;
    // In 64 bits, so that no sum of the caller's values overflows.
    const int64_t top = int64_t{fullSize.y} - offset.y;
    m_pixelRect =
        FImageRect{offset.x, static_cast<int32_t>(top - storedSize.y),
                   static_cast<int32_t>(int64_t{offset.x} + storedSize.x), static_cast<int32_t>(top)};
    markLoaded();
}

void FImage::setPlacement(int32_t width, int32_t height, const FImageRect& pixelRect)
{
    m_width = width;
    m_height = height;
    m_pixelRect = pixelRect;
}

std::array<uint8_t, 4> getImagePixel(const FImage& image, FImagePoint p)
{
    std::array<uint8_t, 4> bgra{0, 0, 0, 0};
    const FImageRect& r = image.pixelRect();
    if (image.formatOps() == nullptr || image.pixels() == nullptr || p.x < r.left || p.x >= r.right ||
        p.y < r.bottom || p.y >= r.top) {
        return bgra;
    }
    const uint8_t* row = image.pixels() + static_cast<ptrdiff_t>(p.y - r.bottom) * image.pitch();
    image.formatOps()->readIndex[k_formBgra8](bgra.data(), row, p.x - r.left);
    return bgra;
}

void FImage::copyRegionTo(uint8_t* dst, FImagePoint dstSize, int32_t dstKind, const FTopDownRect& srcRect,
                          FImagePoint dstPos) const
{
    if (const FImage* source = m_sourceImage.get()) {
        source->copyRegionTo(dst, dstSize, dstKind, srcRect, dstPos);
        return;
    }
    const FPixelFormatOps* dstOps = getPixelFormatOps(dstKind);
    if (dstOps == nullptr) {
        return;
    }
    FImageRect d{dstPos.x, dstPos.y, dstPos.x + srcRect.right - srcRect.left,
                 dstPos.y + srcRect.bottom - srcRect.top};
    intersectRect(d, FImageRect{0, 0, dstSize.x, dstSize.y});
    const int32_t w = d.width();
    const int32_t h = d.height();
    if (w <= 0 || h <= 0) {
        return;
    }
    // A destination corner clipped at 0 skips the same source pixels.
    const int32_t x0 = srcRect.left + (d.left - dstPos.x);
    // The region's lowest image row; destination row d.bottom receives it.
    const int32_t y0 = m_height - srcRect.bottom + (d.bottom - dstPos.y);
    const ptrdiff_t dstPitch = dstOps->rowBytes(dstSize.x);
    uint8_t* dstRow = dst + d.bottom * dstPitch;

    const bool blockCopy = m_formatOps != nullptr && dstKind == m_format && m_format != k_pixelMono1 &&
                           m_formatOps->rowBytes(m_pixelRect.width()) <= m_pitch &&
                           rectContains(m_pixelRect, FImageRect{x0, y0, x0 + w, y0 + h});
    if (blockCopy) {
        for (int32_t k = 0; k < h; ++k, dstRow += dstPitch) {
            const uint8_t* srcRow = m_pixels + static_cast<ptrdiff_t>(y0 + k - m_pixelRect.bottom) * m_pitch;
            copyStoredPixels(*m_formatOps, srcRow, x0 - m_pixelRect.left, dstRow, d.left, w);
        }
        return;
    }

    // Pixel by pixel through bgra8; outside the stored rectangle transparent
    // black. The row converter gives the bytes of the per-pixel operations.
    const FPixelRowConvertFn convert = getPixelRowConverter(m_format, dstKind);
    const int32_t inL = std::clamp(m_pixelRect.left, x0, x0 + w);
    const int32_t inR = std::clamp(m_pixelRect.right, inL, x0 + w);
    for (int32_t k = 0; k < h; ++k, dstRow += dstPitch) {
        const int32_t y = y0 + k;
        if (convert == nullptr || m_pixels == nullptr || y < m_pixelRect.bottom || y >= m_pixelRect.top ||
            inL == inR) {
            clearPixels(dstKind, dstRow, d.left, w);
            continue;
        }
        const uint8_t* srcRow = m_pixels + static_cast<ptrdiff_t>(y - m_pixelRect.bottom) * m_pitch;
        clearPixels(dstKind, dstRow, d.left, inL - x0);
        convert(srcRow, inL - m_pixelRect.left, dstRow, d.left + (inL - x0), inR - inL);
        clearPixels(dstKind, dstRow, d.left + (inR - x0), x0 + w - inR);
    }
}

void FImage::copyPixelsFrom(FRefT<FImage> source)
{
    FImage* s = source.get();
    if (s == nullptr || s == this) {
        return;
    }
    complete();
    s->ensureLoaded();
    releasePixels();
    m_width = s->m_width;
    m_height = s->m_height;
    m_pixelRect = s->m_pixelRect;
    setFormat(s->m_format);
    m_scale = s->m_scale;
    m_pitch = s->m_pitch;
    const size_t bytes = static_cast<size_t>(std::max(0, m_pixelRect.height())) * std::max(0, m_pitch);
    if (bytes == 0 || s->m_pixels == nullptr) {
        return;
    }
    m_pixels = static_cast<uint8_t*>(engineAlloc(k_memImage, bytes));
    if (m_pixels == nullptr) {
        ZIBBO_FAIL(msgSystemError, "engineAlloc (" << bytes << ")");
    }
    std::memcpy(m_pixels, s->m_pixels, bytes);
}

void FImage::setScale(float scale)
{
    complete();
    if (m_sourceImage.get() != nullptr) {
        copyPixelsFrom(m_sourceImage);
    }
    m_scale = scale;
}

void FImage::mergeAlpha(const FImage& alpha)
{
    complete();
    if (m_sourceImage.get() != nullptr) {
        copyPixelsFrom(m_sourceImage);
    }
    const int32_t w = alpha.m_pixelRect.width();
    const int32_t h = alpha.m_pixelRect.height();
    if (alpha.m_pixels == nullptr || w <= 0 || h <= 0) {
        return;
    }
    // Both images are walked as 4-byte pixels: a different size or pixel width
    // would read or write past one of the buffers.
    if (w != m_pixelRect.width() || h != m_pixelRect.height()) {
        ZIBBO_FAIL(msgIllegalOperation, "alpha size (" << w << " x " << h << ") == image size ("
                                                       << m_pixelRect.width() << " x " << m_pixelRect.height()
                                                       << ")");
    }
    if (!is32Bit(alpha) || !is32Bit(*this) || m_pixels == nullptr) {
        ZIBBO_FAIL(msgIllegalOperation, "alpha kind (" << alpha.m_format << ") and image kind (" << m_format
                                                       << ") hold 32-bit pixels");
    }
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* a = alpha.m_pixels + static_cast<ptrdiff_t>(y) * alpha.m_pitch;
        uint8_t* p = m_pixels + static_cast<ptrdiff_t>(y) * m_pitch;
        for (int32_t x = 0; x < w; ++x) {
            p[4 * x + 3] = a[4 * x + 3];
        }
    }
}

void FImage::replaceKeyedPixels(const FImage& source, uint8_t key)
{
    complete();
    FImageRect r = m_pixelRect;
    intersectRect(r, source.m_pixelRect);
    if (r.width() <= 0 || r.height() <= 0 || m_pixels == nullptr || source.m_pixels == nullptr) {
        return;
    }
    if (!is32Bit(source) || !is32Bit(*this)) {
        ZIBBO_FAIL(msgIllegalOperation, "source kind (" << source.m_format << ") and image kind (" << m_format
                                                        << ") hold 32-bit pixels");
    }
    for (int32_t y = r.bottom; y < r.top; ++y) {
        uint8_t* p = m_pixels + static_cast<ptrdiff_t>(y - m_pixelRect.bottom) * m_pitch +
                     4 * static_cast<ptrdiff_t>(r.left - m_pixelRect.left);
        const uint8_t* s = source.m_pixels +
                           static_cast<ptrdiff_t>(y - source.m_pixelRect.bottom) * source.m_pitch +
                           4 * static_cast<ptrdiff_t>(r.left - source.m_pixelRect.left);
        for (int32_t x = 0; x < r.width(); ++x, p += 4, s += 4) {
            if (p[3] == key) {
                std::memcpy(p, s, 4);
            }
        }
    }
}

const FImage& FImage::root() const
{
    const FImage* image = this;
    while (const FImage* next = image->m_sourceImage.get()) {
        image = next;
    }
    return *image;
}

FImagePoint FImage::getRootImageSize() const
{
    return {root().m_width, root().m_height};
}

int32_t FImage::getRootPixelFormat() const
{
    return root().m_format;
}

float FImage::getRootScale()
{
    FImage* image = this;
    image->ensureLoaded();
    while (FImage* next = image->m_sourceImage.get()) {
        image = next;
        image->ensureLoaded();
    }
    return image->m_scale;
}

void FImage::setMaterial(FRefT<FMaterial> material)
{
    const_cast<FImage&>(root()).m_texture = std::move(material);
}

FMaterial* FImage::material() const
{
    return root().m_texture.get();
}
