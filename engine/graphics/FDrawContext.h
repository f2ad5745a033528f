#pragma once

#include "graphics/FClipStack.h"
#include "graphics/FGeometry.h"

class FDrawCommandBuffer;

// What widgets draw through: the buffer that records go to, the clip stack
// whose top state places and clips every shape, and the recording transform
// (the application height that flips y and the vertex offset added to every
// recorded vertex). Used by one recording thread at a time.
class FDrawContext
{
public:
    explicit FDrawContext(FPointI applicationSize);

    // Frame start: records go to buffer from now on; it is emptied and
    // begins with a clear record.
    void beginFrame(FDrawCommandBuffer& buffer);
    // Null between frames: shapes record nothing then.
    FDrawCommandBuffer* buffer() const { return m_buffer; }
    void setBuffer(FDrawCommandBuffer* buffer) { m_buffer = buffer; }

    FClipStack& clipStack() { return m_clipStack; }
    const FClipStack& clipStack() const { return m_clipStack; }

    void setApplicationSize(FPointI size);
    FPointI applicationSize() const { return m_clipStack.applicationSize(); }
    void setVertexOffset(FPointF offset) { m_vertexOffset = offset; }
    FPointF vertexOffset() const { return m_vertexOffset; }

    // A point in application coordinates (y down) as a recorded vertex
    // position (y up, offset added).
    FPointF toVertex(FPointF point) const;

private:
    FClipStack m_clipStack;
    FDrawCommandBuffer* m_buffer = nullptr;
    FPointF m_vertexOffset{0.0f, 0.0f};
};
