// The world map screen from the factory, bound to folder 14 and its shared
// parts as kittool writes them from the game's manifests: the layout's
// lists, the building from the tuning tables, the restore from a profile,
// the glide, dragging with coasting, hover and click, the sparkles and the
// way back to the main menu.
#include "support/ScratchFileModules.h"
#include "support/ScreenFiles.h"

#include "game/GameDataTestSupport.h"
#include "game/worldmap/WorldMapKitSupport.h"

#include "asset/FAsset.h"
#include "asset/FScreenModule.h"
#include "core/FDebug.h"
#include "core/FLocalizedMessages.h"
#include "game/core/GameParams.h"
#include "game/core/GameSession.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "game/factories/GameWidgetFactory.h"
#include "game/factories/ScreenFactory.h"
#include "game/widgets/ImageRectFlipped.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/VideoSprite.h"
#include "game/worldmap/WorldMapNode.h"
#include "game/worldmap/WorldMapScreen.h"
#include "game/worldmap/WorldMapServices.h"
#include "image/FImageLoaderModule.h"
#include "image/FPngLoader.h"
#include "tools/contentwriters/FontFileWriter.h"
#include "tools/imagewriters/PngWriter.h"
#include "tools/videowriters/GwVideoWriter.h"
#include "ui/FAssetKinds.h"
#include "ui/FButton.h"
#include "ui/FContainer.h"
#include "ui/FFontModule.h"
#include "ui/FLabel.h"
#include "video/FVideoLoaderModule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace GameDataText;

// Every glyph 8 units wide; line extents 20 units.
std::vector<uint8_t> nameFont()
{
    FontFileData font;
    font.sheetWidth = 16;
    font.sheetHeight = 16;
    font.sheetPng = writePng(PngPicture::rgba(16, 16, std::vector<uint8_t>(16 * 16 * 4, 255)));
    font.firstBox[1] = -15;
    font.firstBox[3] = 5;
    font.secondBox[1] = -12;
    font.secondBox[3] = -1;
    for (char16_t c = 32; c < 127; ++c)
        font.glyphs.push_back({static_cast<uint16_t>(c), 0, 0, 4, 4, 8, 0, -8});
    return writeFontFile(font);
}

// The game module as the world map sees it, recording what it is asked.
class FakeServices : public WorldMapServices, public WorldMapKit::VoiceChannel
{
public:
    GameSession* gameSession() override { return session; }
    GameParams* params() override { return tuning; }
    int32_t previousScreenKind() const override { return previous; }
    bool isGamePaused() const override { return paused; }
    void playSound(const FRef&, int32_t volume) override
    {
        calls.push_back("sound " + std::to_string(volume));
    }
    void stopAllSounds() override { calls.push_back("stop sounds"); }
    void setPendingScreen(int32_t kind) override { calls.push_back("pending " + std::to_string(kind)); }
    void setScreen(int32_t kind, bool async) override
    {
        calls.push_back("screen " + std::to_string(kind) + (async ? " async" : ""));
    }
    void prepareScreen(FScreen*) override { calls.push_back("prepare"); }
    bool playVoice(const FRef& line) override { return playLine(line); }
    void stopVoice() override
    {
        calls.push_back("stop voice");
        stopLine();
    }
    void setVoiceFinishedCallback(const FDelegate<void()>* callback) override { setCallback(callback); }
    void playMusic(const FRef& track, bool) override { music.push_back(track.get()); }
    void stopAmbientSound() override { calls.push_back("stop ambient"); }
    GameSession* session = nullptr;
    GameParams* tuning = nullptr;
    int32_t previous = k_mainMenuScreen;
    bool paused = false;
    std::vector<std::string> calls;
    // Music started, by asset.
    std::vector<void*> music;
};

// Writes the screen files of the map's folders once per process.
const fs::path& screenFiles()
{
    static const fs::path path = [] {
        fs::path folder = fs::temp_directory_path() / ("zibbo-worldmap-files-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        for (const char* manifest : {"003", "005", "012", "019", "023", "027", "028", "030", "014"}) {
            writeScreenFiles(std::string(SCREEN_MANIFESTS) + "/" + manifest + ".lua", folder);
        }
        // Real clips (16 frames of 8 x 8) and a real name font in place of
        // the placeholders.
        uint32_t seed = 1;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder / "014")) {
            if (entry.path().extension() != ".gwvideo") continue;
            const std::vector<uint8_t> bytes = writeGwVideo(gwPictureVideo(16, 8, 8, seed++));
            std::ofstream(entry.path(), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
        const std::vector<uint8_t> font = nameFont();
        std::ofstream(folder / "014" / "004279_0.gwfont", std::ios::binary)
            .write(reinterpret_cast<const char*>(font.data()), static_cast<std::streamsize>(font.size()));
        return folder;
    }();
    return path;
}

