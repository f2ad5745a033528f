#include "ui/FEasing.h"

#include <algorithm>
#include <cmath>

namespace {

// Single-precision constants of the curves, widened.
constexpr double k_outOffset = double(1.239f);
constexpr double k_outShift = double(0.11f);
constexpr double k_outExponent = double(-2.1f);
constexpr double k_inShift = double(0.419f);
constexpr double k_inExponent = double(2.4f);
constexpr double k_inFactor = double(0.4f);
constexpr double k_inOffset = double(0.2f);

} // namespace

double FEasing::raw(int32_t easing, double f)
{
    switch (easing) {
    case k_easeOut:
        return k_outOffset - std::pow(2.2, (f + k_outShift) * k_outExponent) * 1.5;
    case k_easeIn:
        return std::pow(2.2, (f - k_inShift) * k_inExponent) * k_inFactor - k_inOffset;
    default:
        return f;
    }
}

double FEasing::value(int32_t easing, double f)
{
    return std::clamp(raw(easing, f), 0.0, 1.0);
}
