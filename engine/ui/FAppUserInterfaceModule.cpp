#include "ui/FAppUserInterfaceModule.h"

#include "audio/FAudioNode.h"
#include "audio/FAudioService.h"
#include "audio/FSound.h"
#include "core/FAction.h"
#include "core/FApplication.h"
#include "core/FErrorHandler.h"
#include "core/FErrorMessage.h"
#include "core/FLogChannel.h"
#include "core/FLogStream.h"
#include "core/FProcessService.h"
#include "core/FThread.h"
#include "graphics/FGraph.h"
#include "net/FDebugChannelService.h"
#include "ui/FScreen.h"
#include "ui/FScreenFactory.h"
#include "ui/FScreenLoadRequest.h"

#include <utility>
#include <vector>

namespace {

FGraph* graphics()
{
    return findService<FGraph>(k_slotGraphics);
}

template <class Action, class... Args> void post(FAppUserInterfaceModule& module, Args&&... args)
{
    module.postAction(makeAction<Action>(&module, std::forward<Args>(args)...));
}

} // namespace

FAppUserInterfaceModule::FAppUserInterfaceModule(FScreenFactory* factory)
    : FThreadedModule(k_periodMs), m_appEvents(*this), m_pointers(*this), m_display(*this), m_keys(*this),
      m_factory(factory)
{
}

FAppUserInterfaceModule::~FAppUserInterfaceModule()
{
    // The loop uses this module's members: it ends before they go.
    if (!isInline() && task().state() == FThreadTask::k_running && task().worker() != nullptr) {
        requestStop();
        while (!task().worker()->waitIdle(FThread::k_endPatienceMs, false)) {
            ZIBBO_LOG(k_logDev, false) << "UI module still runs; waiting for it to stop";
        }
    }
    deleteLoadRequest(takeLoadRequest());
    m_quitting = false;
    setReadyCallback(0, nullptr);
    setClickFilter(nullptr);
    clearScreenCache();
    m_drawContext = nullptr;
    for (FRefT<FSound>& channel : m_uiSoundChannels)
        channel.release();
    m_currentScreen.release();
}

FAppUserInterfaceModule* FAppUserInterfaceModule::instance()
{
    auto* events = dynamic_cast<AppEvents*>(findService<FAppListener>(k_slotAppEvents));
    return events != nullptr ? &events->module() : nullptr;
}

bool FAppUserInterfaceModule::onUiThread()
{
    if (isInline() || task().state() != FThreadTask::k_running) return true;
    FThread* worker = task().worker();
    return worker == nullptr || worker->isCurrent();
}

// ---- life cycle ----

void FAppUserInterfaceModule::start()
{
    if (FGraph* graph = graphics()) graph->showWindow();
    m_running = true;
    wakeUp();
    FThreadedModule::start();
    invalidate();
}

void FAppUserInterfaceModule::stop()
{
    FThreadedModule::stop();
    m_running = false;
    if (FGraph* graph = graphics()) graph->destroyWindow();
    activateScreen(k_noScreen, FRefT<FScreen>());
}

void FAppUserInterfaceModule::tick(uint32_t elapsedMs)
{
    wakeUp();
    FRefT<FScreen> screen = m_currentScreen;
    if (!m_running || screen.isNull() || !m_screenReady) return;
    if (m_zeroTimeUpdates > 0) {
        --m_zeroTimeUpdates;
        screen->update(0);
    } else {
        screen->update(static_cast<int32_t>(elapsedMs));
    }
}

void FAppUserInterfaceModule::quit(int32_t)
{
    m_quitting = true;
    deleteLoadRequest(takeLoadRequest());
    if (auto* process = findService<FProcessService>(k_slotProcess)) process->requestQuitAndCloseWindow();
}

void FAppUserInterfaceModule::doQuit(FAction&, int32_t* code)
{
    quit(*code);
}

