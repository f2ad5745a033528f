#include "platform/FPlatformSpecificModuleSdl.h"

#include "PlatformTestSupport.h"
#include "core/FDebug.h"
#include "core/FErrorHandler.h"
#include "core/FGamePadService.h"
#include "core/FKeyCode.h"
#include "engine/core/KernelTestSupport.h"
#include "platform/FHandOverRecord.h"
#include "platform/FHandOverSender.h"
#include "platform/FInstanceNames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {
class WindowModuleTest : public testing::Test
{
protected:
    WindowModuleTest()
    {
        module = std::make_unique<FPlatformSpecificModuleSdl>();
        module->attachWindow(window.window, &host);
    }
    ~WindowModuleTest() override { module->attachWindow(nullptr, nullptr); }

    // Queues the events and runs one pass of the pump; returns the calls made.
    CallLog pump(std::initializer_list<SDL_Event> events)
    {
        log.clear();
        for (SDL_Event event : events)
            SDL_PushEvent(&event);
        lastPumpResult = module->pumpMessages(1);
        return log;
    }

    SDL_Event windowEvent(SDL_WindowEventID kind) { return sdlWindowEvent(window.id(), kind); }
    SDL_Event button(bool down, std::uint8_t which, int x, int y)
    {
        return sdlButton(window.id(), down, which, x, y);
    }
    SDL_Event motion(int x, int y)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = window.id();
        event.motion.x = x;
        event.motion.y = y;
        return event;
    }
    SDL_Event key(bool down, SDL_Keycode sym, SDL_Scancode scan, bool repeat = false)
    {
        return sdlKey(window.id(), down, sym, scan, repeat);
    }
    SDL_Event text(const char* utf8)
    {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        event.text.windowID = window.id();
        std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
        return event;
    }

    FApplication application;
    CallLog log;
    std::unique_ptr<RecordingAppEvents> appEvents = std::make_unique<RecordingAppEvents>(log);
    std::unique_ptr<RecordingPointers> pointers = std::make_unique<RecordingPointers>(log);
    std::unique_ptr<RecordingKeys> keys = std::make_unique<RecordingKeys>(log);
    FakeProcess process;
    FakeWindowHost host;
    HiddenWindow window;
    std::unique_ptr<FPlatformSpecificModuleSdl> module;
    int lastPumpResult = -1;
};
} // namespace

TEST(FPlatformSpecificModuleSdlMapping, PointsMapFromViewportToWindowSize)
{
    const FPointI windowSize{800, 600};
    const FRectI viewport{100, 50, 500, 350}; // 400 x 300, scale 2
    struct Case
    {
        int x, y;
        FPointerPoint expected;
    };
    const Case cases[] = {
        {100, 50, {0, 0}},      // top-left corner of the picture
        {500, 350, {800, 600}}, // right and bottom edge give the window size
        {300, 200, {400, 300}}, {101, 51, {2, 2}}, {99, 49, {-2, -2}}, // left of the picture: negative
        {0, 0, {-200, -100}},
    };
    for (const Case& c : cases) {
        FPointerPoint point{-999, -999};
        ASSERT_TRUE(FPlatformSpecificModuleSdl::mapPointer(c.x, c.y, windowSize, viewport, point));
        EXPECT_EQ(point, c.expected) << c.x << "," << c.y;
    }
    // Truncation toward zero on both sides of the origin.
    FPointerPoint point;
    ASSERT_TRUE(FPlatformSpecificModuleSdl::mapPointer(1, -1, {10, 10}, {0, 0, 3, 3}, point));
    EXPECT_EQ(point, (FPointerPoint{3, -3}));
    // A picture without area (minimised window) maps nothing.
    for (const FRectI& empty :
         {FRectI{0, 0, 0, 0}, FRectI{0, 0, 800, 0}, FRectI{0, 0, 0, 600}, FRectI{10, 10, 5, 20}})
        EXPECT_FALSE(FPlatformSpecificModuleSdl::mapPointer(1, 1, windowSize, empty, point));
}

TEST_F(WindowModuleTest, MouseButtonsArePointerZeroAtMappedPoint)
{
    host.viewport = {100, 50, 500, 350};
    EXPECT_EQ(pump({button(true, SDL_BUTTON_LEFT, 100, 50), button(false, SDL_BUTTON_LEFT, 500, 350),
                    button(true, SDL_BUTTON_RIGHT, 300, 200), button(false, SDL_BUTTON_RIGHT, 300, 200),
                    button(true, SDL_BUTTON_MIDDLE, 300, 200), button(false, SDL_BUTTON_MIDDLE, 300, 200),
                    button(true, SDL_BUTTON_X1, 300, 200)}),
              (CallLog{"pressed 0 8 (0,0)", "released 0 8 (800,600)", "pressed 0 9 (400,300)",
                       "released 0 9 (400,300)", "pressed 0 10 (400,300)", "released 0 10 (400,300)"}));
}

