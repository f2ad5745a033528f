#pragma once

#include "core/FDelegate.h"
#include "core/FRef.h"
#include "graphics/FGeometry.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class FContainer;
class FCursorImage;
class FDrawContext;
class FInStream;
class FScreen;
class FScreenRegistry;

// A node of the widget tree: a rectangle in its parent's child space with
// visibility, pointer callbacks, per-pointer cursors, dragging and a
// key-navigation map. Every widget and screen derives from it. UI thread only.
class FWidget
{
public:
    using PointerButtonCallback = FDelegate<void(FWidget&, int32_t pointer, int32_t button, FPointI point)>;
    using PointerMoveCallback = FDelegate<void(FWidget&, int32_t pointer, FPointI point)>;
    using PointerCallback = FDelegate<void(FWidget&, int32_t pointer)>;
    using DropCallback = FDelegate<void(FWidget&, FWidget& target, int32_t pointer)>;

    static constexpr int k_pointerCount = 4;
    // Size of the record part every widget record starts with.
    static constexpr int k_recordSize = 10;

    // A parentless widget.
    FWidget();
    // With addToParent the widget is appended to the parent's children.
    FWidget(FContainer* parent, bool addToParent);
    virtual ~FWidget();
    FWidget(const FWidget&) = delete;
    FWidget& operator=(const FWidget&) = delete;

    virtual FScreen* getRoot();
    virtual FScreen* getScreen();
    // Root (screen) space into the space of this widget's rectangle, in place.
    virtual void toParentSpace(FPointI& point);
    virtual bool containsPoint(const FPointI& point);
    virtual bool containsAbsolutePoint(const FPointI& point);
    // Sibling rectangles as they are; touching edges overlap.
    virtual bool overlaps(const FWidget& other) const;
    virtual FPointI getAbsolutePosition();
    virtual void setVisible(bool visible);
    virtual void draw(FDrawContext& context) = 0;
    virtual void onPointerDown(int32_t pointer, int32_t button, const FPointI& point);
    virtual void onPointerEnter(int32_t pointer, const FPointI& point);
    virtual void onPointerMove(int32_t pointer, const FPointI& point);
    virtual void onPointerLeave(int32_t pointer);
    virtual void onPointerUp(int32_t pointer, int32_t button, const FPointI& point);
    virtual void onKeyDown(uint32_t) {}
    virtual void onChar(uint32_t) {}
    virtual void onKeyUp(uint32_t) {}
    virtual void onResized() {}
    virtual void onMoved() {}
    virtual void onTargetChange() {}
    // Reads the widget record part (big-endian); registry and ids serve containers.
    virtual void load(FInStream& stream, FScreenRegistry& registry, std::vector<int32_t>& ids);
    virtual void resetPointerState() {}
    virtual void resolveLinks(FScreenRegistry& registry);
    virtual void setFocused(bool focused);
    // Tells the remote debug channel, when there is one, about this widget:
    // its parent, itself and its description.
    virtual void reportToDebug();
    virtual std::string describe();
    virtual void setCursorImage(const FRefT<FCursorImage>& cursor, int32_t pointer);
    virtual void playSound(const FRef& sample);
    // The widget colour (alpha in the top byte) that fades work on; plain
    // widgets use their tint.
    virtual uint32_t widgetColour() const { return m_tint; }
    // Replaces the colour's alpha byte and requests a redraw.
    virtual void setWidgetAlpha(uint8_t alpha);

    // Tree.
    FContainer* parent() const { return m_parent; }
    void setParentLink(FContainer* parent) { m_parent = parent; }
    void bringToFront();
    void placeBelow(FWidget& sibling);
    void capturePointer(int32_t pointer);

    // Navigation: a widget id until resolveLinks, then the widget.
    void setNeighbourId(uint32_t key, int32_t id);
    int32_t neighbourId(uint32_t key) const;
    FWidget* lookupNeighbour(uint32_t key) const;

    // Rectangle and geometry helpers (each asks for a redraw).
    const FRectI& rect() const { return m_rect; }
    int32_t width() const { return m_rect.right - m_rect.left; }
    int32_t height() const { return m_rect.bottom - m_rect.top; }
    void setWidgetRect(const FRectI& rect);
    void setWidgetWidth(int32_t width);
    void setWidgetHeight(int32_t height);
    void setWidgetSize(int32_t width, int32_t height);
    void setWidgetLeft(int32_t x);
    void setWidgetTop(int32_t y);
    void setWidgetPosition(int32_t x, int32_t y);
    void moveWidgetBy(int32_t dx, int32_t dy);
    void moveBottomTo(int32_t y);
    void centerWidgetOnPoint(FPointI point);
    FPointI getWidgetSize() const { return {width(), height()}; }
    FPointI getWidgetCenter() const { return getRectCenter(m_rect); }