bool FAppUserInterfaceModule::minimizeWindow(const FString& reason)
{
    return changeMinimized(true, "minimizeWindow", reason, &FAppUserInterfaceModule::doWindowMinimized);
}

bool FAppUserInterfaceModule::restoreWindow(const FString& reason)
{
    return changeMinimized(false, "restoreWindow", reason, &FAppUserInterfaceModule::doWindowRestored);
}

bool FAppUserInterfaceModule::changeMinimized(bool minimized, const char* name, const FString& reason,
                                              void (FAppUserInterfaceModule::*handler)(FAction&))
{
    bool expected = !minimized;
    if (!m_minimized.compare_exchange_strong(expected, minimized)) {
        ZIBBO_LOG(k_logDefault, false) << "(" << name << ": " << reason << ")";
        return false;
    }
    ZIBBO_LOG(k_logDefault, false) << name << ": " << reason;
    post<FAction0<FAppUserInterfaceModule>>(*this, handler);
    return true;
}

void FAppUserInterfaceModule::postDeferred()
{
    post<FAction0<FAppUserInterfaceModule>>(*this, &FAppUserInterfaceModule::doDeferred);
}

void FAppUserInterfaceModule::onActivated()
{
    m_active = true;
    FScreen::setAppActive(true);
    if (FRefT<FScreen> screen = m_currentScreen; !screen.isNull()) screen->onAppActivated();
}

void FAppUserInterfaceModule::onDeactivated()
{
    m_active = false;
    FScreen::setAppActive(false);
    if (FRefT<FScreen> screen = m_currentScreen; !screen.isNull()) screen->onAppDeactivated();
}

void FAppUserInterfaceModule::onWindowMinimized()
{
    if (FRefT<FScreen> screen = m_currentScreen; !screen.isNull()) screen->onWindowMinimized();
}

void FAppUserInterfaceModule::onWindowRestored()
{
    if (FRefT<FScreen> screen = m_currentScreen; !screen.isNull()) screen->onWindowRestored();
}

void FAppUserInterfaceModule::onControllerConnected(int32_t pointer)
{
    if (FRefT<FScreen> screen = m_currentScreen; !screen.isNull()) screen->onControllerConnected(pointer);
}

void FAppUserInterfaceModule::onControllerLost(int32_t pointer)
{
    if (FRefT<FScreen> screen = m_currentScreen; !screen.isNull()) screen->onControllerLost(pointer);
}

// ---- screen requests ----

void FAppUserInterfaceModule::setScreen(int32_t kind, bool async)
{
    if (!onUiThread()) {
        post<FAction2<FAppUserInterfaceModule, int32_t, bool>>(*this, &FAppUserInterfaceModule::doSetScreen,
                                                               kind, async);
        return;
    }
    requestScreen(kind, async);
}

void FAppUserInterfaceModule::doSetScreen(FAction&, int32_t* kind, bool* async)
{
    requestScreen(*kind, *async);
}

void FAppUserInterfaceModule::requestScreen(int32_t kind, bool async)
{
    FRefT<FScreen> cached;
    {
        FMutexLock lock(m_requestLock);
        if (m_loadRequest != nullptr && m_loadRequest->kind() != kind) {
            ZIBBO_FAIL_TEXT("setScreen() called before previous setScreen() request was fulfilled");
        }
        m_requestedKind = kind;
        if (kind == m_currentKind.load()) {
            ZIBBO_LOG(k_logWarn, false) << "Setting a screen that is already set";
        }
        if (auto found = m_screenCache.find(kind); found != m_screenCache.end()) {
            cached = found->second;
        } else {
            m_switchWhenLoaded = true;
            // A build of this kind is under way: its screen is switched to.
            if (m_loadRequest != nullptr) return;
            if (async) {
                m_loadRequest = engineNew<FScreenLoadRequest>(k_memObject, *this, kind);
                return;
            }
        }
    }
    if (!cached.isNull()) {
        activateScreen(kind, cached);
        return;
    }
    onScreenLoaded(kind, buildScreen(kind));
}

