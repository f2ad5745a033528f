// What the demo kit's media cost to make: a world's worth of hidden items
// (each with its bling and panel companions) and a batch of spoken lines.
#include "tools/recipes/EmojiGlyphs.h"
#include "tools/recipes/RecipeMaker.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// 100 items placed over a 2400 x 1600 scene, 44 pixels high and up.
Recipe itemRecipe(int i, const char* kind)
{
    static const std::vector<std::string> names = EmojiGlyphs::names();
    Recipe r("bench");
    r.set("kind", std::string(kind));
    r.set("emoji", names[static_cast<std::size_t>(i * 7) % names.size()]);
    r.set("x", 100.0 + (i * 211) % 2200);
    r.set("y", 100.0 + (i * 137) % 1400);
    r.set("size", 60.0 + (i * 13) % 140);
    r.set("angle", static_cast<double>((i * 29) % 90 - 45));
    r.set("palette", std::string("forest"));
    return r;
}

void makeItems(benchmark::State& state, const char* kind)
{
    for (auto _ : state)
        for (int i = 0; i < 100; ++i)
            benchmark::DoNotOptimize(makeRecipeAsset(itemRecipe(i, kind)).bytes.size());
    state.counters["assets"] = 100;
}

void BM_HundredItems(benchmark::State& state)
{
    makeItems(state, "item");
}
void BM_HundredItemBlings(benchmark::State& state)
{
    makeItems(state, "item_bling");
}
void BM_HundredItemPanels(benchmark::State& state)
{
    makeItems(state, "item_panel");
}

void BM_TenSpokenLines(benchmark::State& state)
{
    const char* lines[] = {"Welcome back!",
                           "Find the golden key hidden in the old forest.",
                           "Well done.",
                           "The clock has stopped; look behind the curtains.",
                           "Try again.",
                           "A new world is open.",
                           "You found every item in this scene.",
                           "Hint: it is under something green.",
                           "Time is running out!",
                           "Let us travel to the harbour."};
    for (auto _ : state)
        for (const char* text : lines) {
            Recipe r("bench");
            r.set("kind", std::string("speech"));
            r.set("text", std::string(text));
            benchmark::DoNotOptimize(makeRecipeAsset(r).bytes.size());
        }
    state.counters["assets"] = 10;
}

} // namespace

BENCHMARK(BM_HundredItems)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_HundredItemBlings)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_HundredItemPanels)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_TenSpokenLines)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_MAIN();
