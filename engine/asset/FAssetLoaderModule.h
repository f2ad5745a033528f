#pragma once

#include "asset/FAssetLoader.h"
#include "core/FModule.h"

// The shell every loader module shares: a plain module with no thread of its
// own that publishes its loader in its application service slot while it
// lives. Each module supplies load and the kind of asset it creates.
class FAssetLoaderModule : public FModule, public FAssetLoader
{
public:
    static constexpr int k_loaderPriority = 9;
    static constexpr int k_videoLoaderPriority = 10;

    // Publishes the loader in application slot `slot` (nothing when no
    // application is alive).
    explicit FAssetLoaderModule(int slot, int priority = k_loaderPriority);

    int priority() const override { return m_priority; }

private:
    int m_priority;
};