void FAppUserInterfaceModule::loadScreen(int32_t kind)
{
    if (!onUiThread()) {
        post<FAction1<FAppUserInterfaceModule, int32_t>>(*this, &FAppUserInterfaceModule::doLoadScreen, kind);
        return;
    }
    requestLoad(kind);
}

void FAppUserInterfaceModule::doLoadScreen(FAction&, int32_t* kind)
{
    requestLoad(*kind);
}

void FAppUserInterfaceModule::requestLoad(int32_t kind)
{
    FMutexLock lock(m_requestLock);
    if (m_loadRequest != nullptr) {
        ZIBBO_FAIL_TEXT("loadScreen() called before previous loadScreen()/setScreen() request was fulfilled");
    }
    if (m_screenCache.count(kind) != 0) return;
    m_switchWhenLoaded = false;
    m_loadRequest = engineNew<FScreenLoadRequest>(k_memObject, *this, kind);
}

FRefT<FScreen> FAppUserInterfaceModule::buildScreen(int32_t kind)
{
    return m_factory != nullptr ? m_factory->createScreen(kind) : FRefT<FScreen>();
}

void FAppUserInterfaceModule::postScreenLoaded(int32_t kind, FRefT<FScreen> screen)
{
    post<FAction2<FAppUserInterfaceModule, int32_t, FRefT<FScreen>>>(
        *this, &FAppUserInterfaceModule::doScreenLoaded, kind, std::move(screen));
}

void FAppUserInterfaceModule::doScreenLoaded(FAction&, int32_t* kind, FRefT<FScreen>* screen)
{
    onScreenLoaded(*kind, std::move(*screen));
}

void FAppUserInterfaceModule::onScreenLoaded(int32_t kind, FRefT<FScreen> screen)
{
    // A build that finished while the module was quitting is dropped.
    if (m_quitting || screen.isNull()) {
        deleteLoadRequest(takeLoadRequest());
        if (!m_quitting) {
            // The switch is refused and the current screen stays; the run
            // goes on, so the report does not unwind.
            FErrorMessage report(ZIBBO_HERE);
            report << "createScreen (" << kind << ") built no screen";
            FErrorHandler::current().handleError(report.finishedText());
        }
        return;
    }
    screen->onLoaded();
    bool activate = false;
    {
        FMutexLock lock(m_requestLock);
        m_screenCache[kind] = screen;
        activate = m_switchWhenLoaded;
    }
    if (activate) activateScreen(kind, screen);
    deleteLoadRequest(takeLoadRequest());
}

FScreenLoadRequest* FAppUserInterfaceModule::takeLoadRequest()
{
    FMutexLock lock(m_requestLock);
    return std::exchange(m_loadRequest, nullptr);
}

void FAppUserInterfaceModule::deleteLoadRequest(FScreenLoadRequest* request)
{
    // Outside the lock: it waits for a worker still in its build.
    if (request != nullptr) engineDelete(request);
}

bool FAppUserInterfaceModule::hasPendingLoad()
{
    FMutexLock lock(m_requestLock);
    return m_loadRequest != nullptr;
}

FRefT<FScreen> FAppUserInterfaceModule::getCachedScreen(int32_t kind)
{
    FMutexLock lock(m_requestLock);
    auto found = m_screenCache.find(kind);
    return found != m_screenCache.end() ? found->second : FRefT<FScreen>();
}

void FAppUserInterfaceModule::releaseCachedScreen(int32_t kind)
{
    FRefT<FScreen> released;
    {
        FMutexLock lock(m_requestLock);
        auto found = m_screenCache.find(kind);
        if (found == m_screenCache.end()) return;
        released = std::move(found->second);
        m_screenCache.erase(found);
    }
}

void FAppUserInterfaceModule::clearScreenCache()
{
    // The screens die outside the lock.
    std::map<int32_t, FRefT<FScreen>> released;
    FMutexLock lock(m_requestLock);
    released.swap(m_screenCache);
}

