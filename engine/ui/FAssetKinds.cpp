#include "ui/FAssetKinds.h"

#include "asset/FRawData.h"
#include "image/FImage.h"
#include "ui/FFont.h"
#include "ui/FSkin.h"

FRef FAssetKinds::create(int16_t kind)
{
    switch (kind) {
    case 0:
        return FAsset::handleFor(engineNew<FRawData>(k_memObject));
    case 1:
        return FAsset::handleFor(engineNew<FFont>(k_memObject));
    case 3:
        return FAsset::handleFor(engineNew<FImage>(k_memObject));
    case 6:
        return FAsset::handleFor(engineNew<FSkin>(k_memObject));
    default:
        return FRef();
    }
}