class WorldMapScreenTest : public ::testing::Test, protected ScratchFileModules
{
protected:
    void SetUp() override
    {
        FLocalizedMessages::setLanguage(0);
        GameWidgetFactory::registerTypes();
        fs::copy(screenFiles(), scratch.path(),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::create_directories(scratch.path() / "Scripts");
        fs::copy_file(fs::path(ZIBBO_CONTENT_DIR) / "Scripts" / "params.lua",
                      scratch.path() / "Scripts" / "params.lua");
        params = std::make_unique<GameParams>(application);
        params->onLoaded();
        saves.attachDefaultFileSystem();
        // Makes slot 0 current; whether its file reaches the disk does not
        // matter to the map.
        profiles.saveProfile(0);
        ASSERT_NE(profiles.getCurrentProfile(), nullptr);
        profiles.getProfile(0)->setName(FString("Tester"));
        session = std::make_unique<GameSession>(&profiles, GameSession::Tuning{});
        session->loadGameStructure(xmlStream(WorldMapKit::gameData()));
        services.session = session.get();
        services.tuning = params.get();
        WorldMapServices::setInstance(&services);
    }
    void TearDown() override { WorldMapServices::setInstance(nullptr); }

    PlayerProfile& profile() { return *profiles.getCurrentProfile(); }

    // Opens the worlds and finishes quests (quest id, stars) in the profile.
    void progress(const std::vector<int32_t>& worlds,
                  const std::vector<std::pair<int32_t, int32_t>>& results = {})
    {
        WorldMapKit::progress(profile(), worlds, results);
    }

    // A new map object activated; with `handOver` its phases run until the
    // player has it.
    // Nothing new to present: the new-world and new-quest lists emptied.
    void settle()
    {
        profile().newWorlds().clear();
        profile().newQuests().clear();
    }

    WorldMapScreen& enter(bool handOver = true)
    {
        screen.release();
        screen = createScreen(k_worldMapScreen);
        auto* map = dynamic_cast<WorldMapScreen*>(screen.get());
        EXPECT_NE(map, nullptr);
        map->onActivate();
        if (handOver) {
            runPhases(*map);
            EXPECT_EQ(map->mode(), WorldMapScreen::k_modeBrowse);
            // The hand-over's glide and the guide's last line end too.
            for (int32_t t = 0; t < 20000 && (map->isGliding() || map->isVoicePlaying()); t += 20)
                frame(*map, 20);
        }
        return *map;
    }

    // 20 ms frames with the voice channel's time until the map is handed
    // over or left, at most `limitMs`; the simulated time taken.
    int32_t runPhases(WorldMapScreen& map, int32_t limitMs = 120000)
    {
        int32_t t = 0;
        while (t < limitMs && map.mode() == WorldMapScreen::k_modePhases && !map.isLeaving()) {
            frame(map, 20);
            t += 20;
        }
        return t;
    }

    void frame(WorldMapScreen& map, int32_t ms)
    {
        map.update(ms);
        services.tick(ms);
    }

    // The map point at the centre of world w's box, on the screen.
    FPointI onScreen(WorldMapScreen& map, int32_t w)
    {
        const FPointI c = map.worldNodes()[w]->boxCentre();
        const FPointI offset = map.mapOffset();
        return {c.x - offset.x, c.y - offset.y};
    }

    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    FVideoLoaderModule gw{k_slotGwVideoLoader, ".gwvideo"};
    FFontModule fonts;
    RecordingErrorHandler handler;
    FScreenModule screenModule{&demokit::makeSilentSoundObject};
    std::unique_ptr<GameParams> params;
    SaveManager saves;
    ProfileManager profiles{saves};
    std::unique_ptr<GameSession> session;
    FakeServices services;
    FRefT<FScreen> screen;
};

uint8_t alphaOf(const FWidget& widget)
{
    return static_cast<uint8_t>(widget.widgetColour() >> 24);
}

TEST_F(WorldMapScreenTest, TheLayoutGathersItsTwentyLists)
{
    screen = createScreen(k_worldMapScreen);
    auto* map = dynamic_cast<WorldMapScreen*>(screen.get());
    ASSERT_NE(map, nullptr);
    const std::vector<std::pair<const std::vector<FRefT<FWidget>>*, std::size_t>> lists = {
        {&map->m_awardStars, 5},       {&map->m_spareWidgets, 9},  {&map->m_worldPieces9, 3},
        {&map->m_worldPieces10, 3},    {&map->m_worldPieces11, 3}, {&map->m_worldPieces0, 3},
        {&map->m_worldPieces1, 3},     {&map->m_worldPieces2, 3},  {&map->m_worldPieces3, 3},
        {&map->m_worldPieces4, 3},     {&map->m_worldPieces5, 3},  {&map->m_worldPieces6, 3},
        {&map->m_worldPieces7, 3},     {&map->m_worldPieces8, 3},  {&map->m_worldLockOverlays, 12},
        {&map->m_questStars0, 5},      {&map->m_questStars1, 5},   {&map->m_questStars2, 5},
        {&map->m_worldFiveSprites, 3}, {&map->m_worldTags, 12},
    };
    for (std::size_t i = 0; i < lists.size(); ++i)
        EXPECT_EQ(lists[i].first->size(), lists[i].second) << "list " << i + 1;
    // The lists share the single members.
    EXPECT_EQ(map->m_worldPieces0[0].get(), map->m_piece0_0.get());
    EXPECT_EQ(map->m_worldTags[11].get(), map->m_tag11.get());
    EXPECT_EQ(map->m_worldLockOverlays[0].get(), map->m_lock0.get());
    EXPECT_NE(dynamic_cast<VideoSprite*>(map->m_worldTags[0].get()), nullptr);
}

TEST_F(WorldMapScreenTest, BuildingPlacesTheWorldsFromTheTuningTables)
{
    progress({0, 1});
    WorldMapScreen& map = enter();
    ASSERT_EQ(map.worldNodes().size(), 12u);
    for (int32_t w = 0; w < 12; ++w) {
        const WorldMapNode& node = *map.worldNodes()[w];
        EXPECT_EQ(node.m_index, w);
        // The tables are laid out for 640 x 480; the screen is 800 x 600.
        EXPECT_EQ(node.m_box.left, params->getBox(w, 800, 600).left);
        EXPECT_EQ(node.m_box.right - node.m_box.left, 137) << w;
        EXPECT_EQ(node.m_box.bottom - node.m_box.top, 100) << w;
        EXPECT_EQ(node.m_origin.x, params->getOrigin(w, 800, 600).x);
        EXPECT_EQ(node.m_tag->rect().left, node.m_tagPoint.x);
        EXPECT_EQ(node.m_tag->rect().top, node.m_tagPoint.y);
        EXPECT_EQ(node.m_mapPieces.size(), w == 11 ? 4u : 3u);
        for (const FRefT<FWidget>& piece : node.m_mapPieces)
            EXPECT_EQ(alphaOf(*piece), 0) << w;
        ASSERT_NE(node.m_anchorSprite, nullptr);
        EXPECT_EQ(node.m_anchorSprite->rect().left, node.m_origin.x);
        // Labels sit centred on the box's bottom edge.
        const FRectI& label = node.m_nameLabel->rect();
        EXPECT_EQ(label.left + (label.right - label.left) / 2,
                  node.m_box.left + (node.m_box.right - node.m_box.left) / 2);
        EXPECT_EQ(label.top + (label.bottom - label.top) / 2, node.m_box.bottom);
    }
    // The demo's tuning tables give twelve places that do not overlap and
    // lie inside the map picture.
    const FRectI& picture = map.m_mapPicture->rect();
    for (int32_t a = 0; a < 12; ++a) {
        const FRectI& box = map.worldNodes()[a]->m_box;
        EXPECT_TRUE(box.left >= picture.left && box.right <= picture.right && box.top >= picture.top &&
                    box.bottom <= picture.bottom)
            << a;
        for (int32_t b = a + 1; b < 12; ++b) {
            const FRectI& other = map.worldNodes()[b]->m_box;
            EXPECT_TRUE(box.right <= other.left || other.right <= box.left || box.bottom <= other.top ||
                        other.bottom <= box.top)
                << a << " and " << b;
        }
    }
    // An open world's label is 0.7 of its text wide and two lines high.
    FLabel& open = *map.worldNodes()[0]->m_nameLabel;
    EXPECT_EQ(open.text().toUtf8(), "Harbour Bay");
    const FPointI measured = open.measureText();
    EXPECT_EQ(open.width(), static_cast<int32_t>(0.7 * 11 * 8));
    EXPECT_GT(measured.y, 0);
    EXPECT_TRUE(open.wordWrap());
    // A locked one is "???" without a rectangle.
    FLabel& locked = *map.worldNodes()[5]->m_nameLabel;
    EXPECT_EQ(locked.text().toUtf8(), "???");
    EXPECT_EQ(locked.width(), 0);
    EXPECT_FALSE(locked.wordWrap());
    // The map picture grows by trunc(800 x 300 / 640) on every side.
    EXPECT_EQ(map.m_mapPicture->rect().left, -375);
    EXPECT_EQ(map.m_mapPicture->rect().top, -375);
    EXPECT_EQ(map.m_mapPicture->width(), 800 + 750);
}

TEST_F(WorldMapScreenTest, RestoreShowsOpenWorldsPiecesAndLocks)
{
    // World 0 open with a five-star type-1 quest; world 1 open but new.
    progress({0, 1}, {{1, 5}});
    profile().newWorlds() = {1};
    profile().newQuests().clear();
    services.previous = k_profileMenuScreen; // keeps the new lists
    WorldMapScreen& map = enter(false);
    const WorldMapNode& first = *map.worldNodes()[0];
    EXPECT_FALSE(first.m_lockOverlay->isVisible());
    ASSERT_EQ(first.m_ambientSprites.size(), 1u);
    EXPECT_TRUE(first.m_ambientSprites[0]->isPlaying());
    EXPECT_EQ(first.m_ambientSprites[0]->loops(), -1);
    EXPECT_EQ(alphaOf(*first.m_ambientSprites[0]), 255);
    EXPECT_EQ(alphaOf(*first.m_mapPieces[0]), 0);
    EXPECT_EQ(alphaOf(*first.m_mapPieces[1]), 255);
    EXPECT_EQ(alphaOf(*first.m_mapPieces[2]), 0);
    // New and locked worlds wait under their locks.
    EXPECT_TRUE(map.worldNodes()[1]->m_lockOverlay->isVisible());
    EXPECT_TRUE(map.worldNodes()[7]->m_lockOverlay->isVisible());
    EXPECT_TRUE(map.worldNodes()[1]->m_ambientSprites.empty());
    EXPECT_FALSE(map.isFreshEntry());
    EXPECT_EQ(profile().newWorlds(), std::vector<int32_t>{1});
    // Open quests that are not new carry their tags.
    EXPECT_TRUE(first.m_hasQuestReminder);
    // Once the phases have run, the map is the player's: browse mode with
    // the menu button, the new world opened and the lists emptied.
    EXPECT_FALSE(map.m_menuButton->isVisible());
    runPhases(map);
    EXPECT_EQ(map.mode(), WorldMapScreen::k_modeBrowse);
    EXPECT_TRUE(map.m_menuButton->isVisible());
    EXPECT_FALSE(map.worldNodes()[1]->m_lockOverlay->isVisible());
    EXPECT_TRUE(profile().newWorlds().empty());
}

TEST_F(WorldMapScreenTest, ThePreviousScreenDecidesTheNewLists)
{
    struct Case
    {
        int32_t previous;
        bool keeps;
        bool fresh;
    };
    const Case cases[] = {
        {k_mainMenuScreen, false, true},
        {k_profileMenuScreen, true, false},
        {k_avatarSelectScreen, true, false},
        {k_storyModeScreen, false, false}, // back from a level without a result
    };
    for (const Case& c : cases) {
        progress({0, 1});
        profile().newWorlds() = {1};
        profile().newQuests() = {3};
        services.previous = c.previous;
        WorldMapScreen& map = enter(false);
        EXPECT_EQ(profile().newWorlds().empty(), !c.keeps) << c.previous;
        EXPECT_EQ(profile().newQuests().empty(), !c.keeps) << c.previous;
        EXPECT_EQ(map.isFreshEntry(), c.fresh) << c.previous;
        screen.release();
    }
    // Back from a level with a result keeps them.
    session->structure().setLastResult({4, 1, 6});
    profile().newWorlds() = {1};
    services.previous = k_storyModeScreen;
    WorldMapScreen& map = enter(false);
    EXPECT_EQ(profile().newWorlds(), std::vector<int32_t>{1});
    EXPECT_EQ(map.lastResult().questId, 4);
    EXPECT_EQ(session->structure().lastResult().questId, -1);
    EXPECT_EQ(session->structure().lastResult().state, -2);
}

TEST_F(WorldMapScreenTest, PickMapPieceSkipsOpaquePiecesAndStaysInBounds)
{
    progress({0, 1});
    WorldMapScreen& map = enter();
    WorldMapNode& node = *map.worldNodes()[0];
    EXPECT_EQ(node.pickMapPiece(1), node.m_mapPieces[1].get());
    node.m_mapPieces[1]->setWidgetAlpha(255);
    EXPECT_EQ(node.pickMapPiece(1), node.m_mapPieces[2].get());
    node.m_mapPieces[2]->setWidgetAlpha(255);
    EXPECT_EQ(node.pickMapPiece(1), nullptr);
    // A type-3 quest in worlds 0..10 starts past the three pieces: none.
    EXPECT_EQ(node.pickMapPiece(3), nullptr);
    EXPECT_EQ(node.pickMapPiece(7), nullptr);
    WorldMapNode& last = *map.worldNodes()[11];
    EXPECT_EQ(last.pickMapPiece(0), map.m_worldPieces11[0].get());
    EXPECT_EQ(last.pickMapPiece(2), map.m_worldPieces11[2].get());
    EXPECT_EQ(last.pickMapPiece(3), nullptr);
    EXPECT_EQ(last.pickMapPiece(-1), nullptr);
}

TEST_F(WorldMapScreenTest, ARevealedPieceFadesInOnceTheSparklePassesFrameFourteen)
{
    // World 0's type-1 quest just finished with five stars.
    progress({0}, {{1, 5}});
    session->structure().setLastResult({1, 0, 6});
    services.previous = k_storyModeScreen;
    WorldMapScreen& map = enter(false);
    WorldMapNode& node = *map.worldNodes()[0];
    // The restore left the result's own piece for the reveal.
    ASSERT_EQ(alphaOf(*node.m_mapPieces[1]), 0);
    // Five stars (1.5 s) and the award's pause (0.8 s), then the reveal.
    for (int32_t t = 0; t < 10000 && map.phase() != WorldMapScreen::k_phaseNewMapPiece; t += 10)
        frame(map, 10);
    ASSERT_EQ(map.phase(), WorldMapScreen::k_phaseNewMapPiece);
    ASSERT_TRUE(map.mapPieceRevealed());
    FWidget& piece = *node.m_mapPieces[1];
    VideoSprite& sparkle = *map.revealSparkle();
    EXPECT_TRUE(sparkle.isPlaying());
    EXPECT_TRUE(node.m_pieceRevealing);
    // Frame time 27 ms (36 a second); the piece waits while frames 0..14 show.
    int32_t elapsed = 0;
    int32_t fadeStart = -1;
    int32_t opaqueAt = -1;
    uint8_t last = 0;
    for (int step = 0; step < 400 && node.m_pieceRevealing; ++step) {
        const int32_t sparkleFrame = sparkle.currentFrame();
        frame(map, 10);
        elapsed += 10;
        const uint8_t alpha = alphaOf(piece);
        EXPECT_GE(alpha, last) << "at " << elapsed << " ms";
        last = alpha;
        if (fadeStart < 0 && node.m_pieceFading) {
            fadeStart = elapsed;
            // The fade starts on the frame that shows a sparkle frame past 14.
            EXPECT_GT(sparkle.currentFrame(), WorldMapNode::k_sparkleFadeFrame);
            EXPECT_LE(sparkleFrame, WorldMapNode::k_sparkleFadeFrame);
        }
        if (fadeStart < 0) {
            EXPECT_EQ(alpha, 0) << "at " << elapsed << " ms";
        }
        if (opaqueAt < 0 && alpha == 255) opaqueAt = elapsed;
    }
    ASSERT_GE(fadeStart, 0);
    // 15 frames of 27 ms (the first 10 ms ran in the frame the phase began).
    EXPECT_GE(fadeStart, 15 * 27 - 10);
    EXPECT_LE(fadeStart, 16 * 27);
    // Opaque 1411 ms after the fade starts, not sooner; then the reveal ends.
    ASSERT_GE(opaqueAt, 0);
    EXPECT_GE(opaqueAt - fadeStart, WorldMapNode::k_fadeMs - 10);
    EXPECT_LE(opaqueAt - fadeStart, WorldMapNode::k_fadeMs + 20);
    EXPECT_FALSE(node.m_pieceRevealing);
    EXPECT_FALSE(node.m_pieceFading);
    EXPECT_FALSE(sparkle.isPlaying());
    EXPECT_EQ(alphaOf(piece), 255);
    // A piece already opaque is not picked again: the next type-1 piece is.
    EXPECT_EQ(node.pickMapPiece(1), node.m_mapPieces[2].get());
}

TEST_F(WorldMapScreenTest, AWorldIndexOutsideTheMapIsAFailureReport)
{
    WorldMapScreen& map = enter();
    for (int32_t bad : {-1, 12, 1000}) {
        EXPECT_THROW(map.node(bad, "the profile's quest records"), FDebug::VellumcoreException);
        ASSERT_FALSE(handler.texts.empty());
        const std::string text = handler.texts.back().toUtf8();
        EXPECT_NE(text.find("world index " + std::to_string(bad)), std::string::npos) << text;
        EXPECT_NE(text.find("the profile's quest records"), std::string::npos) << text;
    }
    // A profile record of another world is reported, not read past the nodes.
    EXPECT_THROW(map.selectWorld(12), FDebug::VellumcoreException);
}

TEST_F(WorldMapScreenTest, AGlideMovesFortyPercentPerStepAndStopsAtTheLimits)
{
    progress({0});
    WorldMapScreen& map = enter();
    map.setMapOffset(0, 0);
    // A map point 1000 px right of the centre.
    map.startGlide(400 + 1000, 300);
    ASSERT_TRUE(map.isGliding());
    std::vector<int32_t> xs;
    for (int frame = 0; frame < 200 && map.isGliding(); ++frame) {
        const int32_t before = map.mapOffset().x;
        map.updateGlide(20);
        if (map.mapOffset().x != before) xs.push_back(map.mapOffset().x);
    }
    // 400 after 120 ms, then 240 more; the limit (1125) ends the glide.
    ASSERT_GE(xs.size(), 3u);
    EXPECT_EQ(xs[0], 400);
    EXPECT_EQ(xs[1], 640);
    EXPECT_FALSE(map.isGliding());
    EXPECT_NEAR(map.mapOffset().x, 1000, 2);
    // Beyond the limit: stops there and opens the pending chooser.
    map.setChooserPending(true);
    map.startGlide(5000, 300);
    for (int frame = 0; frame < 200 && map.isGliding(); ++frame)
        map.updateGlide(20);
    EXPECT_EQ(map.mapOffset().x, 1125);
    EXPECT_FALSE(map.isChooserPending());
    EXPECT_EQ(map.chooserOpenings(), 1);
    // A glide that starts at its target ends without opening it.
    map.setChooserPending(true);
    const FPointI at = map.mapOffset();
    map.startGlide(at.x + 400, at.y + 300);
    for (int frame = 0; frame < 20 && map.isGliding(); ++frame)
        map.updateGlide(20);
    EXPECT_FALSE(map.isGliding());
    EXPECT_TRUE(map.isChooserPending());
    EXPECT_EQ(map.chooserOpenings(), 1);
}

TEST_F(WorldMapScreenTest, ADragMovesTheMapAndCoastsToAStop)
{
    progress({0});
    WorldMapScreen& map = enter();
    map.setMapOffset(0, 0);
    const FPointI start{400, 100};
    map.onPointerMove(0, start);
    map.onPointerDown(0, 8, start);
    EXPECT_EQ(map.dragState(), WorldMapScreen::k_dragPressed);
    map.onPointerMove(0, {360, 100});
    map.updateDrag(100);
    EXPECT_EQ(map.dragState(), WorldMapScreen::k_dragPressed); // not long enough yet
    map.updateDrag(60);
    ASSERT_EQ(map.dragState(), WorldMapScreen::k_dragDragging);
    map.onPointerMove(0, {320, 100});
    EXPECT_EQ(map.mapOffset().x, 40);
    EXPECT_EQ(map.dragVelocity().x, 40);
    map.onPointerUp(0, 8, {320, 100});
    ASSERT_EQ(map.dragState(), WorldMapScreen::k_dragCoasting);
    // 40 px a frame for 150 ms, then 20, 10, 5, 3 and a stop.
    std::vector<int32_t> speeds;
    for (int frame = 0; frame < 100 && map.dragState() == WorldMapScreen::k_dragCoasting; ++frame) {
        const int32_t before = map.mapOffset().x;
        map.updateDrag(50);
        const int32_t moved = map.mapOffset().x - before;
        if (speeds.empty() || speeds.back() != moved) speeds.push_back(moved);
    }
    EXPECT_EQ(speeds, (std::vector<int32_t>{40, 20, 10, 5, 3, 0}));
    EXPECT_EQ(map.dragState(), WorldMapScreen::k_dragIdle);
}

TEST_F(WorldMapScreenTest, OnlyPointerZeroAndTheConfirmButtonsPress)
{
    WorldMapScreen& map = enter();
    map.onPointerDown(1, 8, {10, 10});
    map.onPointerDown(0, 4, {10, 10});
    EXPECT_EQ(map.dragState(), WorldMapScreen::k_dragIdle);
    map.onPointerDown(0, 6, {10, 10});
    EXPECT_EQ(map.dragState(), WorldMapScreen::k_dragPressed);
}

TEST_F(WorldMapScreenTest, EachPressIsTimedOnItsOwn)
{
    WorldMapScreen& map = enter();
    // A long press without a move, released.
    map.onPointerMove(0, {100, 100});
    map.onPointerDown(0, 8, {100, 100});
    map.updateDrag(400);
    map.onPointerUp(0, 8, {100, 100});
    // A new press that moves at once is not a drag on its first frame.
    map.onPointerDown(0, 8, {100, 100});
    map.onPointerMove(0, {150, 100});
    map.updateDrag(20);
    EXPECT_EQ(map.dragState(), WorldMapScreen::k_dragPressed);
    map.updateDrag(140);
    EXPECT_EQ(map.dragState(), WorldMapScreen::k_dragDragging);
}

TEST_F(WorldMapScreenTest, HoverSelectsWorldsAndSparklesCircleOpenOnes)
{
    progress({0, 1});
    WorldMapScreen& map = enter();
    map.setMapOffset(0, 0);
    // The restored tags leave world 1 (the last tagged) active.
    ASSERT_EQ(map.activeNode(), map.worldNodes()[1].get());
    map.onPointerMove(0, onScreen(map, 0));
    ASSERT_EQ(map.activeNode(), map.worldNodes()[0].get());
    EXPECT_TRUE(map.sparklesOn());
    // The pair circles the box centre at 150 px, half a turn apart.
    const FPointI c = map.worldNodes()[0]->boxCentre();
    const auto& sparkles = map.selectionSparkles();
    ASSERT_NE(sparkles[0].get(), nullptr);
    ASSERT_NE(sparkles[1].get(), nullptr);
    ASSERT_FALSE(sparkles[0]->path().empty());
    const FPointI a = sparkles[0]->path().front();
    const FPointI b = sparkles[1]->path().front();
    EXPECT_NEAR(std::hypot(a.x - c.x, a.y - c.y), 150.0, 1.5);
    EXPECT_NEAR(std::hypot(b.x - c.x, b.y - c.y), 150.0, 1.5);
    EXPECT_NEAR(a.x + b.x, 2 * c.x, 2);
    EXPECT_NEAR(a.y + b.y, 2 * c.y, 2);
    // A locked world becomes active without sparkles.
    map.onPointerMove(0, onScreen(map, 6));
    EXPECT_EQ(map.activeNode(), map.worldNodes()[6].get());
    EXPECT_FALSE(map.sparklesOn());
    // The update marks the active node and restarts nothing for it.
    map.update(20);
    EXPECT_TRUE(map.worldNodes()[6]->m_isActive);
    EXPECT_FALSE(map.worldNodes()[0]->m_isActive);
    EXPECT_FALSE(map.sparklesOn());
}

TEST_F(WorldMapScreenTest, AClickOnAnOpenWorldSelectsItAndGlidesThere)
{
    progress({0, 1});
    WorldMapScreen& map = enter();
    map.setMapOffset(0, 0);
    // A locked world does nothing.
    map.onPointerDown(0, 8, onScreen(map, 4));
    map.onPointerUp(0, 8, onScreen(map, 4));
    EXPECT_FALSE(map.isGliding());
    EXPECT_FALSE(map.isChooserPending());
    map.worldNodes()[1]->m_hasQuestReminder = false;
    const FPointI at = onScreen(map, 1);
    map.onPointerMove(0, at);
    map.onPointerDown(0, 8, at);
    services.calls.clear();
    map.onPointerUp(0, 8, at);
    EXPECT_EQ(services.calls, std::vector<std::string>{"sound 63"});
    EXPECT_EQ(map.activeNode(), map.worldNodes()[1].get());
    EXPECT_EQ(session->currentWorldIndex(), 1);
    EXPECT_TRUE(map.isGliding());
    EXPECT_TRUE(map.isChooserPending());
    const FPointI c = map.worldNodes()[1]->boxCentre();
    EXPECT_EQ(map.glideTarget().x, c.x - 400);
    EXPECT_EQ(map.glideTarget().y, c.y - 300);
}

TEST_F(WorldMapScreenTest, AReleaseThatEndsADragClicksNothing)
{
    progress({0, 1});
    WorldMapScreen& map = enter();
    map.setMapOffset(0, 0);
    const FPointI at = onScreen(map, 1);
    map.onPointerMove(0, {at.x + 30, at.y});
    map.onPointerDown(0, 8, {at.x + 30, at.y});
    map.onPointerMove(0, at);
    map.updateDrag(200);
    ASSERT_EQ(map.dragState(), WorldMapScreen::k_dragDragging);
    map.onPointerUp(0, 8, onScreen(map, 1));
    EXPECT_FALSE(map.isChooserPending());
    EXPECT_EQ(map.dragState(), WorldMapScreen::k_dragCoasting);
}

TEST_F(WorldMapScreenTest, TheMenuButtonLeavesThroughTheLoadingScreenOnce)
{
    WorldMapScreen& map = enter();
    services.calls.clear();
    map.onBackToMenuClicked(*map.m_menuButton);
    EXPECT_EQ(services.calls,
              (std::vector<std::string>{"stop sounds", "sound 63", "pending 11", "screen 9"}));
    EXPECT_TRUE(map.isLeaving());
    map.onBackToMenuClicked(*map.m_menuButton);
    EXPECT_EQ(services.calls.size(), 4u);
}

TEST_F(WorldMapScreenTest, TheMenuButtonDoesNothingOutsideBrowsing)
{
    WorldMapScreen& map = enter();
    map.setMode(WorldMapScreen::k_modeQuestScroll);
    services.calls.clear();
    map.onBackToMenuClicked(*map.m_menuButton);
    EXPECT_TRUE(services.calls.empty());
    EXPECT_FALSE(map.isLeaving());
}

TEST_F(WorldMapScreenTest, TheLaunchSweepArmsTheTimerThatLeavesForTheLevel)
{
    progress({0, 1, 2});
    WorldMapScreen& map = enter();
    session->setCurrentWorld(2, &session->structure().worlds()[2]);
    session->selectQuest(1);
    map.setMode(WorldMapScreen::k_modeQuestScroll);
    map.onPlayClicked(*map.m_playButton);
    ASSERT_EQ(map.mode(), WorldMapScreen::k_modeLaunch);
    ASSERT_NE(map.launchSweep(), nullptr);
    services.calls.clear();
    int32_t armedAt = -1;
    for (int32_t t = 0; t < 5000 && services.calls.empty(); t += 20) {
        map.update(20);
        if (armedAt < 0 && map.launchTimer().isActive()) armedAt = t;
    }
    ASSERT_GE(armedAt, 0);
    EXPECT_EQ(services.calls, std::vector<std::string>{"screen 9"});
    // The scroll's second play does nothing.
    map.onPlayClicked(*map.m_playButton);
    EXPECT_EQ(services.calls.size(), 1u);
}

TEST_F(WorldMapScreenTest, NothingMovesWhileTheGameIsPaused)
{
    progress({0});
    WorldMapScreen& map = enter();
    map.setMapOffset(0, 0);
    map.startGlide(1400, 300);
    services.paused = true;
    for (int frame = 0; frame < 20; ++frame)
        map.update(20);
    EXPECT_EQ(map.mapOffset().x, 0);
    services.paused = false;
    for (int frame = 0; frame < 20; ++frame)
        map.update(20);
    EXPECT_GT(map.mapOffset().x, 0);
}

} // namespace

