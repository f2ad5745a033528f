#include "ui/FWidget.h"

#include "asset/FAsset.h"
#include "asset/FScreenRegistry.h"
#include "core/FApplication.h"
#include "core/FServiceSlots.h"
#include "graphics/FCursorImage.h"
#include "graphics/FDisplayListener.h"
#include "graphics/FGraph.h"
#include "io/FInStream.h"
#include "net/FDebugChannelService.h"
#include "ui/FContainer.h"
#include "ui/FScreen.h"

#include <sstream>

int32_t FWidget::s_debugOverlay = 0;

namespace {

FRefT<FCursorImage> s_defaultCursors[FWidget::k_pointerCount];

FAsset* assetOf(const FRef& handle)
{
    return static_cast<FAsset*>(handle.get());
}

int32_t pointerSlot(int32_t pointer)
{
    return pointer & (FWidget::k_pointerCount - 1);
}

} // namespace

FWidget::FWidget() = default;

FWidget::FWidget(FContainer* parent, bool addToParent) : m_parent(parent)
{
    if (addToParent && parent != nullptr) parent->addChild(this);
}

FWidget::~FWidget()
{
    // Only the parent chain is asked here: a screen being destroyed has no
    // screen part left to forget anything.
    if (FScreen* screen = getScreen()) screen->forgetWidget(this);
    if (m_parent != nullptr) m_parent->removeChild(this);
    freeAndNull(m_onPointerDown);
    freeAndNull(m_onPointerEnter);
    freeAndNull(m_onPointerMove);
    freeAndNull(m_onPointerUp);
    freeAndNull(m_onPointerLeave);
    freeAndNull(m_onDragStart);
    freeAndNull(m_onDragOver);
    freeAndNull(m_onDragEnd);
    freeAndNull(m_onDrop);
}

FScreen* FWidget::getRoot()
{
    return m_parent != nullptr ? m_parent->getScreen() : nullptr;
}

FScreen* FWidget::getScreen()
{
    return m_parent != nullptr ? m_parent->getScreen() : nullptr;
}

void FWidget::toParentSpace(FPointI& point)
{
    if (m_parent != nullptr) point = m_parent->toChildSpace(point, nullptr);
}

bool FWidget::containsPoint(const FPointI& point)
{
    return !m_hitTestDisabled && m_rect.left <= point.x && point.x < m_rect.right && m_rect.top <= point.y &&
           point.y < m_rect.bottom;
}

bool FWidget::containsAbsolutePoint(const FPointI& point)
{
    const FPointI origin = getAbsolutePosition();
    return !m_hitTestDisabled && origin.x <= point.x && point.x < origin.x + width() && origin.y <= point.y &&
           point.y < origin.y + height();
}

bool FWidget::overlaps(const FWidget& other) const
{
    return m_rect.bottom >= other.m_rect.top && m_rect.top <= other.m_rect.bottom &&
           m_rect.right >= other.m_rect.left && m_rect.left <= other.m_rect.right;
}

FPointI FWidget::getAbsolutePosition()
{
    FPointI position{m_rect.left, m_rect.top};
    if (m_parent != nullptr) {
        const FPointI origin = m_parent->getAbsolutePosition();
        position.x += origin.x;
        position.y += origin.y;
    }
    return position;
}

void FWidget::setVisible(bool visible)
{
    m_visible = visible;
    requestRedraw();
}

void FWidget::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    handlePointerDown(pointer, button, point);
}

void FWidget::onPointerEnter(int32_t pointer, const FPointI& point)
{
    if (m_onPointerEnter != nullptr) m_onPointerEnter->invoke(*this, pointer, point);
    FRefT<FCursorImage> cursor = m_cursors[pointerSlot(pointer)];
    if (cursor.get() == nullptr) cursor = getDefaultCursor(pointer);
    if (auto* graph = findService<FGraph>(k_slotGraphics)) graph->setCursor(cursor);
}

void FWidget::onPointerMove(int32_t pointer, const FPointI& point)
{
    handlePointerMove(pointer, point);
}

void FWidget::onPointerLeave(int32_t pointer)
{
    runLeaveCallback(pointer);
}

void FWidget::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    handlePointerUp(pointer, button, point);
}

void FWidget::handlePointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    if (m_onPointerDown != nullptr) m_onPointerDown->invoke(*this, pointer, button, point);
    if (!m_draggable) return;
    m_dragState = 1;
    m_dragStart = {m_rect.left, m_rect.top};
    m_grabOffset = {point.x - m_rect.left, point.y - m_rect.top};
    capturePointer(pointer);
    if (m_onDragStart != nullptr) m_onDragStart->invoke(*this, pointer);
}

