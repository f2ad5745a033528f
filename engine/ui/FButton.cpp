#include "ui/FButton.h"

#include "asset/FScreenRegistry.h"
#include "core/FApplication.h"
#include "core/FGamePadService.h"
#include "core/FKeyCode.h"
#include "graphics/FCursorImage.h"
#include "graphics/FShapeEmitter.h"
#include "image/FImage.h"
#include "io/FInStream.h"
#include "ui/FContainer.h"
#include "ui/FFont.h"
#include "ui/FScreen.h"

FButton::ClickFilter* FButton::s_clickFilter = nullptr;

namespace {

constexpr uint32_t k_shadowColour = 0xFF000000u;
constexpr uint32_t k_debugRectColour = 0xFFFFFF00u;
constexpr uint32_t k_debugHitColour = 0xFF00FFFFu;

// The navigation keys of the record's six neighbour ids, in record order.
constexpr uint32_t k_neighbourKeys[6] = {FKeyCode::k_up,    FKeyCode::k_down,     FKeyCode::k_left,
                                         FKeyCode::k_right, FKeyCode::k_shiftTab, FKeyCode::k_tab};

// The asset a skin part holds when it is of kind T, else null.
template <class T> T* partAsset(const FSkin::Part& part)
{
    return dynamic_cast<T*>(static_cast<FAsset*>(part.asset.get()));
}

bool insideRect(const FRectI& rect, const FPointI& point)
{
    return rect.left <= point.x && point.x < rect.right && rect.top <= point.y && point.y < rect.bottom;
}

} // namespace

FButton::FButton(FContainer* parent) : FButton(parent, true) {}

FButton::FButton(FContainer* parent, bool addToParent) : FWidget(parent, false)
{
    if (addToParent && parent != nullptr) parent->addChild(this);
}

FButton::~FButton()
{
    releaseShownAsset(m_skin);
    freeAndNull(m_onClick);
}

const FSkin::StateRecord* FButton::stateRecord(int32_t index) const
{
    const FSkin* skin = m_skin.get();
    return skin != nullptr ? &skin->state(index) : nullptr;
}

void FButton::playStateSound(int32_t index)
{
    const FSkin::StateRecord* record = stateRecord(index);
    if (record != nullptr && record->sound.asset.get() != nullptr) playSound(record->sound.asset);
}

void FButton::setSkin(const FRefT<FSkin>& skin)
{
    if (skin.get() == m_skin.get()) return;
    replaceShownAsset(m_skin, skin);
    requestRedraw();
}

void FButton::setEnabled(bool enabled)
{
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    if (enabled) {
        for (int32_t pointer = 0; pointer < k_pointerCount; ++pointer)
            setCursorImage(FRefT<FCursorImage>(m_cursors[pointer]), pointer);
    } else {
        for (int32_t pointer = 0; pointer < k_pointerCount; ++pointer)
            FWidget::setCursorImage(FRefT<FCursorImage>(), pointer);
        m_hovered = false;
        m_toggled = false;
    }
    requestRedraw();
}

void FButton::setCursorImage(const FRefT<FCursorImage>& cursor, int32_t pointer)
{
    m_cursors[pointer & 3] = cursor;
    if (m_enabled) FWidget::setCursorImage(cursor, pointer);
}

void FButton::setVisible(bool visible)
{
    storeVisibleShowing(visible, m_skin);
}

void FButton::resetPointerState()
{
    m_hovered = false;
    m_toggled = false;
}

void FButton::setOnClick(const ClickCallback* callback)
{
    ClickCallback::assign(m_onClick, callback);
}

void FButton::setToggled(bool toggled)
{
    m_toggled = toggled;
    requestRedraw();
}

void FButton::setImagePlacement(int32_t placement)
{
    m_imagePlacement = placement;
    requestRedraw();
}

void FButton::setImageScale(float scale)
{
    m_imageScale = scale;
    requestRedraw();
}

void FButton::onTargetChange()
{
    m_caption.onTargetChange();
}

FRectI FButton::hitRect()
{
    const FRectI& r = rect();
    if (m_skin.get() == nullptr) return r;
    const std::array<float, 4> insets = m_skin->getInsets();
    const auto w = static_cast<float>(width());
    const auto h = static_cast<float>(height());
    return {r.left + static_cast<int32_t>(w * insets[0]), r.top + static_cast<int32_t>(h * insets[1]),
            r.right + static_cast<int32_t>(w * insets[2]), r.bottom + static_cast<int32_t>(h * insets[3])};
}

bool FButton::containsPoint(const FPointI& point)
{
    return FWidget::containsPoint(point) && insideRect(hitRect(), point);
}

void FButton::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    if (!m_enabled) return;
    if (FScreen* screen = getScreen()) screen->setFocus(this);
    handlePointerDown(pointer, button, point);
    playStateSound(FSkin::k_pressed);
    m_pressed = true;
    capturePointer(pointer);
    requestRedraw();
}

void FButton::onPointerMove(int32_t pointer, const FPointI& point)
{
    if (!m_enabled) return;
    handlePointerMove(pointer, point);
    if (m_pressed) {
        const bool inside = insideRect(rect(), point);
        if (inside != m_hovered) {
            m_hovered = inside;
            requestRedraw();
        }
        return;
    }
    if (m_hovered) return;
    if (const FSkin::StateRecord* hover = stateRecord(FSkin::k_hover)) {
        playStateSound(FSkin::k_hover);
        const int32_t rumble = hover->sound.values[0];
        if (auto* pads = findService<FGamePadService>(k_slotGamePads); pads != nullptr && rumble > 0)
            pads->rumble(pointer, rumble);
    }
    m_hovered = true;
    requestRedraw();
}