void FAppUserInterfaceModule::activateScreen(int32_t kind, FRefT<FScreen> screen)
{
    m_requestedKind = kind;
    m_inputBlockFrame = m_framesDrawn.load() + 1;
    FRefT<FScreen> old = std::move(m_currentScreen);
    if (!old.isNull() && old->isEntered()) {
        old->resetPointerState();
        old->setEntered(false);
    }
    m_currentKind = kind;
    m_currentScreen = screen;
    m_screenReady = false;
    if (auto* debug = findService<FDebugChannelService>(k_slotDebugChannel)) debug->clearWidgets();
    if (!screen.isNull()) {
        screen->onActivate();
        screen->reportToDebug();
        m_zeroTimeUpdates = 2;
    }
    if (m_running) invalidate();
}

void FAppUserInterfaceModule::onScreenReady(int32_t frame)
{
    FRefT<FScreen> screen = m_currentScreen;
    if (!m_screenReady) {
        if (!screen.isNull()) {
            screen->onEnter();
            screen->setEntered(true);
        }
        m_screenReady = true;
    }
    // Presents of older frames (a repaint) can run the presented count ahead
    // of the drawn one: the count is reached or passed, never met exactly,
    // so input is accepted from the first present once the frame drawn
    // after the switch exists.
    const int32_t blockFrame = m_inputBlockFrame.load();
    if (blockFrame != 0 && frame >= blockFrame && m_framesDrawn.load() >= blockFrame) m_inputBlockFrame = 0;
    if (m_readyCallback != nullptr && m_readyCallbackFrame == frame) {
        FDelegate<void()>* callback = std::exchange(m_readyCallback, nullptr);
        callback->invoke();
        engineFree(callback);
    }
}

void FAppUserInterfaceModule::setReadyCallback(int32_t frame, FDelegate<void()>* callback)
{
    if (m_readyCallback != nullptr) engineFree(m_readyCallback);
    m_readyCallback = callback;
    m_readyCallbackFrame = frame;
}

void FAppUserInterfaceModule::setClickFilter(FButton::ClickFilter* filter)
{
    FButton::setClickFilter(filter);
    if (m_clickFilter != nullptr) engineFree(m_clickFilter);
    m_clickFilter = filter;
}

// ---- drawing ----

void FAppUserInterfaceModule::invalidate()
{
    if (++m_invalidations == 1) counterRaised(m_framesConsumed);
}

void FAppUserInterfaceModule::frameConsumed()
{
    if (++m_framesConsumed == 1) counterRaised(m_invalidations);
}

void FAppUserInterfaceModule::counterRaised(const std::atomic<int32_t>& other)
{
    if (other.load() > 0 && ++m_drawScheduled == 1) scheduleDraw();
}

void FAppUserInterfaceModule::scheduleDraw()
{
    postOrReplaceAction(
        makeAction<FAction0<FAppUserInterfaceModule>>(this, &FAppUserInterfaceModule::doDrawFrame), 0);
}

void FAppUserInterfaceModule::setDrawContext(FDrawContext* context)
{
    m_drawContext = context;
}

void FAppUserInterfaceModule::drawFrame()
{
    ++m_framesDrawn;
    FGraph* graph = m_drawContext.load() != nullptr ? graphics() : nullptr;
    if (graph != nullptr) {
        FDrawContext& context = graph->beginFrameRecording();
        if (FRefT<FScreen> screen = m_currentScreen; !screen.isNull()) screen->draw(context);
    }
    m_drawScheduled = 0;
    m_invalidations = 0;
    m_framesConsumed = 0;
    if (graph != nullptr) graph->endFrameRecording();
}

void FAppUserInterfaceModule::framePresented()
{
    post<FAction0<FAppUserInterfaceModule>>(*this, &FAppUserInterfaceModule::doFramePresented);
}

