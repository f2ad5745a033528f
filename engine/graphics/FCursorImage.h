#pragma once

#include <cstdint>
#include <vector>

#include "core/FRef.h"
#include "graphics/FGeometry.h"

class FImage;

// A pointer image made from an image: square, 8, 16 or 32 pixels on a side,
// with a hot spot in cursor pixels from the top-left corner. The platform
// derives the system cursor from it.
class FCursorImage
{
public:
    FCursorImage(FRefT<FImage> image, FPointI hotSpot);
    virtual ~FCursorImage();

    FCursorImage(const FCursorImage&) = delete;
    FCursorImage& operator=(const FCursorImage&) = delete;

    const FRefT<FImage>& image() const { return m_image; }
    FPointI hotSpot() const { return m_hotSpot; }

    // 32 when width or height exceeds 16, else 16 when either exceeds 8, else 8.
    static int32_t cursorSize(int32_t width, int32_t height);
    // The cursor's pixels as ARGB words, top row first, size x size of them:
    // the picture upright, cut at the cursor's size, transparent black where
    // the picture ends. Taken from the last image of the source chain.
    static std::vector<uint32_t> mapPixels(const FImage& image, int32_t& size);

private:
    FRefT<FImage> m_image;
    FPointI m_hotSpot;
};
