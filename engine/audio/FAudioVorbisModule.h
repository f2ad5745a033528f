#pragma once

#include "asset/FAssetLoaderModule.h"

#include <vorbis/codec.h>

class FAudioStreamTask;
class FSample;

// Loads Ogg Vorbis files (".vorbis") into samples: decoded whole to 16 bits,
// or streamed in chunks of about a second of mono when the asset keeps its
// source. The comments "loopstart=" and "looplength=" give the loop.
class FAudioVorbisModule : public FAssetLoaderModule
{
public:
    FAudioVorbisModule();

    void load(FAsset& asset) override;
    // The stream decoder's loop, one pass per play-through.
    static void decodeStream(FAudioStreamTask& task);
    // The loop of the comments into the sample; failed checks for damaged tags.
    static void readLoopComments(const vorbis_comment& comments, FSample& sample);

protected:
    FAsset* newAsset() override;
};
