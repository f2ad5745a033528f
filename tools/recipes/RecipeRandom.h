#pragma once

// The seeded generator every recipe draws its variety from (the engine's
// ISAAC), so that the same seed always gives the same picture or sound.

#include "core/FIsaac.h"

#include <cstdint>

class RecipeRandom
{
public:
    explicit RecipeRandom(uint32_t seed) : m_isaac(seed, 0x5EED5EEDu, 0x9E3779B9u) {}

    uint32_t next() { return m_isaac.next(); }
    // Uniform in [low, high).
    double uniform(double low, double high) { return low + (high - low) * (next() / 4294967296.0); }
    // Uniform among low .. high - 1.
    int32_t below(int32_t low, int32_t high)
    {
        return low + static_cast<int32_t>(next() % static_cast<uint32_t>(high - low));
    }

private:
    FIsaac m_isaac;
};
