#include "UiModuleTestSupport.h"

#include "engine/ui/DebugRecorder.h"

using Lines = std::vector<std::string>;

TEST_F(UiModuleFixture, SynchronousSwitchActivatesThenEntersAtFirstPresentedFrame)
{
    module.setScreen(1, false);
    EXPECT_EQ(log.take(), (Lines{"1:built", "1:activate"}));
    EXPECT_EQ(module.currentKind(), 1);
    EXPECT_FALSE(module.isScreenReady());
    // No update before the screen is entered.
    module.tick(20);
    EXPECT_EQ(log.take(), Lines{});

    enter();
    EXPECT_EQ(log.take(), (Lines{"1:enter"}));
    EXPECT_TRUE(module.currentScreen()->isEntered());
    // Two updates of 0 ms, then the elapsed time.
    module.tick(40);
    module.tick(40);
    module.tick(40);
    EXPECT_EQ(log.take(), (Lines{"1:update 0", "1:update 0", "1:update 40"}));

    // The next switch leaves the entered screen first; the new one gets its
    // two 0-ms updates again.
    module.setScreen(2, false);
    EXPECT_EQ(log.take(), (Lines{"2:built", "1:reset", "2:activate", "1:destroyed"}));
    enter();
    module.tick(20);
    module.tick(20);
    module.tick(20);
    EXPECT_EQ(log.take(), (Lines{"2:enter", "2:update 0", "2:update 0", "2:update 20"}));
}

TEST_F(UiModuleFixture, AsynchronousBuildSwitchesWhenTheScreenArrives)
{
    factory.gated = {3};
    module.setScreen(3, true);
    module.setScreen(3, true); // the second only asks for the switch again
    ASSERT_TRUE(factory.waitUntilWaiting());
    EXPECT_TRUE(module.hasPendingLoad());
    EXPECT_EQ(module.currentKind(), -1);
    factory.open();
    ASSERT_TRUE(module.drainUntilLoaded());
    EXPECT_EQ(log.take(), (Lines{"3:built", "3:activate"}));
    EXPECT_EQ(factory.builds.load(), 1);
    EXPECT_FALSE(module.hasPendingLoad());
    EXPECT_EQ(module.currentKind(), 3);
}

TEST_F(UiModuleFixture, PreloadThenRequestBuildsOnceAndConflictsAreFailedChecks)
{
    factory.gated = {2};
    module.loadScreen(2);
    ASSERT_TRUE(factory.waitUntilWaiting());
    // Another kind, or any preload, while the build is pending.
    EXPECT_ANY_THROW(module.setScreen(1, false));
    EXPECT_ANY_THROW(module.loadScreen(1));
    EXPECT_ANY_THROW(module.loadScreen(2));
    module.setScreen(2, true);
    factory.open();
    ASSERT_TRUE(module.drainUntilLoaded());
    EXPECT_EQ(log.take(), (Lines{"2:built", "2:activate"}));
    EXPECT_EQ(factory.builds.load(), 1);
}

TEST_F(UiModuleFixture, PreloadWithoutRequestOnlyCaches)
{
    factory.gated = {2};
    factory.open();
    module.loadScreen(2);
    ASSERT_TRUE(module.drainUntilLoaded());
    EXPECT_EQ(log.take(), (Lines{"2:built"}));
    EXPECT_EQ(module.currentKind(), -1);
    EXPECT_FALSE(module.getCachedScreen(2).isNull());
    // A cached kind is not built again.
    module.loadScreen(2);
    EXPECT_FALSE(module.hasPendingLoad());
    module.setScreen(2, false);
    EXPECT_EQ(log.take(), (Lines{"2:activate"}));
    EXPECT_EQ(factory.builds.load(), 1);
}

