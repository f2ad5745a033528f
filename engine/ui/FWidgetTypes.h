#pragma once

#include <cstdint>

// Type codes of the widget kinds in layout records. They are fixed values of
// the file format; nothing computes them.
namespace FWidgetTypes {
inline constexpr uint32_t k_factoryContainer = 0x037AF0AA;
inline constexpr uint32_t k_autoGrowTextBox = 0x146BBA0B;
inline constexpr uint32_t k_characterVideoSprite = 0x194A6AD0;
inline constexpr uint32_t k_awardsViewport = 0x32685642;
inline constexpr uint32_t k_button = 0x36DF9795;
inline constexpr uint32_t k_image = 0x39C4B436;
inline constexpr uint32_t k_mapView = 0x3F599318;
inline constexpr uint32_t k_stepSlider = 0x4C7A922E;
inline constexpr uint32_t k_gameEditBox = 0x5B7F58F8;
inline constexpr uint32_t k_label = 0x6187C023;
inline constexpr uint32_t k_fadeSwapWidget = 0x6672425C;
inline constexpr uint32_t k_animatedMenuButton = 0x797A1743;
inline constexpr uint32_t k_queuedVideoSprite = 0x7BC1A5E2;
inline constexpr uint32_t k_invisibleButton = 0x8436892C;
inline constexpr uint32_t k_editBox = 0xB05CF6AE;
inline constexpr uint32_t k_videoSprite = 0xB177E041;
inline constexpr uint32_t k_container = 0xB7F8BDB2;
inline constexpr uint32_t k_flashSprite = 0xCE6776C7;
inline constexpr uint32_t k_effectSprite = 0xD8B544BC;
inline constexpr uint32_t k_hudPanel = 0xEFA7D95A;
inline constexpr uint32_t k_storyPanel = 0xF2F140A8;
inline constexpr uint32_t k_marker = 0xF95D2D33;
} // namespace FWidgetTypes
