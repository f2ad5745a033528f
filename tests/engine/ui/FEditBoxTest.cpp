#include "engine/ui/SyntheticFont.h"

#include "core/FKeyCode.h"
#include "tools/contentwriters/WidgetRecordWriter.h"
#include "ui/FEditBox.h"

#include <gtest/gtest.h>

namespace {

class EditBoxTest : public FontWidgetFixture
{
protected:
    EditBoxTest()
    {
        box.setWidgetRect({0, 0, 200, 40});
        box.setFont(font);
        box.setHorizontalAlignment(1);
        box.setOrigin(0, 30);
    }

    FEditBox box{nullptr, false};
};

struct Listeners
{
    void onChanged(FEditBox&, const FString& before, const FString& after)
    {
        changes.push_back(before.toUtf8() + ">" + after.toUtf8());
    }
    void onEnter(FEditBox&, const FString& text) { entered.push_back(text.toUtf8()); }

    std::vector<std::string> changes;
    std::vector<std::string> entered;
};

struct KeyCase
{
    const char* text;
    int32_t anchor, caret;
    int32_t maxLength;
    const char* allowed;
    uint32_t key;
    const char* after;
    int32_t caretAfter;
    bool rebuilt;
};

TEST_F(EditBoxTest, KeyTable)
{
    const KeyCase cases[] = {
        {"abc", 1, 1, 0, "", FKeyCode::k_left, "abc", 0, false},
        {"abc", 0, 0, 0, "", FKeyCode::k_left, "abc", 0, false},
        {"abc", 3, 3, 0, "", FKeyCode::k_right, "abc", 3, false},
        {"abc", 0, 2, 0, "", FKeyCode::k_right, "abc", 3, false},
        {"abc", 2, 2, 0, "", FKeyCode::k_backspace, "ac", 1, true},
        {"abc", 0, 0, 0, "", FKeyCode::k_backspace, "abc", 0, false},
        {"abcde", 1, 3, 0, "", FKeyCode::k_backspace, "ade", 1, true},
        {"abc", 1, 1, 0, "", FKeyCode::k_delete, "ac", 1, true},
        {"abc", 3, 3, 0, "", FKeyCode::k_delete, "abc", 3, true},
        {"abcde", 4, 1, 0, "", FKeyCode::k_delete, "ae", 1, true},
        {"abc", 1, 1, 0, "", u'x', "axbc", 2, true},
        {"abcde", 1, 4, 0, "", u'x', "axe", 2, true},
        {"abc", 3, 3, 0, "", u'\\', "abc\\", 4, true},
        {"abcdefg", 7, 7, 7, "", u'x', "abcdefg", 7, false},
        {"abcdef", 6, 6, 7, "", u'x', "abcdefx", 7, true},
        {"abc", 3, 3, 0, "0123456789", u'x', "abc", 3, false},
        {"abc", 3, 3, 0, "0123456789", u'7', "abc7", 4, true},
        {"abc", 3, 3, 0, "", FKeyCode::k_enter, "abc", 3, false},
        {"abc", 3, 3, 0, "", FKeyCode::k_f1, "abc", 3, false},
        // A caret left beyond a replaced text is clamped first.
        {"abc", 9, 9, 0, "", u'x', "abcx", 4, true},
        {"abc", 9, 9, 0, "", FKeyCode::k_left, "abc", 2, false},
    };
    for (const KeyCase& c : cases) {
        box.setText(FString(c.text));
        box.setSelection(c.anchor, c.caret);
        box.setMaxLength(c.maxLength);
        box.setAllowedChars(FString(c.allowed));
        EXPECT_EQ(box.handleKey(c.key), c.rebuilt) << c.text << " key " << c.key;
        EXPECT_EQ(box.text(), FString(c.after)) << c.text << " key " << c.key;
        EXPECT_EQ(box.caret(), c.caretAfter) << c.text << " key " << c.key;
        EXPECT_EQ(box.anchor(), c.caretAfter) << c.text << " key " << c.key;
        EXPECT_TRUE(box.caretVisible()) << "every handled key restarts the blink";
    }
}

TEST_F(EditBoxTest, IgnoredKeysLeaveTheBoxUntouched)
{
    box.setText(FString("abc"));
    box.setSelection(1, 2);
    for (uint32_t key :
         {0u, 0xE00Cu, 0xE00Du, 0xE00Eu, 0xE005u, 0xE006u, 0xE007u, 0xE008u, 0xE002u, 0xE021u}) {
        EXPECT_FALSE(box.handleKey(key)) << key;
        EXPECT_EQ(box.text(), FString("abc"));
        EXPECT_EQ(box.anchor(), 1);
        EXPECT_EQ(box.caret(), 2);
        EXPECT_FALSE(box.caretVisible()) << "not even the blink restarts";
    }
}

TEST_F(EditBoxTest, WidthLimitMeasuresTheCandidate)
{
    box.setMaxLength(FEditBox::k_limitedByWidth);
    // Each character is 10 wide; 185 pixels hold 18.
    for (int i = 0; i < 25; ++i)
        box.handleKey(u'c');
    EXPECT_EQ(box.text().length(), 18u);
}

TEST_F(EditBoxTest, WidthLimitTakesATextOfExactlyTheBoxWidthLessFifteen)
{
    // Characters are 10 wide: a box of 195 takes a text of exactly 180.
    struct Case
    {
        int32_t boxWidth;
        std::size_t accepted;
    } const cases[] = {{195, 18}, {194, 17}, {196, 18}, {205, 19}, {204, 18}, {15, 0}};
    for (const Case& c : cases) {
        FEditBox edit(nullptr, false);
        edit.setWidgetRect({0, 0, c.boxWidth, 40});
        edit.setFont(font);
        edit.setMaxLength(FEditBox::k_limitedByWidth);
        for (int i = 0; i < 25; ++i)
            edit.handleKey(u'c');
        EXPECT_EQ(edit.text().length(), c.accepted) << c.boxWidth;
    }
}

TEST_F(EditBoxTest, TypedBackslashesShowAsTheyAre)
{
    for (char16_t c : std::u16string_view(u"\\C9\\x\\"))
        box.handleKey(c);
    EXPECT_EQ(box.text(), FString("\\C9\\x\\"));
    ASSERT_EQ(box.runs().size(), 1u);
    EXPECT_EQ(box.runs()[0].line.glyphs.size(), 6u);
    EXPECT_EQ(box.caretRect(6).left, 60);
}

TEST_F(EditBoxTest, ListenersHearChangesAndEnter)
{
    Listeners heard;
    auto* changed = makeObjectDelegate(&heard, &Listeners::onChanged);
    auto* enter = makeObjectDelegate(&heard, &Listeners::onEnter);
    box.addTextChangedListener(*changed);
    box.addEnterListener(*enter);
    engineFree(changed);
    engineFree(enter);
    box.handleKey(u'a');
    box.handleKey(FKeyCode::k_backspace);
    box.handleKey(FKeyCode::k_backspace);
    box.setText(FString(""));
    box.handleKey(u'b');
    box.handleKey(FKeyCode::k_enter);
    EXPECT_EQ(heard.changes, (std::vector<std::string>{">a", "a>", ">b"}));
    EXPECT_EQ(heard.entered, (std::vector<std::string>{"b"}));
}

TEST_F(EditBoxTest, CaretBlinksWhileFocused)
{
    box.blinkCaret(1000);
    EXPECT_FALSE(box.caretVisible());
    box.setFocused(true);
    EXPECT_TRUE(box.caretVisible());
    box.blinkCaret(660);
    EXPECT_TRUE(box.caretVisible());
    box.blinkCaret(1);
    EXPECT_FALSE(box.caretVisible());
    box.blinkCaret(660);
    EXPECT_FALSE(box.caretVisible());
    box.blinkCaret(1);
    EXPECT_TRUE(box.caretVisible());
    box.setFocused(false);
    EXPECT_FALSE(box.caretVisible());
}

TEST_F(EditBoxTest, DraggingSelectsBackwards)
{
    box.setText(FString("cccccccc")); // glyph x 0, 10, 20 ...
    box.onPointerDown(0, 1, {51, 20});
    box.onPointerMove(0, {21, 20});
    EXPECT_EQ(box.anchor(), 5);
    EXPECT_EQ(box.caret(), 2);
    box.onPointerUp(0, 1, {21, 20});
    box.onPointerMove(0, {71, 20});
    EXPECT_EQ(box.caret(), 2) << "no selecting after the release";
}

TEST_F(EditBoxTest, SelectionHighlightsBeforeTheText)
{
    box.setText(FString("cccc"));
    box.setSelection(1, 3);
    box.setSelectionColour(0x80FF0000u);
    box.draw(context);
    buffer.replay(device, *textures);
    ASSERT_GE(device.draws.size(), 2u);
    ASSERT_FALSE(device.draws[0].coloured.empty());
    float left = 1e9f, right = -1e9f;
    for (const auto& v : device.draws[0].coloured) {
        left = std::min(left, v.x);
        right = std::max(right, v.x);
        EXPECT_EQ(v.colour, 0x80FF0000u);
    }
    EXPECT_EQ(left, 10.0f);
    EXPECT_EQ(right, 30.0f);
}

TEST_F(EditBoxTest, RecordRoundTrip)
{
    EditBoxRecord record;
    record.label.widget = {3, 4, 120, 30, 0, 1};
    record.label.fontId = k_fontId;
    record.label.originX = 12;
    record.selectionBlue = 1;
    record.selectionGreen = 2;
    record.selectionRed = 3;
    record.selectionAlpha = 4;
    record.previous = 77;
    record.next = 88;
    std::vector<int32_t> ids;
    FEditBox loaded(nullptr, false);
    FRefT<FInStream> stream = streamOver(writeEditBoxRecord(record));
    loaded.load(*stream.get(), registry, ids);
    EXPECT_EQ(stream->remaining(), 0);
    EXPECT_EQ(loaded.rect(), (FRectI{3, 4, 123, 34}));
    EXPECT_EQ(loaded.font().get(), font.get());
    EXPECT_EQ(loaded.selectionColour(), 0x04030201u);
    EXPECT_EQ(loaded.origin().x, FLabel::k_automaticOrigin) << "the origin goes back to automatic";
    EXPECT_EQ(loaded.neighbourId(FKeyCode::k_shiftTab), 77);
    EXPECT_EQ(loaded.neighbourId(FKeyCode::k_tab), 88);
}

} // namespace
