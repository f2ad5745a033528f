#pragma once

#include "core/FAppEventListener.h"
#include "core/FDelegate.h"
#include "core/FKeyListener.h"
#include "core/FMutex.h"
#include "core/FPointerListener.h"
#include "core/FRef.h"
#include "core/FThreadedModule.h"
#include "graphics/FDisplayListener.h"
#include "graphics/FGeometry.h"
#include "ui/FButton.h"

#include <atomic>
#include <cstdint>
#include <map>

class FAction;
class FDrawContext;
class FScreen;
class FScreenFactory;
class FScreenLoadRequest;
class FSound;
class FWidget;
struct FScreenTransform;

// The module that owns the screens. Its thread is the UI thread: every screen
// and widget operation runs there. It builds screens on request (at once, or
// on a screen-load worker), keeps the last one built in a cache of one,
// switches to them, enters a new screen at its first presented frame, updates
// the current screen every tick, draws it when a redraw is due and the last
// frame was consumed, and plays the screens' UI sounds. Other threads reach it
// through its listeners in the application's service slots, which queue the
// events for the UI thread; only the few calls noted below run on the
// caller's thread. The game module derives from it.
class FAppUserInterfaceModule : public FThreadedModule
{
public:
    static constexpr int32_t k_periodMs = 20;
    static constexpr int k_priority = 22;
    static constexpr int k_uiSoundChannels = 8;
    static constexpr int32_t k_noScreen = -1;

    // Screen kinds are built with `factory`, which must outlive the module
    // (null: every request builds nothing).
    explicit FAppUserInterfaceModule(FScreenFactory* factory = nullptr);
    ~FAppUserInterfaceModule() override;

    // The module whose listeners occupy the running application's slots.
    static FAppUserInterfaceModule* instance();

    int priority() const override { return k_priority; }
    void onLaunch() override {}
    void start() override;
    void stop() override;
    void tick(uint32_t elapsedMs) override;

    // Screen requests. Any thread: called off the UI thread while the UI
    // thread runs, the request is queued for it, so that the request and the
    // cache are only changed there and no screen is built or loaded beside it.
    // A request for another kind while a build is pending is a failed check.
    virtual void setScreen(int32_t kind, bool async);
    // Builds a screen in the background without switching to it.
    void loadScreen(int32_t kind);
    // Any thread.
    FRefT<FScreen> getCachedScreen(int32_t kind);
    void releaseCachedScreen(int32_t kind);
    // Each newly built screen empties the cache before it is stored.
    void clearScreenCache();
    // UI thread: makes `screen` current (empty: none).
    void activateScreen(int32_t kind, FRefT<FScreen> screen);
    // UI thread: a built screen arrives (empty: the factory built none, which
    // is reported as a failure and changes nothing).
    virtual void onScreenLoaded(int32_t kind, FRefT<FScreen> screen);
    // Any thread: what a build does; the factory's screen.
    FRefT<FScreen> buildScreen(int32_t kind);
    // Any thread: queues onScreenLoaded for the UI thread.
    void postScreenLoaded(int32_t kind, FRefT<FScreen> screen);

    // Application state. quit gives up a pending build (waiting until its
    // worker has left it) and asks the process to end.
    virtual void quit(int32_t code);
    bool isQuitting() const { return m_quitting.load(); }
    bool isAppActive() const { return m_active.load(); }
    // Main thread; true when the state changed (the screen hears of it once).
    bool minimizeWindow(const FString& reason);
    bool restoreWindow(const FString& reason);
    bool isMinimized() const { return m_minimized.load(); }
    void postDeferred();

    // Handlers of queued events (UI thread); the game overrides some.
    virtual void onDeferred() {}
    virtual void onActivated();
    virtual void onDeactivated();
    virtual void onWindowMinimized();
    virtual void onWindowRestored();
    virtual void drawFrame();
    virtual void onKeyDown(uint32_t key);
    virtual void onChar(uint32_t key);
    virtual void onKeyUp(uint32_t key);
    virtual void onPointerEnter(int32_t) {}
    virtual void onPointerMove(int32_t pointer, const FPointI& point);
    virtual void onPointerLeave(int32_t) {}
    virtual void onPointerDown(int32_t pointer, int32_t button, const FPointI& point);
    virtual void onPointerUp(int32_t pointer, int32_t button, const FPointI& point);
    virtual void onControllerConnected(int32_t pointer);
    virtual void onControllerLost(int32_t pointer);
    virtual void onScreenReady(int32_t frame);
    virtual void onCommandLine(const FRefT<FString>&) {}
    virtual void onPowerSuspend() {}

