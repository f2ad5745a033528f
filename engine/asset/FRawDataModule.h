#pragma once

#include "asset/FAssetLoaderModule.h"

// The raw-data loader: reads an asset's whole source into memory.
class FRawDataModule : public FAssetLoaderModule
{
public:
    FRawDataModule();

    void load(FAsset& asset) override;

protected:
    FAsset* newAsset() override;
};
