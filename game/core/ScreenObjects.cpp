#include "game/core/ScreenObjects.h"

#include "ui/FAssetKinds.h"

FRef createScreenObject(int16_t kind)
{
    return FAssetKinds::create(kind);
}
