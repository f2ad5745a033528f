#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/FRef.h"
#include "graphics/FRenderDevice.h"

class FImage;
class FTextureRegistry;

// The draw records of one frame. The UI thread records while the main thread
// replays the other buffer of the pair (see FGraphCommon). Records follow each
// other in one block of 32-bit words: an operation code and its arguments,
// vertex data inline. A draw record names its own vertex kind and its own
// texture (an image, or none), so replay never depends on what an earlier
// record or frame left bound.
//
// A record that does not fit is never written in part: the block grows (up to
// a limit) or the whole record is dropped and counted. Replay reads only what
// was completely written, so it always reaches the end.
class FDrawCommandBuffer
{
public:
    static constexpr size_t k_initialBytes = 300000;
    static constexpr size_t k_maxBytes = 32u << 20;

    enum Op : uint32_t {
        k_opClear = 1,
        k_opAlphaBlend = 2,
        k_opAdditiveBlend = 3,
        k_opDraw = 4,
    };

    explicit FDrawCommandBuffer(size_t initialBytes = k_initialBytes, size_t maxBytes = k_maxBytes);

    // Empties the buffer for a new frame; image handles still held are let go.
    // Logs how many records the last frame lost, if any.
    void reset();

    void pushClear();
    // 0 alpha, 1 additive; any other mode records nothing.
    void pushBlendMode(int32_t mode);
    // Starts a draw record and returns where its vertexCount vertices of kind
    // go, or null when the record was dropped (nothing of it is written). An
    // empty image handle draws untextured.
    void* pushDraw(FPrimitive primitive, FVertexKind kind, const FRefT<FImage>& image, int32_t vertexCount);

    // Replays the records into device: the textures of draw records come from
    // textures; a draw whose texture cannot be made is skipped. A frame can be
    // replayed again (a redraw without a new frame); its images are held
    // until the buffer is reset.
    void replay(FRenderDevice& device, FTextureRegistry& textures);

    size_t usedBytes() const { return m_used * 4; }
    size_t capacityBytes() const { return m_words.size() * 4; }
    int32_t droppedRecords() const { return m_dropped; }
    int32_t recordCount() const { return m_records; }

    static int32_t vertexStride(FVertexKind kind);

private:
    // Room for words more words, growing when allowed; false drops the record.
    bool reserve(size_t words);

    std::vector<uint32_t> m_words;
    size_t m_used = 0;
    size_t m_maxWords;
    std::vector<FRefT<FImage>> m_images;
    int32_t m_records = 0;
    int32_t m_dropped = 0;
};
