#include "engine/ui/SyntheticFont.h"
#include "game/LevelFixture.h"

#include "game/widgets/EffectSprite.h"
#include "game/widgets/HintBadgeHost.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "image/FImage.h"
#include "ui/FScreen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A gameplay screen stand-in over a level in play, with the badge in a panel.
class BadgeScreen : public FScreen, public HintBadgeHost
{
public:
    BadgeScreen() : level({quest()}, {})
    {
        setWidgetRect({0, 0, 800, 600});
        level.start(1);
    }
    static GameDataText::QuestText quest()
    {
        GameDataText::QuestText q;
        q.tasks = {0};
        return q;
    }
    void reloadTexts(int32_t) override {}
    GameSession* getGameSession() override { return &level.session; }
    FRefT<FFont> getCounterFont() override { return font; }
    FRefT<FImage> getBadgeSparkleImage() override { return sparkle; }

    LevelFixture level;
    FRefT<FFont> font;
    FRefT<FImage> sparkle = makeRef(engineNew<FImage>(k_memObject));
};

// Digits of the synthetic font are 10 pixels wide.
class EffectSpriteTest : public FontFixture
{
protected:
    EffectSpriteTest()
    {
        load();
        screen.font = FRefT<FFont>(handle);
        panel->setWidgetRect({100, 500, 400, 600});
        badge.setWidgetRect({30, 10, 90, 70});
        badge.setup();
    }
    void setHints(int32_t hints)
    {
        screen.level.session.getSearchListGenerator()->hintCounter().hints = hints;
    }

    BadgeScreen screen;
    FRefT<FContainer> panel = makeRef(engineNew<FContainer>(k_memObject, &screen, true));
    EffectSprite badge{panel.get()};
};

TEST_F(EffectSpriteTest, SetupPlacesTheDigitAndItsSparkleLayer)
{
    ASSERT_EQ(panel->children().size(), 2u);
    EXPECT_EQ(panel->children()[1], &badge.digitLabel());
    EXPECT_EQ(badge.digitLabel().text(), FString("0"));
    EXPECT_EQ(badge.digitLabel().rect().left, 0);
    EXPECT_EQ(badge.digitLabel().rect().top, 30);
    ASSERT_NE(badge.particleGroup(), nullptr);
    EXPECT_EQ(badge.particleGroup()->layer()->parent(), &screen);
    EXPECT_EQ(badge.particleGroup()->capacity(), 32);
    badge.setVisible(false);
    EXPECT_FALSE(badge.digitLabel().isVisible());
}

TEST_F(EffectSpriteTest, TheDigitFollowsTheHintCountAndEveryLaterChangeBursts)
{
    struct Frame
    {
        int32_t hints;
        const char* text;
        bool burst;
    };
    const Frame frames[] = {
        {3, "3", false}, // the first value seen never bursts
        {3, "3", false}, {4, "4", true}, {2, "2", true},  {12, "9", true},
        {9, "9", true},  {0, "0", true}, {-1, "0", true},
    };
    ParticleEmitter* last = nullptr;
    for (const Frame& f : frames) {
        SCOPED_TRACE(f.hints);
        setHints(f.hints);
        badge.update(20);
        EXPECT_EQ(badge.shownValue(), f.hints);
        EXPECT_EQ(badge.digitLabel().text(), FString(f.text));
        EXPECT_EQ(badge.burstEmitter() != last, f.burst);
        last = badge.burstEmitter();
    }
}

TEST_F(EffectSpriteTest, ABurstStartsOverTheDigitInTheLayerSpace)
{
    setHints(1);
    badge.update(20);
    setHints(2);
    badge.update(20);
    ParticleEmitter* burst = badge.burstEmitter();
    ASSERT_NE(burst, nullptr);
    // Two thirds into the digit, in the space of the layer over the panel.
    EXPECT_EQ(badge.digitLabel().font().get(), screen.font.get());
    const FPointI text = badge.digitLabel().measureText();
    ASSERT_EQ(text.x, 10);
    EXPECT_EQ(burst->startX, 100 + 0 + 6);
    EXPECT_EQ(burst->startY, 500 + 30);
    EXPECT_EQ(burst->spreadWidth, 10);
    EXPECT_EQ(burst->spreadHeight, text.y);
    EXPECT_EQ(burst->type(), ParticleEmitter::k_point);
    EXPECT_EQ(burst->sizeGrowth, 8);
    EXPECT_TRUE(burst->isMoving());
    // The sparkles stay above what the screen holds.
    FRefT<FContainer> later = makeRef(engineNew<FContainer>(k_memObject, &screen, true));
    badge.update(20);
    EXPECT_EQ(screen.children().back(), badge.particleGroup()->layer());
}

TEST_F(EffectSpriteTest, WithoutALevelInPlayTheBadgeKeepsItsValue)
{
    setHints(5);
    badge.update(20);
    screen.level.session.setMode(1);
    setHints(7);
    badge.update(20);
    EXPECT_EQ(badge.shownValue(), 5);
    EXPECT_EQ(badge.digitLabel().text(), FString("5"));
}

} // namespace
