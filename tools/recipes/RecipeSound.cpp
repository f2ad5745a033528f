#include "tools/recipes/RecipeSound.h"

#include "tools/audiowriters/GwSampleWriter.h"
#include "tools/audiowriters/VorbisWriter.h"

#include <algorithm>
#include <cmath>

namespace {

const std::vector<std::string> k_formats = {"vorbis", "gwsample"};

} // namespace

void RecipeSound::push(const float* frame)
{
    for (int c = 0; c < channels; ++c)
        samples.push_back(static_cast<int16_t>(std::lround(std::clamp(frame[c], -1.0f, 1.0f) * 32767.0f)));
}

std::string recipeSoundExtension(const Recipe& recipe)
{
    return "." + recipe.choice("format", k_formats);
}

RecipeAsset encodeRecipeSound(const Recipe& recipe, const RecipeSound& sound)
{
    RecipeAsset asset;
    asset.extension = recipeSoundExtension(recipe);
    if (asset.extension == ".vorbis") {
        VorbisSpec spec;
        spec.channels = sound.channels;
        spec.rate = sound.rate;
        spec.quality = static_cast<float>(recipe.number("quality", 0.3));
        if (spec.quality < -0.1f || spec.quality > 1.0f) recipe.fail("quality", "must lie in -0.1 .. 1");
        spec.loops = sound.loops;
        spec.loopStart = static_cast<int>(sound.loopStart);
        spec.loopLength = static_cast<int>(sound.loopLength);
        asset.bytes = writeVorbis(spec, sound.samples);
    } else {
        GwSampleSpec spec;
        spec.channels = sound.channels;
        spec.rate = sound.rate;
        spec.loops = sound.loops;
        spec.loopStart = sound.loopStart;
        spec.loopLength = sound.loopLength;
        asset.bytes = writeGwSample(spec, sound.samples);
    }
    return asset;
}