TEST_F(WindowModuleTest, FirstMoveEntersAndLeaveEndsTracking)
{
    EXPECT_EQ(pump({motion(10, 20), motion(11, 21)}),
              (CallLog{"moved 0 (10,20)", "entered 0", "moved 0 (11,21)"}));
    EXPECT_EQ(pump({windowEvent(SDL_WINDOWEVENT_LEAVE), motion(5, 5)}),
              (CallLog{"left 0", "moved 0 (5,5)", "entered 0"}));
}

TEST_F(WindowModuleTest, PointerWithoutPictureSendsNothing)
{
    host.viewport = {0, 0, 0, 0};
    EXPECT_EQ(
        pump({motion(10, 20), button(true, SDL_BUTTON_LEFT, 1, 1), button(false, SDL_BUTTON_LEFT, 1, 1)}),
        CallLog{});
}

TEST_F(WindowModuleTest, KeysPressRepeatAndRelease)
{
    const SDL_Scancode a = SDL_SCANCODE_A;
    EXPECT_EQ(pump({key(true, SDLK_a, a), text("a"), key(true, SDLK_a, a, true), text("a"),
                    key(true, SDLK_a, a, true), text("a"), key(false, SDLK_a, a)}),
              (CallLog{"keyPressed 0061", "keyRepeated 0061", "keyRepeated 0061", "keyReleased 0061"}));
    // The release reports what the press typed, whatever the modifiers do meanwhile.
    EXPECT_EQ(pump({key(true, SDLK_a, a), text("A"), key(false, SDLK_a, a)}),
              (CallLog{"keyPressed 0041", "keyReleased 0041"}));
    // A release of a key never seen down is ignored.
    EXPECT_EQ(pump({key(false, SDLK_b, SDL_SCANCODE_B)}), CallLog{});
}

TEST_F(WindowModuleTest, KeyCodesOfKeysWithoutText)
{
    struct Case
    {
        SDL_Keycode sym;
        SDL_Scancode scan;
        std::uint16_t code;
    };
    const Case cases[] = {
        {SDLK_RETURN, SDL_SCANCODE_RETURN, FKeyCode::k_enter},
        {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, FKeyCode::k_enter},
        {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, FKeyCode::k_escape},
        {SDLK_LEFT, SDL_SCANCODE_LEFT, FKeyCode::k_left},
        {SDLK_RIGHT, SDL_SCANCODE_RIGHT, FKeyCode::k_right},
        {SDLK_UP, SDL_SCANCODE_UP, FKeyCode::k_up},
        {SDLK_DOWN, SDL_SCANCODE_DOWN, FKeyCode::k_down},
        {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, FKeyCode::k_pageUp},
        {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, FKeyCode::k_pageDown},
        {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, FKeyCode::k_backspace},
        {SDLK_DELETE, SDL_SCANCODE_DELETE, FKeyCode::k_delete},
        {SDLK_INSERT, SDL_SCANCODE_INSERT, FKeyCode::k_insert},
        {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, FKeyCode::k_shift},
        {SDLK_LCTRL, SDL_SCANCODE_LCTRL, FKeyCode::k_control},
        {SDLK_RALT, SDL_SCANCODE_RALT, FKeyCode::k_alt},
        {SDLK_F1, SDL_SCANCODE_F1, 0xE00F},
        {SDLK_F5, SDL_SCANCODE_F5, 0xE013},
        {SDLK_F12, SDL_SCANCODE_F12, 0xE01A},
        {SDLK_TAB, SDL_SCANCODE_TAB, FKeyCode::k_tab},
        // A key that types nothing (and a dead key) reports 0.
        {SDLK_HOME, SDL_SCANCODE_HOME, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pump({key(true, c.sym, c.scan), key(false, c.sym, c.scan)}),
                  (CallLog{"keyPressed " + hex(c.code), "keyReleased " + hex(c.code)}))
            << SDL_GetKeyName(c.sym);
    }
}

