#include "engine/ui/SyntheticFont.h"

#include "tools/contentwriters/WidgetRecordWriter.h"
#include "ui/FLabel.h"

#include <gtest/gtest.h>

namespace {

class LabelTest : public FontWidgetFixture
{
protected:
    // A visible label at (10, 20) 200 x 40 in the synthetic font.
    std::unique_ptr<FLabel> makeLabel(const char* text)
    {
        auto label = std::make_unique<FLabel>(nullptr, false);
        label->setWidgetRect({10, 20, 210, 60});
        label->setFont(font);
        label->setText(FString(text));
        return label;
    }
};

TEST_F(LabelTest, AutomaticOriginFollowsTheAlignments)
{
    struct Case
    {
        int32_t horizontal, vertical;
        FPointI origin;
    };
    const Case cases[] = {
        {0, 0, {16, 0}},   {1, 1, {16, 0}},   {2, 2, {100, 20}},
        {3, 3, {184, 20}}, {4, 4, {184, 40}}, {1, 5, {16, 40}},
    };
    auto label = makeLabel("ab");
    for (const Case& c : cases) {
        label->setHorizontalAlignment(c.horizontal);
        label->setVerticalAlignment(c.vertical);
        ASSERT_EQ(label->runs().size(), 1u);
        EXPECT_EQ(label->runs()[0].position, c.origin) << c.horizontal << ", " << c.vertical;
    }
    label->setOrigin(5, 7);
    EXPECT_EQ(label->runs()[0].position, (FPointI{5, 7}));
    label->resetOrigin();
    EXPECT_EQ(label->runs()[0].position, (FPointI{16, 40}));
}

TEST_F(LabelTest, RightAlignedTextEndsSixteenPixelsInside)
{
    auto label = makeLabel("ab");
    label->setHorizontalAlignment(3);
    label->draw(context);
    const auto glyphs = glyphsDrawn();
    ASSERT_EQ(glyphs.size(), 2u);
    // Width 17 ending at 10 + 200 - 16.
    EXPECT_EQ(glyphs[0].first, 194.0f - 17.0f);
}

TEST_F(LabelTest, ShadowDrawsEachLineFirstInTheShadowColour)
{
    auto label = makeLabel("ab");
    label->setShadowDelta(2, 2);
    label->draw(context);
    const auto glyphs = glyphsDrawn();
    ASSERT_EQ(glyphs.size(), 4u);
    EXPECT_EQ(glyphs[0], std::make_pair(28.0f, 0xFF000000u));
    EXPECT_EQ(glyphs[2], std::make_pair(26.0f, 0xFFFFFFFFu));
}

TEST_F(LabelTest, VisibleCharactersLimitTheGlyphsCountingShadowRuns)
{
    struct Case
    {
        int32_t visible;
        bool shadow;
        std::size_t drawn;
    };
    const Case cases[] = {{5, false, 5}, {0, false, 0}, {100, false, 11}, {13, true, 13}, {11, true, 11}};
    for (const Case& c : cases) {
        auto label = makeLabel("abcdeabcdea");
        label->setVisibleCharacters(c.visible);
        if (c.shadow) label->setShadowDelta(1, 1);
        device.draws.clear();
        context.beginFrame(buffer);
        label->draw(context);
        EXPECT_EQ(glyphsDrawn().size(), c.drawn) << c.visible << (c.shadow ? " with shadow" : "");
    }
}

TEST_F(LabelTest, WordWrapWithAutoHeightSizesTheLabelToItsLines)
{
    auto label = makeLabel("aaa bbb ccc");
    label->setWidgetWidth(45);
    label->setAutoHeight(true);
    label->enableWordWrap();
    ASSERT_EQ(label->lineCount(), 3u);
    EXPECT_EQ(label->lineHeight(), 26);
    EXPECT_EQ(label->height(), 78);
    ASSERT_EQ(label->runs().size(), 3u);
    EXPECT_EQ(label->runs()[0].position.y, 0) << "the block is centred on the middle";
    EXPECT_EQ(label->runs()[1].position.y, 26);
    EXPECT_EQ(label->runs()[2].lineOffset, 8);
    EXPECT_EQ(label->getLine(1), FString("bbb"));
    EXPECT_TRUE(label->getLine(3).empty());
    EXPECT_TRUE(label->getLine(-1).empty());
    EXPECT_EQ(label->measureText(), (FPointI{30, 78}));
}

TEST_F(LabelTest, WrappedLinesCarryTheColourEscapesOn)
{
    auto label = makeLabel("aaa \\C2\\bbb ccc");
    label->setWidgetSize(45, 100);
    label->setVerticalAlignment(1);
    label->enableWordWrap();
    ASSERT_EQ(label->runs().size(), 3u);
    EXPECT_EQ(label->getLine(1), FString("\\C2\\bbb"));
    EXPECT_EQ(label->runs()[1].line.colourIndex, 0);
    EXPECT_EQ(label->runs()[2].line.colourIndex, 2) << "the third line starts in the colour the second left";
    label->setWidgetHeight(52);
    EXPECT_EQ(label->runs().size(), 2u) << "a line starting at the bottom is not laid out";
}

TEST_F(LabelTest, HiddenLabelNeitherLaysOutNorLoadsItsFont)
{
    auto label = std::make_unique<FLabel>(nullptr, false);
    label->setWidgetRect({0, 0, 100, 40});
    const int32_t users = font->users();
    label->setVisible(false);
    label->setFont(font);
    label->setText(FString("ab"));
    EXPECT_TRUE(label->runs().empty());
    EXPECT_EQ(font->users(), users);
    label->setVisible(true);
    EXPECT_EQ(label->runs().size(), 1u);
    EXPECT_EQ(font->users(), users + 1);
    label.reset();
    EXPECT_EQ(font->users(), users);
}

TEST_F(LabelTest, CharacterUnderAPoint)
{
    auto label = makeLabel("abc");
    label->setOrigin(0, 30); // glyphs at 0, 7, 17; width 27; rows 10 .. 36
    struct Case
    {
        int32_t x, y, character;
    };
    const Case cases[] = {
        {-1, 25, -1}, {0, 25, 0},  {3, 25, 0}, {5, 25, 1}, {16, 25, 2},
        {20, 25, 2},  {25, 25, 3}, {5, 9, -1}, {5, 10, 1}, {5, 36, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(label->characterAt({10 + c.x, 20 + c.y}), c.character) << c.x << ", " << c.y;
    EXPECT_EQ(makeLabel("")->characterAt({15, 45}), -1);
}

TEST_F(LabelTest, CaretRectangles)
{
    auto label = makeLabel("abc");
    label->setOrigin(0, 30);
    const FRectI expected[] = {{10, 30, 17, 56}, {17, 30, 27, 56}, {27, 30, 37, 56}, {37, 30, 38, 56}};
    for (int32_t offset = 0; offset < 4; ++offset)
        EXPECT_EQ(label->caretRect(offset), expected[offset]) << offset;
    EXPECT_EQ(makeLabel("")->caretRect(0), (FRectI{10, 20, 11, 60}));
}

TEST_F(LabelTest, RecordRoundTrip)
{
    FString* text = engineNew<FString>(k_memObject, "abc");
    registry.storeText(7, makeRef(text));
    LabelRecord record;
    record.widget = {3, 4, 120, 30, 0, 1};
    record.fontId = k_fontId;
    record.textId = 7;
    record.horizontalAlignment = 2;
    record.verticalAlignment = 1;
    record.originX = -5;
    record.originY = 6;
    record.red = 0x12;
    record.green = 0x34;
    record.blue = 0x56;
    record.wordWrap = 1;
    std::vector<int32_t> ids;
    FLabel label(nullptr, false);
    FRefT<FInStream> stream = streamOver(writeLabelRecord(record));
    label.load(*stream.get(), registry, ids);
    EXPECT_EQ(stream->remaining(), 0);
    EXPECT_EQ(label.rect(), (FRectI{3, 4, 123, 34}));
    EXPECT_EQ(label.font().get(), font.get());
    EXPECT_EQ(label.text(), FString("abc"));
    EXPECT_EQ(label.horizontalAlignment(), 2);
    EXPECT_EQ(label.verticalAlignment(), 1);
    EXPECT_EQ(label.origin(), (FPointI{-5, 6}));
    EXPECT_EQ(label.colourTable()[0], 0xFF123456u);
    EXPECT_TRUE(label.wordWrap());
    EXPECT_EQ(label.lineCount(), 1u);

    // Zero ids keep the font and empty the text; other wrap values are off.
    record.fontId = 0;
    record.textId = 0;
    record.wordWrap = 2;
    stream = streamOver(writeLabelRecord(record));
    label.load(*stream.get(), registry, ids);
    EXPECT_EQ(label.font().get(), font.get());
    EXPECT_TRUE(label.text().empty());
    EXPECT_FALSE(label.wordWrap());
    EXPECT_EQ(label.describe().substr(label.describe().size() - 3), " | ");
}

} // namespace
