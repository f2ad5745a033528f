// The menu button's caption follows the skinned template button it stands
// in front of, and the invisible button clicks like a button but draws
// nothing.
#include "engine/ui/SyntheticFont.h"

#include "game/widgets/AnimatedMenuButton.h"
#include "game/widgets/InvisibleButton.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "ui/FButton.h"
#include "ui/FLabel.h"
#include "ui/FSkin.h"

#include <gtest/gtest.h>

namespace {

class MenuCaptionTest : public FontWidgetFixture
{
protected:
    MenuCaptionTest()
    {
        screen.setWidgetRect({0, 0, 800, 600});
        registry.insertAsset(k_imageId, makeSolidImage(40, 20, 0xFF3060C0u));
        for (SkinState& state : data.states) {
            state.fontId = static_cast<int16_t>(k_fontId);
            state.imageId = static_cast<int16_t>(k_imageId);
        }
        skin = readSkin(data, registry);
    }

    static constexpr int32_t k_imageId = 11;
    SkinData data;
    FRefT<FSkin> skin;
    TestScreen screen;
};

TEST_F(MenuCaptionTest, CaptionTakesTheTemplateButtonsTextFontAndPlace)
{
    FRefT<FButton> templateButton(makeRef(engineNew<FButton>(k_memObject, &screen)));
    templateButton->setWidgetRect({100, 200, 300, 250});
    templateButton->setSkin(skin);
    templateButton->caption().setText(FString("Play"));

    AnimatedMenuButton button(&screen);
    FRefT<FLabel> caption(makeRef(engineNew<FLabel>(k_memObject, &button, true)));
    button.setup(caption, {}, {}, templateButton, nullptr, nullptr);
    button.fitLabelText();

    EXPECT_EQ(caption->text().toUtf8(), "Play");
    EXPECT_EQ(caption->font().get(), font.get()) << "the skin's normal font, as the label had none";
    EXPECT_EQ(caption->width(), 200);
    EXPECT_EQ(caption->height(), 50);
    // Raised by a tenth of its height above the button's top edge.
    EXPECT_EQ(caption->rect().left, 100);
    EXPECT_EQ(caption->rect().top, 200 - 5);
}

TEST_F(MenuCaptionTest, WithoutATemplateOrSkinTheCaptionIsLeftAlone)
{
    AnimatedMenuButton button(&screen);
    FRefT<FLabel> caption(makeRef(engineNew<FLabel>(k_memObject, &button, true)));
    caption->setText(FString("Own"));
    button.setup(caption, {}, {}, {}, nullptr, nullptr);
    button.fitLabelText();
    EXPECT_EQ(caption->text().toUtf8(), "Own");

    FRefT<FButton> bare(makeRef(engineNew<FButton>(k_memObject, &screen)));
    bare->caption().setText(FString("Other"));
    button.setup(caption, {}, {}, bare, nullptr, nullptr);
    button.fitLabelText();
    EXPECT_EQ(caption->text().toUtf8(), "Own");
}

TEST_F(MenuCaptionTest, InvisibleButtonClicksButDrawsNothing)
{
    InvisibleButton button(&screen, true);
    button.setWidgetRect({10, 10, 110, 50});
    button.setSkin(skin);
    int clicks = 0;
    struct Count final : FButton::ClickCallback
    {
        explicit Count(int* clicks) : clicks(clicks) {}
        void invoke(FButton&) override { ++*clicks; }
        FButton::ClickCallback* clone() const override { return engineNew<Count>(k_memObject, *this); }
        int* clicks;
    } count(&clicks);
    button.setOnClick(&count);
    button.onPointerDown(0, 8, {20, 20});
    button.onPointerUp(0, 8, {20, 20});
    EXPECT_EQ(clicks, 1);

    const int32_t before = buffer.recordCount();
    button.draw(context);
    EXPECT_EQ(buffer.recordCount(), before);
    // The same skin on a plain button does draw.
    FButton shown(&screen, true);
    shown.setWidgetRect({10, 10, 110, 50});
    shown.setSkin(skin);
    shown.draw(context);
    EXPECT_GT(buffer.recordCount(), before);
}

} // namespace