TEST_F(WindowModuleTest, LeftShiftTurnsTabIntoBackwardTab)
{
    EXPECT_EQ(pump({key(true, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT), key(true, SDLK_TAB, SDL_SCANCODE_TAB),
                    key(false, SDLK_TAB, SDL_SCANCODE_TAB), key(false, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT),
                    key(true, SDLK_TAB, SDL_SCANCODE_TAB), key(false, SDLK_TAB, SDL_SCANCODE_TAB)}),
              (CallLog{"keyPressed E00C", "keyPressed E022", "keyReleased E022", "keyReleased E00C",
                       "keyPressed E021", "keyReleased E021"}));
    // The right shift key leaves Tab as it is.
    EXPECT_EQ(pump({key(true, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT), key(true, SDLK_TAB, SDL_SCANCODE_TAB),
                    key(false, SDLK_TAB, SDL_SCANCODE_TAB), key(false, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT)}),
              (CallLog{"keyPressed E00C", "keyPressed E021", "keyReleased E021", "keyReleased E00C"}));
}

TEST_F(WindowModuleTest, TextWithoutKeyAndCharactersBeyondOneUnit)
{
    // Text an input method commits later arrives without its key.
    EXPECT_EQ(pump({text("\xC3\xA9")}), (CallLog{"keyPressed 00E9", "keyReleased 00E9"}));
    // A character beyond 16 bits reports its last UTF-16 unit.
    EXPECT_EQ(pump({key(true, SDLK_a, SDL_SCANCODE_A), text("\xF0\x9F\x98\x80"),
                    key(false, SDLK_a, SDL_SCANCODE_A)}),
              (CallLog{"keyPressed DE00", "keyReleased DE00"}));
    // Text behind a key without text is not that key's.
    EXPECT_EQ(pump({key(true, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), text("x")}),
              (CallLog{"keyPressed E002", "keyPressed 0078", "keyReleased 0078"}));
}

TEST_F(WindowModuleTest, ActivationInAWindow)
{
    EXPECT_EQ(pump({windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED),
                    windowEvent(SDL_WINDOWEVENT_FOCUS_LOST), windowEvent(SDL_WINDOWEVENT_FOCUS_LOST)}),
              (CallLog{"appActivated", "appDeactivated"}));
    EXPECT_EQ(host.resets, 0);
}

TEST_F(WindowModuleTest, ActivationInFullScreenMinimisesAndRestores)
{
    host.fullScreen = true;
    EXPECT_EQ(pump({windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), windowEvent(SDL_WINDOWEVENT_FOCUS_LOST),
                    windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)}),
              (CallLog{"appActivated", "minimizeWindow WM_ACTIVATEAPP deactivate",
                       "restoreWindow WM_ACTIVATEAPP activate"}));
    EXPECT_EQ(host.resets, 1);
    // Back in a window, a later loss of focus no longer minimises.
    host.fullScreen = false;
    EXPECT_EQ(pump({windowEvent(SDL_WINDOWEVENT_FOCUS_LOST), windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)}),
              (CallLog{"appDeactivated", "appActivated"}));
    EXPECT_EQ(host.resets, 1);
}

TEST_F(WindowModuleTest, MinimiseAndRestoreAreReportedOnce)
{
    EXPECT_EQ(pump({windowEvent(SDL_WINDOWEVENT_MINIMIZED), windowEvent(SDL_WINDOWEVENT_RESTORED),
                    windowEvent(SDL_WINDOWEVENT_RESTORED)}),
              (CallLog{"minimizeWindow WM_SIZE: SIZE_MINIMIZED", "restoreWindow WM_SIZE: SIZE_RESTORED"}));
    // Maximised and restored again: no event.
    EXPECT_EQ(pump({windowEvent(SDL_WINDOWEVENT_MAXIMIZED), windowEvent(SDL_WINDOWEVENT_RESTORED)}),
              CallLog{});
    // Minimised, then brought back maximised.
    EXPECT_EQ(pump({windowEvent(SDL_WINDOWEVENT_MINIMIZED), windowEvent(SDL_WINDOWEVENT_MAXIMIZED)}),
              (CallLog{"minimizeWindow WM_SIZE: SIZE_MINIMIZED", "restoreWindow WM_SIZE: SIZE_MAXIMIZED"}));
}

TEST_F(WindowModuleTest, CloseAsksTheUiModule)
{
    EXPECT_EQ(pump({windowEvent(SDL_WINDOWEVENT_CLOSE)}), CallLog{"closeRequested"});
    EXPECT_EQ(lastPumpResult, 0);
    EXPECT_FALSE(process.quitRequested);
}

