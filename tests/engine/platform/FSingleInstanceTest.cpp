#include "platform/FSingleInstance.h"

#include "PlatformTestSupport.h"
#include "platform/FHandOverRecord.h"
#include "platform/FHandOverSender.h"
#include "platform/FInstanceLock.h"
#include "platform/FInstanceNames.h"
#include "platform/FPlatformSpecificModuleSdl.h"
#include "platform/FUnixSocket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {
constexpr int k_helperRan = 3;

// The helper program as another copy of the game, with its standard
// output on a pipe.
class Helper
{
public:
    explicit Helper(std::vector<std::string> arguments)
    {
        int out[2];
        if (pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        arguments.insert(arguments.begin(), ZIBBO_INSTANCE_HELPER);
        std::vector<char*> argv;
        for (std::string& a : arguments)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, ZIBBO_INSTANCE_HELPER, &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        m_out = out[0];
    }
    ~Helper()
    {
        if (m_pid > 0 && !m_exited) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0) close(m_out);
    }
    bool isRunning() const { return m_pid > 0; }

    // Everything the helper wrote until it closed its output.
    std::string readAll()
    {
        std::string text;
        char buffer[256];
        for (ssize_t got; (got = read(m_out, buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(got));
        return text;
    }

    std::string readLine()
    {
        std::string line;
        char c;
        while (read(m_out, &c, 1) == 1 && c != '\n')
            line.push_back(c);
        return line;
    }
    // The exit code, or -1 when the helper did not exit normally.
    int wait()
    {
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_exited = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // True when the helper has exited (its code in `code`).
    bool tryWait(int& code)
    {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) != m_pid) return false;
        m_exited = true;
        code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return true;
    }
    void killNow()
    {
        kill(m_pid, SIGKILL);
        wait();
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    bool m_exited = false;
};

// Reads one record as the running copy would see it: header, then data.
std::vector<std::uint8_t> readRecord(const FUnixSocket& client)
{
    std::vector<std::uint8_t> bytes(FHandOverRecord::k_headerBytes);
    if (client.readExact(bytes.data(), bytes.size()) != FUnixSocket::Io::ok) return {};
    const std::uint32_t size = FHandOverRecord::getU32(bytes.data() + 4);
    if (size > FHandOverRecord::k_maxDataBytes) return bytes;
    bytes.resize(bytes.size() + size);
    if (client.readExact(bytes.data() + FHandOverRecord::k_headerBytes, size) != FUnixSocket::Io::ok)
        return {};
    return bytes;
}

void reply(const FUnixSocket& client, std::uint8_t value)
{
    const std::uint8_t bytes[4] = {value, 0, 0, 0};
    client.writeAll(bytes, sizeof bytes);
}

FRefT<FString> commandLine(const char* text)
{
    return makeSharedStringCopy(FString(text));
}
} // namespace

TEST(FSingleInstance, SecondCopySendsOneRecordAndEnds)
{
    const struct
    {
        std::vector<std::string> arguments;
        std::u16string text;
    } cases[] = {
        {{"/level:3", "\xC3\xA9t\xC3\xA9"}, u"/level:3 \u00e9t\u00e9"},
        {{}, u""},
    };
    const FInstanceNames names = FInstanceNames::fromEnvironment();
    for (const auto& c : cases) {
        FInstanceLock lock(names.lockPath);
        ASSERT_EQ(lock.tryAcquire(), FInstanceLock::Result::acquired);
        const FUnixSocket server = FUnixSocket::listenOn(names.socketName);
        ASSERT_TRUE(server.isValid());

        std::vector<std::string> arguments{"start"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        Helper second(arguments);
        ASSERT_TRUE(second.isRunning());
        const FUnixSocket client = server.accept(10000);
        ASSERT_TRUE(client.isValid());
        client.setTimeout(10000);
        EXPECT_EQ(readRecord(client), FHandOverRecord::encodeCommandLine(c.text));
        reply(client, 0);
        EXPECT_EQ(second.wait(), 0);
        // Headless (as every test runs), no window shows that it arrived: the
        // second copy says so.
        EXPECT_NE(second.readAll().find("The command line was handed over to the copy of the game that runs"),
                  std::string::npos);
        // Exactly one record.
        EXPECT_FALSE(server.accept(0).isValid());
    }
}

// A running copy that takes the record and never answers is given up after
// one reply time, not after one for each of the five attempts, and the
// second copy says why.
TEST(FSingleInstance, RunningCopyThatTakesTheRecordButNeverRepliesIsGivenUpSoon)
{
    const FInstanceNames names = FInstanceNames::fromEnvironment();
    FInstanceLock lock(names.lockPath);
    ASSERT_EQ(lock.tryAcquire(), FInstanceLock::Result::acquired);
    const FUnixSocket server = FUnixSocket::listenOn(names.socketName);
    ASSERT_TRUE(server.isValid());

    const auto start = std::chrono::steady_clock::now();
    Helper second({"start", "again"});
    const FUnixSocket client = server.accept(10000);
    ASSERT_TRUE(client.isValid());
    client.setTimeout(10000);
    EXPECT_EQ(readRecord(client), FHandOverRecord::encodeCommandLine(u"again"));
    EXPECT_EQ(second.wait(), k_handOverFailedExit);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_NE(second.readAll().find("the command line could not be handed to it: the running copy did not "
                                    "answer within 5 s"),
              std::string::npos);
    EXPECT_FALSE(server.accept(0).isValid()) << "no second attempt";
    EXPECT_LT(waited, std::chrono::milliseconds(2 * FHandOverSender::k_replyTimeoutMs));
}

TEST(FSingleInstance, RefusedHandOverIsRetriedFiveTimesThenGivenUp)
{
    const FInstanceNames names = FInstanceNames::fromEnvironment();
    FInstanceLock lock(names.lockPath);
    ASSERT_EQ(lock.tryAcquire(), FInstanceLock::Result::acquired);
    const FUnixSocket server = FUnixSocket::listenOn(names.socketName);
    ASSERT_TRUE(server.isValid());

    Helper second({"start", "again"});
    for (int attempt = 0; attempt < k_instanceAttempts; ++attempt) {
        const FUnixSocket client = server.accept(10000);
        ASSERT_TRUE(client.isValid()) << attempt;
        client.setTimeout(10000);
        EXPECT_EQ(readRecord(client), FHandOverRecord::encodeCommandLine(u"again")) << attempt;
        reply(client, 1);
    }
    // Gives up without running anything, and says so.
    EXPECT_EQ(second.wait(), k_handOverFailedExit);
    EXPECT_NE(second.readAll().find("the command line could not be handed to it: the running copy did not "
                                    "take the command line"),
              std::string::npos);
    EXPECT_FALSE(server.accept(0).isValid());
}

TEST(FSingleInstance, RunningCopyThatNeverAnswersIsGivenUpAfterAllLookUps)
{
    FInstanceLock lock(FInstanceNames::fromEnvironment().lockPath);
    ASSERT_EQ(lock.tryAcquire(), FInstanceLock::Result::acquired);
    // Locked, and no socket for the whole time: every attempt looks six times.
    const auto start = std::chrono::steady_clock::now();
    Helper second({"start"});
    EXPECT_EQ(second.wait(), k_handOverFailedExit);
    EXPECT_NE(second.readAll().find("no running copy answers on the hand-over socket"), std::string::npos);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited,
              std::chrono::milliseconds(k_instanceAttempts * FPlatformSpecificModuleSdl::k_instanceLookUps *
                                        FPlatformSpecificModuleSdl::k_instanceLookUpPauseMs));
}

// Another user who bound the name first never sees the command line.
TEST(FSingleInstance, CommandLineIsNotHandedToAnotherUser)
{
    const FInstanceNames names = FInstanceNames::fromEnvironment();
    FInstanceLock lock(names.lockPath);
    ASSERT_EQ(lock.tryAcquire(), FInstanceLock::Result::acquired);
    const FUnixSocket server = FUnixSocket::listenOn(names.socketName);
    ASSERT_TRUE(server.isValid());

    bool ran = false;
    const int code = runSingleInstance(
        commandLine("/secret"), [&](FRefT<FString>) { ran = true; },
        [](const FUnixSocket&, unsigned& uid) {
            uid = static_cast<unsigned>(getuid()) + 1;
            return true;
        });
    EXPECT_EQ(code, k_handOverFailedExit);
    EXPECT_FALSE(ran);
    // The copy connected, found a stranger and hung up without a byte.
    for (int attempt = 0; attempt < k_instanceAttempts; ++attempt) {
        const FUnixSocket client = server.accept(0);
        ASSERT_TRUE(client.isValid()) << attempt;
        std::uint8_t byte = 0;
        EXPECT_EQ(client.readExact(&byte, 1), FUnixSocket::Io::closed) << attempt;
    }
}

TEST(FSingleInstance, StartsWhenTheRunningCopyEndsMeanwhile)
{
    const FInstanceNames names = FInstanceNames::fromEnvironment();
    FInstanceLock lock(names.lockPath);
    ASSERT_EQ(lock.tryAcquire(), FInstanceLock::Result::acquired);
    // Locked, but no window (and so no socket) yet: the second copy keeps looking.
    Helper second({"start"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int code = -1;
    EXPECT_FALSE(second.tryWait(code));
    lock.release();
    EXPECT_EQ(second.wait(), k_helperRan);
}

TEST(FSingleInstance, KilledCopyLeavesNoStaleLock)
{
    Helper first({"hold-lock"});
    ASSERT_EQ(first.readLine(), "locked");
    first.killNow();

    bool ran = false;
    EXPECT_EQ(runSingleInstance(commandLine("x"),
                                [&](FRefT<FString> line) {
                                    ran = true;
                                    EXPECT_EQ(*line, u"x");
                                }),
              0);
    EXPECT_TRUE(ran);
}

TEST(FSingleInstance, FailedRunEndsWithOneAndFreesTheLock)
{
    EXPECT_EQ(runSingleInstance(commandLine(""), [](FRefT<FString>) { throw 42; }), 1);
    FInstanceLock lock(FInstanceNames::fromEnvironment().lockPath);
    EXPECT_EQ(lock.tryAcquire(), FInstanceLock::Result::acquired);
}

// The running copy takes command lines from the platform module's start on,
// with or without its window.
TEST(FSingleInstance, RunningCopyReceivesTheSecondCopysCommandLine)
{
    for (const bool withWindow : {true, false}) {
        SCOPED_TRACE(withWindow ? "with a window" : "without a window");
        CallLog log;
        int secondExit = -1;
        const int firstExit = runSingleInstance(commandLine("first"), [&](FRefT<FString>) {
            FApplication application;
            RecordingAppEvents appEvents(log);
            FakeWindowHost host;
            HiddenWindow window;
            FPlatformSpecificModuleSdl module;
            if (withWindow) module.attachWindow(window.window, &host);

            // Something else on this machine sends garbage first: dropped.
            {
                const FUnixSocket intruder =
                    FUnixSocket::connectTo(FInstanceNames::fromEnvironment().socketName);
                ASSERT_TRUE(intruder.isValid());
                const std::uint8_t garbage[] = {7, 0, 0, 0, 2, 0, 0, 0, 0, 0};
                intruder.writeAll(garbage, sizeof garbage);
            }
            Helper second({"start", "/level:3", "\xC3\xA9t\xC3\xA9"});
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!second.tryWait(secondExit) && std::chrono::steady_clock::now() < deadline) {
                module.pumpMessages(1);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            module.pumpMessages(1);
            module.attachWindow(nullptr, nullptr);
        });
        EXPECT_EQ(firstExit, 0);
        EXPECT_EQ(secondExit, 0);
        EXPECT_EQ(log, CallLog{"commandLineReceived /level:3 \xC3\xA9t\xC3\xA9"});
    }
}
