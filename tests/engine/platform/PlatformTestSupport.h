#pragma once

// Recording stand-ins for the UI module's listeners and the graphics module's
// window, and a hidden SDL window for the window module's tests.

#include "EnvGuard.h"
#include "core/FAppEventListener.h"
#include "core/FApplication.h"
#include "core/FKeyListener.h"
#include "core/FPointerListener.h"
#include "core/FProcessService.h"
#include "platform/FWindowHost.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

// Every call of the listeners, in order, as one line each.
using CallLog = std::vector<std::string>;

inline std::string hex(std::uint32_t code)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04X", code);
    return text;
}

inline std::string utf8Of(const FString& text)
{
    return text.toUtf8();
}

class RecordingAppEvents : public FAppEventListener
{
public:
    explicit RecordingAppEvents(CallLog& log)
        : FAppEventListener(FApplication::instance()->serviceSlot(k_slotAppEvents)), m_log(log)
    {
    }
    void appActivated() override { m_log.push_back("appActivated"); }
    void closeRequested() override { m_log.push_back("closeRequested"); }
    void appDeactivated() override { m_log.push_back("appDeactivated"); }
    void minimizeWindow(const FString& reason) override
    {
        m_log.push_back("minimizeWindow " + utf8Of(reason));
    }
    void restoreWindow(const FString& reason) override { m_log.push_back("restoreWindow " + utf8Of(reason)); }
    void commandLineReceived(const FRefT<FString>& commandLine) override
    {
        m_log.push_back("commandLineReceived " + utf8Of(*commandLine));
    }
    void systemSuspending() override { m_log.push_back("systemSuspending"); }

private:
    CallLog& m_log;
};

class RecordingPointers : public FPointerListener
{
public:
    explicit RecordingPointers(CallLog& log)
        : FPointerListener(FApplication::instance()->serviceSlot(k_slotPointerEvents)), m_log(log)
    {
    }
    void pointerEntered(int pointer) override { m_log.push_back("entered " + std::to_string(pointer)); }
    void pointerMoved(int pointer, const FPointerPoint& p) override
    {
        m_log.push_back("moved " + std::to_string(pointer) + " " + point(p));
    }
    void pointerLeft(int pointer) override { m_log.push_back("left " + std::to_string(pointer)); }
    void pointerPressed(int pointer, int button, const FPointerPoint& p) override
    {
        m_log.push_back("pressed " + std::to_string(pointer) + " " + std::to_string(button) + " " + point(p));
    }
    void pointerReleased(int pointer, int button, const FPointerPoint& p) override
    {
        m_log.push_back("released " + std::to_string(pointer) + " " + std::to_string(button) + " " +
                        point(p));
    }

private:
    static std::string point(const FPointerPoint& p)
    {
        return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    }
    CallLog& m_log;
};

class RecordingKeys : public FKeyListener
{
public:
    explicit RecordingKeys(CallLog& log)
        : FKeyListener(FApplication::instance()->serviceSlot(k_slotKeyEvents)), m_log(log)
    {
    }
    void keyPressed(std::uint32_t code) override { m_log.push_back("keyPressed " + hex(code)); }
    void keyReleased(std::uint32_t code) override { m_log.push_back("keyReleased " + hex(code)); }
    void keyRepeated(std::uint32_t code) override { m_log.push_back("keyRepeated " + hex(code)); }

private:
    CallLog& m_log;
};

// Only the quit request matters to the pump.
class FakeProcess : public FProcessService
{
public:
    FakeProcess() : FProcessService(FApplication::instance()->serviceSlot(k_slotProcess)) {}
    void post(FAction*) override {}
    void requestQuitAndCloseWindow() override { quitRequested = true; }
    void requestQuit() override { quitRequested = true; }
    bool runOnce(int) override { return !quitRequested; }
    void processActionsNow() override {}
    const Arguments& arguments() override { return m_arguments; }

    // Set on whichever thread quits (the UI module's, in its tests).
    std::atomic<bool> quitRequested{false};

private:
    Arguments m_arguments;
};

class FakeWindowHost : public FWindowHost
{
public:
    const FPointI& getWindowSize() override { return windowSize; }
    const FRectI& getViewportRect() override { return viewport; }
    bool isFullScreen() override { return fullScreen; }
    void onPaint() override { ++paints; }
    void resetDevice() override { ++resets; }

    FPointI windowSize{800, 600};
    FRectI viewport{0, 0, 800, 600};
    bool fullScreen = false;
    int paints = 0;
    int resets = 0;
};

// A hidden window; the events its creation queued are dropped.
class HiddenWindow
{
public:
    HiddenWindow()
    {
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        window = SDL_CreateWindow("zibbo test", 0, 0, 64, 48, SDL_WINDOW_HIDDEN);
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    ~HiddenWindow()
    {
        if (window != nullptr) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    std::uint32_t id() const { return SDL_GetWindowID(window); }

    SDL_Window* window = nullptr;
};

// Events of the game window as SDL queues them.
inline SDL_Event sdlWindowEvent(std::uint32_t windowId, SDL_WindowEventID kind)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = kind;
    event.window.windowID = windowId;
    return event;
}
inline SDL_Event sdlButton(std::uint32_t windowId, bool down, std::uint8_t which, int x, int y)
{
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = windowId;
    event.button.button = which;
    event.button.x = x;
    event.button.y = y;
    return event;
}
inline SDL_Event sdlKey(std::uint32_t windowId, bool down, SDL_Keycode sym, SDL_Scancode scan,
                        bool repeat = false)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = windowId;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = sym;
    event.key.keysym.scancode = scan;
    return event;
}
