#pragma once

#include "graphics/FCursorImage.h"

struct SDL_Cursor;

// A pointer image as an SDL colour cursor. A cursor that SDL cannot make
// stays complete with no SDL cursor (the system arrow shows instead).
class FCursorSdl : public FCursorImage
{
public:
    FCursorSdl(FRefT<FImage> image, FPointI hotSpot);
    ~FCursorSdl() override;

    SDL_Cursor* cursor() const { return m_cursor; }

private:
    SDL_Cursor* m_cursor = nullptr;
};
