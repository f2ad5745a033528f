#pragma once

#include <array>
#include <cstdint>

#include "asset/FAsset.h"
#include "core/FRef.h"
#include "image/FImageRect.h"
#include "image/FMaterial.h"
#include "image/FPixelFormat.h"

// The pixels of an image: a buffer of one pixel-format kind, the logical size of
// the picture, the rectangle that the stored pixels cover inside it (trimmed art
// keeps its full size and stores only the inner rectangle) and the row pitch.
//
// Image coordinates count x to the right from the left edge and y upward from
// the bottom edge; buffer row 0 is the lowest stored row. Conversions to other
// row orders happen only at the edges (decoders, texture upload, cursors).
//
// An image may stand for another image (its source image): it then answers
// for that image until it takes a copy of its pixels.
//
// Pixel buffers are allocated with engineAlloc in the image-pixel memory
// category (k_memImage) and owned by the image once handed over.
//
// An image is an asset: loaders fill it when it is completed, setting pixels
// marks it loaded, and the operations that change pixels complete it first.
class FImage : public FAsset
{
public:
    FImage();
    ~FImage() override;

    FImage(const FImage&) = delete;
    FImage& operator=(const FImage&) = delete;

    // Lets the material's texture go, drops the source image, frees the pixels
    // and empties the image; the scale stays.
    void releasePixels();

    // The screen-file kind data: the alpha hit-test flag and a second flag,
    // then the loader chosen by the first candidate's extension.
    void readKindData(FInStream& reader) override;
    // Unloading frees the pixels.
    void releaseData(bool forced) override;

    // Empties the image and makes it stand for source.
    virtual void setSourceImage(FRefT<FImage> source);
    // Whether hit tests compare the alpha of the pixel under the point (an
    // image standing for another answers for it).
    virtual bool usesAlphaHitTest() const;
    void setAlphaHitTest(bool on) { m_alphaHitTest = on; }
    // A picture whose following bytes belong to its container (a font's glyph
    // sheet) keeps its stored size: the PNG decoder leaves those bytes unread
    // instead of taking them for a placement trailer.
    void setIgnoresPlacement(bool on) { m_ignoresPlacement = on; }
    bool ignoresPlacement() const { return m_ignoresPlacement; }
    bool flagB() const { return m_flagB; }
    // Loads the image when needed, then answers whether the root of its
    // source chain holds a pixel buffer. A failed image holds none.
    bool hasPixels();
    const FRefT<FImage>& sourceImage() const { return m_sourceImage; }

    // Takes ownership of buffer (size.y rows of pitch bytes, lowest row first),
    // covering the whole logical image.
    void setPixels(FImagePoint size, int32_t kind, uint8_t* buffer, int32_t pitch, float scale);

    // As setPixels, for stored pixels of storedSize that sit at offset inside a
    // picture of fullSize; the offset counts y downward from the top edge.
    void setPlacedPixels(FImagePoint fullSize, int32_t kind, uint8_t* buffer, FImagePoint storedSize,
                         FImagePoint offset, int32_t pitch, float scale);

    // Replaces the logical size and stored rectangle of the pixels already held
    // (loaders that combine two streams move the placement after decoding).
    void setPlacement(int32_t width, int32_t height, const FImageRect& pixelRect);

    // Copies the region srcRect of the logical image into a destination buffer
    // of dstSize pixels of dstKind (rows of that kind's row bytes, packed), at
    // dstPos, clipped to the destination. Destination rows follow the image's
    // bottom-up order: row dstPos.y receives the region's lowest row. Pixels
    // outside the stored rectangle arrive as transparent black. An image with
    // a source image copies from it.
    void copyRegionTo(uint8_t* dst, FImagePoint dstSize, int32_t dstKind, const FTopDownRect& srcRect,
                      FImagePoint dstPos) const;

    // Makes this image a copy of source's pixels and placement (the handle
    // keeps source alive while this image drops its own source handle).
    void copyPixelsFrom(FRefT<FImage> source);

    void setScale(float scale);

    // This image's alpha bytes take those of alpha, pixel for pixel (an image
    // with a source image first takes a copy of its pixels). Both must hold
    // 32-bit pixels over stored rectangles of one size, else a failure is
    // raised and nothing changes; an empty alpha image changes nothing.
    void mergeAlpha(const FImage& alpha);

    // Every pixel of the common stored area whose alpha byte equals key takes
    // source's pixel at the same image coordinates. Both must hold 32-bit
    // pixels when they overlap, else a failure is raised.
    void replaceKeyedPixels(const FImage& source, uint8_t key);

    // The kind of the last image of the source chain: what the image is meant
    // to hold.
    int32_t getRootPixelFormat() const;
    // The logical size of the last image of the source chain.
    FImagePoint getRootImageSize() const;
    // Loads every image of the source chain in turn; the last one's scale.
    float getRootScale();

    // The material lives on the root image, so every image of a chain shares it.
    void setMaterial(FRefT<FMaterial> material);
    FMaterial* material() const;

    const uint8_t* pixels() const { return m_pixels; }
    uint8_t* pixels() { return m_pixels; }
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    const FImageRect& pixelRect() const { return m_pixelRect; }
    int32_t format() const { return m_format; }
    const FPixelFormatOps* formatOps() const { return m_formatOps; }
    int32_t pitch() const { return m_pitch; }
    float scale() const { return m_scale; }

private:
    const FImage& root() const;
    void setFormat(int32_t kind);
    void takeBuffer(uint8_t* buffer, int32_t kind, int32_t pitch, float scale);

    uint8_t* m_pixels = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;
    FImageRect m_pixelRect;
    int32_t m_format = k_pixelNone;
    float m_scale = 1.0f;
    const FPixelFormatOps* m_formatOps = nullptr;
    int32_t m_pitch = 0;
    FRefT<FMaterial> m_texture;
    FRefT<FImage> m_sourceImage;
    bool m_alphaHitTest = false;
    bool m_ignoresPlacement = false;
    bool m_flagB = false;
};

// The pixel at image coordinates p as bytes B, G, R, A, or four zero bytes
// outside the stored rectangle. Does not follow a source image.
std::array<uint8_t, 4> getImagePixel(const FImage& image, FImagePoint p);