TEST_F(WindowModuleTest, PaintAndSuspendAndQuit)
{
    SDL_Event background{};
    background.type = SDL_APP_WILLENTERBACKGROUND;
    EXPECT_EQ(pump({windowEvent(SDL_WINDOWEVENT_EXPOSED), background}), CallLog{"systemSuspending"});
    EXPECT_EQ(host.paints, 1);

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    pump({quit});
    EXPECT_EQ(lastPumpResult, 1);
    EXPECT_TRUE(process.quitRequested);
}

TEST_F(WindowModuleTest, PumpPollsTheGamePadsOncePerPass)
{
    class CountingPads : public FGamePadService
    {
    public:
        CountingPads() : FGamePadService(FApplication::instance()->serviceSlot(k_slotGamePads)) {}
        bool isValidController(int) override { return false; }
        int connectionStatus() override { return 0; }
        void rumble(int, int) override {}
        void poll(unsigned elapsedMs, int flag) override
        {
            ++polls;
            lastElapsed = elapsedMs;
            lastFlag = flag;
        }
        void controllerConnected(int, bool) override {}
        void acquire() override {}
        void unacquire() override {}
        int polls = 0;
        unsigned lastElapsed = 0;
        int lastFlag = 0;
    } pads;
    module->pumpMessages(7);
    module->pumpMessages(3);
    EXPECT_EQ(pads.polls, 2);
    EXPECT_EQ(pads.lastElapsed, 3u);
    EXPECT_EQ(pads.lastFlag, 1);
}

TEST_F(WindowModuleTest, HandOverReachesTheUiModule)
{
    std::int32_t reply = -1;
    ASSERT_EQ(FHandOverSender::send(FInstanceNames::fromEnvironment().socketName,
                                    FHandOverRecord::encodeCommandLine(u"/level:2 \u00e9t\u00e9"), reply),
              FHandOverSender::Result::replied);
    EXPECT_EQ(reply, 0);
    EXPECT_EQ(pump({}), CallLog{"commandLineReceived /level:2 \xC3\xA9t\xC3\xA9"});
}

// The module answers second copies from its start on: the window may come
// much later, or never.
TEST_F(WindowModuleTest, HandOverNeedsNoWindow)
{
    module->attachWindow(nullptr, nullptr);
    std::int32_t reply = -1;
    EXPECT_EQ(FHandOverSender::send(FInstanceNames::fromEnvironment().socketName,
                                    FHandOverRecord::encodeCommandLine(u"x"), reply),
              FHandOverSender::Result::replied);
    EXPECT_EQ(reply, 0);
    // Without the window only the command line reaches the listeners.
    EXPECT_EQ(pump({windowEvent(SDL_WINDOWEVENT_CLOSE), key(true, SDLK_a, SDL_SCANCODE_A), text("a"),
                    button(true, SDL_BUTTON_LEFT, 1, 1)}),
              CallLog{"commandLineReceived x"});
}

TEST_F(WindowModuleTest, WithoutUiModuleEventsDropAndCloseEndsTheRun)
{
    appEvents.reset();
    pointers.reset();
    keys.reset();
    EXPECT_EQ(pump({windowEvent(SDL_WINDOWEVENT_CLOSE), key(true, SDLK_a, SDL_SCANCODE_A), text("a"),
                    button(true, SDL_BUTTON_LEFT, 1, 1), windowEvent(SDL_WINDOWEVENT_MINIMIZED)}),
              CallLog{});
    // The close queued a quit behind the events of this pass; the next pass
    // turns it into the process's quit request.
    EXPECT_EQ(lastPumpResult, 0);
    EXPECT_FALSE(process.quitRequested);
    pump({});
    EXPECT_EQ(lastPumpResult, 1);
    EXPECT_TRUE(process.quitRequested);
}

TEST(FPlatformSpecificModuleSdlStart, VideoThatCannotStartIsAFailure)
{
    FApplication application;
    RecordingErrorHandler handler;
    {
        EnvGuard driver("SDL_VIDEODRIVER", "no-such-driver");
        EXPECT_THROW(FPlatformSpecificModuleSdl module, FDebug::VellumcoreException);
    }

    ASSERT_EQ(handler.texts.size(), 1u);
    const std::string text = utf8(handler.texts[0]);
    EXPECT_NE(text.find("SDL_InitSubSystem ("), std::string::npos) << text;
    EXPECT_NE(text.find("platform/FPlatformSpecificModuleSdl ("), std::string::npos) << text;
    // The failed module left no service behind.
    EXPECT_EQ(application.service(k_slotPlatform), nullptr);
}
