#pragma once

#include "core/FMemory.h"
#include "graphics/FRenderDevice.h"
#include "image/FImage.h"

#include <cstring>
#include <string>
#include <thread>
#include <vector>

// A device that keeps what it is told, for checking replays without a GPU.
class RecordingDevice : public FRenderDevice
{
public:
    struct Draw
    {
        FPrimitive primitive;
        FVertexKind kind;
        uint32_t texture;
        std::vector<FColouredVertex> coloured;
        std::vector<FTexturedVertex> textured;
    };

    uint32_t createTexture(int32_t width, int32_t height, const uint8_t* bgraRows) override
    {
        calls.push_back("texture");
        if (failTextures) return 0;
        created.push_back({width, height});
        firstTexels.push_back(std::vector<uint8_t>(bgraRows, bgraRows + 4));
        return nextTexture++;
    }
    void releaseTexture(uint32_t texture) override
    {
        released.push_back(texture);
        releaseThreads.push_back(std::this_thread::get_id());
    }
    void beginFrame(FPointI) override
    {
        calls.push_back("begin");
        draws.clear();
    }
    void setViewport(const FRectI& rect, FPointI) override
    {
        calls.push_back("viewport");
        viewports.push_back(rect);
    }
    void clear(uint32_t) override { calls.push_back("clear"); }
    void setBlendMode(FBlendMode mode) override
    {
        calls.push_back(mode == k_blendAlpha ? "alpha" : "additive");
    }
    void draw(FPrimitive primitive, FVertexKind kind, uint32_t texture, const void* vertices,
              int32_t count) override
    {
        calls.push_back("draw");
        Draw d{primitive, kind, texture, {}, {}};
        if (kind == k_vertexTextured) {
            d.textured.resize(count);
            std::memcpy(d.textured.data(), vertices, count * sizeof(FTexturedVertex));
        } else {
            d.coloured.resize(count);
            std::memcpy(d.coloured.data(), vertices, count * sizeof(FColouredVertex));
        }
        draws.push_back(std::move(d));
    }
    void endFrame() override { calls.push_back("end"); }

    bool failTextures = false;
    uint32_t nextTexture = 1;
    std::vector<std::string> calls;
    std::vector<Draw> draws;
    std::vector<FPointI> created;
    std::vector<std::vector<uint8_t>> firstTexels;
    std::vector<uint32_t> released;
    std::vector<std::thread::id> releaseThreads;
    std::vector<FRectI> viewports;
};

// A B, G, R, A image of width x height filled with one pixel value, or with
// pixel(x, y) (y up from the bottom) when given.
template <class Pixel>
FRefT<FImage> makeBgraImage(int32_t width, int32_t height, Pixel pixel, FImagePoint fullSize = {0, 0},
                            FImagePoint offset = {0, 0})
{
    auto* image = engineNew<FImage>(k_memObject);
    auto* buffer = static_cast<uint8_t*>(engineAlloc(k_memImage, static_cast<size_t>(width) * height * 4));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t argb = pixel(x, y);
            uint8_t* p = buffer + (static_cast<size_t>(y) * width + x) * 4;
            p[0] = argb & 0xFF;
            p[1] = (argb >> 8) & 0xFF;
            p[2] = (argb >> 16) & 0xFF;
            p[3] = argb >> 24;
        }
    }
    if (fullSize.x == 0) {
        image->setPixels({width, height}, k_pixelBgra8, buffer, width * 4, 1.0f);
    } else {
        image->setPlacedPixels(fullSize, k_pixelBgra8, buffer, {width, height}, offset, width * 4, 1.0f);
    }
    return makeRef(image);
}

inline FRefT<FImage> makeSolidImage(int32_t width, int32_t height, uint32_t argb)
{
    return makeBgraImage(width, height, [argb](int32_t, int32_t) { return argb; });
}
