// The world map drawn from the demo kit through the OpenGL device (offscreen,
// llvmpipe) in each state a player meets: every frame is a picture, and is
// written beside the PNG that ZIBBO_WORLDMAP_PNG names, for people to look at.
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
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

// The game module's voice channel for the kit's map: lines take a second.
class RenderServices : public WorldMapKit::QuietServices, public WorldMapKit::VoiceChannel
{
public:
    bool playVoice(const FRef& line) override { return playLine(line); }
    void stopVoice() override { stopLine(); }
    void setVoiceFinishedCallback(const FDelegate<void()>* callback) override { setCallback(callback); }
};

// A player of the demo kit's map: a profile of its own (slot `slot`) and a
// session over the twelve worlds.
struct RenderPlayer
{
    explicit RenderPlayer(int32_t slot, int longTrip = -1)
    {
        saves.attachDefaultFileSystem();
        profiles.saveProfile(slot);
        profile().setName(FString("Painter"));
        session.loadGameStructure(xmlStream(WorldMapKit::gameData(longTrip)));
    }
    PlayerProfile& profile() { return *profiles.getCurrentProfile(); }
    // Opens the worlds with their quests and sets results (quest id, stars),
    // with nothing new to present.
    void progress(const std::vector<int32_t>& worlds, const std::vector<std::pair<int32_t, int32_t>>& results)
    {
        WorldMapKit::progress(profile(), worlds, results);
        profile().newQuests().clear();
        profile().newWorlds().clear();
    }

    SaveManager saves;
    ProfileManager profiles{saves};
    GameSession session{&profiles, {}};
};

class WorldMapRenderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (const std::string why = demokit::missing(DEMO_KIT); !why.empty()) GTEST_SKIP() << why;
        ASSERT_NO_FATAL_FAILURE(demokit::openForDrawing(DEMO_KIT, modules.scratch.path(), graph));
        GameWidgetFactory::registerTypes();
        // The tuning tables come from the unpacked kit.
        params = std::make_unique<GameParams>(modules.application);
        params->onLoaded();
        services.tuning = params.get();
        WorldMapServices::setInstance(&services);
    }
    void TearDown() override { WorldMapServices::setInstance(nullptr); }

    // The map of `player` entered from `previous`, activated.
    WorldMapScreen& enter(RenderPlayer& player, int32_t previous)
    {
        services.session = &player.session;
        services.previous = previous;
        screen.release();
        screen = createScreen(k_worldMapScreen);
        auto& map = dynamic_cast<WorldMapScreen&>(*screen);
        map.onActivate();
        return map;
    }
    // 20 ms frames with the voice channel's time until `done` holds, at most
    // `limitMs`; true when it held.
    template <class Done> bool runUntil(WorldMapScreen& map, Done done, int32_t limitMs = 60000)
    {
        for (int32_t t = 0; t < limitMs; t += 20) {
            if (done()) return true;
            frame(map, 20);
        }
        return done();
    }
    void frame(WorldMapScreen& map, int32_t ms)
    {
        map.update(ms);
        services.tick(ms);
    }
    void frames(WorldMapScreen& map, int32_t ms)
    {
        for (int32_t t = 0; t < ms; t += 20)
            frame(map, 20);
    }
    bool speaking(int32_t id, WorldMapScreen& map) const
    {
        return services.voiceLeft >= 0 && !services.voices.empty() &&
               services.voices.back() == map.asset(id).get();
    }

    ScratchFileModules modules;
    demokit::Loaders loaders;
    RecordingErrorHandler handler;
    glrender::TestGraph graph;
    glrender::ReadBack readBack{modules.application.serviceSlot(k_slotInvalidation), graph};
    FScreenModule screens{&demokit::makeSilentSoundObject};
    std::unique_ptr<GameParams> params;
    RenderServices services;
    FRefT<FScreen> screen;
};

