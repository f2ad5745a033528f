#pragma once

#include "asset/FAssetLoaderModule.h"
#include "core/FString.h"

// A loader module of video assets: it creates videos with the player of its
// file kind and loads them by reading the header through that player. One
// class serves both kinds: the GW video loader (".gwvideo") and the Theora
// loader (".theora"), each in its own service slot:
//   FVideoLoaderModule(k_slotGwVideoLoader, ".gwvideo")
//   FVideoLoaderModule(k_slotTheoraLoader, ".theora")
class FVideoLoaderModule : public FAssetLoaderModule
{
public:
    FVideoLoaderModule(int slot, const char* extension);

    void load(FAsset& asset) override;

protected:
    FAsset* newAsset() override;

private:
    FString m_extension;
};
