#pragma once

#include "asset/FAssetLoaderModule.h"

class FAudioStreamTask;
class FSample;

// Loads GWSample files (IMA ADPCM) into samples: decoded whole, or streamed
// in chunks of 16384 frames (or half a second when that is longer) when the
// asset keeps its source.
class FAudioGWSampleModule : public FAssetLoaderModule
{
public:
    FAudioGWSampleModule();

    void load(FAsset& asset) override;
    // The stream decoder's loop, one pass per play-through.
    static void decodeStream(FAudioStreamTask& task);

protected:
    FAsset* newAsset() override;
};
