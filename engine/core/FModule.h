#pragma once

#include <atomic>
#include <cstdint>

// Base of every engine service. The module list creates the modules; the
// application launches and runs them by ascending priority and stops and
// deletes them in the reverse order.
class FModule
{
public:
    // Bits of the module's state.
    enum StateBit : uint32_t {
        k_constructed = 1u << 0,
        k_stopRequested = 1u << 1,
        k_stopped = 1u << 2,
        k_taskStartedBefore = 1u << 3, // threaded modules
        k_tickArmed = 1u << 4,         // threaded modules
    };

    static constexpr int k_defaultPriority = 19;

    FModule();
    virtual ~FModule();
    FModule(const FModule&) = delete;
    FModule& operator=(const FModule&) = delete;

    // Calls onLaunch on the calling thread.
    virtual void launch();
    // Calls start, then main, on the calling thread.
    virtual void run();
    // Calls stop.
    virtual void requestStop();
    // True once the module has stopped; the base is stopped at once.
    virtual bool waitStopped(int milliseconds);
    virtual int priority() const;
    virtual void main();
    virtual void onLaunch();
    virtual void start();
    virtual void stop();

    uint32_t state() const { return m_state.load(); }
    bool hasState(uint32_t bits) const { return (m_state.load() & bits) == bits; }

protected:
    // The module's thread and the main thread both change the state.
    void setState(uint32_t bits) { m_state.fetch_or(bits); }
    void clearState(uint32_t bits) { m_state.fetch_and(~bits); }

private:
    std::atomic<uint32_t> m_state;
};
