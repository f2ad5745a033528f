#include "graphics/FClipState.h"

#include <cmath>

namespace {
// Single precision, like every matrix of the renderer.
constexpr float k_degreesToRadians = 0.017453292f;
} // namespace

FMatrix3 clipScaleMatrix(const FClipState& s)
{
    const float sx = s.isScaled ? s.scaleX : 1.0f;
    const float sy = s.isScaled ? s.scaleY : 1.0f;
    FMatrix3 m;
    m.m00 = sx;
    m.m11 = sy;
    m.m20 = (1.0f - sx) * float(s.pivot.x) + float(s.rect.left) - float(s.origin.x);
    m.m21 = (1.0f - sy) * float(s.pivot.y) + float(s.rect.top) - float(s.origin.y);
    return m;
}

FMatrix3 clipRotationMatrix(const FClipState& s)
{
    const float theta = -s.angle * k_degreesToRadians;
    const float c = std::cos(theta);
    const float sn = std::sin(theta);
    const float px = float(s.pivot.x);
    const float py = float(s.pivot.y);
    FMatrix3 m;
    m.m00 = c;
    m.m01 = sn;
    m.m10 = -sn;
    m.m11 = c;
    m.m20 = sn * py + (1.0f - c) * px;
    m.m21 = (1.0f - c) * py - sn * px;
    return m;
}

void FClipState::computeMatrices()
{
    local = clipScaleMatrix(*this);
    if (isRotated) {
        FMatrix3 r = clipRotationMatrix(*this);
        multiply(r, local);
        local = r;
    }
    invert(local, inverseLocal);
    offset = FMatrix3();
    offset.m20 = float(rect.left);
    offset.m21 = float(rect.top);
}
