// Spoken lines: the recipe's text said by espeak-ng, synthesised into memory
// (synchronous output, no sound device) and encoded like every other sound.
// espeak-ng keeps one global state, so lines are spoken one at a time.
#include "tools/recipes/RecipeKinds.h"

#include "tools/recipes/RecipeSound.h"

#include <espeak-ng/speak_lib.h>

#include <mutex>
#include <stdexcept>

namespace {

std::mutex g_espeakLock;
int g_espeakRate = 0; // 0 until espeak-ng is started

int collect(short* wav, int count, espeak_EVENT* events)
{
    auto* out = static_cast<std::vector<int16_t>*>(events->user_data);
    if (wav != nullptr && count > 0) out->insert(out->end(), wav, wav + count);
    return 0; // go on
}

RecipeAsset speech(const Recipe& recipe)
{
    const std::string text = recipe.text("text");
    if (text.empty()) recipe.fail("text", "nothing to say");
    const std::string voice = recipe.text("voice", "en");
    const int wordsPerMinute = recipe.integer("speed", 80, 450, 150);
    const int pitch = recipe.integer("pitch", 0, 99, 50);

    RecipeSound sound;
    std::lock_guard<std::mutex> guard(g_espeakLock);
    if (g_espeakRate == 0) {
        g_espeakRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
        if (g_espeakRate <= 0) {
            g_espeakRate = 0;
            throw std::runtime_error("espeak-ng cannot start (is espeak-ng-data installed?)");
        }
        espeak_SetSynthCallback(collect);
    }
    if (espeak_SetVoiceByName(voice.c_str()) != EE_OK)
        recipe.fail("voice", "espeak-ng has no voice '" + voice + "'");
    espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
    espeak_SetParameter(espeakPITCH, pitch, 0);
    espeak_SetParameter(espeakRANGE, 50, 0);
    espeak_SetParameter(espeakVOLUME, 100, 0);
    if (espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                     &sound.samples) != EE_OK)
        recipe.fail("text", "espeak-ng could not say it");
    sound.channels = 1;
    sound.rate = g_espeakRate;
    if (sound.samples.empty()) recipe.fail("text", "espeak-ng said nothing");
    return encodeRecipeSound(recipe, sound);
}

} // namespace

const std::vector<RecipeKind>& speechRecipeKinds()
{
    static const std::vector<RecipeKind> kinds = {{"speech", recipeSoundExtension, speech}};
    return kinds;
}
