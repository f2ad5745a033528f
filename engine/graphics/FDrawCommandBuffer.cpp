#include "graphics/FDrawCommandBuffer.h"

#include "core/FLogStream.h"
#include "graphics/FTextureRegistry.h"
#include "image/FImage.h"

#include <algorithm>

namespace {
// op, primitive, kind, image index, vertex count
constexpr size_t k_drawHeaderWords = 5;
constexpr uint32_t k_noImage = 0xFFFFFFFFu;
} // namespace

FDrawCommandBuffer::FDrawCommandBuffer(size_t initialBytes, size_t maxBytes)
    : m_words(std::max<size_t>(initialBytes / 4, 1)), m_maxWords(std::max(maxBytes, initialBytes) / 4)
{
}

int32_t FDrawCommandBuffer::vertexStride(FVertexKind kind)
{
    return kind == k_vertexTextured ? static_cast<int32_t>(sizeof(FTexturedVertex))
                                    : static_cast<int32_t>(sizeof(FColouredVertex));
}

void FDrawCommandBuffer::reset()
{
    if (m_dropped > 0) {
        ZIBBO_LOG(k_logWarn, false) << "Draw command buffer full: " << m_dropped << " records dropped";
    }
    m_used = 0;
    m_records = 0;
    m_dropped = 0;
    m_images.clear();
}

bool FDrawCommandBuffer::reserve(size_t words)
{
    if (m_used + words <= m_words.size()) return true;
    if (m_used + words > m_maxWords) {
        ++m_dropped;
        return false;
    }
    const size_t grown = std::min(m_maxWords, std::max(m_words.size() * 2, m_used + words));
    m_words.resize(grown);
    ZIBBO_LOG(k_logGraph, false) << "Draw command buffer grew to " << grown * 4 << " bytes";
    return true;
}

void FDrawCommandBuffer::pushClear()
{
    if (!reserve(1)) return;
    m_words[m_used++] = k_opClear;
    ++m_records;
}

void FDrawCommandBuffer::pushBlendMode(int32_t mode)
{
    if (mode != k_blendAlpha && mode != k_blendAdditive) return;
    if (!reserve(1)) return;
    m_words[m_used++] = mode == k_blendAlpha ? k_opAlphaBlend : k_opAdditiveBlend;
    ++m_records;
}

void* FDrawCommandBuffer::pushDraw(FPrimitive primitive, FVertexKind kind, const FRefT<FImage>& image,
                                   int32_t vertexCount)
{
    if (vertexCount <= 0) return nullptr;
    const size_t vertexWords = static_cast<size_t>(vertexCount) * vertexStride(kind) / 4;
    if (!reserve(k_drawHeaderWords + vertexWords)) return nullptr;
    uint32_t imageIndex = k_noImage;
    if (!image.isNull()) {
        imageIndex = static_cast<uint32_t>(m_images.size());
        m_images.push_back(image);
    }
    uint32_t* record = &m_words[m_used];
    record[0] = k_opDraw;
    record[1] = static_cast<uint32_t>(primitive);
    record[2] = static_cast<uint32_t>(kind);
    record[3] = imageIndex;
    record[4] = static_cast<uint32_t>(vertexCount);
    m_used += k_drawHeaderWords + vertexWords;
    ++m_records;
    return record + k_drawHeaderWords;
}

void FDrawCommandBuffer::replay(FRenderDevice& device, FTextureRegistry& textures)
{
    size_t read = 0;
    while (read < m_used) {
        const uint32_t op = m_words[read++];
        if (op == k_opClear) {
            device.clear(0xFF000000u);
        } else if (op == k_opAlphaBlend || op == k_opAdditiveBlend) {
            device.setBlendMode(op == k_opAlphaBlend ? k_blendAlpha : k_blendAdditive);
        } else if (op == k_opDraw && read + k_drawHeaderWords - 1 <= m_used) {
            const auto primitive = static_cast<FPrimitive>(m_words[read]);
            const auto kind = static_cast<FVertexKind>(m_words[read + 1]);
            const uint32_t imageIndex = m_words[read + 2];
            const auto count = static_cast<int32_t>(m_words[read + 3]);
            const size_t vertexWords = static_cast<size_t>(count) * vertexStride(kind) / 4;
            read += k_drawHeaderWords - 1;
            if (read + vertexWords > m_used) break;
            const uint32_t* vertices = &m_words[read];
            read += vertexWords;
            uint32_t texture = 0;
            if (imageIndex != k_noImage) {
                if (imageIndex >= m_images.size()) continue;
                texture = textures.textureFor(m_images[imageIndex]);
                // Without its texture the shape would show whatever was bound
                // before: a wrong picture. It is left out instead.
                if (texture == 0) continue;
            }
            device.draw(primitive, kind, texture, vertices, count);
        } else {
            break;
        }
    }
}
