#include "graphics/FShapeEmitter.h"

#include "graphics/FDrawCommandBuffer.h"
#include "graphics/FDrawContext.h"
#include "image/FImage.h"

#include <cstring>

namespace {

// Every recorded vertex lies at the depth the clear record sets.
constexpr float k_depth = 1.0f;

FPointF mapPoint(const FMatrix3& m, FPointF p)
{
    const FVector3 v = transformPoint(m, FVector3{p.x, p.y, 1.0f});
    return FPointF{v.x / v.z, v.y / v.z};
}

void putVertex(void* at, int32_t index, const FTexturedVertex& vertex)
{
    std::memcpy(static_cast<uint8_t*>(at) + index * sizeof(FTexturedVertex), &vertex, sizeof(vertex));
}

FTexturedVertex texturedVertex(const FDrawContext& context, FPointF point, FPointF st, uint32_t colour,
                               const FRectF& texture)
{
    const FPointF p = context.toVertex(point);
    return FTexturedVertex{p.x,
                           p.y,
                           k_depth,
                           colour,
                           texture.left + st.x * (texture.right - texture.left),
                           texture.top + st.y * (texture.bottom - texture.top)};
}

// The clipped polygon as one textured fan of image.
void pushTexturedFan(FDrawContext& context, const FRefT<FImage>& image, const FClipPolygon& polygon,
                     const FPointF* normalized, uint32_t colour, const FRectF& texture)
{
    const int32_t count = polygon.vertexCount();
    void* vertices = context.buffer()->pushDraw(k_primTriangleFan, k_vertexTextured, image, count);
    if (vertices == nullptr) return;
    for (int32_t i = 0; i < count; ++i)
        putVertex(vertices, i, texturedVertex(context, polygon.vertex(i), normalized[i], colour, texture));
}

} // namespace

const FImage* FShapeEmitter::rootImage(const FImage* image)
{
    while (image != nullptr && !image->sourceImage().isNull())
        image = image->sourceImage().get();
    return image;
}

int32_t FShapeEmitter::nearestInt(float x)
{
    if (x >= 0.0f) {
        const auto t = static_cast<int32_t>(x);
        return static_cast<int32_t>(x + 0.5f) != t ? t + 1 : t;
    }
    const auto t = static_cast<int32_t>(x);
    return static_cast<int32_t>(x - 0.5f) != t ? t - 1 : t;
}

bool FShapeEmitter::buildClippedQuad(const FDrawContext& context, const FRectF& rect, FPointF position,
                                     FPointF pivot, float angle, float scaleX, float scaleY,
                                     FClipPolygon& result, FPointF* normalized)
{
    const float x0 = rect.left + position.x;
    const float y0 = rect.top + position.y;
    const float x1 = x0 + (rect.right - rect.left) * scaleX;
    const float y1 = y0 + (rect.bottom - rect.top) * scaleY;
    FPointF corners[4] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    const FClipStack& stack = context.clipStack();
    for (FPointF& corner : corners) {
        if (angle != 0.0f) corner = rotatePoint(-static_cast<double>(angle), corner, pivot);
        corner = mapPoint(stack.topWorld(), corner);
    }
    FClipPolygon placed;
    convexHullOfPoints(corners, 4, placed);
    result.clear();
    if (placed.vertexCount() < 3) return false;
    intersect(placed, stack.topClipPolygon(), result);
    if (result.vertexCount() < 3) return false;
    if (normalized != nullptr) {
        const float width = x1 - x0;
        const float height = y1 - y0;
        for (int32_t i = 0; i < result.vertexCount(); ++i) {
            FPointF p = mapPoint(stack.topInverseWorld(), result.vertex(i));
            if (angle != 0.0f) p = rotatePoint(angle, p, pivot);
            normalized[i] = {width != 0.0f ? (p.x - x0) / width : 0.0f,
                             height != 0.0f ? (p.y - y0) / height : 0.0f};
        }
    }
    return true;
}

