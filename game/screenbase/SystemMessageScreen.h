#pragma once

#include "ScreenLayout30.h"

#include <cstdint>

class SystemMessageHost;

// The prompt screen that turns the system's events (a controller lost, a low
// battery, save errors and warnings) into prompts and answers them: it pauses
// the game's sounds and cursor while they show, offers to go on without
// saving, turns saving off when the user agrees and rebuilds the save data
// after a save error. The system prompts form a series on top of the
// screen's own prompts; the queue size at its start is the queue base.
class SystemMessageScreen : public ScreenLayout30
{
public:
    // Message kinds of the system prompts.
    static constexpr int32_t k_controllerMissing = 2;
    static constexpr int32_t k_controllerLost = 3;
    static constexpr int32_t k_controllerNotice = 4;
    static constexpr int32_t k_saveGameError = 5;
    static constexpr int32_t k_saveGameWarning = 6;
    static constexpr int32_t k_noSavesConfirmation = 7;

    SystemMessageScreen();
    ~SystemMessageScreen() override;

    void onControllerLost(int32_t pointer) override;
    // The device relay that reports a low battery.
    void onDeviceEvent5(int32_t controller) override { onBatteryLow(controller); }
    void onBatteryLow(int32_t controller);
    void onSaveGameError(int32_t id) override;
    void onSaveGameWarning(int32_t id, int32_t data) override;
    void onConfirmMessage(int32_t kind) override;
    void onCancel() override;

    // Closes a controller prompt at the front; with `resume`, the series
    // ends (sounds resumed) when the queue is back at its base.
    virtual void dismissControllerPrompt(int32_t pointer, bool resume);
    // As a controller loss, with kind 4.
    virtual void pushControllerNotice(int32_t pointer);

    // The first system prompt of a series records the queue size.
    void markQueueBase();
    // Asks whether to go on without saving (kind 7, confirm and cancel).
    void pushNoSavesConfirmation();

    int32_t queueBase() const { return m_queueBase; }
    bool isReady() const { return m_ready; }

    // The game module when it is the running user-interface module (null
    // otherwise).
    static SystemMessageHost* host();

private:
    void pushControllerPrompt(int32_t kind);
    void pause();
    void resume();

    int32_t m_queueBase = 0;
    bool m_ready = true;
};