void FButton::onPointerLeave(int32_t pointer)
{
    runLeaveCallback(pointer);
    if (!m_hovered) return;
    m_hovered = false;
    requestRedraw();
}

void FButton::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    if (!m_pressed) return;
    handlePointerUp(pointer, button, point);
    const bool inside = insideRect(rect(), point);
    if (inside) {
        playStateSound(FSkin::k_normal);
        m_toggled = m_toggleMode && !m_toggled;
    }
    m_pressed = false;
    m_hovered = inside;
    if (FScreen* screen = getScreen()) screen->releaseCapture(pointer);
    requestRedraw();
    if (!inside) return;
    if (s_clickFilter != nullptr && !s_clickFilter->invoke(*this)) return;
    // The callback may delete the button; nothing touches it afterwards.
    if (m_onClick != nullptr) m_onClick->invoke(*this);
}

int32_t FButton::drawnState() const
{
    if (!m_enabled) return FSkin::k_disabled;
    if (m_toggled || (m_pressed && m_hovered)) return FSkin::k_pressed;
    return m_hovered ? FSkin::k_hover : FSkin::k_normal;
}

FRectI FButton::placeImage(FPointI size) const
{
    const FRectI& r = rect();
    const int32_t column = m_imagePlacement % 3;
    const int32_t row = m_imagePlacement / 3;
    const int32_t x = column == 0 ? r.left : column == 1 ? r.left + (width() - size.x) / 2 : r.right - size.x;
    const int32_t y = row == 0 ? r.top : row == 1 ? r.top + (height() - size.y) / 2 : r.bottom - size.y;
    return {x, y, x + size.x, y + size.y};
}

void FButton::draw(FDrawContext& context)
{
    drawDecoration(context);
    if (const FSkin::StateRecord* record = stateRecord(drawnState())) {
        if (partAsset<FImage>(record->image) != nullptr) {
            const FRefT<FImage> image(record->image.asset);
            if (m_imagePlacement == k_placementFill) {
                const int32_t dx = record->image.values[0];
                const int32_t dy = record->image.values[1];
                if (dx != 0 || dy != 0) {
                    const FRectI& r = rect();
                    FShapeEmitter::drawImageRegion(context, image,
                                                   {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy},
                                                   k_shadowColour);
                }
                FShapeEmitter::drawImageRegion(context, image, rect(), record->image.colour);
            } else {
                const FImagePoint size = image->getRootImageSize();
                const FRectI placed =
                    placeImage({static_cast<int32_t>(static_cast<float>(size.x) * m_imageScale),
                                static_cast<int32_t>(static_cast<float>(size.y) * m_imageScale)});
                FShapeEmitter::pushTexturedPolygon({0, 0, size.x, size.y}, context, image,
                                                   {placed.left, placed.top}, m_imageScale, m_imageScale,
                                                   record->image.colour, 0.0f, FShapeEmitter::k_flipNone);
            }
        }
        if (!m_caption.text().empty() && partAsset<FFont>(record->font) != nullptr) {
            m_caption.setShadowDelta(record->font.values[0], record->font.values[1]);
            m_caption.setColor(record->font.colour);
            m_caption.setWidgetRect(rect());
            m_caption.setFont(FRefT<FFont>(record->font.asset));
            m_caption.draw(context);
        }
    }
    if (debugOverlayLevel() == 2) {
        FShapeEmitter::pushColouredPolygon(context, k_debugRectColour, rect());
        FShapeEmitter::pushColouredPolygon(context, k_debugHitColour, hitRect());
    }
}

void FButton::load(FInStream& stream, FScreenRegistry& registry, std::vector<int32_t>& ids)
{
    FWidget::load(stream, registry, ids);
    const int32_t skinId = stream.readUInt16();
    const int32_t captionId = stream.readUInt16();
    const int32_t placement = stream.readUInt8();
    const int32_t scale = stream.readInt32();
    const int32_t horizontal = stream.readUInt8();
    const int32_t vertical = stream.readUInt8();
    const int32_t originX = stream.readInt32();
    const int32_t originY = stream.readInt32();
    const bool enabled = stream.readUInt8() == 1;
    int32_t neighbours[6];
    for (int32_t& id : neighbours)
        id = stream.readInt32();

    if (skinId != 0) {
        FRef asset = registry.findInSecond(skinId);
        // Only a skin can style a button; an id naming anything else is ignored.
        if (dynamic_cast<FSkin*>(static_cast<FAsset*>(asset.get())) != nullptr) setSkin(FRefT<FSkin>(asset));
    }
    if (captionId != 0) {
        if (const FString* text = registry.findInThird(captionId).as<FString>()) m_caption.setText(*text);
    }
    m_imagePlacement = placement;
    m_imageScale = static_cast<float>(scale) / 1000.0f;
    m_caption.setHorizontalAlignment(horizontal);
    m_caption.setVerticalAlignment(vertical);
    m_caption.setOrigin(originX, originY);
    // Stored as it is: the cursors stay as they are.
    m_enabled = enabled;
    for (int32_t i = 0; i < 6; ++i) {
        if (neighbours[i] != 0) setNeighbourId(k_neighbourKeys[i], neighbours[i]);
    }
}
