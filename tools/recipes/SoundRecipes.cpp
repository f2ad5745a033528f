// Synthesised sounds: short effects (clicks, chimes, whooshes, fanfares,
// pops) and music loops, made by plain additive synthesis and seeded noise,
// so the same recipe always gives the same samples.
#include "tools/recipes/RecipeKinds.h"

#include "tools/recipes/RecipeRandom.h"
#include "tools/recipes/RecipeSound.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double k_tau = 2 * M_PI;

double noteFrequency(int semitonesFromA4)
{
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

// The samples of one effect at `rate`, mono.
using EffectShape = void (*)(RecipeSound& sound, RecipeRandom& random, double pitch);

void click(RecipeSound& sound, RecipeRandom& random, double pitch)
{
    const int frames = sound.rate * 30 / 1000;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sound.rate;
        const double envelope = std::exp(-t * 220);
        const float v = static_cast<float>(
            envelope * (0.55 * std::sin(k_tau * 1800 * pitch * t) + 0.35 * random.uniform(-1, 1)));
        sound.push(&v);
    }
}

void chime(RecipeSound& sound, RecipeRandom& random, double pitch)
{
    static const int k_notes[] = {3, 5, 7, 10, 12, 15}; // a pentatonic choice above A4
    const double f = noteFrequency(k_notes[random.below(0, 6)]) * pitch;
    const int frames = sound.rate * 12 / 10;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sound.rate;
        const double attack = std::min(1.0, t * 400);
        const float v =
            static_cast<float>(attack * (0.45 * std::exp(-t * 3) * std::sin(k_tau * f * t) +
                                         0.25 * std::exp(-t * 5) * std::sin(k_tau * f * 2.76 * t) +
                                         0.12 * std::exp(-t * 8) * std::sin(k_tau * f * 5.4 * t)));
        sound.push(&v);
    }
}

void whoosh(RecipeSound& sound, RecipeRandom& random, double pitch)
{
    const int frames = sound.rate * 6 / 10;
    double low = 0, band = 0;
    for (int i = 0; i < frames; ++i) {
        const double u = static_cast<double>(i) / frames;
        // A state-variable filter swept up and down across the sound.
        const double cutoff = (300 + 2600 * std::sin(M_PI * u)) * pitch;
        const double k = 2 * std::sin(M_PI * std::min(cutoff, sound.rate / 4.0) / sound.rate);
        const double in = random.uniform(-1, 1);
        low += k * band;
        const double high = in - low - 0.6 * band;
        band += k * high;
        const float v = static_cast<float>(0.9 * std::pow(std::sin(M_PI * u), 2) * band);
        sound.push(&v);
    }
}

void fanfare(RecipeSound& sound, RecipeRandom& random, double pitch)
{
    const int root = random.below(-5, 3);
    const int steps[] = {0, 4, 7, 12};
    const double noteLength = 0.16;
    const int frames = static_cast<int>(sound.rate * (noteLength * 3 + 0.9));
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sound.rate;
        const int n = std::min(3, static_cast<int>(t / noteLength));
        const double start = n * noteLength;
        const double local = t - start;
        const double f = noteFrequency(root + steps[n]) * pitch;
        const double length = n < 3 ? noteLength : 0.9;
        const double envelope = std::min(1.0, local * 200) * std::max(0.0, 1 - local / length);
        double v = 0;
        for (int h = 1; h <= 6; ++h) // a brassy saw, band-limited by hand
            v += std::sin(k_tau * f * h * t) / h;
        const float out = static_cast<float>(0.32 * envelope * v);
        sound.push(&out);
    }
}

void pop(RecipeSound& sound, RecipeRandom&, double pitch)
{
    const int frames = sound.rate * 12 / 100;
    double phase = 0;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sound.rate;
        phase += k_tau * (900 - 5000 * t) * pitch / sound.rate;
        const float v = static_cast<float>(0.7 * std::exp(-t * 35) * std::sin(phase));
        sound.push(&v);
    }
}

struct Effect
{
    const char* name;
    EffectShape shape;
};

const Effect k_effects[] = {
    {"click", click}, {"chime", chime}, {"whoosh", whoosh}, {"fanfare", fanfare}, {"pop", pop},
};

