#pragma once

#include "asset/FAssetLoaderModule.h"

class FImage;
class FInStream;

// A loader module that creates images and decodes them with one of the image
// decoders (PNG, JPEG, JPEG32, PVR), published in that decoder's slot.
class FImageLoaderModule : public FAssetLoaderModule
{
public:
    using Decode = void (*)(FInStream& stream, FImage& image);

    FImageLoaderModule(int slot, Decode decode);

    void load(FAsset& asset) override;

protected:
    FAsset* newAsset() override;

private:
    Decode m_decode;
};