    // Redraw coalescing: a draw is queued only when a redraw was asked for
    // and the graphics module consumed the last frame, at most one at a time.
    // invalidate: any thread; frameConsumed: the graphics side.
    void invalidate();
    void frameConsumed();
    // Main thread: the context frames are drawn through (null: none).
    void setDrawContext(FDrawContext* context);
    // Graphics side: a frame was presented; counted on the UI thread.
    void framePresented();

    // The eight UI sound channels, made when first used.
    void playUiSound(const FRef& sample);
    void stopUiSounds();
    void setUiSoundVolume(uint8_t volume);
    // Channel `index` (0-7), null until first used.
    FSound* uiSoundChannel(int index) const { return m_uiSoundChannels[index].get(); }

    // Window point (application pixels) to the screens' logical pixels.
    static FPointI mapPointer(const FPointerPoint& point, const FScreenTransform& mapping);

    // A one-shot call when frame `frame` has been presented (owned; replaces
    // and frees an earlier one).
    void setReadyCallback(int32_t frame, FDelegate<void()>* callback);
    // Asked by every button before a click runs (owned; null: none). The
    // module installs it as the buttons' filter and takes it back at the end.
    FButton::ClickFilter* clickFilter() const { return m_clickFilter; }
    void setClickFilter(FButton::ClickFilter* filter);

    // UI thread (or before the module runs).
    FRefT<FScreen> currentScreen() const { return m_currentScreen; }
    int32_t currentKind() const { return m_currentKind.load(); }
    int32_t requestedKind() const { return m_requestedKind.load(); }
    bool isScreenReady() const { return m_screenReady.load(); }
    bool isRunning() const { return m_running.load(); }
    bool isInputBlocked() const { return m_inputBlockFrame.load() != 0; }
    bool hasPendingLoad();
    int32_t framesDrawn() const { return m_framesDrawn.load(); }
    int32_t framesPresented() const { return m_framesPresented.load(); }

protected:
    // True on the module's own thread, or wherever it runs without one
    // (inline, not launched, or after its loop ended).
    bool onUiThread();

private:
    class AppEvents final : public FAppEventListener
    {
    public:
        explicit AppEvents(FAppUserInterfaceModule& module);
        void appActivated() override;
        void closeRequested() override;
        void appDeactivated() override;
        void minimizeWindow(const FString& reason) override { m_module.minimizeWindow(reason); }
        void restoreWindow(const FString& reason) override { m_module.restoreWindow(reason); }
        void commandLineReceived(const FRefT<FString>& commandLine) override;
        void systemSuspending() override;
        FAppUserInterfaceModule& module() const { return m_module; }

    private:
        FAppUserInterfaceModule& m_module;
    };

    class Pointers final : public FPointerListener
    {
    public:
        explicit Pointers(FAppUserInterfaceModule& module);
        void pointerEntered(int pointer) override;
        void pointerMoved(int pointer, const FPointerPoint& point) override;
        void pointerLeft(int pointer) override;
        void pointerPressed(int pointer, int button, const FPointerPoint& point) override;
        void pointerReleased(int pointer, int button, const FPointerPoint& point) override;

    private:
        FAppUserInterfaceModule& m_module;
    };

    class Display final : public FDisplayListener
    {
    public:
        explicit Display(FAppUserInterfaceModule& module);
        void redrawWanted() override { m_module.invalidate(); }
        void frameRendered() override { m_module.frameConsumed(); }
        void drawContextChanged(FDrawContext* context) override { m_module.setDrawContext(context); }
        void framePresented() override { m_module.framePresented(); }

    private:
        FAppUserInterfaceModule& m_module;
    };

    class Keys final : public FKeyListener
    {
    public:
        explicit Keys(FAppUserInterfaceModule& module);
        void keyPressed(std::uint32_t code) override;
        void keyReleased(std::uint32_t code) override;
        void keyRepeated(std::uint32_t code) override;

    private:
        FAppUserInterfaceModule& m_module;
    };

