#pragma once

#include <cstdint>
#include <vector>

// A deterministic synthetic picture for image fixtures: smooth gradients, hard
// colour edges and seeded noise, so that both flat and busy blocks occur.
struct TestPicture
{
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb; // top row first, 3 bytes a pixel

    static TestPicture make(int32_t width, int32_t height, uint32_t seed);
};
