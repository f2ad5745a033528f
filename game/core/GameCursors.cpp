#include "game/core/GameCursors.h"

#include "game/core/CursorDevice.h"
#include "graphics/FCursorImage.h"
#include "image/FImage.h"

namespace {

bool isPointer(std::int32_t pointer)
{
    return pointer >= 0 && pointer < GameCursors::k_pointerCount;
}

} // namespace

GameCursors::GameCursors(CursorDevice& device, bool customCursor)
    : m_device(device), m_customCursor(customCursor)
{
}

GameCursors::~GameCursors() = default;

void GameCursors::build(FRefT<FCursorImage>& cursor, const ImageLookup& images, std::int32_t assetId)
{
    if (cursor.get() != nullptr) return;
    cursor = m_device.makeCursor(images ? images(assetId) : FRefT<FImage>(), FPointI{k_hotSpot, k_hotSpot});
}

void GameCursors::setupCursors(const ImageLookup& images)
{
    if (!m_customCursor) return;
    if (m_playerCursors[0].get() != nullptr && m_playerCursors[1].get() != nullptr) return;
    // Each player gets a cursor object of its own from the same picture.
    build(m_playerCursors[0], images, k_defaultImage);
    build(m_playerCursors[1], images, k_defaultImage);
    build(m_cursorStyle4, images, k_style4Image);
    build(m_cursorStyle5, images, k_style5Image);
    setCursor(0, m_playerCursors[0]);
    setCursor(1, m_playerCursors[1]);
}

void GameCursors::setCursor(std::int32_t pointer, const FRefT<FCursorImage>& cursor)
{
    if (!m_customCursor) return;
    m_device.setDefaultCursor(pointer, cursor);
    m_device.setGraphCursor(cursor, pointer);
}

void GameCursors::changeState(std::int32_t pointer, std::int32_t state)
{
    if (!isPointer(pointer)) return;
    m_previousCursorState[static_cast<std::size_t>(pointer)] =
        m_cursorState[static_cast<std::size_t>(pointer)];
    m_cursorState[static_cast<std::size_t>(pointer)] = state;
}

void GameCursors::setDefaultCursor(std::int32_t pointer)
{
    const FRefT<FCursorImage>& cursor = playerCursor(pointer);
    if (cursor.get() != nullptr) setCursor(pointer, cursor);
    changeState(pointer, k_stateDefault);
}

void GameCursors::setCursorStyle4()
{
    if (m_cursorStyle4.get() != nullptr) setCursor(0, m_cursorStyle4);
    changeState(0, k_stateStyle4);
}

void GameCursors::setCursorStyle5()
{
    if (m_cursorStyle5.get() != nullptr) setCursor(0, m_cursorStyle5);
    changeState(0, k_stateStyle5);
}

void GameCursors::applyCursorStyle(std::int32_t state)
{
    switch (state) {
    case k_stateStyle4:
        setCursorStyle4();
        break;
    case k_stateStyle5:
        setCursorStyle5();
        break;
    default:
        setDefaultCursor(0);
        break;
    }
}

void GameCursors::restoreRememberedCursor()
{
    if (m_previousCursorState[0] != k_stateDefault) applyCursorStyle(m_previousCursorState[0]);
}

void GameCursors::showPauseCursor()
{
    setDefaultCursor(0);
    m_device.showSystemCursor(true);
}

void GameCursors::resetForScreenChange()
{
    setDefaultCursor(0);
    setDefaultCursor(1);
}

std::int32_t GameCursors::cursorState(std::int32_t pointer) const
{
    return isPointer(pointer) ? m_cursorState[static_cast<std::size_t>(pointer)] : k_stateDefault;
}

std::int32_t GameCursors::previousCursorState(std::int32_t pointer) const
{
    return isPointer(pointer) ? m_previousCursorState[static_cast<std::size_t>(pointer)] : k_stateDefault;
}

const FRefT<FCursorImage>& GameCursors::playerCursor(std::int32_t player) const
{
    static const FRefT<FCursorImage> k_none;
    return player >= 0 && player < k_playerCount ? m_playerCursors[static_cast<std::size_t>(player)] : k_none;
}
