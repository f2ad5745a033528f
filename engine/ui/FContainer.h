#pragma once

#include "ui/FWidget.h"

#include <cstdint>
#include <vector>

// A widget that owns children: it draws them in order inside its own
// transform (scroll offset, scale, rotation about a pivot, optional depth
// projected through the screen's camera), routes pointer events to the
// topmost visible child under the point and reads its children from the
// layout record through the widget factory.
class FContainer : public FWidget
{
public:
    // Offset, scale and whether the scale applies, as the transform uses them.
    struct Projection
    {
        FPointI offset;
        double scaleX = 1.0;
        double scaleY = 1.0;
        bool projected = false;
    };

    FContainer();
    FContainer(FContainer* parent, bool addToParent);
    ~FContainer() override;

    bool containsPoint(const FPointI& point) override;
    FPointI getAbsolutePosition() override;
    void draw(FDrawContext& context) override;
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onPointerLeave(int32_t pointer) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;
    void onTargetChange() override;
    // The widget part, the container fields, then the children.
    void load(FInStream& stream, FScreenRegistry& registry, std::vector<int32_t>& ids) override;
    void resetPointerState() override;
    void resolveLinks(FScreenRegistry& registry) override;
    // Itself, then each child's report in draw order.
    void reportToDebug() override;
    std::string describe() override;

    virtual void addChild(FWidget* child);
    // Device-event hooks the UI module forwards to the current screen.
    virtual void onControllerConnected(int32_t) {}
    virtual void onControllerLost(int32_t) {}
    virtual void onDeviceEvent3(int32_t) {}
    virtual void onDeviceEvent4(int32_t) {}
    virtual void onDeviceEvent5(int32_t) {}
    virtual void onDeviceEvent6(int32_t) {}
    virtual void onDeviceEvent7(int32_t) {}
    virtual void onDeviceHook() {}
    virtual void drawAfterChildren(FDrawContext&) {}

    // Children in draw order (the last is drawn on top and hit first).
    const std::vector<FWidget*>& children() const { return m_children; }
    void removeChild(FWidget* child);
    void moveChildToEnd(FWidget* child);
    void placeChildBefore(FWidget* child, FWidget* sibling);
    FWidget* hovered(int32_t pointer) const { return m_hovered[pointer & 3]; }

    // Transform.
    FPointI scrollOffset() const { return m_scroll; }
    void setScrollOffset(FPointI offset);
    float rotation() const { return m_angle; }
    void setRotation(float degrees);
    FPointI pivot() const { return m_pivot; }
    void setPivot(FPointI pivot);
    float depth() const { return m_depth; }
    void setDepth(float depth);
    FPointF scale() const { return m_scale; }
    void setScale(FPointF scale);
    void setUniformScale(float factor);
    bool isRotated() const { return m_rotated; }
    bool isScaled() const { return m_scaled; }
    void setHitWholeRect(bool whole) { m_hitWholeRect = whole; }
    void setClip(bool clip) { m_clip = clip; }

    Projection projection();
    // A point of the parent's child space into this container's child space.
    FPointI parentToChildSpace(FPointI point);
    // A point of the ancestor's child space (root space for null) into this
    // container's child space.
    FPointI toChildSpace(FPointI point, FContainer* ancestor);
    FWidget* topmostChildAt(const FPointI& point);

    // The field of view of depth projections, in radians.
    static float s_fieldOfView;

private:
    std::vector<FWidget*> m_children;
    std::vector<FRefT<FWidget>> m_ownedChildren;
    FWidget* m_hovered[k_pointerCount] = {nullptr, nullptr, nullptr, nullptr};
    FPointI m_scroll;
    float m_angle = 0.0f;
    FPointI m_pivot;
    float m_depth = 0.0f;
    FPointF m_scale{1.0f, 1.0f};
    bool m_rotated = false;
    bool m_scaled = false;
    bool m_hitWholeRect = false;
    bool m_clip = true;
};
