#pragma once

#include "core/FModule.h"
#include "core/FPlatformService.h"
#include "core/FPointerListener.h"
#include "core/FString.h"
#include "graphics/FGeometry.h"
#include "platform/FHandOverListener.h"
#include <cstdint>
#include <memory>
#include <set>
#include <string>

class FKeyboardSdl;
class FWindowHost;
// SDL stays out of the headers that the rest of the program sees.
struct SDL_Window;
struct SDL_WindowEvent;
union SDL_Event;

// The platform window module. It pumps SDL's event queue on the main thread
// and turns the events of the game window into the UI module's pointer, key
// and application events. The graphics module creates the window and hands it
// over with attachWindow. A second copy of the game can hand its command line
// to this one from the module's start on, window or not; the window is raised
// once it exists. The screen saver stays off for the run.
class FPlatformSpecificModuleSdl : public FModule
{
public:
    static constexpr int k_priority = 3;
    // Pointer index of the mouse.
    static constexpr int k_mousePointer = 0;
    // Look-ups of the running copy by a second copy, and the pause after each.
    static constexpr int k_instanceLookUps = 6;
    static constexpr unsigned k_instanceLookUpPauseMs = 200;

    FPlatformSpecificModuleSdl();
    ~FPlatformSpecificModuleSdl() override;

    int priority() const override { return k_priority; }

    // Takes the game window's events from now on; null detaches.
    void attachWindow(SDL_Window* window, FWindowHost* host);
    // The window module while one exists (the graphics module hands it the
    // window it makes).
    static FPlatformSpecificModuleSdl* current();

    // Handles the events queued so far (at most as many as were queued when
    // it started), then polls the game pads. Nonzero after a quit request.
    int pumpMessages(unsigned elapsedMs);
    // Handles one event the way the window's own events are handled.
    void windowProc(const SDL_Event& event);

    // A second copy's side: hands the command line to the running copy.
    // True when a running copy took it; otherwise `failure` says why not, and
    // `hopeless` is set when trying again cannot help (a copy that took the
    // record and never answered would hold every attempt for the whole reply
    // time).
    static bool findRunningInstance(FRefT<FString> commandLine, std::string& failure, bool& hopeless,
                                    const FUnixSocket::PeerUserLookup& peerUser = {});

    // Maps a position in the window into the picture; false when the picture
    // has no area (the window is minimised).
    static bool mapPointer(int x, int y, const FPointI& windowSize, const FRectI& viewport,
                           FPointerPoint& out);

    // The SDL event type that carries a second copy's command line.
    static std::uint32_t handOverEventType();

    bool trackMouseLeave(std::uint32_t windowId);
    void forgetTrackedWindow(std::uint32_t windowId);

private:
    class Service : public FPlatformService
    {
    public:
        Service(FAppListener** slot, FPlatformSpecificModuleSdl& module)
            : FPlatformService(slot), m_module(module)
        {
        }
        int pumpMessages(unsigned elapsedMs) override { return m_module.pumpMessages(elapsedMs); }

    private:
        FPlatformSpecificModuleSdl& m_module;
    };

    void onWindowEvent(const SDL_WindowEvent& event);
    void onPointerEvent(const SDL_Event& event);
    void onKeyEvent(const SDL_Event& event);
    void onHandOver(const FRefT<FString>& commandLine);
    void onSizeEvent(std::uint8_t kind);
    void onActivation(bool active);
    void stopHandOver();
    static int requestQuit();

    Service m_service;
    std::unique_ptr<FKeyboardSdl> m_keyboard;
    std::set<std::uint32_t> m_trackedWindows;
    FHandOverListener m_handOver;
    SDL_Window* m_window = nullptr;
    FWindowHost* m_host = nullptr;
    bool m_videoStarted = false;
    bool m_screenSaverWasActive = false;
    bool m_windowMinimized = false;
    bool m_windowMaximized = false;
    bool m_appActive = false;
    bool m_minimizedOnDeactivate = false;
};
