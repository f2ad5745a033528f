// The game module driven inline by the test: its pointer filters, the
// overlay of an inactive window and its 100 ms guard, the minimised state and
// the screen-change rules. Time passes only through the ticks the test gives.

#include "game/app/ZibboUserInterface.h"
#include "asset/FAsset.h"
#include "audio/FAudioModule.h"
#include "core/FGamePadService.h"
#include "engine/ui/module/UiModuleTestSupport.h"
#include "game/FakeCursorDevice.h"
#include "game/app/InlineGameModule.h"
#include "game/core/GameCursors.h"
#include "game/core/ScreenKind.h"
#include "game/widgets/ParticleEmitterView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ZibboUserInterfaceTest : public testing::Test
{
protected:
    ZibboUserInterfaceTest() { module.run(); }

    // Switches to `kind` and lets its first frame be drawn and presented, so
    // that the screen takes input.
    void show(int32_t kind)
    {
        module.showScreen(kind);
        log.take();
    }
    // True when the current screen heard of the press.
    bool pressReaches(int32_t pointer, int32_t button)
    {
        module.onPointerDown(pointer, button, FPointI{10, 20});
        return contains(log.take(), "down");
    }
    static bool contains(const std::vector<std::string>& lines, const std::string& word)
    {
        for (const std::string& line : lines)
            if (line.find(word) != std::string::npos) return true;
        return false;
    }

    FApplication application;
    RecordingErrorHandler failures;
    SharedLog log;
    FakeScreenFactory factory{
        log, {k_gameModeScreen, k_worldMapScreen, k_loadingScreen, k_mainMenuScreen, k_storyModeScreen}};
    FakeCursorDevice cursorDevice;
    InlineGameModule module{&factory, cursorDevice};
};

TEST_F(ZibboUserInterfaceTest, PointerEventsPassTheFiltersByScreenPointerAndButton)
{
    constexpr int32_t left = ZibboUserInterface::k_buttonLeft;
    constexpr int32_t confirm = ZibboUserInterface::k_buttonConfirm;
    constexpr int32_t right = 1;
    struct Case
    {
        int32_t kind;
        int32_t pointer;
        int32_t button;
        bool down;
        bool reaches;
    };
    const Case cases[] = {
        {k_mainMenuScreen, 0, left, true, true},    {k_mainMenuScreen, 0, confirm, true, true},
        {k_mainMenuScreen, 0, right, true, false},  {k_mainMenuScreen, 1, left, true, false},
        {k_mainMenuScreen, 0, left, false, true},   {k_mainMenuScreen, 0, right, false, false},
        {k_worldMapScreen, 0, right, false, true},  {k_worldMapScreen, 1, right, false, true},
        {k_worldMapScreen, 0, right, true, false},  {k_storyModeScreen, 0, right, true, true},
        {k_storyModeScreen, 0, right, false, true}, {k_storyModeScreen, 1, left, true, false},
        {k_storyModeScreen, 1, left, false, false},
    };
    for (const Case& c : cases) {
        if (module.currentKind() != c.kind) show(c.kind);
        if (c.down)
            module.onPointerDown(c.pointer, c.button, FPointI{1, 2});
        else
            module.onPointerUp(c.pointer, c.button, FPointI{1, 2});
        EXPECT_EQ(contains(log.take(), c.down ? ":down" : ":up"), c.reaches)
            << "kind " << c.kind << " pointer " << c.pointer << " button " << c.button << " down " << c.down;
    }
}

TEST_F(ZibboUserInterfaceTest, APrimaryPressSkipsTheInputBlockOfANewScreenButItsReleaseDoesNot)
{
    module.setScreen(k_mainMenuScreen, false);
    module.drain();
    log.take();
    ASSERT_TRUE(module.isInputBlocked());
    EXPECT_TRUE(pressReaches(0, ZibboUserInterface::k_buttonLeft));
    module.onPointerUp(0, ZibboUserInterface::k_buttonLeft, FPointI{10, 20});
    EXPECT_FALSE(contains(log.take(), ":up"));
}