TEST_F(WorldMapRenderTest, TheMapHandedToThePlayerDrawsWithItsChooserAndScroll)
{
    RenderPlayer player(0);
    // Five worlds open, pieces earned in the first three.
    player.progress({0, 1, 2, 3, 4}, {{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}, {6, 5}, {5, 2}});
    WorldMapScreen& map = enter(player, k_profileMenuScreen);
    ASSERT_TRUE(runUntil(map, [&] { return map.mode() == WorldMapScreen::k_modeBrowse; }));
    frames(map, 2000);
    drawWorldMapFrame(graph, readBack, map, "");

    // The player points at the market town.
    map.setMapOffset(0, 0);
    const FPointI c = map.worldNodes()[2]->boxCentre();
    map.onPointerMove(0, c);
    frames(map, 1200);
    drawWorldMapFrame(graph, readBack, map, "hover");

    // The chooser of the orchard (all its quests finished), then the scroll.
    map.selectWorld(1);
    ASSERT_TRUE(runUntil(map, [&] { return map.mode() == WorldMapScreen::k_modeQuestChooser; }));
    frames(map, 600);
    drawWorldMapFrame(graph, readBack, map, "chooser");
    map.pickQuest(0);
    frames(map, 800);
    EXPECT_TRUE(map.questScrollShown());
    drawWorldMapFrame(graph, readBack, map, "scroll");

    // The menu button leaves for the main menu through the loading screen.
    map.onCloseScrollClicked(*map.m_closeScrollButton);
    ASSERT_TRUE(runUntil(map, [&] { return map.mode() == WorldMapScreen::k_modeQuestChooser; }));
    map.closeQuestChooser();
    ASSERT_TRUE(runUntil(map, [&] { return map.mode() == WorldMapScreen::k_modeBrowse; }));
    map.onBackToMenuClicked(*map.m_menuButton);
    EXPECT_TRUE(map.isLeaving());
    EXPECT_EQ(services.pending, k_mainMenuScreen);
    EXPECT_EQ(services.next, k_loadingScreen);
}

TEST_F(WorldMapRenderTest, ThePresentationPhasesDraw)
{
    {
        // Back from the orchard's first quest with three stars: the award.
        RenderPlayer player(1);
        player.progress({0, 1}, {{0, 5}, {3, 3}});
        player.profile().setFlag(PlayerProfile::k_receivedGift, true);
        player.session.structure().setLastResult({3, 1, 4});
        WorldMapScreen& map = enter(player, k_storyModeScreen);
        frames(map, 1200);
        EXPECT_EQ(map.phase(), WorldMapScreen::k_phaseAward);
        drawWorldMapFrame(graph, readBack, map, "award");
    }
    {
        // Five stars in the harbour's second quest: a map piece and the first
        // gift's line.
        RenderPlayer player(2);
        player.progress({0}, {{1, 5}});
        player.session.structure().setLastResult({1, 0, 6});
        WorldMapScreen& map = enter(player, k_storyModeScreen);
        ASSERT_TRUE(runUntil(map, [&] { return speaking(0x1141, map); }));
        frames(map, 400);
        EXPECT_TRUE(map.mapPieceRevealed());
        drawWorldMapFrame(graph, readBack, map, "piece");
    }
    {
        // Back from the harbour's first quest: the guides' story break.
        RenderPlayer player(3);
        player.progress({0}, {{0, 5}});
        player.profile().setFlag(PlayerProfile::k_receivedGift, true);
        player.session.structure().setLastResult({0, 0, 6});
        WorldMapScreen& map = enter(player, k_storyModeScreen);
        ASSERT_TRUE(runUntil(map, [&] {
            return map.phase() == WorldMapScreen::k_phaseStoryBreak && services.voiceLeft >= 0;
        }));
        frames(map, 400);
        drawWorldMapFrame(graph, readBack, map, "story");
        // The second line is the other guide's.
        ASSERT_TRUE(runUntil(map, [&] { return speaking(0x1126, map); }));
        frames(map, 400);
        drawWorldMapFrame(graph, readBack, map, "story2");
    }
    {
        // The orchard has just opened: its lock goes, then its quests are
        // presented one by one.
        RenderPlayer player(4);
        player.progress({0, 1}, {{0, 5}, {1, 4}, {2, 3}});
        player.profile().setFlag(PlayerProfile::k_receivedGift, true);
        player.profile().newWorlds() = {1};
        player.profile().newQuests() = {3, 4, 5};
        WorldMapScreen& map = enter(player, k_profileMenuScreen);
        ASSERT_TRUE(runUntil(map, [&] { return map.phase() == WorldMapScreen::k_phaseNewWorld; }));
        frames(map, 900);
        drawWorldMapFrame(graph, readBack, map, "newworld");
        ASSERT_TRUE(runUntil(map, [&] { return map.phase() == WorldMapScreen::k_phaseQuestReminders; }));
        ASSERT_TRUE(runUntil(map, [&] { return services.voiceLeft >= 0; }));
        frames(map, 400);
        drawWorldMapFrame(graph, readBack, map, "reminder");
    }
    {
        // A long trip waits in the market town.
        RenderPlayer player(5, 8);
        player.progress({0, 1, 2}, {{0, 5}, {3, 5}, {6, 4}});
        player.profile().setFlag(PlayerProfile::k_receivedGift, true);
        player.profile().newQuests() = {8};
        WorldMapScreen& map = enter(player, k_profileMenuScreen);
        ASSERT_TRUE(runUntil(map, [&] { return map.isLongTrip(); }));
        frames(map, 1500);
        drawWorldMapFrame(graph, readBack, map, "trip");
        frames(map, 5000);
        drawWorldMapFrame(graph, readBack, map, "trip2");
    }
}

