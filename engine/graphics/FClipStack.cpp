#include "graphics/FClipStack.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"

namespace {

FPointF mapPoint(const FMatrix3& m, FPointF p)
{
    const FVector3 v = transformPoint(m, FVector3{p.x, p.y, 1.0f});
    return FPointF{v.x / v.z, v.y / v.z};
}

} // namespace

FClipStack::FClipStack(FPointI applicationSize)
{
    setApplicationSize(applicationSize);
}

void FClipStack::setApplicationSize(FPointI size)
{
    m_applicationSize = size;
    m_applicationRect.fromIntRect(FRectI{0, 0, size.x, size.y});
}

int32_t FClipStack::pushClip(FPointI origin, const FRectI& rect, float angle, FPointF scale, FPointI pivot,
                             bool isScaled, bool isRotated, bool clip)
{
    FClipState* state = engineNew<FClipState>(k_memObject);
    if (state == nullptr) {
        ZIBBO_FAIL(msgSystemError, "FClipState (NULL)");
    }
    FRefT<FClipState> handle = makeRef(state);
    if (handle.get() == nullptr) {
        ZIBBO_FAIL(msgSystemError, "FRefHolder (NULL)");
    }
    state->rect = rect;
    state->origin = origin;
    state->angle = angle;
    state->pivot = pivot;
    state->scaleX = scale.x;
    state->scaleY = scale.y;
    state->isScaled = isScaled;
    state->isRotated = isRotated;
    state->computeMatrices();

    const FClipState* parent = top();
    state->world = state->local;
    if (parent == nullptr) {
        state->inverseWorld = state->inverseLocal;
    } else {
        multiply(state->world, parent->world);
        state->inverseWorld = parent->inverseWorld;
        multiply(state->inverseWorld, state->inverseLocal);
    }
    m_states.push_back(handle);

    // A child of an empty clipping container shows nothing; no geometry needed.
    if (clip && parent != nullptr && parent->result == FClipState::k_empty) {
        state->result = FClipState::k_empty;
        return state->result;
    }
    const FClipPolygon& parentRegion = clip && parent != nullptr ? parent->clipPolygon : m_applicationRect;

    const float w = float(rect.right - rect.left);
    const float h = float(rect.bottom - rect.top);
    FPointF corners[4] = {{0.0f, 0.0f}, {w, 0.0f}, {0.0f, h}, {w, h}};
    for (FPointF& c : corners) {
        c = mapPoint(state->offset, c);
        if (parent != nullptr) {
            c = mapPoint(parent->world, c);
        }
    }
    FClipPolygon widget;
    convexHullOfPoints(corners, 4, widget);

    FClipPolygon region;
    if (clip) {
        intersect(parentRegion, widget, region);
    } else {
        region = parentRegion;
    }
    if (region.vertexCount() > 2) {
        if (equals(region, widget)) {
            state->result = FClipState::k_unchanged;
            state->clipPolygon = widget;
        } else {
            state->result = FClipState::k_clipped;
            state->clipPolygon = region;
        }
    } else {
        state->result = FClipState::k_empty;
    }
    return state->result;
}

void FClipStack::pop()
{
    if (!m_states.empty()) {
        m_states.pop_back();
    }
}

const FClipState* FClipStack::top() const
{
    return m_states.empty() ? nullptr : m_states.back().get();
}

FRefT<FClipState> FClipStack::topHandle() const
{
    return m_states.empty() ? FRefT<FClipState>() : m_states.back();
}

int32_t FClipStack::topResult() const
{
    const FClipState* t = top();
    return t != nullptr ? t->result : FClipState::k_unchanged;
}

void FClipStack::setTopResult(int32_t result)
{
    if (!m_states.empty()) {
        m_states.back()->result = result;
    }
}

const FClipPolygon& FClipStack::topClipPolygon() const
{
    const FClipState* t = top();
    return t != nullptr ? t->clipPolygon : m_applicationRect;
}

const FMatrix3& FClipStack::topWorld() const
{
    const FClipState* t = top();
    return t != nullptr ? t->world : m_identity;
}

const FMatrix3& FClipStack::topInverseWorld() const
{
    const FClipState* t = top();
    return t != nullptr ? t->inverseWorld : m_identity;
}
