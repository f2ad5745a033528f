#include "platform/FPlatformSpecificModuleSdl.h"

#include "core/FAppEventListener.h"
#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "core/FGamePadService.h"
#include "core/FKeyListener.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "core/FPointerButton.h"
#include "core/FProcessService.h"
#include "core/FUtilPlatform.h"
#include "platform/FHandOverRecord.h"
#include "platform/FHandOverSender.h"
#include "platform/FInstanceNames.h"
#include "platform/FKeyboardSdl.h"
#include "platform/FRuntimeFolder.h"
#include "platform/FWindowHost.h"

#include <SDL.h>

#include <atomic>
#include <string>

namespace {
struct MouseButton
{
    std::uint8_t sdlButton;
    int code;
    const char* downLog;
    const char* upLog;
};

constexpr MouseButton k_mouseButtons[] = {
    {SDL_BUTTON_LEFT, k_mouseLeft, "Got WM_LBUTTONDOWN message", "Got WM_LBUTTONUP message"},
    {SDL_BUTTON_RIGHT, k_mouseRight, "Got WM_RBUTTONDOWN message", "Got WM_RBUTTONUP message"},
    {SDL_BUTTON_MIDDLE, k_mouseMiddle, "Got WM_MBUTTONDOWN message", "Got WM_MBUTTONUP message"},
};

const MouseButton* findButton(std::uint8_t sdlButton)
{
    for (const MouseButton& button : k_mouseButtons) {
        if (button.sdlButton == sdlButton) return &button;
    }
    return nullptr;
}

// Called on the hand-over listener's thread: queues the text for the main
// thread's pump, which hands it to the UI module.
bool queueHandOver(std::u16string&& text)
{
    FRefT<FString> commandLine = makeSharedStringCopy(FString(std::u16string_view(text)));
    if (commandLine.isNull()) return false;
    auto* payload = engineNew<FRefT<FString>>(k_memObject, std::move(commandLine));
    if (payload == nullptr) return false;
    SDL_Event event{};
    event.type = FPlatformSpecificModuleSdl::handOverEventType();
    event.user.data1 = payload;
    if (SDL_PushEvent(&event) == 1) return true;
    engineDelete(payload);
    return false;
}

FRefT<FString>* handOverPayload(const SDL_Event& event)
{
    return static_cast<FRefT<FString>*>(event.user.data1);
}

std::atomic<FPlatformSpecificModuleSdl*> s_current{nullptr};
} // namespace

FPlatformSpecificModuleSdl::FPlatformSpecificModuleSdl()
    : m_service(findServiceSlot(k_slotPlatform), *this), m_keyboard(std::make_unique<FKeyboardSdl>()),
      m_handOver(&queueHandOver)
{
    // Closing the window asks the UI module first; SDL must not turn it into
    // a quit on its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    FRuntimeFolder::prepareOnce();
    const std::string runtimeNote = FRuntimeFolder::takeReport();
    if (!runtimeNote.empty()) {
        ZIBBO_LOG(k_logRelease, false) << runtimeNote.c_str();
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        ZIBBO_FAIL(msgSystemError, "SDL_InitSubSystem (" << SDL_GetError() << ")");
    m_videoStarted = true;
    s_current = this;
    if (SDL_IsScreenSaverEnabled()) {
        m_screenSaverWasActive = true;
        SDL_DisableScreenSaver();
    }
    // A second copy started before the window exists still finds this one.
    if (!m_handOver.start(FInstanceNames::fromEnvironment().socketName)) {
        ZIBBO_LOG(k_logWarn, false) << "Another copy answers on the hand-over socket";
    }
}

FPlatformSpecificModuleSdl::~FPlatformSpecificModuleSdl()
{
    FPlatformSpecificModuleSdl* self = this;
    s_current.compare_exchange_strong(self, nullptr);
    stopHandOver();
    if (m_screenSaverWasActive) SDL_EnableScreenSaver();
    if (m_videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    m_trackedWindows.clear();
}

FPlatformSpecificModuleSdl* FPlatformSpecificModuleSdl::current()
{
    return s_current.load();
}

std::uint32_t FPlatformSpecificModuleSdl::handOverEventType()
{
    static const std::uint32_t type = SDL_RegisterEvents(1);
    return type;
}

void FPlatformSpecificModuleSdl::attachWindow(SDL_Window* window, FWindowHost* host)
{
    m_window = window;
    m_host = window == nullptr ? nullptr : host;
}

void FPlatformSpecificModuleSdl::stopHandOver()
{
    m_handOver.stop();
    // Texts queued but never handled still own their strings.
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, handOverEventType(), handOverEventType()) == 1)
        engineDelete(handOverPayload(event));
}