    static FPointI getRectCenter(const FRectI& rect);
    static FRectI centerRectOn(const FRectI& rect, FPointI point);
    static FRectI rectFromPositionAndSize(FPointI position, FPointI size);
    // Asks the UI module for another frame (nothing without one).
    static void requestRedraw();

    bool isVisible() const { return m_visible; }
    bool layoutFlag() const { return m_layoutFlag; }
    bool isHitTestDisabled() const { return m_hitTestDisabled; }
    void setHitTestDisabled(bool disabled) { m_hitTestDisabled = disabled; }
    const FRef& decoration() const { return m_decoration; }
    // The decoration is any widget; it draws before its owner's content.
    void setDecoration(FRefT<FWidget> decoration) { m_decoration = std::move(decoration); }
    uint32_t tint() const { return m_tint; }
    void setTint(uint32_t tint) { m_tint = tint; }
    const FRefT<FCursorImage>& cursor(int32_t pointer) const { return m_cursors[pointer & 3]; }

    // Callbacks: each stores a clone of the given delegate (null clears it).
    void setPointerDownCallback(const PointerButtonCallback* callback);
    void setPointerUpCallback(const PointerButtonCallback* callback);
    void setPointerEnterCallback(const PointerMoveCallback* callback);
    void setPointerMoveCallback(const PointerMoveCallback* callback);
    void setPointerLeaveCallback(const PointerCallback* callback);
    void setDragStartCallback(const PointerCallback* callback);
    void setDragEndCallback(const PointerCallback* callback);
    void setDragOverCallback(const DropCallback* callback);
    void setDropCallback(const DropCallback* callback);

    // Dragging.
    void setDraggable(bool draggable) { m_draggable = draggable; }
    bool isDraggable() const { return m_draggable; }
    bool isDragging() const { return m_dragState == 1; }
    void setReturnToStart(bool returns) { m_returnToStart = returns ? 1 : 0; }
    void addDropTarget(FWidget* target) { m_dropTargets.push_back(target); }

    // The cursor shown over a widget that holds none, per pointer.
    static void setDefaultCursor(int32_t pointer, FRefT<FCursorImage> cursor);
    static FRefT<FCursorImage> getDefaultCursor(int32_t pointer);

    // The debug overlay level; at 2 widgets mark their rectangles.
    static int32_t debugOverlayLevel() { return s_debugOverlay; }
    static void setDebugOverlayLevel(int32_t level) { s_debugOverlay = level; }

protected:
    // The decoration's draw, which content-drawing widgets call first.
    void drawDecoration(FDrawContext& context);
    // The widget's own pointer handling, without any routing.
    void handlePointerDown(int32_t pointer, int32_t button, const FPointI& point);
    void handlePointerMove(int32_t pointer, const FPointI& point);
    void handlePointerUp(int32_t pointer, int32_t button, const FPointI& point);
    void runLeaveCallback(int32_t pointer);
    void storeVisible(bool visible) { m_visible = visible; }
    // An asset the widget shows holds one reference while the widget keeps
    // its handle and one user while the widget is visible, so that it loads
    // when shown and may unload when hidden.
    // Replaces the held asset; the new one gains its counts first, so the
    // same asset again never drops to zero users.
    void replaceShownAsset(FRef& held, const FRef& next);
    // Gives the held asset's counts back and empties the handle.
    void releaseShownAsset(FRef& held);
    // Stores the visibility, moving the shown asset's user with it, and asks
    // for a redraw.
    void storeVisibleShowing(bool visible, const FRef& shown);

private:
    struct NavigationLink
    {
        int32_t id = 0;
        FWidget* widget = nullptr;
    };
    void changeRect(const FRectI& rect, bool resized);

    std::map<uint32_t, NavigationLink> m_navigation;
    bool m_layoutFlag = false;
    bool m_visible = true;
    FContainer* m_parent = nullptr;
    FRectI m_rect;
    bool m_hitTestDisabled = false;
    FRef m_decoration;
    PointerButtonCallback* m_onPointerDown = nullptr;
    PointerMoveCallback* m_onPointerEnter = nullptr;
    PointerMoveCallback* m_onPointerMove = nullptr;
    PointerButtonCallback* m_onPointerUp = nullptr;
    PointerCallback* m_onPointerLeave = nullptr;
    FRefT<FCursorImage> m_cursors[k_pointerCount];
    uint32_t m_tint = 0xFFFFFFFFu;
    bool m_draggable = false;
    FPointI m_dragStart;
    FPointI m_grabOffset;
    int32_t m_dragState = 0;
    int32_t m_returnToStart = 0;
    std::vector<FWidget*> m_dropTargets;
    PointerCallback* m_onDragStart = nullptr;
    DropCallback* m_onDragOver = nullptr;
    PointerCallback* m_onDragEnd = nullptr;
    DropCallback* m_onDrop = nullptr;
    static int32_t s_debugOverlay;
};