FRectF FShapeEmitter::computeTextureRect(const FImage& root, const FRectI& sourceRect, int32_t flip)
{
    // All in the root's upward coordinates: top is the lower edge here.
    const float s = root.scale();
    const auto scaledWidth = static_cast<int32_t>(static_cast<float>(root.width()) * s);
    const auto scaledHeight = static_cast<int32_t>(static_cast<float>(root.height()) * s);
    FRectF r =
        intersectRects(FRectF{0.0f, 0.0f, static_cast<float>(scaledWidth), static_cast<float>(scaledHeight)},
                       flipRectInHeight(sourceRect, scaledHeight));
    const FImageRect& pixels = root.pixelRect();
    FRectF t{static_cast<float>(static_cast<int32_t>(static_cast<float>(pixels.left) * s)),
             static_cast<float>(static_cast<int32_t>(static_cast<float>(pixels.bottom) * s)),
             static_cast<float>(static_cast<int32_t>(static_cast<float>(pixels.right) * s)),
             static_cast<float>(static_cast<int32_t>(static_cast<float>(pixels.top) * s))};
    const auto w = static_cast<float>(pixels.width());
    const auto h = static_cast<float>(pixels.height());
    if (flip == k_flipHorizontal || flip == k_flipBoth) {
        const float span = r.right - r.left;
        const float left = t.left;
        t.left = span - t.right;
        t.right = span - left;
    }
    if (flip == k_flipVertical || flip == k_flipBoth) {
        const float span = r.bottom - r.top;
        const float top = t.top;
        t.top = span - t.bottom;
        t.bottom = span - top;
    }
    r = intersectRects(r, t);
    const float a = w != 0.0f ? (r.left - t.left) / w : 0.0f;
    const float b = h != 0.0f ? (r.top - t.top) / h : 0.0f;
    const float c = w != 0.0f ? (r.right - t.left) / w : 0.0f;
    const float d = h != 0.0f ? (r.bottom - t.top) / h : 0.0f;
    switch (flip) {
    case k_flipHorizontal:
        return {c, d, a, b};
    case k_flipVertical:
        return {a, b, c, d};
    case k_flipBoth:
        return {c, b, a, d};
    default:
        return {a, d, c, b};
    }
}

void FShapeEmitter::pushTexturedPolygon(const FRectI& sourceRect, FDrawContext& context,
                                        const FRefT<FImage>& image, FPointI position, float scaleX,
                                        float scaleY, uint32_t colour, float angle, int32_t flip)
{
    const FImage* root = rootImage(image.get());
    FDrawCommandBuffer* buffer = context.buffer();
    if (root == nullptr || buffer == nullptr) return;
    const FPointF pivot{
        static_cast<float>(sourceRect.left + (sourceRect.right - sourceRect.left) / 2 + position.x),
        static_cast<float>(sourceRect.top + (sourceRect.bottom - sourceRect.top) / 2 + position.y)};
    const FImageRect& pixels = root->pixelRect();
    FRectF rect{static_cast<float>(sourceRect.left), static_cast<float>(sourceRect.top),
                static_cast<float>(sourceRect.right), static_cast<float>(sourceRect.bottom)};
    FPointF at{static_cast<float>(position.x), static_cast<float>(position.y)};
    if (pixels.width() != root->width() || pixels.height() != root->height()) {
        rect.right = rect.left + static_cast<float>(pixels.width());
        rect.bottom = rect.top + static_cast<float>(pixels.height());
        at = {static_cast<float>(
                  nearestInt(static_cast<float>(pixels.left) * scaleX + static_cast<float>(position.x))),
              static_cast<float>(nearestInt(static_cast<float>(root->height() - pixels.top) * scaleY +
                                            static_cast<float>(position.y)))};
    }
    FClipPolygon polygon;
    FPointF normalized[FClipPolygon::k_capacity];
    if (!buildClippedQuad(context, rect, at, pivot, angle, scaleX, scaleY, polygon, normalized)) return;
    pushTexturedFan(context, image, polygon, normalized, colour, computeTextureRect(*root, sourceRect, flip));
}