TEST_F(ZibboUserInterfaceTest, InputStaysCaughtUntil100MsAfterTheWindowCameBack)
{
    show(k_mainMenuScreen);
    FRefT<FScreen> screen = module.currentScreen();
    const std::size_t children = screen->children().size();

    module.onDeactivated();
    ASSERT_TRUE(module.hasInactiveOverlay());
    EXPECT_EQ(screen->children().size(), children + 1);
    EXPECT_FALSE(pressReaches(0, ZibboUserInterface::k_buttonLeft));

    module.onActivated();
    module.tick(60);
    EXPECT_FALSE(pressReaches(0, ZibboUserInterface::k_buttonLeft));
    module.tick(39);
    EXPECT_FALSE(pressReaches(0, ZibboUserInterface::k_buttonLeft));
    module.tick(1);
    EXPECT_FALSE(module.hasInactiveOverlay());
    EXPECT_EQ(screen->children().size(), children);
    EXPECT_TRUE(pressReaches(0, ZibboUserInterface::k_buttonLeft));
}

TEST_F(ZibboUserInterfaceTest, DeactivationWithoutACurrentScreenMakesNoOverlay)
{
    // Before the first screen.
    module.onDeactivated();
    EXPECT_FALSE(module.hasInactiveOverlay());
    module.onActivated();
    module.tick(100);

    // After stop, which leaves no screen.
    show(k_mainMenuScreen);
    module.stop();
    ASSERT_TRUE(module.currentScreen().isNull());
    module.onDeactivated();
    EXPECT_FALSE(module.hasInactiveOverlay());
    EXPECT_TRUE(failures.texts.empty());
}

TEST_F(ZibboUserInterfaceTest, AMinimisedWindowUpdatesNoScreenUntilItIsRestored)
{
    show(k_mainMenuScreen);
    module.onWindowRestored(); // without a minimise: nothing changes
    EXPECT_FALSE(module.isSuspended());
    module.onWindowMinimized();
    module.onWindowMinimized();
    EXPECT_TRUE(module.isSuspended());
    module.tick(20);
    EXPECT_FALSE(contains(log.take(), "update"));
    module.onWindowRestored();
    EXPECT_FALSE(module.isSuspended());
    module.tick(20);
    EXPECT_TRUE(contains(log.take(), "update"));
}

TEST_F(ZibboUserInterfaceTest, MinimisingPausesTheWholeMixerOnceAndOneRestoreEndsIt)
{
    FAudioModule audio;
    FAudioLock& lock = audio.lock();
    auto rootPaused = [&lock] {
        FMutexLock guard(lock);
        return lock.rootBus()->isPaused();
    };
    show(k_mainMenuScreen);
    module.onWindowRestored(); // without a minimise: nothing changes
    EXPECT_FALSE(rootPaused());
    module.onWindowMinimized();
    module.onWindowMinimized();
    EXPECT_TRUE(rootPaused());
    module.onWindowRestored();
    EXPECT_FALSE(rootPaused());

    // A restore that follows no minimise leaves a pause it did not make.
    {
        FMutexLock guard(lock);
        lock.rootBus()->setPaused(true);
    }
    module.onWindowRestored();
    EXPECT_TRUE(rootPaused());
}

TEST_F(ZibboUserInterfaceTest, TheMenuBackdropGoesWithItsLastUserEvenWhenReleasedTooOften)
{
    show(k_mainMenuScreen);
    FScreen* screen = module.currentScreen().get();
    const std::size_t children = screen->children().size();
    module.addParticleView(screen);
    ParticleEmitterView* first = module.particleView();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(screen->children().size(), children + 1);
    // A second menu's view replaces the first.
    module.addParticleView(screen);
    EXPECT_NE(module.particleView(), first);
    EXPECT_EQ(screen->children().size(), children + 1);

    const struct
    {
        int32_t users;
        bool view;
    } releases[] = {{1, true}, {0, false}, {-1, false}};
    for (const auto& r : releases) {
        module.releaseParticleView();
        EXPECT_EQ(module.particleViewUsers(), r.users);
        EXPECT_EQ(module.particleView() != nullptr, r.view) << r.users;
    }
    EXPECT_EQ(screen->children().size(), children);
    module.addParticleView(screen);
    EXPECT_NE(module.particleView(), nullptr);
    EXPECT_EQ(module.particleViewUsers(), 0);
    module.releaseParticleView();
    EXPECT_EQ(module.particleView(), nullptr);
}

