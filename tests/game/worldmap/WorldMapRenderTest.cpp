// The world map drawn from the demo kit through the OpenGL device (offscreen,
// llvmpipe): the frame shows the map, and is written to the PNG that
// ZIBBO_WORLDMAP_PNG names, for people to look at.
#include "engine/platform/gl/GlRenderSupport.h"
#include "support/DemoKit.h"
#include "support/ScratchFileModules.h"

#include "game/GameDataTestSupport.h"
#include "game/worldmap/WorldMapKitSupport.h"

#include "asset/FAsset.h"
#include "asset/FScreenModule.h"
#include "core/FLocalizedMessages.h"
#include "game/core/GameParams.h"
#include "game/core/GameSession.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "game/factories/GameWidgetFactory.h"
#include "game/factories/ScreenFactory.h"
#include "game/worldmap/WorldMapNode.h"
#include "game/worldmap/WorldMapScreen.h"
#include "game/worldmap/WorldMapServices.h"
#include "graphics/FDrawContext.h"
#include "image/FImageLoaderModule.h"
#include "image/FJpegLoader.h"
#include "image/FPngLoader.h"
#include "tools/imagewriters/PngWriter.h"
#include "ui/FAssetKinds.h"
#include "ui/FFontModule.h"
#include "video/FVideoLoaderModule.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace GameDataText;

// The frame as it stands; written to `name` beside the PNG that
// ZIBBO_WORLDMAP_PNG names ("" for that file itself).
void drawWorldMapFrame(glrender::TestGraph& graph, glrender::ReadBack& readBack, WorldMapScreen& map,
                       const std::string& name)
{
    glrender::paintFrame(graph, readBack, [&](FDrawContext& context) { map.draw(context); });
    ASSERT_EQ(readBack.pixels.size(), 800u * 600u * 4u);
    // The frame is a picture, not one colour.
    EXPECT_GT(glrender::sampledColours(readBack.pixels), 50u) << name;
    if (const char* out = std::getenv("ZIBBO_WORLDMAP_PNG")) {
        std::string path = out;
        if (!name.empty())
            path = path.substr(0, path.size() - (path.size() > 4 ? 4 : 0)) + "-" + name + ".png";
        const std::vector<uint8_t> bytes = writePng(PngPicture::rgba(800, 600, readBack.pixels));
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

TEST(WorldMapRenderTest, TheMapFromTheDemoKitDraws)
{
    if (const std::string why = demokit::missing(DEMO_KIT); !why.empty()) GTEST_SKIP() << why;
    ScratchFileModules modules;
    FLocalizedMessages::setLanguage(0);
    ASSERT_EQ(demokit::unpack(DEMO_KIT, modules.scratch.path()), 0);
    demokit::Loaders loaders;
    RecordingErrorHandler handler;
    glrender::TestGraph graph;
    glrender::ReadBack readBack{modules.application.serviceSlot(k_slotInvalidation), graph};
    graph.createWindowAndDevice({800, 600}, {800, 600}, FGraph::k_modeFixedWindow);
    ASSERT_TRUE(graph.hasWindow()) << graph.lastError();
    GameWidgetFactory::registerTypes();
    FScreenModule screens{&WorldMapKit::makeObject};

    GameParams params(modules.application);
    params.onLoaded();
    SaveManager saves;
    saves.attachDefaultFileSystem();
    ProfileManager profiles(saves);
    profiles.saveProfile(0);
    PlayerProfile& profile = *profiles.getCurrentProfile();
    profile.setName(FString("Painter"));
    // Five worlds open, pieces earned in the first three.
    for (int w = 0; w < 5; ++w) {
        profile.unlockWorld(w);
        for (int q = 0; q < 3; ++q)
            profile.unlockQuest(3 * w + q, w);
    }
    for (int id : {0, 1, 2, 3, 4, 6})
        profile.setQuestResult(id, 5);
    profile.setQuestResult(5, 2);
    profile.newQuests().clear();
    profile.newWorlds().clear();
    GameSession session(&profiles, {});
    session.loadGameStructure(xmlStream(WorldMapKit::gameData()));
    WorldMapKit::QuietServices services;
    services.session = &session;
    services.tuning = &params;
    WorldMapServices::setInstance(&services);
    {
        FRefT<FScreen> screen = createScreen(k_worldMapScreen);
        auto& map = dynamic_cast<WorldMapScreen&>(*screen);
        map.onActivate();
        map.setMapOffset(0, 0);
        // The player points at the market town.
        const FPointI c = map.worldNodes()[2]->boxCentre();
        map.onPointerMove(0, c);
        for (int frame = 0; frame < 60; ++frame)
            map.update(20);

        drawWorldMapFrame(graph, readBack, map, "");

        // The chooser of the orchard (all its quests finished), then the scroll.
        map.selectWorld(1);
        for (int frame = 0; frame < 200 && map.mode() != WorldMapScreen::k_modeQuestChooser; ++frame)
            map.update(20);
        for (int frame = 0; frame < 30; ++frame)
            map.update(20);
        drawWorldMapFrame(graph, readBack, map, "chooser");
        map.pickQuest(0);
        for (int frame = 0; frame < 40; ++frame)
            map.update(20);
        drawWorldMapFrame(graph, readBack, map, "scroll");
    }
    {
        // Back from the harbour's first quest with five stars: the award,
        // the piece and the guides' story break.
        profile.setFlag(PlayerProfile::k_receivedGift, true);
        session.structure().setLastResult({0, 0, 6});
        profile.setQuestResult(0, 5);
        services.previous = k_storyModeScreen;
        FRefT<FScreen> screen = createScreen(k_worldMapScreen);
        auto& map = dynamic_cast<WorldMapScreen&>(*screen);
        map.onActivate();
        for (int frame = 0; frame < 60; ++frame)
            map.update(20);
        drawWorldMapFrame(graph, readBack, map, "award");
        for (int frame = 0; frame < 2000 && map.phase() != WorldMapScreen::k_phaseStoryBreak; ++frame)
            map.update(20);
        for (int frame = 0; frame < 40; ++frame)
            map.update(20);
        drawWorldMapFrame(graph, readBack, map, "story");
    }
    {
        // Entered again from the menu side, the map is handed to the player,
        // whose menu button leaves for the main menu through the loading screen.
        services.previous = k_profileMenuScreen;
        FRefT<FScreen> screen = createScreen(k_worldMapScreen);
        auto& map = dynamic_cast<WorldMapScreen&>(*screen);
        map.onActivate();
        for (int frame = 0; frame < 3000 && map.mode() != WorldMapScreen::k_modeBrowse; ++frame)
            map.update(20);
        ASSERT_EQ(map.mode(), WorldMapScreen::k_modeBrowse);
        map.onBackToMenuClicked(*map.m_menuButton);
        EXPECT_TRUE(map.isLeaving());
        EXPECT_EQ(services.pending, k_mainMenuScreen);
        EXPECT_EQ(services.next, k_loadingScreen);
    }
    WorldMapServices::setInstance(nullptr);
}

} // namespace