void FAppUserInterfaceModule::doFramePresented(FAction&)
{
    onScreenReady(++m_framesPresented);
}

// ---- input ----

FPointI FAppUserInterfaceModule::mapPointer(const FPointerPoint& point, const FScreenTransform& mapping)
{
    // Truncated toward zero, as the conversion does.
    return {static_cast<int32_t>((static_cast<float>(point.x) - mapping.offsetX) * mapping.inverseScaleX),
            static_cast<int32_t>((static_cast<float>(point.y) - mapping.offsetY) * mapping.inverseScaleY)};
}

FPointI FAppUserInterfaceModule::mapped(const FPointerPoint& point)
{
    FGraph* graph = graphics();
    return mapPointer(point, graph != nullptr ? graph->getScreenTransform() : FScreenTransform{});
}

void FAppUserInterfaceModule::onKeyDown(uint32_t key)
{
    FRefT<FScreen> screen = m_currentScreen;
    if (acceptsInput() && !screen.isNull()) screen->routeKeyDown(key);
}

namespace {

// Where key-ups and characters go: the focus while it shows, else the screen.
FWidget& keyTarget(FScreen& screen)
{
    FWidget* focus = screen.focus();
    return focus != nullptr && focus->isVisible() ? *focus : screen;
}

} // namespace

void FAppUserInterfaceModule::onChar(uint32_t key)
{
    FRefT<FScreen> screen = m_currentScreen;
    if (acceptsInput() && !screen.isNull()) keyTarget(*screen).onChar(key);
}

void FAppUserInterfaceModule::onKeyUp(uint32_t key)
{
    FRefT<FScreen> screen = m_currentScreen;
    if (acceptsInput() && !screen.isNull()) keyTarget(*screen).onKeyUp(key);
}

void FAppUserInterfaceModule::onPointerMove(int32_t pointer, const FPointI& point)
{
    FRefT<FScreen> screen = m_currentScreen;
    if (acceptsInput() && !screen.isNull()) screen->onPointerMove(pointer, point);
}

void FAppUserInterfaceModule::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    FRefT<FScreen> screen = m_currentScreen;
    if (acceptsInput() && !screen.isNull()) screen->onPointerDown(pointer, button, point);
}

void FAppUserInterfaceModule::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    FRefT<FScreen> screen = m_currentScreen;
    if (acceptsInput() && !screen.isNull()) screen->onPointerUp(pointer, button, point);
}

// ---- UI sounds ----

FSound* FAppUserInterfaceModule::uiChannel(int index)
{
    FRefT<FSound>& channel = m_uiSoundChannels[index];
    if (channel.isNull()) {
        if (auto* audio = findService<FAudioService>(k_slotAudio)) audio->createSound(channel);
    }
    return channel.get();
}

void FAppUserInterfaceModule::playUiSound(const FRef& sample)
{
    FSound* channel = uiChannel(m_nextUiSoundChannel);
    if (channel != nullptr) channel->playSample(FRefT<FAudioNode>(sample));
    m_nextUiSoundChannel = (m_nextUiSoundChannel + 1) % k_uiSoundChannels;
}

void FAppUserInterfaceModule::stopUiSounds()
{
    for (FRefT<FSound>& channel : m_uiSoundChannels) {
        if (!channel.isNull()) channel->pause();
    }
}

void FAppUserInterfaceModule::setUiSoundVolume(uint8_t volume)
{
    for (int index = 0; index < k_uiSoundChannels; ++index) {
        if (FSound* channel = uiChannel(index)) channel->setVolume(volume);
    }
}

// ---- listeners ----

FAppUserInterfaceModule::AppEvents::AppEvents(FAppUserInterfaceModule& module)
    : FAppEventListener(findServiceSlot(k_slotAppEvents)), m_module(module)
{
}

void FAppUserInterfaceModule::AppEvents::appActivated()
{
    post<FAction0<FAppUserInterfaceModule>>(m_module, &FAppUserInterfaceModule::doActivated);
}

