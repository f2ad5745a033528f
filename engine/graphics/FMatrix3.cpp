#include "graphics/FMatrix3.h"

void multiply(FMatrix3& a, const FMatrix3& b)
{
    const FMatrix3 l = a;
    a.m00 = l.m00 * b.m00 + l.m01 * b.m10 + l.m02 * b.m20;
    a.m01 = l.m00 * b.m01 + l.m01 * b.m11 + l.m02 * b.m21;
    a.m02 = l.m00 * b.m02 + l.m01 * b.m12 + l.m02 * b.m22;
    a.m10 = l.m10 * b.m00 + l.m11 * b.m10 + l.m12 * b.m20;
    a.m11 = l.m10 * b.m01 + l.m11 * b.m11 + l.m12 * b.m21;
    a.m12 = l.m10 * b.m02 + l.m11 * b.m12 + l.m12 * b.m22;
    a.m20 = l.m20 * b.m00 + l.m21 * b.m10 + l.m22 * b.m20;
    a.m21 = l.m20 * b.m01 + l.m21 * b.m11 + l.m22 * b.m21;
    a.m22 = l.m20 * b.m02 + l.m21 * b.m12 + l.m22 * b.m22;
}

bool invert(const FMatrix3& m, FMatrix3& out)
{
    // Single precision, in this order, so that near-singular matrices decide
    // the same way wherever the engine inverts them.
    float det = m.m00 * m.m11 * m.m22;
    det += m.m12 * m.m01 * m.m20;
    det += m.m02 * m.m10 * m.m21;
    det -= m.m02 * m.m11 * m.m20;
    det -= m.m22 * m.m01 * m.m10;
    det -= m.m12 * m.m21 * m.m00;
    if (det == 0.0f) return false;
    out.m00 = (m.m11 * m.m22 - m.m12 * m.m21) / det;
    out.m01 = (m.m02 * m.m21 - m.m01 * m.m22) / det;
    out.m02 = (m.m01 * m.m12 - m.m02 * m.m11) / det;
    out.m10 = (m.m12 * m.m20 - m.m10 * m.m22) / det;
    out.m11 = (m.m00 * m.m22 - m.m02 * m.m20) / det;
    out.m12 = (m.m02 * m.m10 - m.m00 * m.m12) / det;
    out.m20 = (m.m10 * m.m21 - m.m11 * m.m20) / det;
    out.m21 = (m.m01 * m.m20 - m.m00 * m.m21) / det;
    out.m22 = (m.m00 * m.m11 - m.m01 * m.m10) / det;
    return true;
}

FVector3 transformPoint(const FMatrix3& m, FVector3 v)
{
    return FVector3{v.x * m.m00 + v.y * m.m10 + v.z * m.m20, v.x * m.m01 + v.y * m.m11 + v.z * m.m21,
                    v.x * m.m02 + v.y * m.m12 + v.z * m.m22};
}
