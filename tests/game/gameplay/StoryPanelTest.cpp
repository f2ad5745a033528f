// The story panel: binding its parts, its fades in and out, and the centring
// that halves its scale once.
#include "game/gameplay/StoryPanel.h"

#include "game/widgets/VideoSprite.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"

#include <gtest/gtest.h>

namespace {

struct PanelFixture
{
    PanelFixture()
    {
        panel = makeRef(engineNew<StoryPanel>(k_memObject, &root, true));
        panel->setWidgetRect({150, 80, 650, 380});
        image = makeRef(engineNew<FImageWidget>(k_memObject, panel.get(), true));
        image->setWidgetRect({40, 20, 440, 260});
        first = makeRef(engineNew<VideoSprite>(k_memObject, panel.get(), true));
        second = makeRef(engineNew<VideoSprite>(k_memObject, panel.get(), true));
        caption = makeRef(engineNew<FLabel>(k_memObject, panel.get(), true));
        panel->setParts(image, first, second, caption);
    }
    // Advances the panel in frames of `step` ms.
    void run(int32_t ms, int32_t step = 50)
    {
        for (int32_t t = 0; t < ms; t += step)
            panel->update(step);
    }
    int32_t alphaOf(FWidget& widget) { return fadedAlpha(widget); }

    FContainer root;
    FRefT<StoryPanel> panel;
    FRefT<FImageWidget> image;
    FRefT<VideoSprite> first;
    FRefT<VideoSprite> second;
    FRefT<FLabel> caption;
};

TEST(StoryPanelTest, BindingHidesTheImagePartAndClearsEveryPart)
{
    PanelFixture f;
    EXPECT_FALSE(f.image->isVisible());
    EXPECT_EQ(f.alphaOf(*f.image), 0);
    EXPECT_EQ(f.alphaOf(*f.first), 0);
    EXPECT_EQ(f.alphaOf(*f.second), 0);
    EXPECT_EQ(fadedAlpha(*f.caption), 0);
    EXPECT_EQ(f.first->loops(), -1);
    EXPECT_EQ(f.second->loops(), -1);
    EXPECT_EQ(f.panel->boundRect(), (FRectI{150, 80, 650, 380}));
    EXPECT_FALSE(f.panel->isShown());
}

TEST(StoryPanelTest, ShowFadesThePartsInAfterTheirWaits)
{
    PanelFixture f;
    f.panel->setVisible(false);
    f.panel->show();
    EXPECT_TRUE(f.panel->isVisible());
    EXPECT_TRUE(f.panel->isShown());
    // The image part has no wait before the first hide.
    f.run(300);
    EXPECT_EQ(f.alphaOf(*f.image), 255);
    EXPECT_FALSE(f.image->isVisible());
    // The second sprite and the caption wait 500 ms, then fade over 300 ms.
    f.run(200);
    EXPECT_EQ(f.alphaOf(*f.second), 0);
    EXPECT_EQ(fadedAlpha(*f.caption), 0);
    f.run(150);
    EXPECT_GT(f.alphaOf(*f.second), 0);
    EXPECT_LT(f.alphaOf(*f.second), 255);
    f.run(150);
    EXPECT_EQ(f.alphaOf(*f.second), 255);
    EXPECT_EQ(fadedAlpha(*f.caption), 255);
    // The first sprite has no video: it is not faded in.
    EXPECT_EQ(f.alphaOf(*f.first), 0);
}

TEST(StoryPanelTest, HideIsAtOnceAndTheNextShowWaitsForTheImagePart)
{
    PanelFixture f;
    f.panel->show();
    f.run(800);
    f.panel->hide();
    EXPECT_FALSE(f.panel->isVisible());
    EXPECT_FALSE(f.panel->isShown());
    EXPECT_EQ(f.alphaOf(*f.image), 255);
    f.run(300);
    EXPECT_EQ(f.alphaOf(*f.second), 0);
    EXPECT_EQ(fadedAlpha(*f.caption), 0);
    // The image part's fade out waited 300 ms first.
    EXPECT_EQ(f.alphaOf(*f.image), 255);
    f.run(300);
    EXPECT_EQ(f.alphaOf(*f.image), 0);
    f.panel->show();
    f.run(300);
    EXPECT_EQ(f.alphaOf(*f.image), 0);
    f.run(300);
    EXPECT_EQ(f.alphaOf(*f.image), 255);
}

TEST(StoryPanelTest, CentreHalvesTheScaleOnceAndShowRestoresIt)
{
    PanelFixture f;
    f.panel->show();
    f.panel->centre();
    EXPECT_FLOAT_EQ(f.panel->scale().x, 0.5f);
    EXPECT_EQ(f.panel->getWidgetSize(), (FPointI{1000, 600}));
    EXPECT_EQ(f.panel->pivot(), (FPointI{250, 150}));
    // x = -(image left + image width / 8), y = image width / 4.
    EXPECT_EQ(f.panel->rect().left, -(40 + 400 / 8));
    EXPECT_EQ(f.panel->rect().top, 400 / 4);
    const FRectI centred = f.panel->rect();
    f.panel->centre();
    EXPECT_EQ(f.panel->rect(), centred);
    EXPECT_FLOAT_EQ(f.panel->scale().x, 0.5f);
    f.panel->hide();
    f.panel->show();
    EXPECT_FLOAT_EQ(f.panel->scale().x, 1.0f);
    EXPECT_EQ(f.panel->rect(), (FRectI{150, 80, 650, 380}));
}

} // namespace
