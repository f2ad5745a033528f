#pragma once

// The one application object of a run: the module list, the service slots
// through which every part of the program finds the engine's services, the
// log lock, the platform utilities and a few process-wide values. While it
// lives, FApplication::instance() refers to it.

#include "core/FAppListener.h"
#include "core/FMutex.h"
#include "core/FServiceSlots.h"
#include "core/FString.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class FModule;
class FSystemFeatures;
class FThreadAlert;
class FUtilPlatform;

class FApplication
{
public:
    // Values of startState().
    enum StartState : int32_t { k_notStarted = 0, k_starting = 1, k_started = 2 };

    // The module list stops a group after this many passes even when one of its
    // modules never reports stopped; each pass waits this long per module.
    static constexpr int k_stopPasses = 100;
    static constexpr int k_stopWaitMs = 50;

    FApplication();
    ~FApplication();
    FApplication(const FApplication&) = delete;
    FApplication& operator=(const FApplication&) = delete;

    // The live application object, or null.
    static FApplication* instance() noexcept { return s_instance.load(std::memory_order_acquire); }

    // Sets all service slots of a block to null.
    static void clearServiceSlots(FAppListener** block) noexcept;

    // The object published in slot `index` (null when empty or out of range).
    FAppListener* service(int index) const noexcept;
    // The slot a slot interface publishes itself in (null when out of range).
    FAppListener** serviceSlot(int index) noexcept;

    // Serialises every committed log line of every thread.
    FMutex& logLock() noexcept { return m_logLock; }

    // Every module in the order added (sorted by priority once started). The
    // application owns them: stopModules deletes them (made with engineNew).
    std::vector<FModule*>& modules() noexcept { return m_modules; }

    // Launches and runs the modules by ascending priority, group by group.
    void startModules();
    // Stops the modules group by group in the reverse order, then deletes them
    // (also when the stop unwinds).
    void stopModules();

    // The language index of the first installed edition found in the
    // registry (0 English, 1 French), 0 when none is.
    static int readInstalledLanguage();

    // The thread that made the application (the main thread): other threads
    // queue calls to it, e.g. to make it unwind after a worker failed.
    const std::shared_ptr<FThreadAlert>& mainThread() const noexcept { return m_mainThread; }
    FSystemFeatures* systemFeatures() const noexcept { return m_systemFeatures; }
    FUtilPlatform* platformUtilities() const noexcept { return m_platformUtilities; }

    const FString& name() const noexcept { return m_name; }
    void setName(const FString& name) { m_name = name; }
    // Nonzero: the graphics module draws the statistics line over every
    // frame. Set at construction from the environment variable
    // ZIBBO_STATISTICS (any value but empty or "0").
    int32_t showStatistics() const noexcept { return m_showStatistics; }
    void setShowStatistics(int32_t show) noexcept { m_showStatistics = show; }

    void setMemoryUse(uint32_t ramKB, uint32_t ramPeakKB) noexcept
    {
        m_ramKB = ramKB;
        m_ramPeakKB = ramPeakKB;
    }
    uint32_t ramKB() const noexcept { return m_ramKB; }
    uint32_t ramPeakKB() const noexcept { return m_ramPeakKB; }
    uint32_t vramInUse() const noexcept { return m_vramInUse; }
    uint32_t vramPeak() const noexcept { return m_vramPeak; }

    int32_t startState() const noexcept { return m_startState.load(); }
    int32_t profileSlotHint() const noexcept { return m_profileSlotHint; }
    void setProfileSlotHint(int32_t hint) noexcept { m_profileSlotHint = hint; }

private:
    void stopGroups();
    // Deletes every module, last first.
    void deleteModules();

    static std::atomic<FApplication*> s_instance;

    std::vector<FModule*> m_modules;
    FAppListener* m_services[k_serviceSlotCount];
    FString m_name;
    int32_t m_showStatistics = 0;
    FMutex m_logLock;
    std::shared_ptr<FThreadAlert> m_mainThread;
    FSystemFeatures* m_systemFeatures = nullptr;
    FUtilPlatform* m_platformUtilities = nullptr;
    std::atomic<uint32_t> m_ramKB{0};
    std::atomic<uint32_t> m_ramPeakKB{0};
    uint32_t m_vramInUse = 0;
    uint32_t m_vramPeak = 0;
    std::atomic<int32_t> m_startState{k_notStarted};
    int32_t m_profileSlotHint = -1;
};

// Slot `index` of the running application, where a service publishes itself;
// null without an application.
inline FAppListener** findServiceSlot(int index) noexcept
{
    FApplication* application = FApplication::instance();
    return application == nullptr ? nullptr : application->serviceSlot(index);
}

// The service object in slot `index` as interface T, or null.
template <class T> T* findService(int index) noexcept
{
    FApplication* application = FApplication::instance();
    return application == nullptr ? nullptr : static_cast<T*>(application->service(index));
}
