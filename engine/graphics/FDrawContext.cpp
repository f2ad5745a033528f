#include "graphics/FDrawContext.h"

#include "graphics/FDrawCommandBuffer.h"

FDrawContext::FDrawContext(FPointI applicationSize) : m_clipStack(applicationSize) {}

void FDrawContext::beginFrame(FDrawCommandBuffer& buffer)
{
    m_buffer = &buffer;
    buffer.reset();
    buffer.pushClear();
}

void FDrawContext::setApplicationSize(FPointI size)
{
    m_clipStack.setApplicationSize(size);
}

FPointF FDrawContext::toVertex(FPointF point) const
{
    return {point.x + m_vertexOffset.x,
            static_cast<float>(m_clipStack.applicationSize().y) - point.y + m_vertexOffset.y};
}
