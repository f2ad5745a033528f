#include "engine/core/KernelTestSupport.h"
#include "engine/ui/UiTestSupport.h"

#include "asset/FScreenRegistry.h"
#include "core/FDebug.h"
#include "game/core/ScreenKind.h"
#include "game/factories/GameWidgetFactory.h"
#include "game/factories/ScreenFactory.h"
#include "game/gameplay/HudPanel.h"
#include "game/gameplay/StoryPanel.h"
#include "game/widgets/AwardsViewport.h"
#include "game/widgets/EffectSprite.h"
#include "game/widgets/FactoryContainerWidget.h"
#include "game/widgets/FadeSwapWidget.h"
#include "game/widgets/FlashSprite.h"
#include "game/widgets/GameEditBox.h"
#include "game/widgets/MapView.h"
#include "game/widgets/QueuedVideoSprite.h"
#include "tools/contentwriters/WidgetRecordWriter.h"
#include "ui/FEditBox.h"
#include "ui/FScreen.h"
#include "ui/FWidgetFactory.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// The text of the failure report `run` raises, or "" when it raises none.
template <class Run> std::string failureOf(Run run)
{
    RecordingErrorHandler handler;
    try {
        run();
    } catch (const FDebug::VellumcoreException&) {
        return handler.texts.empty() ? std::string("(no text)") : handler.texts.front().toUtf8();
    }
    return "";
}

TEST(GameFactoriesTest, EveryScreenKindIsRefusedByNameUntilItsScreenExists)
{
    // Kinds whose screens exist; the front-end, world map and story mode tests
    // build them.
    const std::set<std::int32_t> built = {
        k_introScreen,    k_introSlidesScreen, k_clickToContinueScreen, k_introAnimationScreen,
        k_loadingScreen,  k_splashScreen,      k_worldMapScreen,        k_mainMenuScreen,
        k_profileScreen,  k_nameEntryScreen,   k_avatarSelectScreen,    k_profileMenuScreen,
        k_gameModeScreen, k_legalScreen,       k_textSequenceScreen,    k_animationScreen,
        k_storyModeScreen};
    for (std::int32_t kind = 0; kind < k_screenKindCount; ++kind) {
        if (built.count(kind) != 0) continue;
        const std::string failure = failureOf([kind] { createScreen(kind); });
        const std::string expected =
            "screen kind " + std::to_string(kind) + " (" + screenClassName(kind) + ") is not built yet";
        EXPECT_NE(failure.find(expected), std::string::npos) << failure;
    }
    EXPECT_EQ(std::string(screenClassName(k_clickToContinueScreen)), "ClickToContinueScreen");
    EXPECT_EQ(std::string(screenClassName(k_splashScreen)), "ZibboSplashScreen");
    for (std::int32_t kind : {-1, 17, 1000}) {
        const std::string failure = failureOf([kind] { createScreen(kind); });
        EXPECT_NE(failure.find("screen kind " + std::to_string(kind) + " is unknown"), std::string::npos)
            << failure;
    }
    // The user-interface module holds the factory as a plain function.
    const ScreenFactoryFunction factory = &createScreen;
    EXPECT_NE(factory, nullptr);
}

TEST(GameFactoriesTest, AContainerCodeBuildsAChildOfTheParent)
{
    TestScreen parent;
    FRefT<FWidget> child = createWidget(FWidgetTypes::k_container, parent);
    ASSERT_NE(dynamic_cast<FContainer*>(child.get()), nullptr);
    EXPECT_EQ(parent.children(), (std::vector<FWidget*>{child.get()}));
}

TEST(GameFactoriesTest, UnknownAndNotYetBuiltCodesAreRefusedByCodeAndAddNothing)
{
    struct Case
    {
        std::uint32_t type;
        const char* failure;
    } const cases[] = {
        {0x12345678u, "widget type 0x12345678 is unknown"},
        {0u, "widget type 0x00000000 is unknown"},
    };
    TestScreen parent;
    for (const Case& c : cases) {
        const std::string failure = failureOf([&] { createWidget(c.type, parent); });
        EXPECT_NE(failure.find(c.failure), std::string::npos) << failure;
    }
    EXPECT_TRUE(parent.children().empty());
}