// Notes the pads the game enables.
class RecordingPads : public FGamePadService
{
public:
    RecordingPads() : FGamePadService(findServiceSlot(k_slotGamePads)) {}
    bool isValidController(int index) override { return index == 0; }
    int connectionStatus() override { return 1; }
    void rumble(int, int) override {}
    void poll(unsigned, int) override {}
    void controllerConnected(int index, bool enable) override { enabled.push_back({index, enable}); }
    void acquire() override {}
    void unacquire() override {}

    std::vector<std::pair<int, bool>> enabled;
};

TEST_F(ZibboUserInterfaceTest, AConnectedControllerEnablesBothPadsAndHidesTheSystemCursor)
{
    RecordingPads pads;
    show(k_mainMenuScreen);
    cursorDevice.take();
    module.onControllerConnected(0);
    EXPECT_EQ(pads.enabled, (std::vector<std::pair<int, bool>>{{0, true}, {1, true}}));
    EXPECT_EQ(cursorDevice.take(), std::vector<std::string>{"hide"});
}

TEST_F(ZibboUserInterfaceTest, AScreenChangeResetsTheCursorsAndRemembersTheKindLeftUnlessItWasInBetween)
{
    show(k_mainMenuScreen);
    module.cursors()->setCursorStyle4();
    ASSERT_EQ(module.cursors()->cursorState(0), GameCursors::k_stateStyle4);
    show(k_loadingScreen);
    EXPECT_EQ(module.cursors()->cursorState(0), GameCursors::k_stateDefault);
    EXPECT_EQ(module.previousScreenKind(), k_mainMenuScreen);
    // Leaving the loading screen keeps the kind before it.
    show(k_worldMapScreen);
    EXPECT_EQ(module.previousScreenKind(), k_mainMenuScreen);
    show(k_gameModeScreen);
    EXPECT_EQ(module.previousScreenKind(), k_worldMapScreen);
    show(k_storyModeScreen);
    EXPECT_EQ(module.previousScreenKind(), k_worldMapScreen);
}

} // namespace

namespace {

// An asset whose decode records its id.
class RecordingAsset : public FAsset
{
public:
    RecordingAsset(int32_t id, SharedLog& log) : m_log(log) { setId(id); }
    void loadContent() override { m_log.add("load " + std::to_string(id())); }

private:
    SharedLog& m_log;
};

TEST_F(ZibboUserInterfaceTest, TwentyQueuedAssetsLoadOneAtATimeInQueueOrder)
{
    SharedLog loads;
    std::vector<std::string> expected;
    for (int32_t id = 0; id < 20; ++id) {
        module.queueAssetLoad(FAsset::handleFor(engineNew<RecordingAsset>(k_memObject, id, loads)));
        expected.push_back("load " + std::to_string(id));
    }

    std::vector<std::string> done;
    for (int frame = 0; frame < 100 && done.size() < expected.size(); ++frame) {
        const std::size_t waiting = module.queuedAssetLoads();
        module.tick(20);
        // At most one load starts per frame, and only when none runs.
        EXPECT_LE(waiting - module.queuedAssetLoads(), 1u);
        for (int spin = 0; spin < 10000 && module.isAssetLoadRunning(); ++spin)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        for (std::string& line : loads.take())
            done.push_back(line);
    }
    EXPECT_EQ(done, expected);
    EXPECT_EQ(module.queuedAssetLoads(), 0u);
}

TEST(ZibboUserInterfaceWarningTest, MoreThanTenAssetsWaitingIsWorthAWarning)
{
    const std::string warning = "PERFORMANCE WARNING: More than 10 assets are waiting to load";
    const struct
    {
        std::size_t waiting;
        bool warns;
    } cases[] = {{0, false}, {10, false}, {11, true}, {20, true}};
    for (const auto& c : cases)
        EXPECT_EQ(ZibboUserInterface::assetQueueWarning(c.waiting), c.warns ? warning : std::string())
            << c.waiting;
}

} // namespace
