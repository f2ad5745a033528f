#include "platform/FCursorSdl.h"

#include "image/FImage.h"

#include <SDL.h>

FCursorSdl::FCursorSdl(FRefT<FImage> image, FPointI hotSpot) : FCursorImage(std::move(image), hotSpot)
{
    if (this->image().isNull()) return;
    int32_t size = 0;
    std::vector<uint32_t> pixels = mapPixels(*this->image(), size);
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), size, size, 32, size * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) return;
    m_cursor = SDL_CreateColorCursor(surface, hotSpot.x, hotSpot.y);
    SDL_FreeSurface(surface);
}

FCursorSdl::~FCursorSdl()
{
    if (m_cursor != nullptr) SDL_FreeCursor(m_cursor);
}
