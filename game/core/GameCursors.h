#pragma once

#include "core/FRef.h"

#include <array>
#include <cstdint>
#include <functional>

class CursorDevice;
class FCursorImage;
class FImage;

// The game's pointer pictures and the cursor state of each pointer. Players 0
// and 1 each have a default cursor; player 0 can also show two special
// cursors. Every change remembers the state it replaced, so a pause, a prompt
// or an overlay can show the default cursor and afterwards put back what was
// shown before. Without custom cursors nothing is built or installed (the
// system arrow stays) but the states change all the same. UI thread only.
class GameCursors
{
public:
    // Cursor states.
    static constexpr std::int32_t k_stateDefault = 0;
    static constexpr std::int32_t k_stateStyle4 = 4;
    static constexpr std::int32_t k_stateStyle5 = 5;
    static constexpr std::int32_t k_pointerCount = 4;
    static constexpr std::int32_t k_playerCount = 2;
    // Images of the shared cursor folder and the hot spot of every cursor.
    static constexpr std::int32_t k_defaultImage = 6641;
    static constexpr std::int32_t k_style5Image = 6642;
    static constexpr std::int32_t k_style4Image = 6643;
    static constexpr std::int32_t k_hotSpot = 5;

    // The image of an asset id of the cursor folder (an empty handle when the
    // folder has none).
    using ImageLookup = std::function<FRefT<FImage>(std::int32_t assetId)>;

    // `customCursor` is the tuning value "CustomCursor".
    GameCursors(CursorDevice& device, bool customCursor);
    ~GameCursors();
    GameCursors(const GameCursors&) = delete;
    GameCursors& operator=(const GameCursors&) = delete;

    // Builds the cursors once (a later call builds nothing) and installs both
    // players' default cursors; the states do not change.
    void setupCursors(const ImageLookup& images);
    // Installs one cursor for one pointer (only with custom cursors).
    void setCursor(std::int32_t pointer, const FRefT<FCursorImage>& cursor);
    // The player's default cursor, state 0.
    void setDefaultCursor(std::int32_t pointer);
    // Special cursor 4 or 5 on pointer 0, state 4 or 5.
    void setCursorStyle4();
    void setCursorStyle5();
    // Shows a state on pointer 0: 4 and 5 their special cursors, any other
    // number the default cursor.
    void applyCursorStyle(std::int32_t state);
    // Puts back player 0's remembered state when it is not the default.
    void restoreRememberedCursor();
    // The cursor step of a pause: player 0's default cursor and the system
    // pointer shown.
    void showPauseCursor();
    // Every screen switch puts both players back on their default cursors.
    void resetForScreenChange();

    std::int32_t cursorState(std::int32_t pointer) const;
    std::int32_t previousCursorState(std::int32_t pointer) const;
    const FRefT<FCursorImage>& playerCursor(std::int32_t player) const;
    const FRefT<FCursorImage>& cursorStyle4() const { return m_cursorStyle4; }
    const FRefT<FCursorImage>& cursorStyle5() const { return m_cursorStyle5; }
    bool customCursor() const { return m_customCursor; }

private:
    // Records the change of `pointer` to `state`.
    void changeState(std::int32_t pointer, std::int32_t state);
    void build(FRefT<FCursorImage>& cursor, const ImageLookup& images, std::int32_t assetId);

    CursorDevice& m_device;
    bool m_customCursor;
    std::array<FRefT<FCursorImage>, k_playerCount> m_playerCursors;
    FRefT<FCursorImage> m_cursorStyle4;
    FRefT<FCursorImage> m_cursorStyle5;
    std::array<std::int32_t, k_pointerCount> m_cursorState{};
    std::array<std::int32_t, k_pointerCount> m_previousCursorState{};
};