void FShapeEmitter::drawImage(FDrawContext& context, const FRefT<FImage>& image, FPointI position)
{
    const FImage* root = rootImage(image.get());
    if (root == nullptr) return;
    pushTexturedPolygon(FRectI{0, 0, root->width(), root->height()}, context, image, position, 1.0f, 1.0f,
                        0xFFFFFFFFu, 0.0f, k_flipNone);
}

void FShapeEmitter::drawImageStretched(const FRectI& destination, FDrawContext& context,
                                       const FRefT<FImage>& image, uint32_t colour)
{
    const FImage* root = rootImage(image.get());
    if (root == nullptr || root->width() <= 0 || root->height() <= 0) return;
    const float scaleX =
        static_cast<float>(destination.right - destination.left) / static_cast<float>(root->width());
    const float scaleY =
        static_cast<float>(destination.bottom - destination.top) / static_cast<float>(root->height());
    pushTexturedPolygon(FRectI{0, 0, root->width(), root->height()}, context, image,
                        FPointI{destination.left, destination.top}, scaleX, scaleY, colour, 0.0f, k_flipNone);
}

void FShapeEmitter::drawImageRegion(FDrawContext& context, const FRefT<FImage>& image,
                                    const FRectI& destination, uint32_t colour)
{
    const FImage* root = rootImage(image.get());
    if (root == nullptr || context.buffer() == nullptr || root->width() <= 0 || root->height() <= 0) return;
    const auto width = static_cast<float>(destination.right - destination.left);
    const auto height = static_cast<float>(destination.bottom - destination.top);
    const FPointF pivot{static_cast<float>(destination.left) + width / 2.0f,
                        static_cast<float>(destination.top) + height / 2.0f};
    FClipPolygon polygon;
    FPointF normalized[FClipPolygon::k_capacity];
    if (!buildClippedQuad(context, {0.0f, 0.0f, width, height},
                          {static_cast<float>(destination.left), static_cast<float>(destination.top)}, pivot,
                          0.0f, 1.0f, 1.0f, polygon, normalized))
        return;
    // The whole image's coordinates, stretched by how many times it fits.
    FRectF texture = computeTextureRect(*root, {0, 0, root->width(), root->height()}, k_flipNone);
    texture.right = texture.left + (texture.right - texture.left) * width / static_cast<float>(root->width());
    texture.bottom =
        texture.top + (texture.bottom - texture.top) * height / static_cast<float>(root->height());
    pushTexturedFan(context, image, polygon, normalized, colour, texture);
}

void FShapeEmitter::pushColouredPolygon(FDrawContext& context, uint32_t colour, const FRectI& rect)
{
    FDrawCommandBuffer* buffer = context.buffer();
    if (buffer == nullptr) return;
    const FPointF pivot{static_cast<float>(rect.left + (rect.right - rect.left) / 2),
                        static_cast<float>(rect.top + (rect.bottom - rect.top) / 2)};
    const FRectF area{static_cast<float>(rect.left), static_cast<float>(rect.top),
                      static_cast<float>(rect.right), static_cast<float>(rect.bottom)};
    FClipPolygon polygon;
    if (!buildClippedQuad(context, area, {0.0f, 0.0f}, pivot, 0.0f, 1.0f, 1.0f, polygon, nullptr)) return;
    const int32_t count = polygon.vertexCount();
    void* vertices = buffer->pushDraw(k_primTriangleFan, k_vertexColoured, FRefT<FImage>(), count);
    if (vertices == nullptr) return;
    for (int32_t i = 0; i < count; ++i) {
        const FPointF p = context.toVertex(polygon.vertex(i));
        const FColouredVertex vertex{p.x, p.y, k_depth, colour};
        std::memcpy(static_cast<uint8_t*>(vertices) + i * sizeof(vertex), &vertex, sizeof(vertex));
    }
}

