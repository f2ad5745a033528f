#include "game/core/SystemCursorDevice.h"

#include "core/FApplication.h"
#include "core/FMemory.h"
#include "graphics/FCursorImage.h"
#include "graphics/FGraph.h"
#include "image/FImage.h"
#include "ui/FWidget.h"

FRefT<FCursorImage> SystemCursorDevice::makeCursor(const FRefT<FImage>& image, FPointI hotSpot)
{
    // A picture only: the graphics interface makes the SDL colour cursor from
    // it on the main thread, where SDL's video calls belong (the game calls
    // this on the user-interface thread).
    return makeRef(engineNew<FCursorImage>(k_memObject, image, hotSpot));
}

void SystemCursorDevice::setDefaultCursor(std::int32_t pointer, const FRefT<FCursorImage>& cursor)
{
    FWidget::setDefaultCursor(pointer, cursor);
}

void SystemCursorDevice::setGraphCursor(const FRefT<FCursorImage>& cursor, std::int32_t)
{
    // One system pointer shows whichever player's cursor was installed last.
    if (auto* graph = findService<FGraph>(k_slotGraphics)) graph->setCursor(cursor);
}

void SystemCursorDevice::showSystemCursor(bool show)
{
    if (auto* graph = findService<FGraph>(k_slotGraphics)) graph->showSystemCursor(show);
}