RecipeAsset effect(const Recipe& recipe)
{
    std::vector<std::string> names;
    for (const Effect& e : k_effects)
        names.emplace_back(e.name);
    const std::string name = recipe.choice("effect", names, false);
    const double pitch = recipe.number("pitch", 1.0);
    if (pitch < 0.25 || pitch > 4) recipe.fail("pitch", "must lie in 0.25 .. 4");
    RecipeSound sound;
    sound.rate = recipe.integer("rate", 8000, 48000, 22050);
    RecipeRandom random(recipe.seed());
    for (const Effect& e : k_effects)
        if (name == e.name) e.shape(sound, random, pitch);
    return encodeRecipeSound(recipe, sound);
}

// A music loop: `bars` bars of four beats over a seeded chord progression,
// with bass, a soft pad, a pentatonic melody and light hats, in stereo. The
// loop runs over the bars after `intro_bars` bars of the same music played
// without melody; each bar's notes end inside it, so the loop joins cleanly.
RecipeAsset music(const Recipe& recipe)
{
    const int bars = recipe.integer("bars", 1, 64, 4);
    const int introBars = recipe.integer("intro_bars", 0, 16, 0);
    const double tempo = recipe.integer("tempo", 40, 240, 96);
    const bool loops = recipe.flag("loop", true);
    RecipeSound sound;
    sound.channels = 2;
    sound.rate = recipe.integer("rate", 8000, 48000, 32000);
    RecipeRandom random(recipe.seed());

    static const int k_progressions[][4] = {{0, 5, 7, 3}, {0, 9, 5, 7}, {0, 7, 9, 5}, {0, 5, 9, 7}};
    static const int k_pentatonic[] = {0, 2, 4, 7, 9, 12, 14, 16};
    const int* progression = k_progressions[random.below(0, 4)];
    const int key = random.below(-9, -2);
    const int beatFrames = static_cast<int>(sound.rate * 60 / tempo);
    const int barFrames = beatFrames * 4;
    // Eight melody notes a bar, chosen once so the intro and loop agree.
    std::vector<int> melody(static_cast<std::size_t>(bars) * 8);
    for (int& n : melody)
        n = random.next() % 4 == 0 ? -1 : k_pentatonic[random.below(0, 8)];
    RecipeRandom hats(recipe.seed() ^ 0xA5A5A5u);

    for (int bar = 0; bar < introBars + bars; ++bar) {
        const int loopBar = (bar - introBars + bars * 16) % bars;
        const int chord = key + progression[loopBar % 4];
        for (int i = 0; i < barFrames; ++i) {
            const double t = static_cast<double>(i) / sound.rate;
            const double barT = static_cast<double>(i) / barFrames;
            const double fade = std::min(1.0, (1 - barT) * 40) * std::min(1.0, barT * 200);
            const double beatT = static_cast<double>(i % beatFrames) / sound.rate;
            const double bass = 0.28 * std::exp(-beatT * 3) * std::sin(k_tau * noteFrequency(chord - 24) * t);
            double pad = 0;
            for (int s : {0, 4, 7})
                pad += std::asin(std::sin(k_tau * noteFrequency(chord + s - 12) * t)) * (2 / M_PI);
            pad *= 0.05 * fade;
            double lead = 0;
            const int eighth = i / (beatFrames / 2);
            const int note =
                bar >= introBars ? melody[static_cast<std::size_t>(loopBar) * 8 + std::min(eighth, 7)] : -1;
            if (note >= 0) {
                const double local = static_cast<double>(i % (beatFrames / 2)) / sound.rate;
                const double f = noteFrequency(key + note + 3);
                lead = 0.2 * std::min(1.0, local * 150) * std::exp(-local * 4) *
                       std::sin(k_tau * f * t + 0.3 * std::sin(k_tau * 5 * t));
            }
            const double hatT = static_cast<double>(i % (beatFrames / 2)) / sound.rate;
            const double hat = 0.05 * std::exp(-hatT * 90) * hats.uniform(-1, 1);
            const float frame[2] = {static_cast<float>(bass + pad * 1.1 + lead * 0.8 + hat),
                                    static_cast<float>(bass + pad * 0.9 + lead * 1.2 + hat * 0.7)};
            sound.push(frame);
        }
    }
    if (loops) {
        sound.loops = true;
        sound.loopStart = static_cast<uint32_t>(introBars * barFrames);
        sound.loopLength = static_cast<uint32_t>(bars * barFrames);
    }
    return encodeRecipeSound(recipe, sound);
}

} // namespace

const std::vector<RecipeKind>& soundRecipeKinds()
{
    static const std::vector<RecipeKind> kinds = {
        {"effect", recipeSoundExtension, effect},
        {"music", recipeSoundExtension, music},
    };
    return kinds;
}
