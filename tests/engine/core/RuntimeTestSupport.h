#pragma once

// Helpers of the runtime tests: a clock the test moves by hand, a fatal
// message box that records instead of showing, and a bounded poll.

#include "core/FApplication.h"
#include "core/FClockService.h"
#include "core/FFatalMessageBox.h"
#include "core/FString.h"
#include "core/FThreadAlert.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FakeClock : public FClockService
{
public:
    explicit FakeClock(FApplication& application, uint32_t start = 1000)
        : FClockService(application.serviceSlot(k_slotClock)), m_now(start)
    {
    }
    uint32_t now() override { return m_now.load(); }
    int64_t wallTime() override { return m_wall.load(); }
    int adjust(int delta) override { return delta; }

    void set(uint32_t ms) { m_now = ms; }
    void advance(uint32_t ms) { m_now += ms; }
    void setWall(int64_t seconds) { m_wall = seconds; }

private:
    std::atomic<uint32_t> m_now;
    std::atomic<int64_t> m_wall{0};
};

class RecordingMessageBox : public FFatalMessageBox
{
public:
    RecordingMessageBox() { m_previous = FFatalMessageBox::install(this); }
    ~RecordingMessageBox() override { FFatalMessageBox::install(m_previous); }

    void show(const FString&, const FString& text) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_texts.push_back(text.toUtf8());
    }
    std::vector<std::string> texts()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_texts;
    }

private:
    FFatalMessageBox* m_previous;
    std::mutex m_lock;
    std::vector<std::string> m_texts;
};

// Polls `condition` until it holds or `limitMs` passes; the result of the
// last look.
inline bool eventually(const std::function<bool()>& condition, int limitMs = 5000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Runs away the calls queued for the calling thread (such as the unwinding
// call a failing worker leaves for the main thread), so that the next test on
// this thread starts clean.
inline void drainQueuedCalls()
{
    FThreadAlert& self = *FThreadAlert::current();
    for (;;) {
        try {
            self.runQueuedCalls();
            self.consumeAlert();
            return;
        } catch (...) {
        }
    }
}
