#pragma once

#include <cstdint>
#include <vector>

// The widget layout records that an owner screen's widget tree is made of,
// and the type codes that name each child's class in its container.
namespace WidgetType {
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
} // namespace WidgetType

// The 10 bytes every widget record starts with (a marker's whole record).
struct WidgetPart
{
    int16_t x = 0;
    int16_t y = 0;
    int16_t width = 0;
    int16_t height = 0;
    uint8_t layoutFlag = 0;
    uint8_t visible = 1;
};

struct ImageRecord
{
    WidgetPart widget;
    int16_t imageId = 0; // 0: no image
};

struct LabelRecord
{
    WidgetPart widget;
    int16_t fontId = 0; // 0: keep the current font
    int16_t textId = 0; // 0: empty text
    uint8_t horizontalAlignment = 1;
    uint8_t verticalAlignment = 3;
    int32_t originX = -2147483647; // automatic
    int32_t originY = 0;
    uint8_t red = 255;
    uint8_t green = 255;
    uint8_t blue = 255;
    uint8_t wordWrap = 0;
};

struct ButtonRecord
{
    WidgetPart widget;
    int16_t skinId = 0;
    int16_t captionId = 0;
    uint8_t imagePlacement = 9;
    int32_t imageScaleThousandths = 1000;
    uint8_t captionHorizontalAlignment = 2;
    uint8_t captionVerticalAlignment = 2;
    int32_t captionOriginX = -2147483647;
    int32_t captionOriginY = 0;
    uint8_t enabled = 1;
    // Widget ids of the neighbours: above, below, left, right, previous, next.
    int32_t neighbours[6] = {0, 0, 0, 0, 0, 0};
};

struct EditBoxRecord
{
    LabelRecord label;
    uint8_t selectionBlue = 255;
    uint8_t selectionGreen = 128;
    uint8_t selectionRed = 0;
    uint8_t selectionAlpha = 128;
    int32_t previous = 0;
    int32_t next = 0;
};

// A child of a container: its widget id, type code and its own record.
struct ContainerChild
{
    int32_t id = 0;
    uint32_t type = 0;
    std::vector<uint8_t> record;
};

struct ContainerRecord
{
    WidgetPart widget;
    int32_t scrollX = 0;
    int32_t scrollY = 0;
    int32_t depthThousandths = 0; // 0: no projection
    int32_t scaleXThousandths = 1000;
    int32_t scaleYThousandths = 1000;
    std::vector<ContainerChild> children;
};

std::vector<uint8_t> writeWidgetPart(const WidgetPart& part);         // 10 bytes
std::vector<uint8_t> writeImageRecord(const ImageRecord& record);     // 12 bytes
std::vector<uint8_t> writeLabelRecord(const LabelRecord& record);     // 28 bytes
std::vector<uint8_t> writeButtonRecord(const ButtonRecord& record);   // 54 bytes
std::vector<uint8_t> writeEditBoxRecord(const EditBoxRecord& record); // 40 bytes
std::vector<uint8_t> writeContainerRecord(const ContainerRecord& record);
