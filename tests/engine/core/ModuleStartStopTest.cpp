#include "core/FApplication.h"
#include "core/FMemory.h"
#include "core/FModule.h"
#include "core/FProcessService.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// Records every lifecycle call of every module in one journal.
struct Journal
{
    std::vector<std::string> calls;
    std::map<int, int> waits; // by module id
    int processSteps = 0;
};

class RecordingModule : public FModule
{
public:
    RecordingModule(Journal& journal, int id, int priority, int stopAfterWaits = 0)
        : m_journal(journal), m_id(id), m_priority(priority), m_waitsLeft(stopAfterWaits)
    {
    }
    ~RecordingModule() override { note("delete"); }

    void launch() override { note("launch"); }
    void run() override { note("run"); }
    void requestStop() override { note("stop"); }
    bool waitStopped(int milliseconds) override
    {
        EXPECT_EQ(milliseconds, FApplication::k_stopWaitMs);
        ++m_journal.waits[m_id];
        if (m_waitsLeft < 0) return false; // never stops
        if (m_waitsLeft == 0) return true;
        return --m_waitsLeft == 0;
    }
    int priority() const override { return m_priority; }

private:
    void note(const char* what) { m_journal.calls.push_back(std::string(what) + " " + std::to_string(m_id)); }

    Journal& m_journal;
    int m_id;
    int m_priority;
    int m_waitsLeft;
};

class CountingProcess : public FProcessService
{
public:
    CountingProcess(FApplication& application, Journal& journal)
        : FProcessService(application.serviceSlot(k_slotProcess)), m_journal(journal)
    {
    }
    void post(FAction*) override {}
    void requestQuitAndCloseWindow() override {}
    void requestQuit() override {}
    bool runOnce(int flag) override
    {
        EXPECT_EQ(flag, 0);
        ++m_journal.processSteps;
        return true;
    }
    void processActionsNow() override {}
    const Arguments& arguments() override { return m_arguments; }

private:
    Journal& m_journal;
    Arguments m_arguments;
};

void addModule(FApplication& application, Journal& journal, int id, int priority, int stopAfterWaits = 0)
{
    auto* module = engineNew<RecordingModule>(k_memObject, journal, id, priority, stopAfterWaits);
    application.modules().push_back(module);
}

std::vector<std::string> callsOf(const Journal& journal, const std::string& kind)
{
    std::vector<std::string> out;
    for (const std::string& call : journal.calls)
        if (call.rfind(kind + " ", 0) == 0) out.push_back(call.substr(kind.size() + 1));
    return out;
}

// The engine's modules in creation order with their priorities, and the
// position each one starts at.
struct ModuleRow
{
    const char* name;
    int priority;
    int startPosition;
};

const ModuleRow k_moduleTable[] = {
    {"network", 7, 11},
    {"zip archives", 11, 24},
    {"clock", 1, 2},
    {"graphics", 14, 27},
    {"keyed map", 0, 1},
    {"GW video loader", 10, 22},
    {"raw-data loader", 9, 12},
    {"JPEG loader", 9, 14},
    {"font loader", 9, 18},
    {"screen module", 15, 28},
    {"zlib streams", 9, 20},
    {"debug channel", 2, 6},
    {"PNG loader", 9, 19},
    {"Theora loader", 10, 21},
    {"logging", 2, 5},
    {"GW sample loader", 9, 17},
    {"JPEG32 loader", 9, 16},
    {"audio", 11, 23},
    {"Vorbis loader", 9, 15},
    {"asset release", 3, 9},
    {"PVR loader", 9, 13},
    {"platform window", 3, 8},
    {"process", 13, 25},
    {"random numbers", 2, 4},
    {"thread pool", 2, 3},
    {"file systems", 13, 26},
    {"game pads", 4, 10},
    {"application service", 3, 7},
    {"game module", 22, 29},
};

