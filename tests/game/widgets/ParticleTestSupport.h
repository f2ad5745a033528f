#pragma once

#include "engine/graphics/RecordingDevice.h"

#include "ui/FContainer.h"

// An opaque white width x height image held in memory.
inline FRefT<FImage> solidImage(int32_t width, int32_t height)
{
    return makeSolidImage(width, height, 0xFFFFFFFFu);
}

// A plain container of the given size that particle layers go on.
class ParticleStage : public FContainer
{
public:
    explicit ParticleStage(FRectI rect = {0, 0, 800, 600}) { setWidgetRect(rect); }
};
