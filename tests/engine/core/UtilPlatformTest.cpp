#include "RuntimeTestSupport.h"

#include "core/FApplication.h"
#include "core/FDebug.h"
#include "core/FErrorMessage.h"
#include "core/FSemaphore.h"
#include "core/FSystemLocale.h"
#include "core/FThreadAlert.h"
#include "core/FUtilPlatform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

TEST(UtilPlatformTest, ATimeOutIsCutIntoSlicesOf4096Ms)
{
    struct Case
    {
        uint32_t timeoutMs;
        uint32_t fullSlices;
        uint32_t lastSliceMs;
    };
    const Case cases[] = {
        {0, 0, 0},                      // one poll
        {100, 0, 100},    {8192, 2, 0}, // an exact multiple ends with a poll
        {10000, 2, 1808}, {FUtilPlatform::k_infinite, FUtilPlatform::k_infinite, 4096},
    };
    for (const Case& c : cases) {
        const FUtilPlatform::Slices slices = FUtilPlatform::slicesFor(c.timeoutMs);
        EXPECT_EQ(slices.fullSlices, c.fullSlices) << c.timeoutMs;
        EXPECT_EQ(slices.lastSliceMs, c.lastSliceMs) << c.timeoutMs;
    }
}

class WaitTest : public ::testing::Test
{
protected:
    ~WaitTest() override { drainQueuedCalls(); }

    FApplication m_application;
    FakeClock m_clock{m_application};
    RecordingMessageBox m_box;
    FUtilPlatform& m_util = *m_application.platformUtilities();
};

TEST_F(WaitTest, AWaitEndsSignalledOrTimedOut)
{
    FSemaphore semaphore;
    EXPECT_FALSE(m_util.waitAlertable(nullptr, 0));
    EXPECT_FALSE(m_util.waitAlertable(&semaphore, 0));
    EXPECT_FALSE(m_util.waitAlertable(&semaphore, 5));
    semaphore.release(2);
    m_clock.set(4321);
    EXPECT_TRUE(m_util.waitAlertable(&semaphore, 0));
    EXPECT_EQ(m_util.lastWakeMs(), 4321u);
    EXPECT_TRUE(m_util.waitAlertable(&semaphore, FUtilPlatform::k_infinite));
    EXPECT_EQ(semaphore.count(), 0u);
}

TEST_F(WaitTest, ACallQueuedForAWaitingThreadRunsOnIt)
{
    FSemaphore release;
    std::thread::id ranOn;
    std::shared_ptr<FThreadAlert> waiter;
    FSemaphore ready;
    std::thread thread([&] {
        waiter = FThreadAlert::current();
        ready.release();
        m_util.waitAlertable(&release, FUtilPlatform::k_infinite);
    });
    ASSERT_TRUE(m_util.waitAlertable(&ready, 5000));
    // Let the waiter settle into its wait: the call must wake it, not wait
    // for the end of its 4096 ms slice.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    FSemaphore ran;
    waiter->queueCall([&] {
        ranOn = std::this_thread::get_id();
        ran.release();
    });
    ASSERT_TRUE(m_util.waitAlertable(&ran, FUtilPlatform::k_sliceMs / 4));
    EXPECT_EQ(ranOn, thread.get_id());
    release.release();
    thread.join();
}

TEST_F(WaitTest, AQueuedCallThatThrowsUnwindsTheWaitingThread)
{
    FThreadAlert::current()->queueCall([] { throw FDebug::TreatedException(); });
    FSemaphore never;
    EXPECT_THROW(m_util.waitAlertable(&never, FUtilPlatform::k_infinite), FDebug::TreatedException);
    // The call ran once: the next wait is an ordinary one.
    EXPECT_FALSE(m_util.waitAlertable(&never, 0));
}