TEST(ModuleStartStopTest, TheEngineModulesStartInTheTabledOrderAndStopInReverse)
{
    Journal journal;
    {
        FApplication application;
        int id = 1;
        for (const ModuleRow& row : k_moduleTable)
            addModule(application, journal, id++, row.priority);
        application.startModules();
        EXPECT_EQ(application.startState(), FApplication::k_started);
        application.stopModules();
        EXPECT_TRUE(application.modules().empty());
    }

    const std::vector<std::string> launched = callsOf(journal, "launch");
    ASSERT_EQ(launched.size(), std::size(k_moduleTable));
    for (std::size_t created = 0; created < std::size(k_moduleTable); ++created) {
        const auto position = static_cast<std::size_t>(k_moduleTable[created].startPosition - 1);
        EXPECT_EQ(launched[position], std::to_string(created + 1)) << k_moduleTable[created].name;
    }
    // Stop and delete walk the started order backwards.
    std::vector<std::string> reversed(launched.rbegin(), launched.rend());
    EXPECT_EQ(callsOf(journal, "stop"), reversed);
    EXPECT_EQ(callsOf(journal, "delete"), reversed);
}

TEST(ModuleStartStopTest, AGroupIsLaunchedWholeBeforeAnyOfItRuns)
{
    Journal journal;
    FApplication application;
    addModule(application, journal, 1, 5);
    addModule(application, journal, 2, 3);
    addModule(application, journal, 3, 3);
    application.startModules();
    const std::vector<std::string> expected = {"launch 2", "launch 3", "run 2", "run 3", "launch 1", "run 1"};
    EXPECT_EQ(journal.calls, expected);
    application.stopModules();
}

TEST(ModuleStartStopTest, AGroupWaitsForItsSlowModuleAndRunsTheMainQueueMeanwhile)
{
    Journal journal;
    FApplication application;
    CountingProcess process(application, journal);
    addModule(application, journal, 1, 1);
    addModule(application, journal, 2, 4);
    addModule(application, journal, 3, 4, 3); // stopped at its third wait
    application.startModules();
    application.stopModules();

    // Three passes over the two modules of the slow group, one over the other.
    EXPECT_EQ(journal.waits, (std::map<int, int>{{1, 1}, {2, 3}, {3, 3}}));
    EXPECT_EQ(journal.processSteps, 3 * 2 + 1);
    // The later group was fully asked to stop before the earlier one.
    const std::vector<std::string> stops = callsOf(journal, "stop");
    EXPECT_EQ(stops, (std::vector<std::string>{"3", "2", "1"}));
}

TEST(ModuleStartStopTest, AModuleThatNeverStopsHoldsItsGroupForAHundredPassesOnly)
{
    Journal journal;
    FApplication application;
    addModule(application, journal, 1, 2, -1);
    addModule(application, journal, 2, 1);
    application.startModules();
    application.stopModules();
    EXPECT_EQ(journal.waits, (std::map<int, int>{{1, FApplication::k_stopPasses}, {2, 1}}));
    // Without a process module nothing runs the main queue.
    EXPECT_EQ(journal.processSteps, 0);
    EXPECT_EQ(callsOf(journal, "delete"), (std::vector<std::string>{"1", "2"}));
}

TEST(ModuleStartStopTest, APlainModuleLaunchesRunsAndStopsThroughItsBase)
{
    class PlainModule : public FModule
    {
    public:
        void onLaunch() override { ++launched; }
        void main() override { ++mained; }
        int launched = 0;
        int mained = 0;
    };

    FApplication application;
    PlainModule module;
    EXPECT_EQ(module.priority(), FModule::k_defaultPriority);
    EXPECT_EQ(module.state(), FModule::k_constructed);
    module.launch();
    module.run();
    EXPECT_EQ(module.launched, 1);
    EXPECT_EQ(module.mained, 1);
    module.requestStop();
    EXPECT_TRUE(module.hasState(FModule::k_stopRequested | FModule::k_stopped));
    EXPECT_TRUE(module.waitStopped(0));
    module.start();
    EXPECT_FALSE(module.hasState(FModule::k_stopRequested));
}

TEST(ModuleStartStopTest, AnEmptyListStartsAndStops)
{
    FApplication application;
    EXPECT_EQ(application.startState(), FApplication::k_notStarted);
    application.startModules();
    application.stopModules();
    EXPECT_EQ(application.startState(), FApplication::k_started);
}

} // namespace
