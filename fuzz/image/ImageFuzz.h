#pragma once

// Shared by the image harnesses: feeds the input to one loader as a whole
// stream. Failure reports are the expected answer to bad input; anything else
// (a crash, a hang, a sanitizer report) is a fault.

#include "FuzzStream.h"
#include "image/FImage.h"
#include "io/FInStream.h"

#include <cstddef>
#include <cstdint>

// What the engine does with a loaded picture's rectangles and trailer: the
// sizes, the stored rectangle within the full picture, and the corner pixels
// of the stored part, read through the rectangle.
inline void usePlacement(const FImage& image)
{
    const FImageRect& stored = image.pixelRect();
    FImageRect visible = stored;
    intersectRect(visible, FImageRect{0, 0, image.width(), image.height()});
    volatile int64_t sink = int64_t{stored.width()} * stored.height() + visible.width() + visible.height();
    sink = sink + (rectContains(FImageRect{0, 0, image.width(), image.height()}, stored) ? 1 : 0);
    if (image.pixels() == nullptr || stored.width() <= 0 || stored.height() <= 0) return;
    const FImagePoint corners[] = {{stored.left, stored.bottom},
                                   {stored.right - 1, stored.top - 1},
                                   {stored.left, stored.top - 1},
                                   {stored.right - 1, stored.bottom}};
    for (const FImagePoint& corner : corners)
        sink = sink + getImagePixel(image, corner)[3];
}

template <class Load> int fuzzImageLoader(const uint8_t* data, std::size_t size, Load load)
{
    readFuzzInput(data, size, [&](FInStream& stream) {
        FImage image;
        load(stream, image);
        usePlacement(image);
    });
    return 0;
}