    // The screen request itself, on the UI thread.
    void requestScreen(int32_t kind, bool async);
    void requestLoad(int32_t kind);
    // Sets the minimized flag when it differs and posts `handler`; logs the
    // call `name` with its reason either way (in brackets when nothing
    // changed).
    bool changeMinimized(bool minimized, const char* name, const FString& reason,
                         void (FAppUserInterfaceModule::*handler)(FAction&));
    // Takes the pending request out of the module (null when none).
    FScreenLoadRequest* takeLoadRequest();
    static void deleteLoadRequest(FScreenLoadRequest* request);
    FPointI mapped(const FPointerPoint& point);
    void scheduleDraw();
    // A redraw counter went from 0 to 1: a draw is due when `other` is set.
    void counterRaised(const std::atomic<int32_t>& other);
    bool acceptsInput() const { return m_inputBlockFrame.load() == 0; }
    FSound* uiChannel(int index);

    // Action handlers: they unpack the stored values.
    void doSetScreen(FAction&, int32_t* kind, bool* async);
    void doLoadScreen(FAction&, int32_t* kind);
    void doScreenLoaded(FAction&, int32_t* kind, FRefT<FScreen>* screen);
    void doQuit(FAction&, int32_t* code);
    void doActivated(FAction&) { onActivated(); }
    void doDeactivated(FAction&) { onDeactivated(); }
    void doWindowMinimized(FAction&) { onWindowMinimized(); }
    void doWindowRestored(FAction&) { onWindowRestored(); }
    void doDeferred(FAction&) { onDeferred(); }
    void doCommandLine(FAction&, FRefT<FString>* text) { onCommandLine(*text); }
    void doPowerSuspend(FAction&) { onPowerSuspend(); }
    void doDrawFrame(FAction&) { drawFrame(); }
    void doFramePresented(FAction&);
    void doKeyDown(FAction&, uint32_t* key) { onKeyDown(*key); }
    void doKeyUp(FAction&, uint32_t* key) { onKeyUp(*key); }
    void doChar(FAction&, uint32_t* key) { onChar(*key); }
    void doPointerEnter(FAction&, int32_t* pointer) { onPointerEnter(*pointer); }
    void doPointerLeave(FAction&, int32_t* pointer) { onPointerLeave(*pointer); }
    void doPointerMove(FAction&, int32_t* pointer, FPointI* point) { onPointerMove(*pointer, *point); }
    void doPointerDown(FAction&, int32_t* pointer, int32_t* button, FPointI* point)
    {
        onPointerDown(*pointer, *button, *point);
    }
    void doPointerUp(FAction&, int32_t* pointer, int32_t* button, FPointI* point)
    {
        onPointerUp(*pointer, *button, *point);
    }

    // Registered in this order; the slots are cleared in the reverse order.
    AppEvents m_appEvents;
    Pointers m_pointers;
    Display m_display;
    Keys m_keys;

    FScreenFactory* m_factory;
    FRefT<FScreen> m_currentScreen;
    std::atomic<bool> m_screenReady{false};
    FRefT<FSound> m_uiSoundChannels[k_uiSoundChannels];
    int m_nextUiSoundChannel = 0;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_quitting{false};
    std::atomic<bool> m_active{true};
    int m_zeroTimeUpdates = 2;
    std::atomic<FDrawContext*> m_drawContext{nullptr};
    std::atomic<int32_t> m_inputBlockFrame{0};
    std::atomic<int32_t> m_framesDrawn{0};
    std::atomic<int32_t> m_framesPresented{0};
    FButton::ClickFilter* m_clickFilter = nullptr;
    std::atomic<int32_t> m_framesConsumed{0};
    std::atomic<int32_t> m_invalidations{0};
    std::atomic<int32_t> m_drawScheduled{0};

    // Guards the cache and the request members below.
    FMutex m_requestLock;
    std::map<int32_t, FRefT<FScreen>> m_screenCache;
    FScreenLoadRequest* m_loadRequest = nullptr;
    bool m_switchWhenLoaded = false;
    std::atomic<int32_t> m_currentKind{k_noScreen};
    std::atomic<int32_t> m_requestedKind{k_noScreen};

    int32_t m_readyCallbackFrame = 0;
    FDelegate<void()>* m_readyCallback = nullptr;
    std::atomic<bool> m_minimized{false};
};
