#pragma once

// A 3x3 float matrix of the 2D transforms; points are row vectors,
// (x, y, 1) x M, so m20 and m21 carry the translation.
struct FMatrix3
{
    float m00 = 1.0f, m01 = 0.0f, m02 = 0.0f;
    float m10 = 0.0f, m11 = 1.0f, m12 = 0.0f;
    float m20 = 0.0f, m21 = 0.0f, m22 = 1.0f;

    bool operator==(const FMatrix3&) const = default;
};

struct FVector3
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// a := a x b
void multiply(FMatrix3& a, const FMatrix3& b);

// out := the inverse of m and true; false, with out unchanged, when the
// determinant is zero.
bool invert(const FMatrix3& m, FMatrix3& out);

// v x m; callers divide by the third component.
FVector3 transformPoint(const FMatrix3& m, FVector3 v);