void FWidget::handlePointerMove(int32_t pointer, const FPointI& point)
{
    if (m_onPointerMove != nullptr) m_onPointerMove->invoke(*this, pointer, point);
    if (!m_draggable || m_dragState != 1) return;
    setWidgetPosition(point.x - m_grabOffset.x, point.y - m_grabOffset.y);
    for (FWidget* target : m_dropTargets) {
        if (overlaps(*target) && m_onDragOver != nullptr) m_onDragOver->invoke(*this, *target, pointer);
    }
}

void FWidget::handlePointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    if (m_onPointerUp != nullptr) m_onPointerUp->invoke(*this, pointer, button, point);
    if (!m_draggable || m_dragState != 1) return;
    m_dragState = 0;
    if (FScreen* screen = getScreen()) screen->releaseCapture(pointer);
    for (FWidget* target : m_dropTargets) {
        if (overlaps(*target) && m_onDrop != nullptr) m_onDrop->invoke(*this, *target, pointer);
    }
    if (m_onDragEnd != nullptr) m_onDragEnd->invoke(*this, pointer);
    if (m_returnToStart == 1) setWidgetPosition(m_dragStart.x, m_dragStart.y);
}

void FWidget::runLeaveCallback(int32_t pointer)
{
    if (m_onPointerLeave != nullptr) m_onPointerLeave->invoke(*this, pointer);
}

void FWidget::load(FInStream& stream, FScreenRegistry&, std::vector<int32_t>&)
{
    const int32_t x = stream.readInt16();
    const int32_t y = stream.readInt16();
    const int32_t w = stream.readInt16();
    const int32_t h = stream.readInt16();
    m_layoutFlag = stream.readUInt8() == 1;
    const bool visible = stream.readUInt8() == 1;
    setWidgetRect({x, y, x + w, y + h});
    setVisible(visible);
}

void FWidget::resolveLinks(FScreenRegistry& registry)
{
    for (auto& [key, link] : m_navigation) {
        if (link.id != 0) link.widget = registry.findInFirst(link.id).as<FWidget>();
    }
}

void FWidget::setFocused(bool focused)
{
    if (focused) {
        onPointerMove(0, FPointI{width() / 2, height() / 2});
    } else {
        onPointerLeave(0);
    }
}

void FWidget::reportToDebug()
{
    if (auto* channel = findService<FDebugChannelService>(k_slotDebugChannel))
        channel->addWidget(m_parent, this, describe().c_str());
}

std::string FWidget::describe()
{
    std::ostringstream text;
    text << ": " << m_rect.left << ", " << m_rect.top << " | " << width() << " x " << height() << " | "
         << (m_visible ? "visible" : "invisible") << " | ";
    return text.str();
}

void FWidget::setCursorImage(const FRefT<FCursorImage>& cursor, int32_t pointer)
{
    FRefT<FCursorImage>& slot = m_cursors[pointerSlot(pointer)];
    if (slot.holder() != cursor.holder()) slot = cursor;
}

void FWidget::playSound(const FRef& sample)
{
    if (m_parent != nullptr) m_parent->playSound(sample);
}

void FWidget::setWidgetAlpha(uint8_t alpha)
{
    m_tint = (m_tint & 0x00FFFFFFu) | uint32_t(alpha) << 24;
    requestRedraw();
}

void FWidget::bringToFront()
{
    if (m_parent != nullptr) m_parent->moveChildToEnd(this);
}

void FWidget::placeBelow(FWidget& sibling)
{
    if (m_parent != nullptr) m_parent->placeChildBefore(this, &sibling);
}

void FWidget::capturePointer(int32_t pointer)
{
    if (FScreen* screen = getScreen()) screen->setCapture(pointer, this);
}

void FWidget::setNeighbourId(uint32_t key, int32_t id)
{
    m_navigation[key] = NavigationLink{id, nullptr};
}

int32_t FWidget::neighbourId(uint32_t key) const
{
    const auto found = m_navigation.find(key);
    return found == m_navigation.end() ? 0 : found->second.id;
}

FWidget* FWidget::lookupNeighbour(uint32_t key) const
{
    const auto found = m_navigation.find(key);
    return found == m_navigation.end() ? nullptr : found->second.widget;
}

void FWidget::changeRect(const FRectI& rect, bool resized)
{
    m_rect = rect;
    requestRedraw();
    if (resized) onResized();
    onMoved();
}

void FWidget::setWidgetRect(const FRectI& rect)
{
    if (rect == m_rect) return;
    changeRect(rect, true);
}

void FWidget::setWidgetWidth(int32_t w)
{
    changeRect({m_rect.left, m_rect.top, m_rect.left + w, m_rect.bottom}, true);
}

