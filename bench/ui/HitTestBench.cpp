// Pointer hit testing: 10,000 points routed through a three-level tree of
// rotated and scaled containers down to the topmost leaf under each point.
#include "ui/FColorRect.h"
#include "ui/FContainer.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace {

struct Tree
{
    FContainer root;
    std::vector<std::unique_ptr<FContainer>> containers;
    std::vector<std::unique_ptr<FColorRect>> leaves;

    Tree()
    {
        root.setWidgetRect({0, 0, 1024, 768});
        for (int a = 0; a < 4; ++a) {
            auto& outer = containers.emplace_back(std::make_unique<FContainer>(&root, true));
            outer->setWidgetRect({a * 256, 0, a * 256 + 256, 768});
            outer->setPivot({128, 384});
            outer->setRotation(10.0f * (a + 1));
            FContainer* outerPtr = outer.get();
            for (int b = 0; b < 4; ++b) {
                auto& inner = containers.emplace_back(std::make_unique<FContainer>(outerPtr, true));
                inner->setWidgetRect({0, b * 192, 256, b * 192 + 192});
                inner->setPivot({128, 96});
                inner->setRotation(-15.0f);
                inner->setUniformScale(1.25f);
                FContainer* innerPtr = inner.get();
                for (int c = 0; c < 8; ++c) {
                    auto& leaf = leaves.emplace_back(std::make_unique<FColorRect>(innerPtr, true));
                    leaf->setWidgetRect({(c % 4) * 64, (c / 4) * 96, (c % 4) * 64 + 60, (c / 4) * 96 + 90});
                }
            }
        }
    }
    ~Tree()
    {
        leaves.clear();
        containers.clear();
    }
};

// The leaf under a root-space point, as pointer routing finds it.
FWidget* leafAt(FContainer& root, FPointI point)
{
    FContainer* container = &root;
    FPointI local = root.parentToChildSpace(point);
    for (;;) {
        FWidget* hit = container->topmostChildAt(local);
        auto* next = dynamic_cast<FContainer*>(hit);
        if (next == nullptr) return hit;
        local = next->parentToChildSpace(local);
        container = next;
    }
}

void BM_HitTestRotatedTree(benchmark::State& state)
{
    Tree tree;
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> x(0, 1023), y(0, 767);
    std::vector<FPointI> points(10000);
    for (FPointI& p : points)
        p = {x(random), y(random)};
    int64_t hits = 0;
    for (const FPointI& p : points)
        hits += leafAt(tree.root, p) != nullptr;
    // The share of points that land on a leaf (the rest fall between them).
    state.counters["leaf_share"] = double(hits) / double(points.size());
    for (auto _ : state) {
        for (const FPointI& p : points)
            benchmark::DoNotOptimize(leafAt(tree.root, p));
    }
    state.SetItemsProcessed(state.iterations() * int64_t(points.size()));
}
BENCHMARK(BM_HitTestRotatedTree)->Unit(benchmark::kMillisecond);

} // namespace
BENCHMARK_MAIN();