void FShapeEmitter::pushOutlineRect(const FRectI& rect, uint32_t colour, FDrawContext& context)
{
    FDrawCommandBuffer* buffer = context.buffer();
    if (buffer == nullptr) return;
    const auto height = static_cast<float>(context.applicationSize().y);
    const auto left = static_cast<float>(rect.left);
    const auto right = static_cast<float>(rect.right);
    const float lower = height - static_cast<float>(rect.bottom);
    const float upper = height - static_cast<float>(rect.top);
    const FColouredVertex corners[4] = {{left, lower, k_depth, colour},
                                        {right, lower, k_depth, colour},
                                        {right, upper, k_depth, colour},
                                        {left, upper, k_depth, colour}};
    void* vertices = buffer->pushDraw(k_primLineStrip, k_vertexColoured, FRefT<FImage>(), 4);
    if (vertices != nullptr) std::memcpy(vertices, corners, sizeof(corners));
}

void FShapeEmitter::pushTextRun(FDrawContext& context, const std::vector<FGlyphQuad>& glyphs,
                                std::vector<FGlyphRunRecord>& records)
{
    FDrawCommandBuffer* buffer = context.buffer();
    if (buffer == nullptr) return;
    records.resize(glyphs.size());
    size_t used = 0;
    for (const FGlyphQuad& glyph : glyphs) {
        const FImage* root = rootImage(glyph.page.get());
        if (root == nullptr) continue;
        const FRectI rect{static_cast<int32_t>(glyph.rect.left), static_cast<int32_t>(glyph.rect.top),
                          static_cast<int32_t>(glyph.rect.right), static_cast<int32_t>(glyph.rect.bottom)};
        const FPointF at{
            static_cast<float>(static_cast<int32_t>(glyph.pen.x - glyph.scale * glyph.rect.left)),
            static_cast<float>(static_cast<int32_t>(glyph.pen.y - glyph.scale * glyph.rect.top))};
        const FPointF pivot{static_cast<float>(rect.left + (rect.right - rect.left) / 2) + at.x,
                            static_cast<float>(rect.top + (rect.bottom - rect.top) / 2) + at.y};
        FGlyphRunRecord& record = records[used];
        const FRectF area{static_cast<float>(rect.left), static_cast<float>(rect.top),
                          static_cast<float>(rect.right), static_cast<float>(rect.bottom)};
        if (!buildClippedQuad(context, area, at, pivot, 0.0f, glyph.scale, glyph.scale, record.polygon,
                              record.normalized))
            continue;
        record.colour = glyph.colour;
        record.page = glyph.page;
        record.texture = computeTextureRect(*root, rect, k_flipNone);
        ++used;
    }

    // One draw record per page, in the order the pages first appear; each
    // glyph goes into exactly one batch, so none is blended twice. A glyph
    // lets go of its page once batched, which marks it done.
    for (size_t first = 0; first < used; ++first) {
        if (records[first].page.isNull()) continue;
        const FRefT<FImage> batchPage = records[first].page;
        const FImage* page = rootImage(batchPage.get());
        int32_t vertexCount = 0;
        for (size_t i = first; i < used; ++i) {
            if (rootImage(records[i].page.get()) == page)
                vertexCount += 3 * (records[i].polygon.vertexCount() - 2);
        }
        void* vertices = buffer->pushDraw(k_primTriangleList, k_vertexTextured, batchPage, vertexCount);
        int32_t out = 0;
        for (size_t i = first; i < used; ++i) {
            FGlyphRunRecord& record = records[i];
            if (rootImage(record.page.get()) != page) continue;
            record.page = FRefT<FImage>();
            if (vertices == nullptr) continue;
            auto vertexAt = [&](int32_t k) {
                return texturedVertex(context, record.polygon.vertex(k), record.normalized[k], record.colour,
                                      record.texture);
            };
            for (int32_t k = 2; k < record.polygon.vertexCount(); ++k) {
                putVertex(vertices, out++, vertexAt(0));
                putVertex(vertices, out++, vertexAt(k - 1));
                putVertex(vertices, out++, vertexAt(k));
            }
        }
    }
}
