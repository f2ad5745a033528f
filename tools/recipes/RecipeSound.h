#pragma once

// Writes a recipe's sound in the format its "format" key asks for: "vorbis"
// (the default; Ogg Vorbis with a fixed stream serial number, so the bytes
// repeat) or "gwsample" (IMA ADPCM), with loop points when the sound loops.

#include "tools/recipes/RecipeMaker.h"

#include <cstdint>
#include <vector>

struct RecipeSound
{
    int channels = 1;
    int rate = 22050;
    std::vector<int16_t> samples; // interleaved
    bool loops = false;
    uint32_t loopStart = 0; // frames
    uint32_t loopLength = 0;

    int32_t frames() const { return static_cast<int32_t>(samples.size()) / channels; }
    // Appends one frame of floats in -1 .. 1 (clipped), one per channel.
    void push(const float* frame);
};

std::string recipeSoundExtension(const Recipe& recipe);
RecipeAsset encodeRecipeSound(const Recipe& recipe, const RecipeSound& sound);