TEST_F(UiModuleFixture, CacheHoldsOnlyTheScreenBuiltLast)
{
    module.setScreen(1, false);
    module.setScreen(2, false);
    EXPECT_TRUE(module.getCachedScreen(1).isNull());
    EXPECT_FALSE(module.getCachedScreen(2).isNull());
    log.take();
    // Back to 1: built again; 2 stays alive only while current.
    module.setScreen(1, false);
    EXPECT_EQ(log.take(), (Lines{"1:built", "1:activate", "2:destroyed"}));
    // The current kind again: the cached screen is activated once more.
    module.setScreen(1, false);
    EXPECT_EQ(log.take(), (Lines{"1:activate"}));
    EXPECT_EQ(factory.builds.load(), 3);
    module.releaseCachedScreen(1);
    EXPECT_TRUE(module.getCachedScreen(1).isNull());
    EXPECT_FALSE(module.currentScreen().isNull());
}

TEST_F(UiModuleFixture, UnknownKindIsReportedAndChangesNothing)
{
    module.setScreen(1, false);
    log.take();
    factory.gated = {9};
    factory.open();
    // Synchronous and asynchronous alike: a report, no switch, no request left.
    module.setScreen(9, false);
    module.setScreen(9, true);
    ASSERT_TRUE(module.drainUntilLoaded());
    ASSERT_EQ(failures.texts.size(), 2u);
    EXPECT_NE(utf8(failures.texts[0]).find("createScreen (9) built no screen"), std::string::npos);
    EXPECT_EQ(module.currentKind(), 1);
    EXPECT_FALSE(module.hasPendingLoad());
    EXPECT_EQ(log.take(), Lines{});
    // The module goes on taking requests.
    module.setScreen(2, false);
    EXPECT_EQ(module.currentKind(), 2);
}

TEST_F(UiModuleFixture, InputIsDroppedUntilTheFirstFrameDrawnAfterTheSwitchIsPresented)
{
    module.setScreen(1, false);
    enter();
    log.take();
    module.onKeyDown(65);
    EXPECT_EQ(log.take(), (Lines{"1:keyDown 65"}));

    module.setScreen(2, false);
    log.take();
    EXPECT_TRUE(module.isInputBlocked());
    // A present of the old frame (no draw since the switch) enters the screen
    // but keeps input blocked.
    module.framePresented();
    module.drain();
    EXPECT_EQ(log.take(), (Lines{"2:enter"}));
    module.onPointerDown(0, 8, {1, 1});
    module.onPointerUp(0, 8, {1, 1});
    module.onKeyUp(65);
    EXPECT_TRUE(module.isInputBlocked());
    EXPECT_EQ(log.take(), Lines{});

    module.consumeAndPresent();
    EXPECT_FALSE(module.isInputBlocked());
    module.onPointerDown(0, 8, {1, 1});
    EXPECT_EQ(log.take(), (Lines{"2:down 0 (1,1) 8"}));
}

TEST_F(UiModuleFixture, PresentsRunningAheadOfDrawsStillUnblockInput)
{
    module.setScreen(1, false);
    module.drain();
    // Presents of older frames push the presented count past the drawn one;
    // the first frame drawn after the switch then unblocks at a later count.
    for (int i = 0; i < 3; ++i) {
        module.framePresented();
        module.drain();
    }
    EXPECT_TRUE(module.isInputBlocked());
    module.consumeAndPresent();
    EXPECT_GT(module.framesPresented(), module.framesDrawn());
    EXPECT_FALSE(module.isInputBlocked());
}

TEST_F(UiModuleFixture, RedrawsAreCoalescedIntoOneDrawPerConsumedFrame)
{
    module.setScreen(1, false);
    enter();
    const int32_t drawn = module.framesDrawn();
    // Ten requests between two consumed frames: one draw.
    for (int i = 0; i < 10; ++i)
        module.invalidate();
    module.drain();
    EXPECT_EQ(module.framesDrawn(), drawn);
    module.frameConsumed();
    module.frameConsumed();
    module.drain();
    EXPECT_EQ(module.framesDrawn(), drawn + 1);
    // A request while no frame was consumed since: nothing until the next one.
    module.invalidate();
    module.drain();
    EXPECT_EQ(module.framesDrawn(), drawn + 1);
    module.frameConsumed();
    module.drain();
    EXPECT_EQ(module.framesDrawn(), drawn + 2);
    // A consumed frame without a request draws nothing.
    module.frameConsumed();
    module.drain();
    EXPECT_EQ(module.framesDrawn(), drawn + 2);
}

