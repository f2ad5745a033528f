#include "engine/core/KernelTestSupport.h"

#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "core/FLocalizedMessages.h"
#include "core/FLogChannel.h"
#include "core/FLogListener.h"
#include "core/FStderrErrorHandler.h"
#include "core/FStringStream.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Restores the process-wide language after a test changes it.
class LanguageScope
{
public:
    explicit LanguageScope(int language) : m_previous(FLocalizedMessages::language())
    {
        FLocalizedMessages::setLanguage(language);
    }
    ~LanguageScope() { FLocalizedMessages::setLanguage(m_previous); }

private:
    int m_previous;
};

std::string locationOf(int line)
{
    return "tests/engine/core/FErrorMessageTest (" + std::to_string(line) + ")";
}

TEST(FErrorMessageTest, TextIsPreambleTechnicalTextAndLocation)
{
    RecordingErrorHandler handler;
    int line = 0;
    try {
        line = __LINE__ + 1;
        ZIBBO_FAIL(msgSystemError, "CreateSemaphore (NULL)");
    } catch (const FDebug::VellumcoreException&) {
    }
    ASSERT_EQ(handler.texts.size(), 1u);
    EXPECT_EQ(utf8(handler.texts[0]), "A system error occured. A system function returned an invalid "
                                      "result.\n\nCreateSemaphore (NULL)\n\n" +
                                          locationOf(line));
}

TEST(FErrorMessageTest, ReportWithoutPreamble)
{
    RecordingErrorHandler handler;
    int value = 7;
    int line = __LINE__ + 1;
    EXPECT_THROW(ZIBBO_FAIL_TEXT("gptr (" << value << ") <= egptr (" << 3 << ")"),
                 FDebug::VellumcoreException);
    ASSERT_EQ(handler.texts.size(), 1u);
    EXPECT_EQ(utf8(handler.texts[0]), "gptr (7) <= egptr (3)\n\n" + locationOf(line));
}

TEST(FErrorMessageTest, PreambleFollowsTheProcessLanguage)
{
    RecordingErrorHandler handler;
    LanguageScope french(1);
    try {
        ZIBBO_FAIL(msgFileMissing, "x");
    } catch (const FDebug::VellumcoreException& failure) {
        // The exception carries the low byte of each unit: the accented letters
        // arrive as Latin-1 bytes, the handler gets them intact.
        EXPECT_TRUE(
            std::string(failure.what()).starts_with("Un fichier requis par le logiciel est manquant."));
        EXPECT_NE(std::string(failure.what()).find("r\xE9parer"), std::string::npos);
    }
    ASSERT_EQ(handler.texts.size(), 1u);
    EXPECT_NE(utf8(handler.texts[0]).find("r\xC3\xA9parer l'installation"), std::string::npos);
}

TEST(FErrorMessageTest, FirstFailureTellsTheUserLaterOnesUnwindQuietly)
{
    RecordingErrorHandler handler(/*firstOnly=*/true);
    EXPECT_THROW(ZIBBO_FAIL_TEXT("first"), FDebug::VellumcoreException);
    try {
        ZIBBO_FAIL_TEXT("second");
        FAIL() << "no failure raised";
    } catch (const FDebug::VellumcoreException&) {
        FAIL() << "a second failure must not be reported as the first";
    } catch (const FDebug::TreatedException& treated) {
        EXPECT_STREQ(treated.what(), "");
    }
    EXPECT_EQ(handler.texts.size(), 2u);
}

TEST(FErrorMessageTest, ExceptionTextIsCutTo255Characters)
{
    RecordingErrorHandler handler;
    std::string longText(300, 'x');
    try {
        ZIBBO_FAIL_TEXT(longText);
    } catch (const FDebug::VellumcoreException& failure) {
        EXPECT_EQ(std::string(failure.what()), std::string(255, 'x'));
    }
    ASSERT_EQ(handler.texts.size(), 1u);
    EXPECT_GT(handler.texts[0].length(), 300u);
    EXPECT_EQ(handler.texts[0].view().substr(0, 300), std::u16string(300, u'x'));
}

TEST(FErrorMessageTest, ExceptionKindsDeriveAsCallersCatchThem)
{
    FDebug::VellumcoreException reported("text");
    const FDebug::wruntime_error& asWide = reported;
    const std::runtime_error& asRuntime = reported;
    EXPECT_STREQ(asWide.what(), "text");
    EXPECT_STREQ(asRuntime.what(), "text");
    FDebug::TreatedException treated;
    const std::runtime_error& treatedAsRuntime = treated;
    EXPECT_STREQ(treatedAsRuntime.what(), "");
}

