#include "RuntimeTestSupport.h"

#include "core/FAction.h"
#include "core/FApplication.h"
#include "core/FDebug.h"
#include "core/FPlatformService.h"
#include "core/FProcessModule.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs parse(const char* line)
{
    FProcessService::Arguments arguments;
    FProcessModule::parseCommandLine(FString(line), arguments);
    Pairs out;
    for (const auto& [name, value] : arguments)
        out.emplace_back(name.toUtf8(), value.toUtf8());
    return out;
}

class ProcessModuleTest : public ::testing::Test
{
protected:
    ~ProcessModuleTest() override { drainQueuedCalls(); }

    FApplication m_application;
    FakeClock m_clock{m_application};
    RecordingMessageBox m_box;
};

TEST_F(ProcessModuleTest, TheCommandLineParsesIntoSwitchesAndPositionalWords)
{
    struct Case
    {
        const char* line;
        Pairs arguments;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"/one /two:three", {{"one", ""}, {"two", "three"}}},
        {"a b", {{"0", "a"}, {"1", "b"}}},
        {"\"a b\" c", {{"0", "a b"}, {"1", "c"}}},
        {"/key:val file \"a b\"", {{"0", "file"}, {"1", "a b"}, {"key", "val"}}},
        {"/x:", {{"x", ""}}},
        {"/x", {{"x", ""}}},
        {"/x:\"quoted value\"", {{"x", "quoted value"}}},
        {"/x:1 /x:2", {{"x", "2"}}},
        {"/debug:host.example", {{"debug", "host.example"}}},
        // Paths are words, not switches.
        {"/home/a/b", {{"0", "/home/a/b"}}},
        {"/tmp/a-b.zip /level:3", {{"0", "/tmp/a-b.zip"}, {"level", "3"}}},
        {"/data:/home/a/b", {{"data", "/home/a/b"}}},
        {"\"/home/my dir/x\"", {{"0", "/home/my dir/x"}}},
        {"x\"y", {{"0", "x\"y"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parse(c.line), c.arguments) << c.line;
    // Names order by their code units.
    EXPECT_EQ(parse("/b /B /a"), (Pairs{{"B", ""}, {"a", ""}, {"b", ""}}));
}

TEST_F(ProcessModuleTest, MalformedSwitchesAreFailures)
{
    for (const char* line : {"/a-b", "/:v", "/a.b:c"}) {
        FProcessService::Arguments arguments;
        EXPECT_ANY_THROW(FProcessModule::parseCommandLine(FString(line), arguments)) << line;
    }
    const std::vector<std::string> texts = m_box.texts();
    ASSERT_EQ(texts.size(), 1u); // only the first failure of the run is shown
    EXPECT_NE(texts[0].find("core/FProcessModule ("), std::string::npos);
    // The text names the word and what is wrong with it.
    EXPECT_NE(texts[0].find("Malformed command line: the switch /a-b holds '-'"), std::string::npos)
        << texts[0];
}

TEST_F(ProcessModuleTest, ASwitchWithoutANameSaysSo)
{
    FProcessService::Arguments arguments;
    EXPECT_ANY_THROW(FProcessModule::parseCommandLine(FString("one /:v two"), arguments));
    const std::vector<std::string> texts = m_box.texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("Malformed command line: /:v gives a value to a switch without a name"),
              std::string::npos)
        << texts[0];
}

TEST_F(ProcessModuleTest, JoinedArgumentsParseBackIntoTheSameWords)
{
    const std::vector<std::string> words = {"/debug:host", "my file", "/title:two words", "/home/a b/c",
                                            "plain"};
    const std::string line = FProcessModule::joinCommandLine(words);
    EXPECT_EQ(parse(line.c_str()), (Pairs{{"0", "my file"},
                                          {"1", "/home/a b/c"},
                                          {"2", "plain"},
                                          {"debug", "host"},
                                          {"title", "two words"}}));
    EXPECT_EQ(FProcessModule::joinCommandLine({}), "");
}

class CountingPump : public FPlatformService
{
public:
    explicit CountingPump(FApplication& application)
        : FPlatformService(application.serviceSlot(k_slotPlatform))
    {
    }
    int pumpMessages(unsigned elapsedMs) override
    {
        elapsed.push_back(elapsedMs);
        return quitAfter > 0 && elapsed.size() >= quitAfter ? 1 : 0;
    }
    std::vector<unsigned> elapsed;
    std::size_t quitAfter = 0;
};

struct Recorder
{
    void note(FAction&, int* value) { seen.push_back(*value); }
    std::vector<int> seen;
};

TEST_F(ProcessModuleTest, TheMainLoopPumpsEachMillisecondAndRunsPostedActions)
{
    CountingPump pump(m_application);
    auto* process = engineNew<FProcessModule>(k_memObject, makeSharedStringCopy(FString("/a:1")));
    auto* service = findService<FProcessService>(k_slotProcess);
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(service->arguments().size(), 1u);
    EXPECT_EQ(FProcessModule::productShortName().get()->toUtf8(), "Zibbo");
    EXPECT_EQ(FProcessModule::productTitle().get()->toUtf8(), "Zibbo Far Afield");

    process->launch();
    process->run();
    EXPECT_TRUE(service->runOnce(1)); // sets the tick origin
    m_clock.advance(3);
    EXPECT_TRUE(service->runOnce(1));
    EXPECT_EQ(pump.elapsed, std::vector<unsigned>{3});

    Recorder recorder;
    service->post(makeAction<FAction1<Recorder, int>>(&recorder, &Recorder::note, 7));
    service->processActionsNow(); // the last tick's wake marker ends this batch
    EXPECT_TRUE(recorder.seen.empty());
    service->processActionsNow();
    EXPECT_EQ(recorder.seen, std::vector<int>{7});

    // A quit from the pump ends the loop; queued actions still run meanwhile.
    pump.quitAfter = 2;
    m_clock.advance(1);
    service->post(makeAction<FAction1<Recorder, int>>(&recorder, &Recorder::note, 8));
    while (service->runOnce(1)) {
    }
    EXPECT_EQ(recorder.seen, (std::vector<int>{7, 8}));
    EXPECT_FALSE(service->runOnce(0));

    engineDelete(process);
    EXPECT_EQ(findService<FProcessService>(k_slotProcess), nullptr);
}

TEST_F(ProcessModuleTest, RequestQuitEndsTheLoopAtTheNextStep)
{
    auto* process = engineNew<FProcessModule>(k_memObject, makeSharedStringCopy(FString("")));
    auto* service = findService<FProcessService>(k_slotProcess);
    process->launch();
    process->run();
    service->requestQuit();
    Recorder recorder;
    service->post(makeAction<FAction1<Recorder, int>>(&recorder, &Recorder::note, 1));
    EXPECT_FALSE(service->runOnce(1));
    engineDelete(process);
}

} // namespace
