#pragma once

#include "engine/ui/FWidgetTypes.h"

#include <cstdint>
#include <vector>

// The widget layout records that an owner screen's widget tree is made of.
// The type codes that name each child's class are the engine's own.
namespace WidgetType = FWidgetTypes;

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