TEST(GameFactoriesTest, PlayFieldCodesBuildTheirWidgetsAsChildrenOfTheParent)
{
    GameWidgetFactory::registerTypes();
    struct Case
    {
        std::uint32_t type;
        bool (*isKind)(FWidget*);
    } const cases[] = {
        {FWidgetTypes::k_awardsViewport,
         [](FWidget* w) { return dynamic_cast<AwardsViewport*>(w) != nullptr; }},
        {FWidgetTypes::k_fadeSwapWidget,
         [](FWidget* w) { return dynamic_cast<FadeSwapWidget*>(w) != nullptr; }},
        {FWidgetTypes::k_queuedVideoSprite,
         [](FWidget* w) { return dynamic_cast<QueuedVideoSprite*>(w) != nullptr; }},
        {FWidgetTypes::k_flashSprite, [](FWidget* w) { return dynamic_cast<FlashSprite*>(w) != nullptr; }},
        {FWidgetTypes::k_effectSprite, [](FWidget* w) { return dynamic_cast<EffectSprite*>(w) != nullptr; }},
        {FWidgetTypes::k_mapView, [](FWidget* w) { return dynamic_cast<MapView*>(w) != nullptr; }},
        {FWidgetTypes::k_factoryContainer,
         [](FWidget* w) { return dynamic_cast<FactoryContainerWidget*>(w) != nullptr; }},
        {FWidgetTypes::k_hudPanel, [](FWidget* w) { return dynamic_cast<HudPanel*>(w) != nullptr; }},
        {FWidgetTypes::k_storyPanel, [](FWidget* w) { return dynamic_cast<StoryPanel*>(w) != nullptr; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FWidgetTypes::className(c.type));
        TestScreen parent;
        FRefT<FWidget> child = createWidget(c.type, parent);
        EXPECT_TRUE(c.isKind(child.get()));
        ASSERT_FALSE(parent.children().empty());
        EXPECT_EQ(parent.children().front(), child.get());
    }
}

TEST(GameFactoriesTest, ACreatorRegisteredElsewhereIsKeptWhenTheGameRegistersItsTypes)
{
    struct Probe
    {
        static FRefT<FWidget> create(FContainer& parent)
        {
            return FRefT<FWidget>(makeRef<FContainer>(engineNew<FContainer>(k_memObject, &parent, true)));
        }
    };
    FWidgetFactory::registerType(FWidgetTypes::k_storyPanel, &Probe::create);
    GameWidgetFactory::registerTypes();
    EXPECT_EQ(FWidgetFactory::find(FWidgetTypes::k_storyPanel), &Probe::create);
    // Put back the game's own creator for the other tests.
    FWidgetFactory::registerType(FWidgetTypes::k_storyPanel, nullptr);
    GameWidgetFactory::registerTypes();
    EXPECT_NE(FWidgetFactory::find(FWidgetTypes::k_storyPanel), &Probe::create);
}

TEST(GameFactoriesTest, ALayoutNamingBothEditBoxCodesGetsTwoEditBoxesThatBehaveAlike)
{
    GameWidgetFactory::registerTypes();
    EditBoxRecord box;
    box.label.widget = {10, 20, 200, 30, 0, 1};
    box.selectionRed = 40;
    ContainerRecord root;
    root.widget = {0, 0, 800, 600, 0, 1};
    root.children.push_back({1, FWidgetTypes::k_gameEditBox, writeEditBoxRecord(box)});
    root.children.push_back({2, FWidgetTypes::k_editBox, writeEditBoxRecord(box)});
    FScreenRegistry registry;
    std::vector<std::int32_t> ids;
    TestScreen screen;
    FRefT<FInStream> stream = streamOver(writeContainerRecord(root));
    screen.load(*stream.get(), registry, ids);
    ASSERT_EQ(screen.children().size(), 2u);
    auto* game = dynamic_cast<GameEditBox*>(screen.children()[0]);
    auto* engine = dynamic_cast<FEditBox*>(screen.children()[1]);
    ASSERT_NE(game, nullptr);
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(dynamic_cast<GameEditBox*>(engine), nullptr);
    EXPECT_EQ(game->rect(), engine->rect());
    EXPECT_EQ(game->isVisible(), engine->isVisible());
    EXPECT_EQ(game->text(), engine->text());
}

} // namespace