void FWidget::setWidgetHeight(int32_t h)
{
    changeRect({m_rect.left, m_rect.top, m_rect.right, m_rect.top + h}, true);
}

void FWidget::setWidgetSize(int32_t w, int32_t h)
{
    changeRect({m_rect.left, m_rect.top, m_rect.left + w, m_rect.top + h}, true);
}

void FWidget::setWidgetLeft(int32_t x)
{
    changeRect({x, m_rect.top, x + width(), m_rect.bottom}, false);
}

void FWidget::setWidgetTop(int32_t y)
{
    changeRect({m_rect.left, y, m_rect.right, y + height()}, false);
}

void FWidget::setWidgetPosition(int32_t x, int32_t y)
{
    changeRect({x, y, x + width(), y + height()}, false);
}

void FWidget::moveWidgetBy(int32_t dx, int32_t dy)
{
    changeRect({m_rect.left + dx, m_rect.top + dy, m_rect.right + dx, m_rect.bottom + dy}, false);
}

void FWidget::moveBottomTo(int32_t y)
{
    changeRect({m_rect.left, y - height(), m_rect.right, y}, false);
}

void FWidget::centerWidgetOnPoint(FPointI point)
{
    setWidgetRect(centerRectOn(m_rect, point));
}

FPointI FWidget::getRectCenter(const FRectI& rect)
{
    return {rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
}

FRectI FWidget::centerRectOn(const FRectI& rect, FPointI point)
{
    const int32_t w = rect.right - rect.left;
    const int32_t h = rect.bottom - rect.top;
    const int32_t left = point.x - w / 2;
    const int32_t top = point.y - h / 2;
    return {left, top, left + w, top + h};
}

FRectI FWidget::rectFromPositionAndSize(FPointI position, FPointI size)
{
    return {position.x, position.y, position.x + size.x, position.y + size.y};
}

void FWidget::requestRedraw()
{
    if (auto* listener = findService<FDisplayListener>(k_slotInvalidation)) listener->redrawWanted();
}

void FWidget::setDefaultCursor(int32_t pointer, FRefT<FCursorImage> cursor)
{
    s_defaultCursors[pointerSlot(pointer)] = std::move(cursor);
}

FRefT<FCursorImage> FWidget::getDefaultCursor(int32_t pointer)
{
    return s_defaultCursors[pointerSlot(pointer)];
}

void FWidget::replaceShownAsset(FRef& held, const FRef& next)
{
    if (next.get() == held.get()) return;
    if (FAsset* added = assetOf(next)) {
        added->addRef();
        if (m_visible) added->addUser();
    }
    FRef old = held;
    held = next;
    if (FAsset* dropped = assetOf(old)) {
        if (m_visible) dropped->dropUser();
        dropped->release();
    }
}

void FWidget::releaseShownAsset(FRef& held)
{
    if (FAsset* asset = assetOf(held)) {
        if (m_visible) asset->dropUser();
        asset->release();
    }
    held = FRef();
}

void FWidget::storeVisibleShowing(bool visible, const FRef& shown)
{
    if (FAsset* asset = assetOf(shown); asset != nullptr && visible != m_visible) {
        if (visible) {
            asset->addUser();
        } else {
            asset->dropUser();
        }
    }
    m_visible = visible;
    requestRedraw();
}

void FWidget::drawDecoration(FDrawContext& context)
{
    if (auto* decoration = m_decoration.as<FWidget>()) decoration->draw(context);
}

void FWidget::setPointerDownCallback(const PointerButtonCallback* callback)
{
    PointerButtonCallback::assign(m_onPointerDown, callback);
}

void FWidget::setPointerUpCallback(const PointerButtonCallback* callback)
{
    PointerButtonCallback::assign(m_onPointerUp, callback);
}

void FWidget::setPointerEnterCallback(const PointerMoveCallback* callback)
{
    PointerMoveCallback::assign(m_onPointerEnter, callback);
}

void FWidget::setPointerMoveCallback(const PointerMoveCallback* callback)
{
    PointerMoveCallback::assign(m_onPointerMove, callback);
}

void FWidget::setPointerLeaveCallback(const PointerCallback* callback)
{
    PointerCallback::assign(m_onPointerLeave, callback);
}

void FWidget::setDragStartCallback(const PointerCallback* callback)
{
    PointerCallback::assign(m_onDragStart, callback);
}

void FWidget::setDragEndCallback(const PointerCallback* callback)
{
    PointerCallback::assign(m_onDragEnd, callback);
}

void FWidget::setDragOverCallback(const DropCallback* callback)
{
    DropCallback::assign(m_onDragOver, callback);
}

void FWidget::setDropCallback(const DropCallback* callback)
{
    DropCallback::assign(m_onDrop, callback);
}
