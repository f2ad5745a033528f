#include "ui/FContainer.h"

#include "asset/FScreenRegistry.h"
#include "core/FBuildCancel.h"
#include "core/FErrorMessage.h"
#include "graphics/FDrawContext.h"
#include "io/FInStream.h"
#include "ui/FScreen.h"
#include "ui/FWidgetFactory.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

float FContainer::s_fieldOfView = 1.0471976f;

namespace {

constexpr double k_degreesToRadians = 0.017453292519943295;

int32_t truncToInt(double value)
{
    return static_cast<int32_t>(std::trunc(value));
}

} // namespace

FContainer::FContainer() = default;

FContainer::FContainer(FContainer* parent, bool addToParent) : FWidget(parent, addToParent) {}

FContainer::~FContainer()
{
    for (FWidget* child : m_children)
        child->setParentLink(nullptr);
    m_children.clear();
    for (auto& hovered : m_hovered)
        hovered = nullptr;
    m_ownedChildren.clear();
}

void FContainer::addChild(FWidget* child)
{
    m_children.push_back(child);
    child->setParentLink(this);
}

void FContainer::removeChild(FWidget* child)
{
    m_children.erase(std::remove(m_children.begin(), m_children.end(), child), m_children.end());
    for (auto& hovered : m_hovered) {
        if (hovered == child) hovered = nullptr;
    }
}

void FContainer::moveChildToEnd(FWidget* child)
{
    const auto found = std::find(m_children.begin(), m_children.end(), child);
    if (found == m_children.end()) return;
    m_children.erase(found);
    m_children.push_back(child);
    requestRedraw();
}

void FContainer::placeChildBefore(FWidget* child, FWidget* sibling)
{
    const auto found = std::find(m_children.begin(), m_children.end(), child);
    if (found == m_children.end() || child == sibling) return;
    m_children.erase(found);
    const auto place = std::find(m_children.begin(), m_children.end(), sibling);
    m_children.insert(place, child);
    requestRedraw();
}

void FContainer::setScrollOffset(FPointI offset)
{
    m_scroll = offset;
    requestRedraw();
}

void FContainer::setRotation(float degrees)
{
    m_angle = degrees;
    m_rotated = degrees != 0.0f;
    requestRedraw();
}

void FContainer::setPivot(FPointI pivot)
{
    m_pivot = pivot;
    requestRedraw();
}

void FContainer::setDepth(float depth)
{
    m_depth = depth;
    requestRedraw();
}

void FContainer::setScale(FPointF scale)
{
    m_scale = scale;
    m_scaled = scale.x != 1.0f || scale.y != 1.0f;
    requestRedraw();
}

void FContainer::setUniformScale(float factor)
{
    setScale({factor, factor});
}

FContainer::Projection FContainer::projection()
{
    Projection result;
    if (m_depth == 0.0f) {
        result.offset = m_scroll;
        result.scaleX = m_scale.x;
        result.scaleY = m_scale.y;
        result.projected = m_scaled;
        return result;
    }
    FScreen* screen = getRoot();
    const FCamera camera = screen != nullptr ? screen->camera() : FCamera{};
    double logicalWidth = screen != nullptr ? screen->logicalWidth() : 0;
    if (logicalWidth == 1280) logicalWidth = 960;
    const FPointI display = screen != nullptr ? screen->displaySize() : FPointI{0, 0};

    const double depth = m_depth;
    const double t = std::tan(static_cast<double>(s_fieldOfView) / 2.0);
    double a = 2.0 * logicalWidth * (depth - camera.z) * t;
    if (a == 0.0) a = 0.00001;
    double k = display.x;
    double m = 1.0;
    if (display.x == 854) {
        k = 640;
        m = 0.8;
    }
    const double f = k / a;
    result.scaleX = m_scale.x * f;
    result.scaleY = m_scale.y * f;
    result.projected = true;
    const int32_t w = static_cast<int32_t>(logicalWidth);
    const int32_t halfHeight = display.y != 0 ? (display.x * w / display.y) / 2 : 0;
    result.offset.x = -truncToInt(
        (-m_scroll.x - (camera.x * logicalWidth / 1000.0 - logicalWidth * (depth - camera.z) * t)) * f);
    result.offset.y = -truncToInt((-m_scroll.y + ((camera.y - 0.5) * halfHeight * m -
                                                  (depth - camera.z) * halfHeight * std::tan(22.0))) *
                                  f);
    return result;
}

FPointI FContainer::parentToChildSpace(FPointI p)
{
    const Projection proj = projection();
    const FRectI& r = rect();
    const FPointI c{r.left + m_pivot.x - proj.offset.x, r.top + m_pivot.y - proj.offset.y};
    if (!(p == c)) {
        if (m_rotated) {
            // A plain rotation by the angle about c, the same in every quadrant.
            const int32_t dx = p.x - c.x;
            const int32_t dy = p.y - c.y;
            const double radius = std::sqrt(double(dx) * dx + double(dy) * dy);
            const double q = m_angle * k_degreesToRadians;
            const double a = std::atan2(double(dy), double(dx)) + q;
            p = {c.x + truncToInt(radius * std::cos(a)), c.y + truncToInt(radius * std::sin(a))};
        }
        if (proj.projected) {
            p = {c.x + truncToInt((p.x - c.x) / proj.scaleX), c.y + truncToInt((p.y - c.y) / proj.scaleY)};
        }
    }
    return {p.x - r.left + proj.offset.x, p.y - r.top + proj.offset.y};
}

