#pragma once

#include <cstdint>
#include <deque>

#include "core/FRef.h"
#include "graphics/FClipState.h"

// The clip stack of a draw context. Each widget pushes a state before it draws
// and its container's state is the parent: the new state's world matrix is its
// local matrix followed by the parent's, and its region is its rectangle,
// mapped into the parent's space, cut by the parent's region. Shapes are drawn
// through the top state.
//
// With nothing pushed, the top reads as the whole application rectangle with
// identity matrices, so drawing before the first push is never left undefined.
class FClipStack
{
public:
    explicit FClipStack(FPointI applicationSize);

    // The logical application size that bounds every region.
    void setApplicationSize(FPointI size);
    FPointI applicationSize() const { return m_applicationSize; }

    // Pushes a state for a widget and returns its result (FClipState::Result).
    // Without clip the region is the whole application rectangle.
    int32_t pushClip(FPointI origin, const FRectI& rect, float angle, FPointF scale, FPointI pivot,
                     bool isScaled, bool isRotated, bool clip);
    // Removes the top state (nothing when empty).
    void pop();

    bool empty() const { return m_states.empty(); }
    size_t depth() const { return m_states.size(); }
    // The top state, or null when empty.
    const FClipState* top() const;
    FRefT<FClipState> topHandle() const;

    int32_t topResult() const;
    void setTopResult(int32_t result);
    const FClipPolygon& topClipPolygon() const;
    const FMatrix3& topWorld() const;
    const FMatrix3& topInverseWorld() const;

private:
    FPointI m_applicationSize;
    FClipPolygon m_applicationRect;
    FMatrix3 m_identity;
    std::deque<FRefT<FClipState>> m_states;
};
