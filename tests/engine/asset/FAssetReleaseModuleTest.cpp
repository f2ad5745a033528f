#include "engine/core/KernelTestSupport.h"

#include "asset/FAssetReleaseModule.h"
#include "core/FApplication.h"

#include <gtest/gtest.h>

namespace {

struct Counter
{
    int calls = 0;
    void call() { ++calls; }
};

FAssetReleaseService::Listener listenerFor(Counter& counter)
{
    FDelegate<void()>* delegate = makeObjectDelegate(&counter, &Counter::call);
    FAssetReleaseService::Listener listener = makeCallbackHolder<void()>(delegate);
    freeAndNull(delegate);
    return listener;
}

TEST(AssetReleaseModuleTest, ListenersAreCalledUntilRemovedOrGone)
{
    FApplication application; // no thread pool: the tick only calls the listeners
    FAssetReleaseModule module;
    EXPECT_EQ(application.service(k_slotAssetRelease), static_cast<FAssetReleaseService*>(&module));
    Counter kept, readded, removed, dead;
    FAssetReleaseService::Listener keptListener = listenerFor(kept);
    FAssetReleaseService::Listener readdedListener = listenerFor(readded);
    FAssetReleaseService::Listener removedListener = listenerFor(removed);
    FAssetReleaseService::Listener deadListener = listenerFor(dead);
    for (auto* l : {&keptListener, &readdedListener, &removedListener, &deadListener})
        module.addListener(*l);
    module.removeListener(readdedListener);
    module.addListener(readdedListener);
    module.removeListener(removedListener);
    FRef::destroyTarget(deadListener);

    module.tick(100);
    module.tick(100);
    EXPECT_EQ(kept.calls, 2);
    EXPECT_EQ(readded.calls, 2) << "added, removed and added again before a sweep stays";
    EXPECT_EQ(removed.calls, 0);
    EXPECT_EQ(dead.calls, 0);
    EXPECT_EQ(module.listenerCount(), 2u);
}

} // namespace
