#pragma once

#include <cstdint>
#include <vector>

#include "core/FRef.h"
#include "graphics/FClipPolygon.h"
#include "graphics/FGeometry.h"

class FDrawContext;
class FImage;

// One glyph as the font lays it out: the page image it comes from, its
// rectangle in page pixels (y down), the pen position, the scale and the
// ARGB colour.
struct FGlyphQuad
{
    FRefT<FImage> page;
    FRectF rect;
    FPointF pen;
    float scale = 1.0f;
    uint32_t colour = 0xFF000000u;
};

// A glyph after placement and clipping, kept while a text run is recorded.
struct FGlyphRunRecord
{
    FClipPolygon polygon;
    // For each polygon vertex its place (s, t) in 0..1 within the glyph quad.
    FPointF normalized[FClipPolygon::k_capacity];
    uint32_t colour = 0xFF000000u;
    FRefT<FImage> page;
    FRectF texture; // uStart, vStart, uEnd, vEnd
};

// The recording operations that turn widget drawing into draw records of the
// context's buffer. Every shape except the outline is placed by the top clip
// state's world matrix and clipped to its region, so a shape never leaves its
// container; a shape clipped away records nothing.
class FShapeEmitter
{
public:
    // Flip kinds of sprites.
    enum Flip : int32_t { k_flipNone = 0, k_flipHorizontal = 1, k_flipVertical = 2, k_flipBoth = 3 };

    // The sprite: sourceRect of the image (image pixels, y down) at position,
    // scaled from its top-left corner, rotated by angle degrees about its
    // centre, tinted by colour. Trimmed images place their stored pixels where
    // they lie in the whole picture.
    static void pushTexturedPolygon(const FRectI& sourceRect, FDrawContext& context,
                                    const FRefT<FImage>& image, FPointI position, float scaleX, float scaleY,
                                    uint32_t colour, float angle, int32_t flip);
    // The whole image at position, unscaled and untinted.
    static void drawImage(FDrawContext& context, const FRefT<FImage>& image, FPointI position);
    // The whole image scaled to fill destination.
    static void drawImageStretched(const FRectI& destination, FDrawContext& context,
                                   const FRefT<FImage>& image, uint32_t colour);
    // The image over destination at its own pixel scale, starting at its
    // top-left corner: texture coordinates run from 0 to the destination's
    // size over the image's size, tinted by colour.
    static void drawImageRegion(FDrawContext& context, const FRefT<FImage>& image, const FRectI& destination,
                                uint32_t colour);
    // rect filled with one colour.
    static void pushColouredPolygon(FDrawContext& context, uint32_t colour, const FRectI& rect);
    // Bottom, right and top sides of rect as a line strip, in application
    // coordinates, neither placed nor clipped.
    static void pushOutlineRect(const FRectI& rect, uint32_t colour, FDrawContext& context);
    // The glyphs of a laid-out text, one draw record per page; each glyph is
    // drawn exactly once. records is working storage the caller may keep.
    static void pushTextRun(FDrawContext& context, const std::vector<FGlyphQuad>& glyphs,
                            std::vector<FGlyphRunRecord>& records);

    // The last image of image's source chain (the one whose pixels and size
    // count for drawing), or null for null.
    static const FImage* rootImage(const FImage* image);
    // Nearest integer, halves away from zero.
    static int32_t nearestInt(float x);
    // {uStart, vStart, uEnd, vEnd} of sourceRect (y down) in the texture of
    // root, whose v runs up from the bottom of its stored pixels.
    static FRectF computeTextureRect(const FImage& root, const FRectI& sourceRect, int32_t flip);
    // The quad of rect at position, scaled, rotated by angle about pivot,
    // placed by the context's top world matrix and clipped to its region.
    // False when nothing is left. normalized (may be null) receives each
    // vertex's (s, t) within the unclipped quad.
    static bool buildClippedQuad(const FDrawContext& context, const FRectF& rect, FPointF position,
                                 FPointF pivot, float angle, float scaleX, float scaleY, FClipPolygon& result,
                                 FPointF* normalized);
};
