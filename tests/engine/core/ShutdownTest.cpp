#include "RuntimeTestSupport.h"

#include "core/FAction.h"
#include "core/FApplication.h"
#include "core/FDebug.h"
#include "core/FSemaphore.h"
#include "core/FSignal.h"
#include "core/FThread.h"
#include "core/FThreadPoolModule.h"
#include "core/FThreadedModule.h"
#include "core/FUtilPlatform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

class IdleModule : public FThreadedModule
{
public:
    explicit IdleModule(bool runInline) : FThreadedModule(k_untimed) { setInline(runInline); }
    void nothing(FAction&) {}
};

// Once the run is stopping, every kind of wait of every thread unwinds.
TEST(ShutdownTest, TheStoppingStateUnwindsEveryKindOfWait)
{
    FApplication application;
    FakeClock clock(application);
    RecordingMessageBox box;
    FUtilPlatform& util = *application.platformUtilities();
    auto* pool = engineNew<FThreadPoolModule>(k_memObject);

    // A module loop waiting on its queue, on a worker.
    auto* module = engineNew<IdleModule>(k_memObject, false);
    module->launch();
    module->run();
    // A pooled worker waiting for work.
    pool->addThread(engineNew<FThread>(k_memObject));

    std::atomic<int> unwound{0};
    std::atomic<int> waiting{0};
    std::vector<std::thread> threads;
    auto spawn = [&](std::function<void()> wait) {
        threads.emplace_back([&, wait] {
            try {
                ++waiting;
                wait();
            } catch (const FDebug::TreatedException&) {
                ++unwound;
            }
        });
    };
    FSemaphore never;
    FSignal signal;
    auto* inlineModule = engineNew<IdleModule>(k_memObject, true);
    spawn([&] { util.waitAlertable(nullptr, FUtilPlatform::k_infinite); }); // sleeping
    spawn([&] { util.waitAlertable(&never, 600000); });                     // timed object wait
    spawn([&] { util.waitAlertable(&never, FUtilPlatform::k_infinite); });  // endless object wait
    spawn([&] { signal.wait(); });                                          // signal wait
    spawn([&] {                                                             // a poster waiting
        inlineModule->postActionAndWait(makeAction<FAction0<IdleModule>>(inlineModule, &IdleModule::nothing));
    });
    ASSERT_TRUE(eventually([&] { return waiting == 5; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(unwound, 0);

    EXPECT_TRUE(util.showFatalMessage("shutting down"));
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(unwound, 5);
    EXPECT_TRUE(eventually([&] { return module->waitStopped(0); }, 2000));

    engineDelete(module);
    engineDelete(inlineModule);
    engineDelete(pool);
    drainQueuedCalls();
}

} // namespace