TEST_F(WaitTest, WhilePausedTimeDoesNotRunOutAndStoppingUnwinds)
{
    std::atomic<bool> returned{false};
    std::atomic<bool> unwound{false};
    FSemaphore boxOpen, closeBox;

    class BlockingBox : public FFatalMessageBox
    {
    public:
        BlockingBox(FSemaphore& open, FSemaphore& close) : m_open(open), m_close(close)
        {
            m_previous = FFatalMessageBox::install(this);
        }
        ~BlockingBox() override { FFatalMessageBox::install(m_previous); }
        void show(const FString&, const FString&) override
        {
            m_open.release();
            FUtilPlatform::waitPlain(m_close, FUtilPlatform::k_infinite);
        }

    private:
        FSemaphore& m_open;
        FSemaphore& m_close;
        FFatalMessageBox* m_previous;
    } box(boxOpen, closeBox);

    std::thread failing([&] { m_util.showFatalMessage("first"); });
    ASSERT_TRUE(FUtilPlatform::waitPlain(boxOpen, 5000));
    EXPECT_EQ(m_util.runState(), FUtilPlatform::k_paused);
    // A second failure while the message is up is not shown.
    EXPECT_FALSE(m_util.showFatalMessage("second"));

    std::thread waiting([&] {
        try {
            m_util.waitAlertable(nullptr, 100);
            returned = true;
        } catch (const FDebug::TreatedException&) {
            unwound = true;
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_FALSE(returned.load()); // a 100 ms wait is still waiting

    closeBox.release();
    failing.join();
    waiting.join();
    EXPECT_EQ(m_util.runState(), FUtilPlatform::k_stopping);
    EXPECT_TRUE(unwound.load());
    EXPECT_FALSE(returned.load());
    // From now on every wait unwinds before it waits.
    FSemaphore signalled(1);
    EXPECT_THROW(m_util.waitAlertable(&signalled, 0), FDebug::TreatedException);
    EXPECT_EQ(signalled.count(), 1u);
}

TEST_F(WaitTest, RaisedFailuresReachTheFatalMessageOnce)
{
    EXPECT_THROW(ZIBBO_FAIL_TEXT("first failure"), FDebug::VellumcoreException);
    EXPECT_THROW(ZIBBO_FAIL_TEXT("second failure"), FDebug::TreatedException);
    ASSERT_EQ(m_box.texts().size(), 1u);
    EXPECT_EQ(m_box.texts()[0].rfind("first failure", 0), 0u);
}

// A registry file in a folder of the test's own, found through
// XDG_CONFIG_DIRS.
class RegistryTest : public ::testing::Test
{
protected:
    RegistryTest()
    {
        m_folder = std::filesystem::temp_directory_path() /
                   ("zibbo-registry-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                    "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_folder / "Nuvant" / "Zibbo");
        const char* previous = std::getenv("XDG_CONFIG_DIRS");
        m_previous = previous ? previous : "";
        m_hadPrevious = previous != nullptr;
        setenv("XDG_CONFIG_DIRS", (m_folder.string() + ":/etc/xdg").c_str(), 1);
    }
    ~RegistryTest() override
    {
        if (m_hadPrevious)
            setenv("XDG_CONFIG_DIRS", m_previous.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_DIRS");
        std::filesystem::remove_all(m_folder);
    }
    void write(const std::string& content)
    {
        std::ofstream(m_folder / "Nuvant" / "Zibbo" / "registry.ini") << content;
    }

    std::filesystem::path m_folder;
    std::string m_previous;
    bool m_hadPrevious = false;
    FApplication m_application;
};

TEST_F(RegistryTest, TheInstalledLanguageComesFromTheFirstEditionFound)
{
    struct Case
    {
        const char* file;
        int language;
    };
    const Case cases[] = {
        {nullptr, 0},
        {"", 0},
        {"SOFTWARE\\Zobbo au Loin\\LANGUAGE=fr\n", 1},
        {"SOFTWARE\\Zobbo au Loin\\LANGUAGE=fr\nSOFTWARE\\Zibbo Far Afield\\LANGUAGE=en\n", 0},
        {"SOFTWARE\\Zebbo Far Afield\\LANGUAGE=\r\nsoftware\\zobbo au loin\\language=fr\r\n", 0},
        {"SOFTWARE\\Zobbo au Loin\\OTHER=fr\nnot a line\n", 0},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(m_folder / "Nuvant" / "Zibbo" / "registry.ini");
        if (c.file) write(c.file);
        EXPECT_EQ(FApplication::readInstalledLanguage(), c.language) << (c.file ? c.file : "(no file)");
    }
}

TEST_F(RegistryTest, AValueIsBoundedByTheReadBuffer)
{
    const std::string longValue(400, 'x');
    const std::string longName(257, 'n');
    write("SOFTWARE\\Edition\\SHORT=ok\nSOFTWARE\\Edition\\LONG=" + longValue + "\nSOFTWARE\\Edition\\" +
          longName + "=too long a name\n");
    FUtilPlatform& util = *m_application.platformUtilities();

    FRefT<FString> value = util.readRegistryString(FString("SOFTWARE\\Edition\\SHORT"));
    ASSERT_NE(value.get(), nullptr);
    EXPECT_EQ(value.get()->toUtf8(), "ok");

    value = util.readRegistryString(FString("SOFTWARE\\Edition\\LONG"));
    ASSERT_NE(value.get(), nullptr);
    EXPECT_EQ(value.get()->length(), FUtilPlatform::k_registryBufferUnits - 1);

    EXPECT_EQ(util.readRegistryString(FString(("SOFTWARE\\Edition\\" + longName).c_str())).get(), nullptr);
    EXPECT_EQ(util.readRegistryString(FString("SOFTWARE\\Edition\\MISSING")).get(), nullptr);
}

TEST(SystemLocaleTest, TheInterfaceLanguageComesFromTheLocaleName)
{
    struct Case
    {
        const char* name;
        int16_t language;
        int16_t variant;
    };
    const Case cases[] = {
        {"en_US.UTF-8", 0, 26},
        {"en", 0, 26},
        {"C", 0, 26},
        {"POSIX", 0, 26},
        {"", 0, 26},
        {nullptr, 0, 26},
        {"fr_CA.UTF-8", 1, -1},
        {"it_IT", 2, -1},
        {"de_DE@euro", 3, -1},
        {"es_ES.UTF-8", 4, -1},
        {"pt_BR.UTF-8", 0, -1},
        {"french", 0, -1},
    };
    for (const Case& c : cases) {
        FSystemLocale locale;
        localeFromName(c.name, locale);
        EXPECT_EQ(locale.language, c.language) << (c.name ? c.name : "(none)");
        EXPECT_EQ(locale.variant, c.variant) << (c.name ? c.name : "(none)");
        EXPECT_EQ(locale.value0, -1);
        EXPECT_EQ(locale.value5, -1);
    }
}

} // namespace