namespace {

TEST_F(WorldMapScreenTest, PlayAsksTheSpecialQuestQuestionForTheFirstQuests)
{
    struct Case
    {
        int32_t world;
        bool seenWorld2Tutorial;
        bool asks;
    };
    const Case cases[] = {
        {0, false, true},  // the first quest of the first world always asks
        {1, false, false}, // the second world's first quest: not the first time
        {1, true, true},   // but every time after
        {2, false, false},
    };
    for (const Case& c : cases) {
        progress({0, 1, 2});
        profile().setFlag(PlayerProfile::k_seenWorld2Tutorial, c.seenWorld2Tutorial);
        WorldMapScreen& map = enter();
        session->setCurrentWorld(c.world, &session->structure().worlds()[static_cast<std::size_t>(c.world)]);
        session->selectQuest(0);
        session->setSpecialQuest(false);
        map.setMode(WorldMapScreen::k_modeQuestScroll);
        map.onPlayClicked(*map.m_playButton);
        if (!c.asks) {
            EXPECT_EQ(map.mode(), WorldMapScreen::k_modeLaunch) << c.world;
            EXPECT_EQ(session->isSpecialQuest(), c.world == 1) << c.world;
            EXPECT_EQ(profile().flag(PlayerProfile::k_seenWorld2Tutorial),
                      c.world == 1 || c.seenWorld2Tutorial);
            continue;
        }
        EXPECT_EQ(map.getFrontMessageKind(), WorldMapScreen::k_specialQuestQuestion) << c.world;
        // The sweep stands still until the answer: no launch.
        for (int32_t t = 0; t < 2000; t += 20)
            frame(map, 20);
        EXPECT_EQ(map.mode(), WorldMapScreen::k_modeQuestScroll);
        EXPECT_FALSE(map.launchTimer().isActive());
        // A second press while the question is open does nothing.
        map.onPlayClicked(*map.m_playButton);
        EXPECT_EQ(map.mode(), WorldMapScreen::k_modeQuestScroll);
        map.onConfirmMessage(WorldMapScreen::k_specialQuestQuestion);
        EXPECT_TRUE(session->isSpecialQuest());
        ASSERT_EQ(map.mode(), WorldMapScreen::k_modeLaunch);
        services.calls.clear();
        int32_t sweepDone = -1;
        int32_t t = 0;
        for (; t < 5000 && services.calls.empty(); t += 20) {
            frame(map, 20);
            if (sweepDone < 0 && map.launchTimer().isActive()) sweepDone = t;
        }
        ASSERT_GE(sweepDone, 0);
        // The loading screen (which goes on to the level) 500 ms after the sweep.
        EXPECT_EQ(services.calls, std::vector<std::string>{"screen 9"});
        EXPECT_NEAR(t - sweepDone, WorldMapScreen::k_launchDelayMs, 40);
    }
    // Saying no plays the quest without the special one.
    progress({0});
    WorldMapScreen& map = enter();
    session->setCurrentWorld(0, &session->structure().worlds()[0]);
    session->selectQuest(0);
    session->setSpecialQuest(true);
    map.setMode(WorldMapScreen::k_modeQuestScroll);
    map.onPlayClicked(*map.m_playButton);
    ASSERT_EQ(map.getFrontMessageKind(), WorldMapScreen::k_specialQuestQuestion);
    map.onCancel();
    EXPECT_FALSE(session->isSpecialQuest());
    EXPECT_EQ(map.mode(), WorldMapScreen::k_modeLaunch);
}

} // namespace

