#include "image/FImageLoaderModule.h"

#include "core/FErrorMessage.h"
#include "image/FImage.h"

FImageLoaderModule::FImageLoaderModule(int slot, Decode decode) : FAssetLoaderModule(slot), m_decode(decode)
{
}

void FImageLoaderModule::load(FAsset& asset)
{
    auto* image = dynamic_cast<FImage*>(&asset);
    if (image == nullptr) ZIBBO_FAIL(msgIllegalOperation, "asset (" << asset.id() << ") is an image");
    FInStream* stream = asset.waitSource();
    if (stream == nullptr) ZIBBO_FAIL(msgIllegalOperation, "source of asset (" << asset.id() << ") != NULL");
    m_decode(*stream, *image);
}

FAsset* FImageLoaderModule::newAsset()
{
    return engineNew<FImage>(k_memObject);
}