int FPlatformSpecificModuleSdl::pumpMessages(unsigned elapsedMs)
{
    SDL_PumpEvents();
    // What arrives while these are handled waits for the next pass, so a busy
    // queue cannot hold up the main loop.
    int budget = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
    if (budget < 2) budget = 2;
    SDL_Event event;
    for (int i = 0; i < budget; ++i) {
        if (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) != 1) break;
        if (event.type == SDL_QUIT) {
            ZIBBO_LOG(k_logEvent, false) << "GetMessage got a WM_QUIT message result";
            return requestQuit();
        }
        windowProc(event);
    }
    if (m_host != nullptr) m_host->onProcessTick(static_cast<int32_t>(elapsedMs));
    if (auto* pads = findService<FGamePadService>(k_slotGamePads)) pads->poll(elapsedMs, 1);
    return 0;
}

void FPlatformSpecificModuleSdl::windowProc(const SDL_Event& event)
{
    if (event.type == handOverEventType()) {
        FRefT<FString>* payload = handOverPayload(event);
        onHandOver(*payload);
        engineDelete(payload);
        return;
    }
    // Without the graphics module there is no picture to map into and no
    // window to manage.
    if (m_host == nullptr) return;
    switch (event.type) {
    case SDL_WINDOWEVENT:
        onWindowEvent(event.window);
        break;
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        onPointerEvent(event);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
        onKeyEvent(event);
        break;
    case SDL_APP_WILLENTERBACKGROUND:
        ZIBBO_LOG(k_logEvent, false) << "Got WM_POWERBROADCAST message";
        if (auto* events = findService<FAppEventListener>(k_slotAppEvents)) events->systemSuspending();
        break;
    default:
        break;
    }
}

void FPlatformSpecificModuleSdl::onWindowEvent(const SDL_WindowEvent& event)
{
    auto* events = findService<FAppEventListener>(k_slotAppEvents);
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        ZIBBO_LOG(k_logEvent, false) << "Got WM_CLOSE message";
        if (events != nullptr) {
            events->closeRequested();
        } else {
            ZIBBO_LOG(k_logWarn, false) << "WM_CLOSE got no one to send to (no FAppUserInterfaceModule)";
            // Nobody can ask the player: end the run as a destroyed window would.
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
        onSizeEvent(event.event);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        onActivation(true);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        onActivation(false);
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        m_host->onPaint();
        break;
    case SDL_WINDOWEVENT_LEAVE:
        ZIBBO_LOG(k_logEvent, false) << "Got WM_MOUSELEAVE message";
        if (auto* pointers = findService<FPointerListener>(k_slotPointerEvents))
            pointers->pointerLeft(k_mousePointer);
        forgetTrackedWindow(event.windowID);
        break;
    default:
        break;
    }
}

void FPlatformSpecificModuleSdl::onSizeEvent(std::uint8_t kind)
{
    auto* events = findService<FAppEventListener>(k_slotAppEvents);
    if (kind == SDL_WINDOWEVENT_MINIMIZED) {
        if (events != nullptr) events->minimizeWindow(FString("WM_SIZE: SIZE_MINIMIZED"));
        m_windowMinimized = true;
        m_windowMaximized = false;
        return;
    }
    int width = 0;
    int height = 0;
    if (m_window != nullptr) SDL_GetWindowSize(m_window, &width, &height);
    if (height == 0) return;
    if (kind == SDL_WINDOWEVENT_MAXIMIZED) {
        if (m_windowMinimized) {
            if (events != nullptr) events->restoreWindow(FString("WM_SIZE: SIZE_MAXIMIZED"));
            m_windowMinimized = false;
        }
        m_windowMaximized = true;
    } else if (m_windowMaximized) {
        m_windowMaximized = false;
    } else if (m_windowMinimized) {
        if (events != nullptr) events->restoreWindow(FString("WM_SIZE: SIZE_RESTORED"));
        m_windowMinimized = false;
    }
}

void FPlatformSpecificModuleSdl::onActivation(bool active)
{
    ZIBBO_LOG(k_logDefault, false) << "WM_ACTIVATEAPP: " << (active ? 1 : 0);
    auto* events = findService<FAppEventListener>(k_slotAppEvents);
    if (active) {
        if (m_appActive) return;
        m_appActive = true;
        if (m_minimizedOnDeactivate) {
            m_minimizedOnDeactivate = false;
            if (events != nullptr) events->restoreWindow(FString("WM_ACTIVATEAPP activate"));
            m_host->resetDevice();
        } else if (events != nullptr) {
            events->appActivated();
        }
        return;
    }
    if (!m_appActive) return;
    m_appActive = false;
    if (m_host->isFullScreen()) {
        m_minimizedOnDeactivate = true;
        if (events != nullptr) events->minimizeWindow(FString("WM_ACTIVATEAPP deactivate"));
    } else if (events != nullptr) {
        events->appDeactivated();
    }
}

bool FPlatformSpecificModuleSdl::mapPointer(int x, int y, const FPointI& windowSize, const FRectI& viewport,
                                            FPointerPoint& out)
{
    const std::int64_t width = static_cast<std::int64_t>(viewport.right) - viewport.left;
    const std::int64_t height = static_cast<std::int64_t>(viewport.bottom) - viewport.top;
    if (width <= 0 || height <= 0) return false;
    out.x = static_cast<std::int32_t>(windowSize.x * (static_cast<std::int64_t>(x) - viewport.left) / width);
    out.y = static_cast<std::int32_t>(windowSize.y * (static_cast<std::int64_t>(y) - viewport.top) / height);
    return true;
}

