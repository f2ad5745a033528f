#pragma once

// A UI module driven by the test on its own thread (inline), screens that log
// what the module does to them, and a screen factory whose builds the test
// can hold at a gate.

#include "core/FAction.h"
#include "core/FApplication.h"
#include "core/FBuildCancel.h"
#include "core/FMemory.h"
#include "engine/core/KernelTestSupport.h"
#include "ui/FAppUserInterfaceModule.h"
#include "ui/FScreen.h"
#include "ui/FScreenFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// Lines logged from any thread.
class SharedLog
{
public:
    void add(std::string line)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_lines.push_back(std::move(line));
    }
    // The lines so far, and a fresh start.
    std::vector<std::string> take()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return std::exchange(m_lines, {});
    }

private:
    std::mutex m_lock;
    std::vector<std::string> m_lines;
};

// A screen of one kind that logs the module's calls as "kind:event".
class ScriptScreen : public FScreen
{
public:
    ScriptScreen(int32_t kind, SharedLog& log) : m_kind(kind), m_log(log) {}
    ~ScriptScreen() override { note("destroyed"); }

    void reloadTexts(int32_t) override {}
    void onActivate() override { note("activate"); }
    void onEnter() override { note("enter"); }
    void update(int32_t ms) override { note("update " + std::to_string(ms)); }
    void resetPointerState() override { note("reset"); }
    void onKeyDown(uint32_t key) override { note("keyDown " + std::to_string(key)); }
    void onKeyUp(uint32_t key) override { note("keyUp " + std::to_string(key)); }
    void onChar(uint32_t key) override { note("char " + std::to_string(key)); }
    void onPointerMove(int32_t pointer, const FPointI& p) override { note("move" + where(pointer, p)); }
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& p) override
    {
        note("down" + where(pointer, p) + " " + std::to_string(button));
    }
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& p) override
    {
        note("up" + where(pointer, p) + " " + std::to_string(button));
    }
    void onAppActivated() override { note("appActivated"); }
    void onAppDeactivated() override { note("appDeactivated"); }
    void onWindowMinimized() override { note("minimized"); }
    void onWindowRestored() override { note("restored"); }
    void draw(FDrawContext&) override { note("draw"); }

private:
    static std::string where(int32_t pointer, const FPointI& p)
    {
        return " " + std::to_string(pointer) + " (" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    }
    void note(const std::string& event) { m_log.add(std::to_string(m_kind) + ":" + event); }

    int32_t m_kind;
    SharedLog& m_log;
};

// Builds ScriptScreens for the kinds it knows (nothing for the others). A
// gated kind's build waits, passing the build's cancellation checkpoint,
// until the test opens the gate.
class FakeScreenFactory : public FScreenFactory
{
public:
    explicit FakeScreenFactory(SharedLog& log, std::set<int32_t> kinds = {1, 2, 3, 4})
        : m_log(log), m_kinds(std::move(kinds))
    {
    }

    FRefT<FScreen> createScreen(int32_t kind) override
    {
        ++builds;
        if (gated.count(kind) != 0) {
            std::unique_lock<std::mutex> lock(m_lock);
            ++waiting;
            m_changed.notify_all();
            while (!m_open) {
                lock.unlock();
                FBuildCancel::checkpoint();
                lock.lock();
                m_changed.wait_for(lock, std::chrono::milliseconds(1));
            }
        }
        if (m_kinds.count(kind) == 0) return FRefT<FScreen>();
        m_log.add(std::to_string(kind) + ":built");
        return FRefT<FScreen>(makeRef<FScreen>(engineNew<ScriptScreen>(k_memObject, kind, m_log)));
    }

    // Waits until a gated build has reached the gate.
    bool waitUntilWaiting(int count = 1)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return waiting >= count; });
    }
    void open()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_open = true;
        m_changed.notify_all();
    }

    std::set<int32_t> gated;
    std::atomic<int> builds{0};
    int waiting = 0;

private:
    SharedLog& m_log;
    std::set<int32_t> m_kinds;
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_open = false;
};

// The module without a thread of its own: the test runs its queue and ticks.
class InlineUiModule : public FAppUserInterfaceModule
{
public:
    explicit InlineUiModule(FScreenFactory* factory) : FAppUserInterfaceModule(factory) { setInline(true); }

    // Runs every queued action.
    void drain()
    {
        for (int pass = 0; pass < 1000 && queue().size() > 0; ++pass)
            processActions(false);
    }
    // Runs the queue until the pending build has arrived (bounded wait).
    bool drainUntilLoaded()
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            drain();
            if (!hasPendingLoad()) return true;
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    // One draw cycle as the graphics module runs it: the frame is consumed
    // (the draw job is queued when a redraw is due) and, once drawn,
    // presented.
    void consumeAndPresent()
    {
        frameConsumed();
        drain();
        framePresented();
        drain();
    }
};

// An application, the factory and a started inline module.
class UiModuleFixture : public testing::Test
{
protected:
    UiModuleFixture() { module.run(); }

    // Activation to entry: the first frame after the switch is drawn and
    // presented.
    void enter()
    {
        module.drain();
        module.consumeAndPresent();
    }

    FApplication application;
    RecordingErrorHandler failures;
    SharedLog log;
    FakeScreenFactory factory{log};
    InlineUiModule module{&factory};
};