void FAppUserInterfaceModule::AppEvents::closeRequested()
{
    post<FAction1<FAppUserInterfaceModule, int32_t>>(m_module, &FAppUserInterfaceModule::doQuit, 0);
}

void FAppUserInterfaceModule::AppEvents::appDeactivated()
{
    post<FAction0<FAppUserInterfaceModule>>(m_module, &FAppUserInterfaceModule::doDeactivated);
}

void FAppUserInterfaceModule::AppEvents::commandLineReceived(const FRefT<FString>& commandLine)
{
    post<FAction1<FAppUserInterfaceModule, FRefT<FString>>>(m_module, &FAppUserInterfaceModule::doCommandLine,
                                                            commandLine);
}

void FAppUserInterfaceModule::AppEvents::systemSuspending()
{
    post<FAction0<FAppUserInterfaceModule>>(m_module, &FAppUserInterfaceModule::doPowerSuspend);
}

FAppUserInterfaceModule::Pointers::Pointers(FAppUserInterfaceModule& module)
    : FPointerListener(findServiceSlot(k_slotPointerEvents)), m_module(module)
{
}

void FAppUserInterfaceModule::Pointers::pointerEntered(int pointer)
{
    post<FAction1<FAppUserInterfaceModule, int32_t>>(m_module, &FAppUserInterfaceModule::doPointerEnter,
                                                     pointer);
}

void FAppUserInterfaceModule::Pointers::pointerMoved(int pointer, const FPointerPoint& point)
{
    // Only the latest position of a pointer waits in the queue.
    m_module.postOrReplaceAction(
        makeAction<FAction2<FAppUserInterfaceModule, int32_t, FPointI>>(
            &m_module, &FAppUserInterfaceModule::doPointerMove, pointer, m_module.mapped(point)),
        pointer);
}

void FAppUserInterfaceModule::Pointers::pointerLeft(int pointer)
{
    post<FAction1<FAppUserInterfaceModule, int32_t>>(m_module, &FAppUserInterfaceModule::doPointerLeave,
                                                     pointer);
}

void FAppUserInterfaceModule::Pointers::pointerPressed(int pointer, int button, const FPointerPoint& point)
{
    post<FAction3<FAppUserInterfaceModule, int32_t, int32_t, FPointI>>(
        m_module, &FAppUserInterfaceModule::doPointerDown, pointer, button, m_module.mapped(point));
}

void FAppUserInterfaceModule::Pointers::pointerReleased(int pointer, int button, const FPointerPoint& point)
{
    post<FAction3<FAppUserInterfaceModule, int32_t, int32_t, FPointI>>(
        m_module, &FAppUserInterfaceModule::doPointerUp, pointer, button, m_module.mapped(point));
}

FAppUserInterfaceModule::Display::Display(FAppUserInterfaceModule& module)
    : FDisplayListener(findServiceSlot(k_slotInvalidation)), m_module(module)
{
}

FAppUserInterfaceModule::Keys::Keys(FAppUserInterfaceModule& module)
    : FKeyListener(findServiceSlot(k_slotKeyEvents)), m_module(module)
{
}

void FAppUserInterfaceModule::Keys::keyPressed(std::uint32_t code)
{
    post<FAction1<FAppUserInterfaceModule, uint32_t>>(m_module, &FAppUserInterfaceModule::doKeyDown, code);
}

void FAppUserInterfaceModule::Keys::keyReleased(std::uint32_t code)
{
    post<FAction1<FAppUserInterfaceModule, uint32_t>>(m_module, &FAppUserInterfaceModule::doKeyUp, code);
}

void FAppUserInterfaceModule::Keys::keyRepeated(std::uint32_t code)
{
    post<FAction1<FAppUserInterfaceModule, uint32_t>>(m_module, &FAppUserInterfaceModule::doChar, code);
}
