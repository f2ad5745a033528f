#pragma once

#include <cstdint>

#include "graphics/FGeometry.h"

// How new pixels combine with the picture: alpha (source alpha, inverse
// source alpha) or additive (source alpha, one).
enum FBlendMode : int32_t {
    k_blendAlpha = 0,
    k_blendAdditive = 1,
};

enum FVertexKind : int32_t {
    k_vertexColoured = 0, // FColouredVertex
    k_vertexTextured = 1, // FTexturedVertex
};

enum FPrimitive : int32_t {
    k_primTriangleFan = 0,
    k_primTriangleList = 1,
    k_primLineStrip = 2,
};

// Vertices in application units with y pointing up and 0 at the bottom;
// colours are ARGB words (alpha in the top byte).
struct FColouredVertex
{
    float x;
    float y;
    float z;
    uint32_t colour;
};

struct FTexturedVertex
{
    float x;
    float y;
    float z;
    uint32_t colour;
    float u;
    float v;
};

// The drawing device the renderer replays into, owned by the platform. All of
// it runs on the main thread. Textures are numbered by the device; 0 is none.
class FRenderDevice
{
public:
    virtual ~FRenderDevice() = default;

    // A texture of width x height from rows of B, G, R, A bytes, lowest image
    // row first (v = 0 at the bottom), clamped and linearly filtered. 0 when it
    // cannot be made.
    virtual uint32_t createTexture(int32_t width, int32_t height, const uint8_t* bgraRows) = 0;
    virtual void releaseTexture(uint32_t texture) = 0;

    // Starts a frame on a target of clientSize pixels: nothing bound, alpha
    // blending, no depth test.
    virtual void beginFrame(FPointI clientSize) = 0;
    // Draws from now on into rect of the target (y down from its top), which
    // shows the application units 0..projection.x and 0..projection.y.
    virtual void setViewport(const FRectI& rect, FPointI projection) = 0;
    // Fills the whole target with an ARGB colour.
    virtual void clear(uint32_t colour) = 0;
    virtual void setBlendMode(FBlendMode mode) = 0;
    // texture 0 draws plain colour; a textured vertex kind multiplies the
    // texel by the vertex colour.
    virtual void draw(FPrimitive primitive, FVertexKind kind, uint32_t texture, const void* vertices,
                      int32_t vertexCount) = 0;
    // Everything drawn so far reaches the target.
    virtual void endFrame() = 0;
};
