#pragma once

#include "asset/FAssetLoaderModule.h"

// The font loader: reads a font file (the glyph sheet as a PNG stream, then
// the font's tables) into an FFont.
class FFontModule : public FAssetLoaderModule
{
public:
    FFontModule();

    void load(FAsset& asset) override;

protected:
    FAsset* newAsset() override;
};