void FPlatformSpecificModuleSdl::onPointerEvent(const SDL_Event& event)
{
    auto* pointers = findService<FPointerListener>(k_slotPointerEvents);
    if (pointers == nullptr) return;
    const bool motion = event.type == SDL_MOUSEMOTION;
    const int x = motion ? event.motion.x : event.button.x;
    const int y = motion ? event.motion.y : event.button.y;
    FPointerPoint point;
    if (!mapPointer(x, y, m_host->getWindowSize(), m_host->getViewportRect(), point)) return;
    if (motion) {
        ZIBBO_LOG(k_logEvent, false) << "Got WM_MOUSEMOVE message";
        pointers->pointerMoved(k_mousePointer, point);
        if (trackMouseLeave(event.motion.windowID)) pointers->pointerEntered(k_mousePointer);
        return;
    }
    const MouseButton* button = findButton(event.button.button);
    if (button == nullptr) return;
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        ZIBBO_LOG(k_logEvent, false) << button->downLog;
        pointers->pointerPressed(k_mousePointer, button->code, point);
    } else {
        ZIBBO_LOG(k_logEvent, false) << button->upLog;
        pointers->pointerReleased(k_mousePointer, button->code, point);
    }
}

void FPlatformSpecificModuleSdl::onKeyEvent(const SDL_Event& event)
{
    auto* keys = findService<FKeyListener>(k_slotKeyEvents);
    if (keys == nullptr) return;
    if (event.type == SDL_TEXTINPUT) {
        m_keyboard->text(event.text.text, *keys);
        return;
    }
    if (event.type == SDL_KEYUP) {
        ZIBBO_LOG(k_logEvent, false) << "Got WM_KEYUP message";
        m_keyboard->keyUp(event.key, *keys);
        return;
    }
    ZIBBO_LOG(k_logEvent, false) << "Got WM_KEYDOWN message";
    // SDL queues the text a key typed right behind the key's own event.
    SDL_Event typed;
    const bool hasText = m_keyboard->wantsText(event.key) &&
                         SDL_PeepEvents(&typed, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
                         typed.type == SDL_TEXTINPUT &&
                         SDL_PeepEvents(&typed, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT) == 1;
    m_keyboard->keyDown(event.key, hasText ? typed.text.text : nullptr, *keys);
}

void FPlatformSpecificModuleSdl::onHandOver(const FRefT<FString>& commandLine)
{
    ZIBBO_LOG(k_logEvent, false) << "Got WM_COPYDATA message";
    auto* events = findService<FAppEventListener>(k_slotAppEvents);
    if (events == nullptr) return;
    events->commandLineReceived(commandLine);
    if (m_window == nullptr) return;
    // Bring the game to the player, but leave a maximised window maximised.
    if (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(m_window);
    SDL_RaiseWindow(m_window);
}

bool FPlatformSpecificModuleSdl::trackMouseLeave(std::uint32_t windowId)
{
    return m_trackedWindows.insert(windowId).second;
}

void FPlatformSpecificModuleSdl::forgetTrackedWindow(std::uint32_t windowId)
{
    m_trackedWindows.erase(windowId);
}

bool FPlatformSpecificModuleSdl::findRunningInstance(FRefT<FString> commandLine, std::string& failure,
                                                     bool& hopeless,
                                                     const FUnixSocket::PeerUserLookup& peerUser)
{
    hopeless = false;
    // Logging and the platform wait need an application object.
    FApplication application;
    const std::u16string text(commandLine.isNull() || commandLine.get() == nullptr ? std::u16string_view()
                                                                                   : commandLine->view());
    const std::vector<std::uint8_t> record = FHandOverRecord::encodeCommandLine(text);
    const std::string socketName = FInstanceNames::fromEnvironment().socketName;
    for (int lookUp = 0; lookUp < k_instanceLookUps; ++lookUp) {
        std::int32_t reply = -1;
        switch (FHandOverSender::send(socketName, record, reply, peerUser)) {
        case FHandOverSender::Result::replied:
            if (reply == 0) return true;
            failure = "the running copy did not take the command line";
            return false;
        case FHandOverSender::Result::noReply:
            failure = "the running copy did not answer within " +
                      std::to_string(FHandOverSender::k_replyTimeoutMs / 1000) + " s";
            hopeless = true;
            return false;
        case FHandOverSender::Result::foreignListener:
            failure = "the hand-over socket belongs to another user";
            return false;
        case FHandOverSender::Result::nobodyListening:
            failure = "no running copy answers on the hand-over socket";
            FUtilPlatform::wait(nullptr, k_instanceLookUpPauseMs);
            break;
        }
    }
    return false;
}

int FPlatformSpecificModuleSdl::requestQuit()
{
    if (auto* process = findService<FProcessService>(k_slotProcess)) process->requestQuit();
    return 1;
}
