// SDL events pushed through the platform layer reach the current screen's
// handlers by way of the UI module's listeners.
#include "UiModuleTestSupport.h"

#include "core/FKeyCode.h"
#include "engine/platform/PlatformTestSupport.h"
#include "platform/FPlatformSpecificModuleSdl.h"

using Lines = std::vector<std::string>;

namespace {

class PlatformEventsTest : public UiModuleFixture
{
protected:
    PlatformEventsTest()
    {
        platform.attachWindow(window.window, &host);
        module.setScreen(1, false);
        enter();
        log.take();
    }
    ~PlatformEventsTest() override { platform.attachWindow(nullptr, nullptr); }

    Lines pump(std::initializer_list<SDL_Event> events)
    {
        for (SDL_Event event : events)
            SDL_PushEvent(&event);
        platform.pumpMessages(1);
        module.drain();
        return log.take();
    }
    SDL_Event button(bool down, std::uint8_t which, int x, int y)
    {
        return sdlButton(window.id(), down, which, x, y);
    }
    SDL_Event key(bool down, SDL_Keycode sym, SDL_Scancode scan, bool repeat = false)
    {
        return sdlKey(window.id(), down, sym, scan, repeat);
    }
    SDL_Event windowEvent(SDL_WindowEventID kind) { return sdlWindowEvent(window.id(), kind); }

    FakeProcess process;
    FakeWindowHost host;
    HiddenWindow window;
    FPlatformSpecificModuleSdl platform;
};

} // namespace

TEST_F(PlatformEventsTest, MouseButtonsReachTheScreen)
{
    EXPECT_EQ(pump({button(true, SDL_BUTTON_LEFT, 30, 40), button(false, SDL_BUTTON_LEFT, 30, 40),
                    button(true, SDL_BUTTON_RIGHT, 5, 6)}),
              (Lines{"1:down 0 (30,40) 8", "1:up 0 (30,40) 8", "1:down 0 (5,6) 9"}));
}

TEST_F(PlatformEventsTest, HeldKeyGivesPressRepeatsAndRelease)
{
    const SDL_Scancode enter = SDL_SCANCODE_RETURN;
    EXPECT_EQ(pump({key(true, SDLK_RETURN, enter), key(true, SDLK_RETURN, enter, true),
                    key(true, SDLK_RETURN, enter, true), key(false, SDLK_RETURN, enter)}),
              (Lines{"1:keyDown 57345", "1:char 57345", "1:char 57345", "1:keyUp 57345"}));
}

TEST_F(PlatformEventsTest, WindowStateAndCloseReachTheModule)
{
    EXPECT_EQ(pump({windowEvent(SDL_WINDOWEVENT_MINIMIZED), windowEvent(SDL_WINDOWEVENT_RESTORED)}),
              (Lines{"1:minimized", "1:restored"}));
    EXPECT_FALSE(module.isMinimized());
    pump({windowEvent(SDL_WINDOWEVENT_CLOSE)});
    EXPECT_TRUE(module.isQuitting());
    EXPECT_TRUE(process.quitRequested);
}
