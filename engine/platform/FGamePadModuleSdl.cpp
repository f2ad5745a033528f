#include "platform/FGamePadModuleSdl.h"

#include "core/FApplication.h"
#include "core/FLogStream.h"
#include "core/FPointerButton.h"
#include "core/FPointerListener.h"

#include <SDL.h>

namespace {
constexpr SDL_GameControllerButton k_sdlButtons[FGamePadState::k_buttonCount] = {
    SDL_CONTROLLER_BUTTON_A,
    SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
};

constexpr int k_buttonCodes[FGamePadState::k_buttonCount] = {
    k_padButton0, k_padButton1, k_padButton2, k_padButton3, k_padButton4, k_padButton5,
};

constexpr int k_padPointer = 0;

void send(bool pressed, int code)
{
    auto* pointers = findService<FPointerListener>(k_slotPointerEvents);
    if (pointers == nullptr) return;
    const FPointerPoint origin;
    if (pressed)
        pointers->pointerPressed(k_padPointer, code, origin);
    else
        pointers->pointerReleased(k_padPointer, code, origin);
}
} // namespace

FGamePadModuleSdl::FGamePadModuleSdl()
    : FThreadedModule(k_untimed), m_service(findServiceSlot(k_slotGamePads), *this)
{
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        ZIBBO_LOG(k_logInput, true) << "Could not init the game controller support: " << SDL_GetError();
        return;
    }
    m_subsystemStarted = true;
    SDL_AddEventWatch(&FGamePadModuleSdl::watchDevices, this);
    openFirstController();
    if (m_controller == nullptr) {
        ZIBBO_LOG(k_logInput, true) << "Could not find any controller";
    }
}

FGamePadModuleSdl::~FGamePadModuleSdl()
{
    if (!m_subsystemStarted) return;
    SDL_DelEventWatch(&FGamePadModuleSdl::watchDevices, this);
    if (m_controller != nullptr) SDL_GameControllerClose(m_controller);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

int FGamePadModuleSdl::watchDevices(void* self, SDL_Event* event)
{
    switch (event->type) {
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
        static_cast<FGamePadModuleSdl*>(self)->m_devicesChanged = true;
        break;
    default:
        break;
    }
    return 0;
}

void FGamePadModuleSdl::openFirstController()
{
    m_devicesChanged = false;
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (!SDL_IsGameController(index)) continue;
        m_controller = SDL_GameControllerOpen(index);
        if (m_controller != nullptr) {
            ZIBBO_LOG(k_logInput, true) << "Initialized controller";
            return;
        }
    }
}

void FGamePadModuleSdl::closeController()
{
    ZIBBO_LOG(k_logInput, true) << "Lost the controller";
    SDL_GameControllerClose(m_controller);
    m_controller = nullptr;
    // What was held on the lost pad is let go, so nothing stays pressed.
    dispatchChanges(FGamePadState());
}

std::int32_t FGamePadModuleSdl::scaleAxis(std::int32_t sdlValue)
{
    return sdlValue * k_axisMaximum / k_sdlAxisMaximum;
}

std::int32_t FGamePadModuleSdl::direction(std::int32_t value)
{
    if (value > k_axisMaximum / 2) return 1;
    if (value < k_axisMinimum / 2) return -1;
    return 0;
}

void FGamePadModuleSdl::poll()
{
    if (!m_subsystemStarted) return;
    if (m_controller != nullptr && !SDL_GameControllerGetAttached(m_controller)) closeController();
    if (m_controller == nullptr) {
        if (!m_devicesChanged) return;
        openFirstController();
        if (m_controller == nullptr) return;
    }
    if (!m_acquired) return;
    SDL_GameControllerUpdate();

    const std::int32_t x = scaleAxis(SDL_GameControllerGetAxis(m_controller, SDL_CONTROLLER_AXIS_LEFTX));
    const std::int32_t y = scaleAxis(SDL_GameControllerGetAxis(m_controller, SDL_CONTROLLER_AXIS_LEFTY));
    FGamePadState state;
    state.x = direction(x);
    state.y = direction(y);
    for (int i = 0; i < FGamePadState::k_buttonCount; ++i)
        state.buttons[i] = SDL_GameControllerGetButton(m_controller, k_sdlButtons[i]) != 0 ? 1 : 0;
    ZIBBO_LOG(k_logInput, true) << "Joystick: (" << x << "," << y << ") "
                                << "Button: " << int(state.buttons[0]) << int(state.buttons[1]);
    dispatchChanges(state);
}

void FGamePadModuleSdl::dispatchAxis(std::int32_t& previous, std::int32_t now, int negativeCode,
                                     int positiveCode)
{
    if (now == previous) return;
    // A jump from one side to the other between two polls lets go of the old
    // side first; the listener would otherwise hold it for ever.
    if (previous != 0) send(false, previous > 0 ? positiveCode : negativeCode);
    if (now != 0) send(true, now > 0 ? positiveCode : negativeCode);
    previous = now;
}

void FGamePadModuleSdl::dispatchChanges(const FGamePadState& state)
{
    dispatchAxis(m_previous.x, state.x, k_stickLeft, k_stickRight);
    dispatchAxis(m_previous.y, state.y, k_stickUp, k_stickDown);
    for (int i = 0; i < FGamePadState::k_buttonCount; ++i) {
        if (state.buttons[i] == m_previous.buttons[i]) continue;
        send(state.buttons[i] != 0, k_buttonCodes[i]);
        m_previous.buttons[i] = state.buttons[i];
    }
}
