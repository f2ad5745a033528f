// The UI module on a thread of its own: screens built on workers while the
// test thread asks for switches, draws and presents the way the main thread
// and the graphics module do, and the module going away with a build under way.
#include "UiModuleTestSupport.h"

#include "core/FPointerButton.h"
#include "engine/platform/PlatformTestSupport.h"

namespace {

template <class Condition> bool waitFor(Condition condition)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

class ThreadedUiModuleTest : public testing::Test
{
protected:
    ThreadedUiModuleTest()
    {
        module->launch();
        module->run();
    }

    FApplication application;
    RecordingErrorHandler failures;
    SharedLog log;
    FakeScreenFactory factory{log};
    std::unique_ptr<FAppUserInterfaceModule> module = std::make_unique<FAppUserInterfaceModule>(&factory);
};

} // namespace

TEST_F(ThreadedUiModuleTest, SwitchesRequestedFromAnotherThreadRunOnTheUiThread)
{
    auto* pointers = findService<FPointerListener>(k_slotPointerEvents);
    ASSERT_NE(pointers, nullptr);
    for (int i = 0; i < 60; ++i) {
        const int32_t kind = i % 4 + 1;
        // Off the UI thread the request is queued for it, so the request and
        // the cache are only touched there.
        module->setScreen(kind, i % 3 != 0);
        // Meanwhile the graphics side consumes and presents frames and the
        // window sends input.
        while (module->currentKind() != kind) {
            module->frameConsumed();
            module->invalidate();
            module->framePresented();
            pointers->pointerMoved(0, {i, i});
            pointers->pointerPressed(0, k_mouseLeft, {i, i});
            pointers->pointerReleased(0, k_mouseLeft, {i, i});
            (void)module->getCachedScreen(kind);
            // At the pace of frames: a flood of events would keep the
            // arriving screen at the back of an ever longer queue.
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }
    EXPECT_TRUE(waitFor([&] { return !module->hasPendingLoad(); }));
    EXPECT_EQ(factory.builds.load(), 60);
    EXPECT_TRUE(failures.texts.empty());
    module->requestStop();
    EXPECT_TRUE(waitFor([&] { return module->waitStopped(10); }));
    EXPECT_EQ(module->currentKind(), -1);
}

TEST_F(ThreadedUiModuleTest, DestroyingTheModuleCancelsABuildUnderWay)
{
    factory.gated = {2};
    module->setScreen(1, true);
    ASSERT_TRUE(waitFor([&] { return module->currentKind() == 1; }));
    module->setScreen(2, true);
    ASSERT_TRUE(factory.waitUntilWaiting());
    // The gate never opens: only the cancellation ends the build.
    module.reset();
    const std::vector<std::string> lines = log.take();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "2:built"), 0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "1:destroyed"), 1);
}

TEST_F(ThreadedUiModuleTest, CloseDuringABuildQuitsWithoutTheScreen)
{
    FakeProcess process;
    factory.gated = {3};
    module->setScreen(3, true);
    ASSERT_TRUE(factory.waitUntilWaiting());
    findService<FAppEventListener>(k_slotAppEvents)->closeRequested();
    ASSERT_TRUE(waitFor([&] { return process.quitRequested.load(); }));
    EXPECT_TRUE(module->isQuitting());
    EXPECT_FALSE(module->hasPendingLoad());
    EXPECT_EQ(module->currentKind(), -1);
    EXPECT_EQ(log.take(), std::vector<std::string>{});
}