TEST_F(WorldMapRenderTest, TheEndingsDraw)
{
    {
        // The last story quest finished: the game is complete.
        RenderPlayer player(0);
        player.progress({0, 1, 2, 3}, {{0, 5}, {11, 3}});
        player.profile().setFlag(PlayerProfile::k_receivedGift, true);
        player.session.structure().setLastResult({11, 3, 4});
        WorldMapScreen& map = enter(player, k_storyModeScreen);
        ASSERT_TRUE(runUntil(map, [&] { return map.phase() == WorldMapScreen::k_phaseGameComplete; }));
        frames(map, 2000);
        EXPECT_TRUE(map.endingPanel()->isVisible());
        drawWorldMapFrame(graph, readBack, map, "complete");
        ASSERT_TRUE(runUntil(map, [&] { return map.isLeaving(); }));
        EXPECT_EQ(services.pending, 13);
    }
    {
        // Every star of the twelve worlds: the perfect ending, then the map.
        RenderPlayer player(1);
        std::vector<int32_t> all;
        std::vector<std::pair<int32_t, int32_t>> results;
        for (int32_t w = 0; w < 12; ++w)
            all.push_back(w);
        for (int32_t id = 0; id < 36; ++id)
            results.emplace_back(id, 5);
        player.progress(all, results);
        player.profile().setFlag(PlayerProfile::k_receivedGift, true);
        player.profile().setFlag(PlayerProfile::k_seenEndGame, true);
        WorldMapScreen& map = enter(player, k_profileMenuScreen);
        ASSERT_TRUE(runUntil(map, [&] { return map.phase() == WorldMapScreen::k_phaseGameComplete; }));
        frames(map, 2000);
        EXPECT_TRUE(map.isPerfectEnding());
        drawWorldMapFrame(graph, readBack, map, "ending");
        ASSERT_TRUE(runUntil(map, [&] { return map.mode() == WorldMapScreen::k_modeBrowse; }));
        frames(map, 2000);
        drawWorldMapFrame(graph, readBack, map, "allworlds");
    }
}

} // namespace
