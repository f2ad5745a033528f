#include "game/core/ScreenObjects.h"

#include "asset/FRawData.h"
#include "image/FImage.h"
#include "ui/FFont.h"
#include "ui/FSkin.h"
#include "video/FVideo.h"

namespace {

template <class T> FRef made()
{
    T* asset = engineNew<T>(k_memObject);
    return asset != nullptr ? makeHolderRef(asset, &FRefDeleters::deleteObject<FAsset>) : FRef();
}

} // namespace

FRef createScreenObject(int16_t kind)
{
    switch (kind) {
    case 0:
        return made<FRawData>();
    case 1:
        return made<FFont>();
    case 3:
        return made<FImage>();
    case 6:
        return made<FSkin>();
    case 7:
        return made<FVideo>();
    default:
        return FRef();
    }
}
