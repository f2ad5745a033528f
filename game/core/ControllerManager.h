#pragma once

#include <array>
#include <cstdint>

class CursorDevice;
class FScreen;

// The game's side of game pads: the screen that is current for them and each
// pointer's cursor flag (both written by the screens as they become active),
// and what the game does when a controller connects: both pads are enabled
// and the system cursor is hidden.
class ControllerManager
{
public:
    static constexpr int32_t k_pointerCount = 4;
    // The pads (and pointers) a connection sets up.
    static constexpr int32_t k_padCount = 2;

    // `cursors` must outlive the manager.
    explicit ControllerManager(CursorDevice& cursors);

    void onControllerConnected(int32_t pointer);

    FScreen* currentScreen() const { return m_currentScreen; }
    void setCurrentScreen(FScreen* screen) { m_currentScreen = screen; }
    // Pointers outside 0 to 3 are std::out_of_range.
    uint8_t cursorFlag(int32_t pointer) const { return m_cursorFlags.at(static_cast<std::size_t>(pointer)); }
    void setCursorFlag(int32_t pointer, uint8_t flag)
    {
        m_cursorFlags.at(static_cast<std::size_t>(pointer)) = flag;
    }

private:
    CursorDevice& m_cursors;
    FScreen* m_currentScreen = nullptr;
    std::array<uint8_t, k_pointerCount> m_cursorFlags{};
};