FPointI FContainer::toChildSpace(FPointI point, FContainer* ancestor)
{
    if (ancestor == this) return point;
    if (parent() != nullptr) point = parent()->toChildSpace(point, ancestor);
    return parentToChildSpace(point);
}

FWidget* FContainer::topmostChildAt(const FPointI& point)
{
    for (auto child = m_children.rbegin(); child != m_children.rend(); ++child) {
        if ((*child)->isVisible() && (*child)->containsPoint(point)) return *child;
    }
    return nullptr;
}

bool FContainer::containsPoint(const FPointI& point)
{
    if (!FWidget::containsPoint(point)) return false;
    if (m_hitWholeRect) return true;
    return topmostChildAt(parentToChildSpace(point)) != nullptr;
}

FPointI FContainer::getAbsolutePosition()
{
    const FPointI position = FWidget::getAbsolutePosition();
    return {position.x - m_scroll.x, position.y - m_scroll.y};
}

void FContainer::draw(FDrawContext& context)
{
    drawDecoration(context);
    const Projection proj = projection();
    context.clipStack().pushClip(proj.offset, rect(), m_angle,
                                 FPointF{static_cast<float>(proj.scaleX), static_cast<float>(proj.scaleY)},
                                 m_pivot, proj.projected, m_rotated, m_clip);
    // A child may reorder its siblings while drawing; walk a copy.
    const std::vector<FWidget*> children = m_children;
    for (FWidget* child : children) {
        if (child->isVisible()) child->draw(context);
    }
    drawAfterChildren(context);
    context.clipStack().pop();
}

void FContainer::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    const FPointI local = toChildSpace(point, parent());
    if (FWidget* hit = topmostChildAt(local)) {
        hit->onPointerDown(pointer, button, local);
    } else {
        handlePointerDown(pointer, button, local);
    }
}

void FContainer::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    const FPointI local = toChildSpace(point, parent());
    if (FWidget* hit = topmostChildAt(local)) {
        hit->onPointerUp(pointer, button, local);
    } else {
        handlePointerUp(pointer, button, local);
    }
}

void FContainer::onPointerMove(int32_t pointer, const FPointI& point)
{
    if (!FScreen::isAppActive()) return;
    const FPointI local = toChildSpace(point, parent());
    FWidget* hit = topmostChildAt(local);
    FWidget*& hovered = m_hovered[pointer & 3];
    if (hovered != hit) {
        onPointerLeave(pointer);
        hovered = hit;
        if (hit != nullptr) hit->onPointerEnter(pointer, local);
    }
    if (hit != nullptr) {
        hit->onPointerMove(pointer, local);
    } else {
        handlePointerMove(pointer, local);
    }
}

void FContainer::onPointerLeave(int32_t pointer)
{
    FWidget*& hovered = m_hovered[pointer & 3];
    if (hovered != nullptr) {
        FWidget* left = hovered;
        hovered = nullptr;
        left->onPointerLeave(pointer);
    } else {
        runLeaveCallback(pointer);
    }
}

void FContainer::onTargetChange()
{
    for (FWidget* child : m_children)
        child->onTargetChange();
}

void FContainer::resetPointerState()
{
    for (FWidget* child : m_children)
        child->resetPointerState();
    for (auto& hovered : m_hovered)
        hovered = nullptr;
}

void FContainer::reportToDebug()
{
    FWidget::reportToDebug();
    for (FWidget* child : m_children)
        child->reportToDebug();
}

void FContainer::resolveLinks(FScreenRegistry& registry)
{
    for (FWidget* child : m_children)
        child->resolveLinks(registry);
}

void FContainer::load(FInStream& stream, FScreenRegistry& registry, std::vector<int32_t>& ids)
{
    FWidget::load(stream, registry, ids);
    const int32_t scrollX = stream.readInt32();
    const int32_t scrollY = stream.readInt32();
    m_scroll = {scrollX, scrollY};
    m_depth = static_cast<float>(stream.readInt32()) / 1000.0f;
    const float scaleX = static_cast<float>(stream.readInt32()) / 1000.0f;
    const float scaleY = static_cast<float>(stream.readInt32()) / 1000.0f;
    setScale({scaleX, scaleY});
    const int32_t count = stream.readInt16();
    for (int32_t index = 0; index < count; ++index) {
        // A build that is no longer wanted stops between children.
        FBuildCancel::checkpoint();
        const int32_t id = stream.readInt32();
        const uint32_t type = stream.readUInt32();
        FRefT<FWidget> child = FWidgetFactory::createWidget(*this, type);
        if (child.get() == nullptr) {
            std::ostringstream code;
            code << "0x" << std::hex << std::uppercase << std::setw(8) << std::setfill('0') << type;
            ZIBBO_FAIL(msgFileCorrupted, "Unknown widget type " << code.str() << " (widget " << id << ")");
        }
        // Owned before it reads, so a failing record still frees it.
        m_ownedChildren.push_back(child);
        child->load(stream, registry, ids);
        registry.storeWidget(id, child);
        ids.push_back(id);
    }
}

std::string FContainer::describe()
{
    std::ostringstream text;
    text << FWidget::describe() << m_children.size() << " | isRotated: ";
    if (m_rotated) {
        text << "true | angle: " << m_angle << " | ";
    } else {
        text << "false | ";
    }
    text << "isScaled: ";
    if (m_scaled) {
        text << "true | scale: " << m_scale.x << "," << m_scale.y << " | ";
    } else {
        text << "false | ";
    }
    return text.str();
}
