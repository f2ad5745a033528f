#include "platform/FHandOverRecord.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::uint8_t> bytesOf(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

void splitHeader(const std::vector<std::uint8_t>& record, std::uint8_t (&header)[8])
{
    for (int i = 0; i < 8; ++i)
        header[i] = record[i];
}
} // namespace

TEST(FHandOverRecord, CommandLineIsKindOneWithTerminatedUtf16)
{
    EXPECT_EQ(FHandOverRecord::encodeCommandLine(u"a\u00e9"),
              bytesOf({1, 0, 0, 0, 6, 0, 0, 0, 'a', 0, 0xe9, 0, 0, 0}));
    // An empty command line is a single zero unit.
    EXPECT_EQ(FHandOverRecord::encodeCommandLine(u""), bytesOf({1, 0, 0, 0, 2, 0, 0, 0, 0, 0}));
}

TEST(FHandOverRecord, EncodedRecordReadsBack)
{
    const std::u16string text = u"/level:3 \"C:\\a b\" \u4e2d";
    const std::vector<std::uint8_t> record = FHandOverRecord::encodeCommandLine(text);
    std::uint8_t header[8];
    splitHeader(record, header);
    FHandOverRecord parsed;
    ASSERT_EQ(FHandOverRecord::parseHeader(header, parsed), "");
    ASSERT_EQ(parsed.dataBytes, record.size() - 8);
    std::u16string back;
    ASSERT_EQ(FHandOverRecord::parseCommandLine({record.begin() + 8, record.end()}, back), "");
    EXPECT_EQ(back, text);
}

TEST(FHandOverRecord, HeaderChecks)
{
    struct Case
    {
        std::uint32_t kind;
        std::uint32_t size;
        bool accepted;
    };
    const Case cases[] = {
        {1, 2, true},
        {1, FHandOverRecord::k_maxDataBytes, true},
        {2, 2, false},
        {0, 2, false},
        {1, 0, false},
        {1, 3, false},
        {1, FHandOverRecord::k_maxDataBytes + 2, false},
        {1, 0xFFFFFFFEu, false},
    };
    for (const Case& c : cases) {
        std::uint8_t header[8];
        for (int i = 0; i < 4; ++i) {
            header[i] = static_cast<std::uint8_t>(c.kind >> (8 * i));
            header[4 + i] = static_cast<std::uint8_t>(c.size >> (8 * i));
        }
        FHandOverRecord parsed;
        EXPECT_EQ(FHandOverRecord::parseHeader(header, parsed).empty(), c.accepted)
            << "kind " << c.kind << " size " << c.size;
    }
}

TEST(FHandOverRecord, TextChecks)
{
    std::u16string text = u"untouched";
    EXPECT_NE(FHandOverRecord::parseCommandLine(bytesOf({'a', 0, 'b', 0}), text), "")
        << "no terminating zero";
    EXPECT_NE(FHandOverRecord::parseCommandLine(bytesOf({'a', 0, 0}), text), "") << "odd size";
    EXPECT_EQ(text, u"untouched");
    // The text ends at its first zero unit, as a zero-terminated text would.
    EXPECT_EQ(FHandOverRecord::parseCommandLine(bytesOf({'a', 0, 0, 0, 'b', 0, 0, 0}), text), "");
    EXPECT_EQ(text, u"a");
}
