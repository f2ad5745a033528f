#pragma once

#include "graphics/FRenderDevice.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The renderer's device on OpenGL 2.1 (a compatibility context is enough):
// two small shader programs (coloured, textured), one streaming vertex
// buffer, textures uploaded as B, G, R, A. Consecutive triangle shapes with
// the same vertex kind and blend mode go to the GPU as one list; up to eight
// textures are bound at once for it, each vertex naming its unit.
// Made and used on the thread whose context is current.
class FRenderDeviceGl : public FRenderDevice
{
public:
    // Null, with the reason in error, when the context lacks what is needed.
    static std::unique_ptr<FRenderDeviceGl> create(std::string& error);
    ~FRenderDeviceGl() override;

    uint32_t createTexture(int32_t width, int32_t height, const uint8_t* bgraRows) override;
    void releaseTexture(uint32_t texture) override;
    void beginFrame(FPointI clientSize) override;
    void setViewport(const FRectI& rect, FPointI projection) override;
    void clear(uint32_t colour) override;
    void setBlendMode(FBlendMode mode) override;
    void draw(FPrimitive primitive, FVertexKind kind, uint32_t texture, const void* vertices,
              int32_t vertexCount) override;
    void endFrame() override;

    // GL_RENDERER, GL_VERSION of the context.
    std::string rendererName() const;
    int32_t maxTextureSize() const { return m_maxTextureSize; }
    // Bits of one pixel of the frame buffer drawn into (red, green, blue
    // and alpha together).
    int32_t colourBits() const;
    // False for Mesa's software rasterizers (llvmpipe, softpipe, swrast) and
    // for a context SDL made without acceleration.
    bool hardwareRasterization() const;
    // One "name: value" line each: renderer, vendor, version, shading
    // language, texture size and units, colour bits, rasterization.
    std::string featureLines() const;
    // Adapter memory in bytes where the driver tells it, else 0.
    int64_t queryVideoMemory() const;
    // The pixels of rect of the target (y down from its top) as R, G, B, A
    // bytes, top row first.
    std::vector<uint8_t> readPixels(const FRectI& rect) const;

private:
    struct Api;
    struct Program
    {
        uint32_t id = 0;
        int32_t scale = -1;
    };
    static constexpr int32_t k_maxTextureUnits = 8;
    // A run of the batch drawn with one state: one blend mode and vertex
    // kind, and up to one texture per texture unit.
    struct Segment
    {
        FVertexKind kind;
        FBlendMode blend;
        bool lines;
        size_t offset; // bytes into the batch
        int32_t vertexCount;
        uint32_t textures[k_maxTextureUnits];
        int32_t textureCount;
    };

    FRenderDeviceGl();
    bool init(std::string& error);
    bool buildProgram(Program& program, bool textured, std::string& error);
    // Draws every segment gathered so far from one upload of the batch.
    void flush();
    void useProgram(FVertexKind kind);
    // The segment the next shape joins: the last one when the state is the
    // same and it has the texture or a free unit for it (line strips always
    // start their own); unit receives the texture's unit.
    Segment& segmentFor(FVertexKind kind, uint32_t texture, bool lines, float& unit);
    static size_t strideOf(FVertexKind kind);

    std::unique_ptr<Api> m_gl;
    Program m_programs[2];
    uint32_t m_vertexBuffer = 0;
    int32_t m_maxTextureSize = 0;
    FPointI m_clientSize;
    float m_scale[2] = {1.0f, 1.0f};
    // The vertices gathered since the last flush, and their segments.
    std::vector<uint8_t> m_batch;
    std::vector<Segment> m_segments;
    FBlendMode m_blend = k_blendAlpha;
    FBlendMode m_drawnBlend = k_blendAlpha;
    uint32_t m_boundUnits[k_maxTextureUnits] = {};
    int32_t m_units = 1;
    int32_t m_currentProgram = -1;
};
