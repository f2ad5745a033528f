#include "tools/imagewriters/TestPicture.h"

#include <random>

TestPicture TestPicture::make(int32_t width, int32_t height, uint32_t seed)
{
    TestPicture p;
    p.width = width;
    p.height = height;
    p.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-12, 12);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            int r = width > 1 ? x * 255 / (width - 1) : 128;
            int g = height > 1 ? y * 255 / (height - 1) : 128;
            int b = ((x / 7) + (y / 5)) % 2 == 0 ? 40 : 220; // hard edges
            if ((x - width / 2) * (x - width / 2) + (y - height / 3) * (y - height / 3) <
                width * height / 16) {
                r = 250;
                g = 20;
            }
            auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
            uint8_t* out = &p.rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            out[0] = clamp(r + noise(random));
            out[1] = clamp(g + noise(random));
            out[2] = clamp(b + noise(random));
        }
    }
    return p;
}
