#pragma once

#include "game/core/CursorDevice.h"

// The cursor device of the running game: cursor pictures that the graphics
// interface shows as SDL colour cursors, the widgets' default cursors (the
// user-interface module's default cursor of each pointer) and the graphics
// interface in its service slot (nothing is shown while none is published).
class SystemCursorDevice : public CursorDevice
{
public:
    FRefT<FCursorImage> makeCursor(const FRefT<FImage>& image, FPointI hotSpot) override;
    void setDefaultCursor(std::int32_t pointer, const FRefT<FCursorImage>& cursor) override;
    void setGraphCursor(const FRefT<FCursorImage>& cursor, std::int32_t pointer) override;
    void showSystemCursor(bool show) override;
};
