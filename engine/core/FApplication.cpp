#include "core/FApplication.h"

#include "core/FIntroSort.h"
#include "core/FMemory.h"
#include "core/FModule.h"
#include "core/FOperatingSystem.h"
#include "core/FProcessService.h"
#include "core/FSystemFeatures.h"
#include "core/FThreadAlert.h"
#include "core/FUtilPlatform.h"

std::atomic<FApplication*> FApplication::s_instance{nullptr};

namespace {

// The installed editions, in the order they are looked for.
struct Edition
{
    const char* title;
    int language;
};
constexpr Edition k_editions[] = {
    {"Zibbo Far Afield", 0},
    {"Zebbo Far Afield", 0},
    {"Zobbo au Loin", 1},
};

} // namespace

FApplication::FApplication()
{
    clearServiceSlots(m_services);
    s_instance.store(this, std::memory_order_release);
    m_mainThread = FThreadAlert::current();
    m_systemFeatures = engineNew<FSystemFeatures>(k_memObject);
    if (m_systemFeatures != nullptr) {
        m_systemFeatures->detect();
    }
    m_platformUtilities = engineNew<FUtilPlatform>(k_memObject);
    m_modules.reserve(32);
    const std::string statistics = FOperatingSystem::current().environment("ZIBBO_STATISTICS");
    m_showStatistics = !statistics.empty() && statistics != "0" ? 1 : 0;
}

FApplication::~FApplication()
{
    engineDelete(m_platformUtilities);
    m_platformUtilities = nullptr;
    engineDelete(m_systemFeatures);
    m_systemFeatures = nullptr;
    m_mainThread.reset();
    FApplication* self = this;
    s_instance.compare_exchange_strong(self, nullptr, std::memory_order_acq_rel);
}

void FApplication::clearServiceSlots(FAppListener** block) noexcept
{
    for (int i = 0; i < k_serviceSlotCount; ++i) {
        block[i] = nullptr;
    }
}

FAppListener* FApplication::service(int index) const noexcept
{
    if (index < 0 || index >= k_serviceSlotCount) {
        return nullptr;
    }
    return m_services[index];
}

FAppListener** FApplication::serviceSlot(int index) noexcept
{
    if (index < 0 || index >= k_serviceSlotCount) {
        return nullptr;
    }
    return &m_services[index];
}

void FApplication::startModules()
{
    if (m_startState == k_notStarted) {
        m_startState = k_starting;
    }
    FIntroSort::sort(m_modules.begin(), m_modules.end(),
                     [](const FModule* a, const FModule* b) { return a->priority() < b->priority(); });
    for (std::size_t first = 0; first < m_modules.size();) {
        std::size_t last = first;
        while (last < m_modules.size() && m_modules[last]->priority() == m_modules[first]->priority()) {
            ++last;
        }
        for (std::size_t i = first; i < last; ++i) {
            m_modules[i]->launch();
        }
        for (std::size_t i = first; i < last; ++i) {
            m_modules[i]->run();
        }
        first = last;
    }
    m_startState = k_started;
}

void FApplication::stopModules()
{
    try {
        stopGroups();
    } catch (...) {
        // A wait that unwinds (the run is stopping after a failure) still leaves
        // no module behind: their threads end on their own waits.
        deleteModules();
        throw;
    }
    deleteModules();
}

void FApplication::stopGroups()
{
    auto* process = static_cast<FProcessService*>(service(k_slotProcess));
    std::size_t end = m_modules.size();
    while (end > 0) {
        const int priority = m_modules[end - 1]->priority();
        std::size_t first = end;
        while (first > 0 && m_modules[first - 1]->priority() == priority) {
            --first;
        }
        for (std::size_t i = end; i > first; --i) {
            m_modules[i - 1]->requestStop();
        }
        for (int pass = 0; pass < k_stopPasses; ++pass) {
            bool allStopped = true;
            for (std::size_t i = end; i > first; --i) {
                if (!m_modules[i - 1]->waitStopped(k_stopWaitMs)) {
                    allStopped = false;
                }
                // Actions posted to the main thread keep running while other threads
                // shut down.
                if (process != nullptr) {
                    process->runOnce(0);
                }
            }
            if (allStopped) {
                break;
            }
        }
        end = first;
    }
}

void FApplication::deleteModules()
{
    while (!m_modules.empty()) {
        FModule* module = m_modules.back();
        m_modules.pop_back();
        engineDelete(module);
    }
}

int FApplication::readInstalledLanguage()
{
    FApplication* application = instance();
    if (application == nullptr || application->m_platformUtilities == nullptr) {
        return 0;
    }
    for (const Edition& edition : k_editions) {
        FString path("SOFTWARE\\");
        path.append(FString(edition.title));
        path.append(FString("\\LANGUAGE"));
        if (application->m_platformUtilities->readRegistryString(path).get() != nullptr) {
            return edition.language;
        }
    }
    return 0;
}