class CountingListener : public FLogListener
{
public:
    using FLogListener::FLogListener;
    void logLine(const char*, const char*) override { ++lines; }
    int lines = 0;
};

TEST(FErrorMessageTest, WithAssertChannelOffNothingIsLogged)
{
    ASSERT_FALSE(k_logAssert.isOn());
    FApplication application;
    CountingListener listener(application.serviceSlot(k_slotDebugChannel));
    RecordingErrorHandler handler;
    EXPECT_THROW(ZIBBO_FAIL_TEXT("quiet"), FDebug::VellumcoreException);
    EXPECT_EQ(listener.lines, 0);
    EXPECT_EQ(handler.texts.size(), 1u);
}

TEST(FErrorHandlerTest, InstallReturnsThePreviousHandler)
{
    RecordingErrorHandler outer;
    {
        RecordingErrorHandler inner;
        EXPECT_EQ(&FErrorHandler::current(), &inner);
    }
    EXPECT_EQ(&FErrorHandler::current(), &outer);
}

TEST(FErrorHandlerTest, StandardErrorHandlerReportsOnlyTheFirstFailure)
{
    FStderrErrorHandler handler;
    testing::internal::CaptureStderr();
    bool first = handler.handleError(FString(u"first failure \x00E9"));
    bool second = handler.handleError(FString(u"second failure"));
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(first);
    EXPECT_FALSE(second);
    EXPECT_EQ(printed, "first failure \xC3\xA9\n");
}

struct LocationCase
{
    const char* file;
    int line;
    const char* text;
};

class SourceLocationText : public testing::TestWithParam<LocationCase>
{
};

TEST_P(SourceLocationText, EngineRelativePathWithoutExtension)
{
    FStringStream stream;
    stream << FSourceLocation{GetParam().file, GetParam().line};
    EXPECT_EQ(utf8(stream.str()), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Kernel, SourceLocationText,
                         testing::Values(LocationCase{"engine/core/FString.cpp", 31, "core/FString (31)"},
                                         LocationCase{"engine/io/FZipArchive.h", 7, "io/FZipArchive (7)"},
                                         LocationCase{"game/core/FGame.cpp", 12, "game/core/FGame (12)"},
                                         LocationCase{"a.dir/file", 2, "a.dir/file (2)"},
                                         LocationCase{"plain", 1, "plain (1)"}));

TEST(FLocalizedMessagesTest, LanguageIndexSelectsTheText)
{
    EXPECT_EQ(
        std::u16string(FLocalizedMessages::text(msgSystemError, 3)),
        u"Es ist ein Systemfehler aufgetreten. Ein Systemaufruf hat ein ung\x00FCltiges Ergebnis geliefert.");
    EXPECT_EQ(std::u16string(FLocalizedMessages::text(msgFileMissing, 2)).substr(0, 20),
              u"Falta uno de los arc");
    EXPECT_EQ(std::u16string(FLocalizedMessages::text(msgSoundInit, 4)).substr(0, 23),
              u"Impossibile inizializza");
    // Every message exists in every language.
    for (int key = 0; key < k_messageKeyCount; ++key) {
        for (int language = 0; language < FLocalizedMessages::k_languageCount; ++language) {
            EXPECT_GT(std::u16string_view(FLocalizedMessages::text(FMessageKey(key), language)).size(), 40u);
        }
        EXPECT_NE(std::u16string_view(FLocalizedMessages::text(FMessageKey(key), 0)),
                  std::u16string_view(FLocalizedMessages::text(FMessageKey(key), 1)));
    }
}

TEST(FLocalizedMessagesTest, LanguageOutOfRangeReadsEnglish)
{
    EXPECT_EQ(FLocalizedMessages::text(msgGraphicsInit, 9), FLocalizedMessages::text(msgGraphicsInit, 0));
    EXPECT_EQ(FLocalizedMessages::text(msgGraphicsInit, -1), FLocalizedMessages::text(msgGraphicsInit, 0));
    LanguageScope french(1);
    EXPECT_EQ(FLocalizedMessages::text(msgIllegalOperation),
              FLocalizedMessages::text(msgIllegalOperation, 1));
}

} // namespace
