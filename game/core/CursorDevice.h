#pragma once

#include "core/FRef.h"
#include "graphics/FGeometry.h"

#include <cstdint>

class FCursorImage;
class FImage;

// Where the game's cursors come from and go to: the system cursors made from
// pictures, the user-interface module's default cursor of each pointer and the
// graphics interface's pointer. The game's cursors talk only to this, so they
// can be tested with a fake device.
class CursorDevice
{
public:
    virtual ~CursorDevice() = default;

    // A system cursor showing `image` with its hot spot in cursor pixels.
    virtual FRefT<FCursorImage> makeCursor(const FRefT<FImage>& image, FPointI hotSpot) = 0;
    // The cursor a widget without one of its own shows for `pointer`.
    virtual void setDefaultCursor(std::int32_t pointer, const FRefT<FCursorImage>& cursor) = 0;
    // Hands the cursor to the graphics interface, which shows it as the pointer.
    virtual void setGraphCursor(const FRefT<FCursorImage>& cursor, std::int32_t pointer) = 0;
    virtual void showSystemCursor(bool show) = 0;
};