TEST_F(UiModuleFixture, WindowStateReachesTheScreenOncePerChange)
{
    module.setScreen(1, false);
    log.take();
    EXPECT_TRUE(module.minimizeWindow(FString("WM_SIZE: SIZE_MINIMIZED")));
    EXPECT_FALSE(module.minimizeWindow(FString("WM_ACTIVATEAPP deactivate")));
    EXPECT_TRUE(module.restoreWindow(FString("WM_SIZE: SIZE_RESTORED")));
    EXPECT_FALSE(module.restoreWindow(FString("WM_SIZE: SIZE_RESTORED")));
    module.drain();
    EXPECT_EQ(log.take(), (Lines{"1:minimized", "1:restored"}));
}

TEST_F(UiModuleFixture, StopLeavesTheScreenAndDrawsNothingMore)
{
    module.setScreen(1, false);
    enter();
    log.take();
    module.stop();
    EXPECT_EQ(log.take(), (Lines{"1:reset"}));
    EXPECT_TRUE(module.currentScreen().isNull());
    EXPECT_EQ(module.currentKind(), -1);
    module.invalidate();
    module.consumeAndPresent();
    module.tick(20);
    EXPECT_EQ(log.take(), Lines{});
}

TEST_F(UiModuleFixture, EachActivationClearsTheDebugViewersWidgets)
{
    module.setScreen(1, false); // no channel: nothing to tell
    DebugRecorder channel(findServiceSlot(k_slotDebugChannel));
    module.setScreen(2, false);
    module.setScreen(2, false);
    module.stop();
    EXPECT_EQ(channel.clears, 3);
}

TEST_F(UiModuleFixture, ScreensReachTheModuleThroughTheApplication)
{
    EXPECT_EQ(FAppUserInterfaceModule::instance(), &module);
    module.setScreen(1, false);
    // Any screen's load empties the cache, as the module does for new screens.
    module.currentScreen()->onLoaded();
    EXPECT_TRUE(module.getCachedScreen(1).isNull());
}

TEST(UiModuleLifecycle, QuitCancelsAPendingBuildCooperativelyAndWaitsForIt)
{
    FApplication application;
    SharedLog log;
    FakeScreenFactory factory{log};
    factory.gated = {2};
    InlineUiModule module{&factory};
    module.run();
    module.setScreen(2, true);
    ASSERT_TRUE(factory.waitUntilWaiting());
    // The build is left at its next checkpoint; quit returns once it has.
    module.quit(0);
    EXPECT_TRUE(module.isQuitting());
    EXPECT_FALSE(module.hasPendingLoad());
    module.drain();
    EXPECT_EQ(log.take(), Lines{});
    // Requests after quit are never started.
    module.setScreen(3, true);
    EXPECT_EQ(factory.builds.load(), 1);
}

TEST(UiModuleLifecycle, ListenersLeaveTheirSlotsWithTheModule)
{
    FApplication application;
    {
        InlineUiModule module{nullptr};
        EXPECT_NE(application.service(k_slotAppEvents), nullptr);
        EXPECT_NE(application.service(k_slotPointerEvents), nullptr);
        EXPECT_NE(application.service(k_slotInvalidation), nullptr);
        EXPECT_NE(application.service(k_slotKeyEvents), nullptr);
    }
    for (int slot : {k_slotAppEvents, k_slotPointerEvents, k_slotInvalidation, k_slotKeyEvents})
        EXPECT_EQ(application.service(slot), nullptr);
}
