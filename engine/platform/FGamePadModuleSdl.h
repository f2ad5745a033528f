#pragma once

#include "core/FGamePadService.h"
#include "core/FThreadedModule.h"

#include <atomic>
#include <cstdint>

// SDL stays out of the headers that the rest of the program sees.
struct _SDL_GameController;
union SDL_Event;

// One poll's reading of the pad: stick directions (-1, 0, +1; y -1 is up)
// and the first six buttons (A, B, X, Y, left and right shoulder).
struct FGamePadState
{
    static constexpr int k_buttonCount = 6;

    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint8_t buttons[k_buttonCount] = {};
};

// The game pad module: reads the first game controller and reports changes of
// its left stick and first six buttons to the pointer listener as presses and
// releases on pointer 0 at (0, 0), as the mouse reports its buttons. The
// window module's pump polls it on the main thread; controllers plugged in or
// out during the run are picked up at the next poll.
class FGamePadModuleSdl : public FThreadedModule
{
public:
    static constexpr int k_priority = 4;
    static constexpr std::int32_t k_axisMaximum = 100;
    static constexpr std::int32_t k_axisMinimum = -100;
    // Full deflection as SDL reports it.
    static constexpr std::int32_t k_sdlAxisMaximum = 32767;

    FGamePadModuleSdl();
    ~FGamePadModuleSdl() override;

    int priority() const override { return k_priority; }

    void poll();
    void acquire() { m_acquired = true; }
    // Until the next acquire, polls read nothing and send nothing.
    void unacquire() { m_acquired = false; }
    bool hasController() const { return m_controller != nullptr; }

    // Direction of an axis value in the -100..100 range: beyond half way.
    static std::int32_t direction(std::int32_t value);
    // An SDL axis value scaled into the -100..100 range.
    static std::int32_t scaleAxis(std::int32_t sdlValue);
    // Sends the presses and releases that lead from the last state to this one.
    void dispatchChanges(const FGamePadState& state);

private:
    class Service : public FGamePadService
    {
    public:
        Service(FAppListener** slot, FGamePadModuleSdl& module) : FGamePadService(slot), m_module(module) {}
        bool isValidController(int index) override { return index == 0; }
        int connectionStatus() override { return 1; }
        void rumble(int, int) override {}
        void poll(unsigned, int) override { m_module.poll(); }
        void controllerConnected(int, bool) override {}
        void acquire() override { m_module.acquire(); }
        void unacquire() override { m_module.unacquire(); }

    private:
        FGamePadModuleSdl& m_module;
    };

    static int watchDevices(void* self, SDL_Event* event);
    void openFirstController();
    void closeController();
    void dispatchAxis(std::int32_t& previous, std::int32_t now, int negativeCode, int positiveCode);

    Service m_service;
    FGamePadState m_previous;
    _SDL_GameController* m_controller = nullptr;
    bool m_subsystemStarted = false;
    bool m_acquired = true;
    // Set by SDL (on whichever thread reports a device) when controllers come
    // or go; the next poll looks again.
    std::atomic<bool> m_devicesChanged{true};
};