namespace {

// The story-break and guide lines a visit speaks, as asset ids of the map.
std::vector<int32_t> spokenIds(WorldMapScreen& map, const std::vector<void*>& voices)
{
    std::vector<int32_t> ids;
    for (void* voice : voices) {
        int32_t found = -1;
        for (int32_t id = 0x1087; id <= 0x1191 && found < 0; ++id) {
            if (map.asset(id).get() == voice) found = id;
        }
        ids.push_back(found);
    }
    return ids;
}

TEST_F(WorldMapScreenTest, TheAwardShowsTheStarsThreeHundredMillisecondsApart)
{
    // Back from world 0's type-1 quest with three stars (state 4).
    progress({0}, {{1, 3}});
    settle();
    session->structure().setLastResult({1, 0, 4});
    services.previous = k_storyModeScreen;
    WorldMapScreen& map = enter(false);
    ASSERT_EQ(map.m_awardStars.size(), 5u);
    EXPECT_TRUE(map.m_awardPanel->isVisible());
    EXPECT_EQ(map.m_awardMarker->rect().left, map.worldNodes()[0]->m_tagPoint.x);
    std::vector<int32_t> opaqueAt(5, -1);
    int32_t awardEnd = -1;
    for (int32_t t = 10; t <= 6000 && awardEnd < 0; t += 10) {
        frame(map, 10);
        for (std::size_t i = 0; i < 5; ++i) {
            if (opaqueAt[i] < 0 && alphaOf(*map.m_awardStars[i]) == 255) opaqueAt[i] = t;
        }
        if (map.phase() != WorldMapScreen::k_phaseAward) awardEnd = t;
    }
    // Three stars at 300, 600 and 900 ms; the other two stay clear.
    EXPECT_NEAR(opaqueAt[0], 300, 20);
    EXPECT_NEAR(opaqueAt[1], 600, 20);
    EXPECT_NEAR(opaqueAt[2], 900, 20);
    EXPECT_EQ(opaqueAt[3], -1);
    EXPECT_EQ(opaqueAt[4], -1);
    // Then 800 ms, and the award ends.
    EXPECT_NEAR(awardEnd, 900 + 800, 30);
    runPhases(map);
    EXPECT_EQ(map.phaseLog(), (std::vector<int32_t>{0, 1, 2, 4, 3, 5, 6, 7}));
    EXPECT_EQ(alphaOf(*map.m_awardPanel), 0);
}

TEST_F(WorldMapScreenTest, AStateAboveSixFromADamagedProfileShowsFiveStarsAtMost)
{
    progress({0});
    settle();
    session->structure().setLastResult({1, 0, 9});
    services.previous = k_storyModeScreen;
    WorldMapScreen& map = enter(false);
    runPhases(map);
    EXPECT_EQ(map.mode(), WorldMapScreen::k_modeBrowse);
    EXPECT_EQ(map.awardStarIndex(), 5);
}

TEST_F(WorldMapScreenTest, AFiveStarResultRevealsAPieceAndTheFirstGiftIsSpokenOnce)
{
    for (bool firstGift : {true, false}) {
        progress({0}, {{1, 5}});
        settle();
        profile().setFlag(PlayerProfile::k_receivedGift, !firstGift);
        session->structure().setLastResult({1, 0, 6});
        services.previous = k_storyModeScreen;
        services.voices.clear();
        WorldMapScreen& map = enter(false);
        int32_t t = 0;
        while (t < 20000 && map.phase() <= WorldMapScreen::k_phaseNewMapPiece) {
            frame(map, 20);
            t += 20;
        }
        EXPECT_TRUE(map.mapPieceRevealed());
        EXPECT_EQ(alphaOf(*map.worldNodes()[0]->m_mapPieces[1]), 255);
        const std::vector<int32_t> spoken = spokenIds(map, services.voices);
        ASSERT_FALSE(spoken.empty());
        // The guide's map-piece line, then the first gift's.
        EXPECT_GE(spoken[0], 0x112D);
        EXPECT_LE(spoken[0], 0x1131);
        EXPECT_EQ(spoken.size(), firstGift ? 2u : 1u);
        if (firstGift) {
            EXPECT_EQ(spoken[1], 0x1141);
        }
        EXPECT_TRUE(profile().flag(PlayerProfile::k_receivedGift));
        runPhases(map);
        EXPECT_EQ(map.mode(), WorldMapScreen::k_modeBrowse);
    }
}

TEST_F(WorldMapScreenTest, APressDuringTheFirstGiftEndsItsPhase)
{
    progress({0}, {{1, 5}});
    settle();
    session->structure().setLastResult({1, 0, 6});
    services.previous = k_storyModeScreen;
    services.voices.clear();
    WorldMapScreen& map = enter(false);
    for (int32_t t = 0; t < 20000 && services.voices.size() < 2; t += 20)
        frame(map, 20);
    ASSERT_EQ(spokenIds(map, services.voices).back(), 0x1141);
    // A press stops the line: no end comes from the voice channel.
    map.onPointerDown(0, 8, {400, 300});
    map.onPointerUp(0, 8, {400, 300});
    EXPECT_EQ(services.voiceLeft, -1);
    EXPECT_NE(map.phase(), WorldMapScreen::k_phaseNewMapPiece);
    runPhases(map, 20000);
    EXPECT_EQ(map.mode(), WorldMapScreen::k_modeBrowse);
}

TEST_F(WorldMapScreenTest, StoryBreaksSpeakTheirLinesInOrderAfterTheIdle)
{
    struct Case
    {
        int32_t previous;
        GameStructure::Result result;
        std::vector<std::pair<int32_t, int32_t>> finished;
        std::vector<int32_t> lines;
        PlayerProfile::Flag seen;
    };
    const Case cases[] = {
        {k_storyModeScreen,
         {0, 0, 2},
         {{0, 1}},
         {0x1125, 0x1126, 0x1127, 0x1128, 0x1129},
         PlayerProfile::k_seenSB1Zibbo},
        {k_storyModeScreen, {1, 0, 2}, {{1, 1}}, {0x114F, 0x1150}, PlayerProfile::k_seenSB2Zibbo},
        {k_storyModeScreen, {3, 1, 2}, {{3, 1}}, {0x112B, 0x112C}, PlayerProfile::k_seenSB4Zibbo},
        // A fresh entry from the main menu: the welcome line.
        {k_mainMenuScreen, {-1, -1, -2}, {}, {0x1124}, PlayerProfile::k_flagCount},
        // The story is told (quest 11 finished, quest 35 not): speaker B's pair.
        {k_mainMenuScreen, {-1, -1, -2}, {{11, 2}}, {0x114D, 0x114E}, PlayerProfile::k_flagCount},
    };
    for (const Case& c : cases) {
        progress({0, 1, 2, 3}, c.finished);
        settle();
        profile().setFlag(PlayerProfile::k_seenEndGame, true);
        session->structure().setLastResult(c.result);
        services.previous = c.previous;
        services.voices.clear();
        services.music.clear();
        WorldMapScreen& map = enter(false);
        std::vector<int32_t> spokenAt;
        int32_t t = 0;
        while (t < 60000 && map.mode() == WorldMapScreen::k_modePhases) {
            frame(map, 20);
            t += 20;
            if (services.voices.size() > spokenAt.size()) spokenAt.push_back(t);
        }
        EXPECT_EQ(spokenIds(map, services.voices), c.lines) << c.result.questId;
        // Each line follows the one before by its length (1 s) and the 700 ms idle.
        for (std::size_t i = 1; i < spokenAt.size(); ++i)
            EXPECT_NEAR(spokenAt[i] - spokenAt[i - 1], 1000 + WorldMapScreen::k_storyIdleMs, 60) << i;
        if (c.seen != PlayerProfile::k_flagCount) {
            EXPECT_TRUE(profile().flag(c.seen));
        }
        EXPECT_TRUE(map.guideHasSpoken());
        // Speaker A's music plays once, never on a fresh entry.
        const bool speakerA = std::find(c.lines.begin(), c.lines.end(), 0x1126) != c.lines.end() ||
                              std::find(c.lines.begin(), c.lines.end(), 0x114F) != c.lines.end();
        const auto aMusic = std::count(services.music.begin(), services.music.end(), map.asset(0x10DF).get());
        EXPECT_EQ(aMusic, speakerA && c.previous == k_storyModeScreen ? 1 : 0) << c.result.questId;
        EXPECT_EQ(map.mode(), WorldMapScreen::k_modeBrowse);
    }
}

TEST_F(WorldMapScreenTest, APressDuringAStoryBreakSkipsToTheNextLine)
{
    progress({0}, {{0, 1}});
    settle();
    session->structure().setLastResult({0, 0, 2});
    services.previous = k_storyModeScreen;
    services.voices.clear();
    WorldMapScreen& map = enter(false);
    for (int32_t t = 0; t < 20000 && services.voices.empty(); t += 20)
        frame(map, 20);
    ASSERT_EQ(map.phase(), WorldMapScreen::k_phaseStoryBreak);
    map.onPointerDown(0, 8, {400, 300});
    map.onPointerUp(0, 8, {400, 300});
    // The next line after the idle, not after the first line's second.
    for (int32_t t = 0; t < WorldMapScreen::k_storyIdleMs + 60; t += 20)
        frame(map, 20);
    EXPECT_EQ(spokenIds(map, services.voices), (std::vector<int32_t>{0x1125, 0x1126}));
}

TEST_F(WorldMapScreenTest, ANewWorldOpensAndEachNewQuestIsPresentedOnce)
{
    // World 1 (quests 3, 4, 5 of types 0, 1, 2) just opened.
    progress({0, 1});
    profile().newWorlds() = {1};
    profile().newQuests() = {3, 4, 5};
    services.previous = k_profileMenuScreen;
    services.voices.clear();
    WorldMapScreen& map = enter(false);
    EXPECT_TRUE(map.worldNodes()[1]->m_lockOverlay->isVisible());
    std::vector<int32_t> reminders;
    int32_t t = 0;
    int32_t passes = 0;
    while (t < 60000 && map.mode() == WorldMapScreen::k_modePhases) {
        const std::size_t begun = map.phaseLog().size();
        frame(map, 20);
        t += 20;
        if (map.phaseLog().size() > begun && map.phaseLog().back() == WorldMapScreen::k_phaseQuestReminders) {
            ++passes;
            for (const FRefT<WorldMapNode>& node : map.worldNodes()) {
                if (node->m_tagAnimating) reminders.push_back(node->m_reminderQuest);
            }
        }
    }
    EXPECT_EQ(map.mode(), WorldMapScreen::k_modeBrowse);
    // The new world's type-0 quest, then the two others, then the end.
    EXPECT_EQ(reminders, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(passes, 3);
    EXPECT_EQ(map.phaseLog(), (std::vector<int32_t>{0, 1, 2, 4, 3, 5, 6, 6, 6, 6, 7}));
    EXPECT_FALSE(map.worldNodes()[1]->m_lockOverlay->isVisible());
    EXPECT_EQ(alphaOf(*map.worldNodes()[1]->m_ambientSprites[0]), 255);
    EXPECT_TRUE(profile().newWorlds().empty());
    EXPECT_TRUE(profile().newQuests().empty());
    EXPECT_EQ(map.activeNode(), map.worldNodes()[1].get());
    // The new world's line, then reminders of types 1 and 2 from their pools.
    const std::vector<int32_t> spoken = spokenIds(map, services.voices);
    ASSERT_EQ(spoken.size(), 3u);
    EXPECT_GE(spoken[0], 0x113C);
    EXPECT_LE(spoken[0], 0x1140);
    EXPECT_GE(spoken[1], 0x1132);
    EXPECT_LE(spoken[1], 0x1136);
    EXPECT_GE(spoken[2], 0x1137);
    EXPECT_LE(spoken[2], 0x113B);
    // The map's music once the reminders are over.
    EXPECT_EQ(services.music.back(), map.asset(0x1191).get());
    EXPECT_NE(std::find(services.calls.begin(), services.calls.end(), "stop ambient"), services.calls.end());
}

TEST_F(WorldMapScreenTest, ATypeThreeReminderTakesTheLongTrip)
{
    // World 2's third quest is a long trip (type 3).
    session->loadGameStructure(xmlStream(WorldMapKit::gameData(8)));
    progress({0, 1, 2});
    settle();
    profile().newQuests() = {8};
    // After quest 2 the trip speaks its own line.
    session->structure().setLastResult({2, 0, 2});
    services.previous = k_storyModeScreen;
    services.voices.clear();
    WorldMapScreen& map = enter(false);
    runPhases(map);
    EXPECT_EQ(map.mode(), WorldMapScreen::k_modeBrowse);
    EXPECT_TRUE(map.isLongTrip());
    EXPECT_EQ(map.activeNode(), map.worldNodes()[2].get());
    // The curtains close over 2.5 s, the cover darkens and the far place shows.
    for (int32_t t = 0; t < 6000; t += 20)
        frame(map, 20);
    EXPECT_EQ(alphaOf(*map.m_tripArrival), 255);
    EXPECT_EQ(alphaOf(*map.m_tripCover), 0);
    EXPECT_EQ(spokenIds(map, services.voices).back(), 0x1123);
    // No map music after a long trip; its sound comes back.
    EXPECT_EQ(std::count(services.music.begin(), services.music.end(), map.asset(0x1191).get()), 0);
}

TEST_F(WorldMapScreenTest, TheLastStoryQuestPlaysTheEndingAndLeavesForTheTextSequence)
{
    progress({0, 1, 2, 3}, {{11, 3}});
    settle();
    session->structure().setLastResult({11, 3, 4});
    services.previous = k_storyModeScreen;
    WorldMapScreen& map = enter(false);
    runPhases(map, 30000);
    EXPECT_TRUE(map.isLeaving());
    // Seen before the clip; the phases after the ending never begin.
    EXPECT_TRUE(profile().flag(PlayerProfile::k_seenEndGame));
    EXPECT_EQ(map.phaseLog(), (std::vector<int32_t>{0, 1, 2, 4}));
    const std::vector<std::string> leave{"pending 13", "screen 9"};
    EXPECT_TRUE(std::search(services.calls.begin(), services.calls.end(), leave.begin(), leave.end()) !=
                services.calls.end());
    // The next time, finished again with fewer than 180 stars: no ending.
    session->structure().setLastResult({11, 3, 4});
    WorldMapScreen& again = enter();
    EXPECT_EQ(again.phaseLog(), (std::vector<int32_t>{0, 1, 2, 4, 3, 5, 6, 7}));
}

TEST_F(WorldMapScreenTest, AllStarsPlayThePerfectEndingOnceAndTheMapGoesOn)
{
    std::vector<int32_t> all(12);
    for (int32_t w = 0; w < 12; ++w)
        all[static_cast<std::size_t>(w)] = w;
    std::vector<std::pair<int32_t, int32_t>> results;
    for (int32_t id = 0; id < 36; ++id)
        results.emplace_back(id, 5);
    progress(all, results);
    settle();
    profile().setFlag(PlayerProfile::k_seenEndGame, true);
    ASSERT_EQ(profile().getTotalStars(), 180);
    services.previous = k_profileMenuScreen;
    WorldMapScreen& map = enter(false);
    bool panelShown = false;
    for (int32_t t = 0; t < 30000 && map.mode() == WorldMapScreen::k_modePhases; t += 20) {
        frame(map, 20);
        panelShown = panelShown || (map.endingPanel()->isVisible() && alphaOf(*map.endingPanel()) == 255);
    }
    EXPECT_TRUE(panelShown);
    EXPECT_TRUE(map.isPerfectEnding());
    EXPECT_FALSE(map.isLeaving());
    EXPECT_FALSE(map.endingPanel()->isVisible());
    EXPECT_TRUE(profile().flag(PlayerProfile::k_seenPerfectEndGame));
    EXPECT_EQ(map.mode(), WorldMapScreen::k_modeBrowse);
    // Once seen, phase 4 ends at once.
    WorldMapScreen& again = enter(false);
    for (int32_t t = 0; t < 200; t += 20)
        frame(again, 20);
    EXPECT_FALSE(again.endingPanel()->isVisible());
    runPhases(again);
    EXPECT_EQ(again.mode(), WorldMapScreen::k_modeBrowse);
}

TEST_F(WorldMapScreenTest, RandomProfilesAlwaysReachTheHandOverOrLeave)
{
    std::mt19937 random(2026);
    const int32_t previousKinds[] = {k_mainMenuScreen, k_storyModeScreen, k_profileMenuScreen,
                                     k_avatarSelectScreen};
    for (int round = 0; round < 40; ++round) {
        profiles.getProfile(0)->reset();
        PlayerProfile& p = profile();
        for (int32_t f = 0; f < PlayerProfile::k_flagCount; ++f)
            p.setFlag(static_cast<PlayerProfile::Flag>(f), random() % 2 == 0);
        std::vector<int32_t> open;
        for (int32_t w = 0; w < 12; ++w) {
            if (w == 0 || random() % 3 == 0) open.push_back(w);
        }
        std::vector<std::pair<int32_t, int32_t>> results;
        for (int32_t w : open) {
            for (int32_t q = 0; q < 3; ++q) {
                if (random() % 2 == 0) results.emplace_back(3 * w + q, static_cast<int32_t>(random() % 6));
            }
        }
        progress(open, results);
        p.newWorlds().clear();
        p.newQuests().clear();
        for (int32_t w : open) {
            if (random() % 3 == 0) p.newWorlds().push_back(w);
            for (int32_t q = 0; q < 3; ++q) {
                if (random() % 3 == 0) p.newQuests().push_back(3 * w + q);
            }
        }
        const int32_t world = open[random() % open.size()];
        const int32_t quest = 3 * world + static_cast<int32_t>(random() % 3);
        // States up to 9: a damaged profile's.
        GameStructure::Result result{quest, world, static_cast<int32_t>(random() % 10)};
        if (random() % 3 == 0) result = {-1, -1, -2};
        session->structure().setLastResult(result);
        services.previous = previousKinds[random() % 4];
        services.audible = random() % 4 != 0;
        services.voiceMs = 200 + static_cast<int32_t>(random() % 3000);
        services.calls.clear();
        WorldMapScreen& map = enter(false);
        const int32_t took = runPhases(map, 120000);
        EXPECT_TRUE(map.mode() == WorldMapScreen::k_modeBrowse || map.isLeaving())
            << "round " << round << " stuck in phase " << map.phase() << " after " << took << " ms";
        EXPECT_LT(took, 120000) << round;
    }
}

} // namespace

namespace {

TEST_F(WorldMapScreenTest, TheChooserShowsTheStarsAndTheScrollOpensAndCloses)
{
    // World 1's quests 3, 4, 5 (types 0, 1, 2) finished with 3, 0 and 5 stars:
    // no quest left open there, so a click opens the chooser.
    progress({0, 1}, {{3, 3}, {4, 0}, {5, 5}});
    settle();
    WorldMapScreen& map = enter();
    map.selectWorld(1);
    int32_t t = 0;
    for (; t < 10000 && map.mode() != WorldMapScreen::k_modeQuestChooser; t += 20)
        frame(map, 20);
    ASSERT_EQ(map.mode(), WorldMapScreen::k_modeQuestChooser);
    EXPECT_TRUE(map.m_questChooserPanel->isVisible());
    // The dimmer reaches 128 in 150 ms, then the buttons fade in within about 150 ms.
    for (int32_t ms = 0; ms < 320; ms += 20)
        frame(map, 20);
    EXPECT_EQ(alphaOf(*map.m_chooserDimmer), 128);
    EXPECT_EQ(alphaOf(*map.m_questButton0Hit), 255);
    EXPECT_EQ(alphaOf(*map.m_questStars2[4]), 255);
    auto fullStars = [&](const std::vector<FRefT<FWidget>>& stars) {
        int32_t full = 0;
        for (const FRefT<FWidget>& star : stars)
            full += dynamic_cast<FImageWidget&>(*star).getImage().get() == map.asset(0x10DD).get() ? 1 : 0;
        return full;
    };
    EXPECT_EQ(fullStars(map.m_questStars0), 3); // state 4
    EXPECT_EQ(fullStars(map.m_questStars1), 0); // state 1: finished without stars
    EXPECT_EQ(fullStars(map.m_questStars2), 5);
    EXPECT_EQ(map.middleQuest(), 1);
    // Pointing at button 2 grows it to 1.3 about its centre.
    // The middle of a button's hit picture, on the screen.
    const FRectI panel = map.m_questChooserPanel->rect();
    auto onButton = [&](FContainer& button, FImageWidget& hit) {
        const FRectI r = getImageRectFlipped(hit.getImage().get());
        return FPointI{panel.left + button.rect().left + (r.left + r.right) / 2,
                       panel.top + button.rect().top + (r.top + r.bottom) / 2};
    };
    const FPointI onButton2 = onButton(*map.m_questButton2, *map.m_questButton2Hit);
    map.onPointerMove(0, onButton2);
    EXPECT_FLOAT_EQ(map.m_questButton2->scale().x, 1.3f);
    map.onPointerMove(0, {5, 5});
    EXPECT_FLOAT_EQ(map.m_questButton2->scale().x, 1.0f);
    // A release on button 0 picks quest 0 and unrolls its scroll.
    const FPointI onButton0 = onButton(*map.m_questButton0, *map.m_questButton0Hit);
    services.voices.clear();
    map.onPointerDown(0, 8, onButton0);
    map.onPointerUp(0, 8, onButton0);
    ASSERT_EQ(map.mode(), WorldMapScreen::k_modeQuestScroll);
    EXPECT_EQ(session->currentQuestType(), 0);
    EXPECT_TRUE(map.m_scrollPanel->isVisible());
    EXPECT_FALSE(map.m_scrollContent->isVisible());
    for (int32_t ms = 0; ms < 540; ms += 20)
        frame(map, 20);
    EXPECT_FALSE(map.m_scrollContent->isVisible()); // the rollers take 560 ms
    for (int32_t ms = 0; ms < 60; ms += 20)
        frame(map, 20);
    EXPECT_TRUE(map.m_scrollContent->isVisible());
    EXPECT_TRUE(map.questScrollShown());
    // World 1's line of quest 0, and its description.
    EXPECT_EQ(spokenIds(map, services.voices), std::vector<int32_t>{0x10EB});
    EXPECT_EQ(map.m_scrollDescription->text().toUtf8(), "Find the hidden things in Orchard Hills.");
    // Closing rolls it up and returns to the chooser.
    map.onCloseScrollClicked(*map.m_closeScrollButton);
    for (int32_t ms = 0; ms < 700; ms += 20)
        frame(map, 20);
    EXPECT_FALSE(map.m_scrollPanel->isVisible());
    EXPECT_EQ(map.mode(), WorldMapScreen::k_modeQuestChooser);
    // A release away from the world closes the chooser.
    map.onPointerDown(0, 8, {5, 5});
    map.onPointerUp(0, 8, {5, 5});
    EXPECT_EQ(map.mode(), WorldMapScreen::k_modeBrowse);
    EXPECT_EQ(alphaOf(*map.m_chooserDimmer), 0);
}

TEST_F(WorldMapScreenTest, AWorldWithAPendingQuestOpensItsScrollAtOnce)
{
    progress({0});
    settle();
    WorldMapScreen& map = enter();
    ASSERT_TRUE(map.worldNodes()[0]->m_hasQuestReminder);
    map.selectWorld(0);
    EXPECT_EQ(map.mode(), WorldMapScreen::k_modeQuestScroll);
    for (int32_t ms = 0; ms < 700; ms += 20)
        frame(map, 20);
    ASSERT_TRUE(map.m_scrollContent->isVisible());
    map.onCloseScrollClicked(*map.m_closeScrollButton);
    for (int32_t ms = 0; ms < 700; ms += 20)
        frame(map, 20);
    // Reached through its reminder: back to browsing, not to a chooser.
    EXPECT_EQ(map.mode(), WorldMapScreen::k_modeBrowse);
}

} // namespace
