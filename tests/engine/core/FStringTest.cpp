#include "engine/core/KernelTestSupport.h"

#include "core/FDebug.h"
#include "core/FLocalizedMessages.h"
#include "core/FString.h"
#include "core/FStringStream.h"

#include <gtest/gtest.h>

#include <clocale>
#include <regex>
#include <string>
#include <vector>

namespace {

struct DecodeCase
{
    std::string bytes;
    std::u16string units;
};

class Utf8Accepts : public testing::TestWithParam<DecodeCase>
{
};

TEST_P(Utf8Accepts, DecodesToUnits)
{
    RecordingErrorHandler handler;
    FString text(GetParam().bytes.c_str());
    EXPECT_EQ(text.view(), GetParam().units);
    EXPECT_EQ(text.c_str()[text.length()], u'\0');
    EXPECT_TRUE(handler.texts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kernel, Utf8Accepts,
    testing::Values(DecodeCase{"", u""}, DecodeCase{"abc", u"abc"}, DecodeCase{"\x7F", u"\x7F"},
                    DecodeCase{"\xC2\x80", u"\x0080"}, DecodeCase{"\xC3\xA9", u"\x00E9"},
                    DecodeCase{"\xDF\xBF", u"\x07FF"}, DecodeCase{"\xE0\xA0\x80", u"\x0800"},
                    DecodeCase{"\xE2\x82\xAC", u"\x20AC"}, DecodeCase{"\xED\x9F\xBF", u"\xD7FF"},
                    DecodeCase{"\xEE\x80\x80", u"\xE000"}, DecodeCase{"\xEF\xBF\xBF", u"\xFFFF"},
                    DecodeCase{"a\xC3\xA9\xE2\x82\xAC"
                               "b",
                               u"a\x00E9\x20AC"
                               "b"},
                    // More than the inline buffer holds.
                    DecodeCase{"0123456789abcdef\xC3\xA9", u"0123456789abcdef\x00E9"}));

struct RejectCase
{
    const char* name;
    std::string bytes;
    std::string message; // without the byte
    int byte;            // -1: the message stands alone
};

class Utf8Rejects : public testing::TestWithParam<RejectCase>
{
};

TEST_P(Utf8Rejects, RaisesFailureNamingMessageAndByte)
{
    const RejectCase& c = GetParam();
    RecordingErrorHandler handler;
    EXPECT_THROW(FString text(c.bytes.c_str()), FDebug::VellumcoreException);
    ASSERT_EQ(handler.texts.size(), 1u);

    std::string expected =
        utf8(FString(FLocalizedMessages::text(msgIllegalOperation, 0))) + "\n\n" + c.message;
    if (c.byte >= 0) {
        expected += std::to_string(c.byte) + ")";
    }
    std::string text = utf8(handler.texts[0]);
    ASSERT_EQ(text.substr(0, expected.size()), expected);
    EXPECT_TRUE(std::regex_match(text.substr(expected.size()), std::regex("\n\ncore/FString \\([0-9]+\\)")))
        << text.substr(expected.size());
}

INSTANTIATE_TEST_SUITE_P(
    Kernel, Utf8Rejects,
    testing::Values(
        // Bytes that can never lead a character (first pass).
        RejectCase{"LoneTail", "\x80", "UTF-8: !UTF8-char : UTF8-tail (", 128},
        RejectCase{"FourByteLead", "\xF0\x9F\x98\x80", "UTF8-4 (", 240},
        RejectCase{"LeadF5", "\xF5", "UTF-8 (", 245}, RejectCase{"LeadFF", "a\xFF", "UTF-8 (", 255},
        // The first pass steps over E2 82 to the tail byte A9.
        RejectCase{"TailAfterShortThreeByte", "\xE2\x82\xC3\xA9", "UTF-8: !UTF8-char : UTF8-tail (", 169},
        // Second pass.
        RejectCase{"OverlongE0", "\xE0\x80\x80", "UTF-8: overlong (e0 ", 128},
        RejectCase{"OverlongE0High", "\xE0\x9F\xBF", "UTF-8: overlong (e0 ", 159},
        RejectCase{"SurrogateLow", "\xED\xA0\x80", "UTF-8: overlong (ed ", 160},
        RejectCase{"SurrogateHigh", "\xED\xBF\xBF", "UTF-8: overlong (ed ", 191},
        RejectCase{"OverlongC0", "\xC0\xAF", "UTF-8: overlong (", 192},
        RejectCase{"OverlongC1", "\xC1\xBF", "UTF-8: overlong (", 193},
        RejectCase{"AsciiInsideSequence", "\xC3\x61", "UTF8-tail: UTF8-1 (", 97},
        RejectCase{"TwoByteLeadInsideSequence", "\xE2\xC3\xA9", "UTF8-tail: UTF8-2 (", 195},
        RejectCase{"ThreeByteLeadInsideSequence", "\xE2\xE2\x82", "UTF8-tail: UTF8-3 (", 226},
        RejectCase{"FourByteLeadHiddenFromFirstPass", "\xE2\xF0\x80", "UTF8-4 (", 240},
        RejectCase{"LeadF5HiddenFromFirstPass", "\xE2\xF5\x80", "UTF-8: (", 245},
        RejectCase{"EndsInsideTwoByte", "\x61\xC3", "UTF-8: supplementalBytes", -1},
        RejectCase{"EndsInsideThreeByte", "\xE2\x82", "UTF-8: supplementalBytes", -1}),
    [](const testing::TestParamInfo<RejectCase>& info) { return std::string(info.param.name); });

TEST(FStringUtf8, FailuresNameTheirOwnSourceLine)
{
    RecordingErrorHandler handler;
    EXPECT_THROW(FString("\xF0"), FDebug::VellumcoreException);
    EXPECT_THROW(FString("\xE2\xF0\x80"), FDebug::VellumcoreException);
    ASSERT_EQ(handler.texts.size(), 2u);
    std::smatch first;
    std::smatch second;
    std::string a = utf8(handler.texts[0]);
    std::string b = utf8(handler.texts[1]);
    ASSERT_TRUE(std::regex_search(a, first, std::regex("core/FString \\(([0-9]+)\\)$")));
    ASSERT_TRUE(std::regex_search(b, second, std::regex("core/FString \\(([0-9]+)\\)$")));
    EXPECT_NE(first[1].str(), second[1].str());
}

TEST(FStringUtf8, ExceptionCarriesTheFailureText)
{
    RecordingErrorHandler handler;
    try {
        FString text("\xC0\xAF");
        FAIL() << "no failure raised";
    } catch (const FDebug::VellumcoreException& failure) {
        ASSERT_EQ(handler.texts.size(), 1u);
        EXPECT_EQ(std::string(failure.what()), handler.texts[0].toLowBytes());
    }
}

TEST(FStringUtf8, FailedAssignKeepsTheOldText)
{
    RecordingErrorHandler handler;
    FString text("keep me");
    EXPECT_THROW(text.assignUtf8("ok\x80"), FDebug::VellumcoreException);
    EXPECT_EQ(text, u"keep me");
    text.assignUtf8("\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(text, u"\x00E9t\x00E9");
}

TEST(FStringStorage, FifteenUnitsStayInlineSixteenDoNot)
{
    FString fifteen(u"123456789012345");
    EXPECT_TRUE(fifteen.isInline());
    FString sixteen(u"1234567890123456");
    EXPECT_FALSE(sixteen.isInline());
    fifteen.pushBack(u'6');
    EXPECT_FALSE(fifteen.isInline());
    EXPECT_EQ(fifteen, sixteen);
}

TEST(FStringStorage, CopiesAndMovesKeepTheText)
{
    for (const char16_t* source : {u"short", u"a text longer than the inline buffer"}) {
        FString original(source);
        FString copy(original);
        FString moved(std::move(copy));
        EXPECT_EQ(moved, original);
        EXPECT_TRUE(copy.empty());
        FString assigned;
        assigned = original;
        EXPECT_EQ(assigned, original);
        FString moveAssigned(u"something else entirely, also long");
        moveAssigned = std::move(assigned);
        EXPECT_EQ(moveAssigned, original);
        EXPECT_EQ(moveAssigned.c_str()[moveAssigned.length()], u'\0');
    }
}

TEST(FStringStorage, AppendingItselfWhileGrowing)
{
    FString text(u"0123456789");
    text.append(text);
    EXPECT_EQ(text, u"01234567890123456789");
    text.append(text.begin() + 5, text.begin() + 15);
    EXPECT_EQ(text, u"012345678901234567895678901234");
    text.assign(text.begin() + 20, text.end());
    EXPECT_EQ(text, u"5678901234");
}

TEST(FStringConversions, AsciiLowBytesAndUtf8)
{
    FString text(u"ab\x00E9\x0141\x20AC");
    EXPECT_EQ(text.toAscii(), "ab---");
    EXPECT_EQ(text.toLowBytes(), std::string("ab\xE9\x41\xAC"));
    EXPECT_EQ(text.toUtf8(), "ab\xC3\xA9\xC5\x81\xE2\x82\xAC");
    EXPECT_EQ(FString(u"abc").toAscii(), "abc");
}

// Switches the process locale for one test.
class LocaleScope
{
public:
    explicit LocaleScope(const char* name) : m_previous(std::setlocale(LC_ALL, nullptr))
    {
        m_active = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleScope() { std::setlocale(LC_ALL, m_previous.c_str()); }
    bool active() const { return m_active; }

private:
    std::string m_previous;
    bool m_active = false;
};

TEST(FStringConversions, NarrowTextKeepsWholeMultiByteCharacters)
{
    LocaleScope locale("C.UTF-8");
    if (!locale.active()) {
        GTEST_SKIP() << "no C.UTF-8 locale";
    }
    // Three units that need six bytes: a buffer of length + 1 would cut them.
    FString text(u"\x00E9\x20AC"
                 "a");
    EXPECT_EQ(text.toNarrow(), "\xC3\xA9\xE2\x82\xAC"
                               "a");
}

TEST(FStringConversions, NarrowTextStopsBeforeWhatTheLocaleCannotWrite)
{
    LocaleScope locale("C");
    ASSERT_TRUE(locale.active());
    EXPECT_EQ(FString(u"ab\x20AC"
                      "cd")
                  .toNarrow(),
              "ab");
    EXPECT_EQ(FString(u"plain").toNarrow(), "plain");
}

struct SplitCase
{
    const char16_t* text;
    char16_t separator;
    bool firstOnly;
    std::vector<std::u16string> pieces;
    std::vector<int> positions;
};

class FStringSplit : public testing::TestWithParam<SplitCase>
{
};

TEST_P(FStringSplit, PiecesAndPositions)
{
    const SplitCase& c = GetParam();
    std::vector<int> positions{-1}; // appended to, not replaced
    std::vector<FString> pieces = FString(c.text).split(c.separator, c.firstOnly, positions);
    std::vector<std::u16string> got;
    for (const FString& piece : pieces) {
        got.emplace_back(piece.view());
    }
    EXPECT_EQ(got, c.pieces);
    std::vector<int> expected{-1};
    expected.insert(expected.end(), c.positions.begin(), c.positions.end());
    EXPECT_EQ(positions, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kernel, FStringSplit,
    testing::Values(SplitCase{u"", u' ', false, {}, {}}, SplitCase{u"", u'/', true, {}, {}},
                    SplitCase{u"a  b", u' ', false, {u"a", u"", u"b"}, {0, 2, 3}},
                    SplitCase{u" a", u' ', false, {u"", u"a"}, {0, 1}},
                    SplitCase{u"a ", u' ', false, {u"a"}, {0}},
                    SplitCase{u"one_two_three", u'_', false, {u"one", u"two", u"three"}, {0, 4, 8}},
                    SplitCase{u"host/path/x", u'/', true, {u"host", u"/path/x"}, {0, 4}},
                    SplitCase{u"host", u'/', true, {u"host", u""}, {0, 4}},
                    SplitCase{u"/x", u'/', true, {u"", u"/x"}, {0, 0}}));

struct ThousandsCase
{
    std::int32_t value;
    const char* text;
};

class FormatThousands : public testing::TestWithParam<ThousandsCase>
{
};

TEST_P(FormatThousands, GroupsDigitsByThree)
{
    char out[k_formatThousandsSize];
    std::fill(std::begin(out), std::end(out), '#');
    formatThousands(GetParam().value, out);
    EXPECT_STREQ(out, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Kernel, FormatThousands,
                         testing::Values(ThousandsCase{0, "0"}, ThousandsCase{7, "7"},
                                         ThousandsCase{999, "999"}, ThousandsCase{1000, "1,000"},
                                         ThousandsCase{1234, "1,234"}, ThousandsCase{999999, "999,999"},
                                         ThousandsCase{1000000, "1,000,000"},
                                         ThousandsCase{1234567, "1,234,567"},
                                         ThousandsCase{2147483647, "2,147,483,647"}, ThousandsCase{-5, ""},
                                         ThousandsCase{-2147483647 - 1, ""}));

TEST(FStringHandles, SharedCopyOutlivesTheOriginal)
{
    FRefT<FString> shared;
    {
        FString original(u"a text longer than sixteen units");
        shared = makeSharedStringCopy(original);
    }
    ASSERT_NE(shared.get(), nullptr);
    EXPECT_EQ(*shared, u"a text longer than sixteen units");
    FRefT<FString> second = shared;
    shared.release();
    EXPECT_EQ(*second, u"a text longer than sixteen units");
}

TEST(FStringStreamTest, ComposesTextAndNumbersIntoItsTarget)
{
    FString target(u"old");
    {
        FStringStream stream(target);
        stream << "_" << 12 << u' ' << -3 << ' ' << 4000000000u << FString(u"\x00E9") << u"!"
               << std::string("x") << true;
        EXPECT_EQ(target, u"old"); // assigned only when the stream ends
    }
    EXPECT_EQ(target, u"_12 -3 4000000000\x00E9!x1");
}

} // namespace
