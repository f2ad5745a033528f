// The world map screen from the factory, bound to folder 14 and its shared
// parts as kittool writes them from the game's manifests: the layout's
// lists, the building from the tuning tables, the restore from a profile,
// the glide, dragging with coasting, hover and click, the sparkles and the
// way back to the main menu.
#include "support/ScratchFileModules.h"

#include "game/GameDataTestSupport.h"

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

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace GameDataText;

class QuietAsset : public FAsset
{
};

FRef makeScreenObject(int16_t kind)
{
    if (kind == 2 || kind == 4) return FAsset::handleFor(engineNew<QuietAsset>(k_memObject));
    return FAssetKinds::create(kind);
}

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
class FakeServices : public WorldMapServices
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

    GameSession* session = nullptr;
    GameParams* tuning = nullptr;
    int32_t previous = k_mainMenuScreen;
    bool paused = false;
    std::vector<std::string> calls;
};

// Writes the screen files of the map's folders once per process.
const fs::path& screenFiles()
{
    static const fs::path path = [] {
        fs::path folder = fs::temp_directory_path() / ("zibbo-worldmap-files-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        for (const char* manifest : {"003", "005", "012", "019", "023", "027", "028", "030", "014"}) {
            const std::string command = std::string(KITTOOL_PATH) + " screenfile " + SCREEN_MANIFESTS + "/" +
                                        manifest + ".lua " + folder.string() + " > /dev/null";
            EXPECT_EQ(std::system(command.c_str()), 0) << command;
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

// Quests by world: world w holds quest ids 3w, 3w+1, 3w+2 of types 0, 1, 2.
std::string mapGameData()
{
    std::vector<std::vector<std::string>> worlds;
    for (int w = 0; w < 12; ++w) {
        std::vector<std::string> quests;
        for (int q = 0; q < 3; ++q) {
            QuestText text;
            text.id = 3 * w + q;
            text.type = q;
            quests.push_back(quest(text));
        }
        worlds.push_back(quests);
    }
    return gameData(worlds);
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
        session->loadGameStructure(xmlStream(mapGameData()));
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
        for (int32_t w : worlds) {
            profile().unlockWorld(w);
            for (int32_t q = 0; q < 3; ++q)
                profile().unlockQuest(3 * w + q, w);
        }
        for (auto [questId, stars] : results)
            profile().setQuestResult(questId, stars);
    }

    WorldMapScreen& enter()
    {
        screen = createScreen(k_worldMapScreen);
        auto* map = dynamic_cast<WorldMapScreen*>(screen.get());
        EXPECT_NE(map, nullptr);
        map->onActivate();
        return *map;
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
    FScreenModule screenModule{&makeScreenObject};
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
    WorldMapScreen& map = enter();
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
    // The map is the player's: browse mode with the menu button.
    EXPECT_EQ(map.mode(), WorldMapScreen::k_modeBrowse);
    EXPECT_TRUE(map.m_menuButton->isVisible());
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
        WorldMapScreen& map = enter();
        EXPECT_EQ(profile().newWorlds().empty(), !c.keeps) << c.previous;
        EXPECT_EQ(profile().newQuests().empty(), !c.keeps) << c.previous;
        EXPECT_EQ(map.isFreshEntry(), c.fresh) << c.previous;
        screen.release();
    }
    // Back from a level with a result keeps them.
    session->structure().setLastResult({4, 1, 6});
    profile().newWorlds() = {1};
    services.previous = k_storyModeScreen;
    WorldMapScreen& map = enter();
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
    WorldMapScreen& map = enter();
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
