#pragma once

#include "core/FMemory.h"
#include "image/FImage.h"
#include "ui/FContainer.h"

#include <cstring>

// An opaque white width x height image held in memory.
inline FRefT<FImage> solidImage(int32_t width, int32_t height)
{
    FImage* image = engineNew<FImage>(k_memObject);
    auto* pixels = static_cast<uint8_t*>(engineAlloc(k_memImage, size_t(width) * height * 4 + 1));
    std::memset(pixels, 255, size_t(width) * height * 4);
    image->setPixels({width, height}, k_pixelBgra8, pixels, width * 4, 1.0f);
    return makeRef(image);
}

// A plain container of the given size that particle layers go on.
class ParticleStage : public FContainer
{
public:
    explicit ParticleStage(FRectI rect = {0, 0, 800, 600}) { setWidgetRect(rect); }
};
