// The world map drawn from the demo kit through the OpenGL device (offscreen,
// llvmpipe): the frame shows the map, and is written to the PNG that
// ZIBBO_WORLDMAP_PNG names, for people to look at.
#include "engine/platform/gl/GlRenderSupport.h"
#include "support/ScratchFileModules.h"

#include "game/GameDataTestSupport.h"

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
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace GameDataText;

class SilentAsset : public FAsset
{
};

FRef makeKitObject(int16_t kind)
{
    if (kind == 2 || kind == 4) return FAsset::handleFor(engineNew<SilentAsset>(k_memObject));
    return FAssetKinds::create(kind);
}

class RenderServices : public WorldMapServices
{
public:
    GameSession* gameSession() override { return session; }
    GameParams* params() override { return tuning; }
    int32_t previousScreenKind() const override { return k_profileMenuScreen; }
    bool isGamePaused() const override { return false; }
    void playSound(const FRef&, int32_t) override {}
    void stopAllSounds() override {}
    void setPendingScreen(int32_t) override {}
    void setScreen(int32_t, bool) override {}
    void prepareScreen(FScreen*) override {}

    GameSession* session = nullptr;
    GameParams* tuning = nullptr;
};

TEST(WorldMapRenderTest, TheMapFromTheDemoKitDraws)
{
    if (!fs::exists(DEMO_KIT)) GTEST_SKIP() << "no demo kit at " << DEMO_KIT << " (make kit)";
    if (std::system("command -v unzip > /dev/null 2>&1") != 0) GTEST_SKIP() << "unzip is not installed";
    ScratchFileModules modules;
    FLocalizedMessages::setLanguage(0);
    const std::string unzip =
        "unzip -q -o '" + std::string(DEMO_KIT) + "' -d '" + modules.scratch.path().string() + "'";
    ASSERT_EQ(std::system(unzip.c_str()), 0);
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    FImageLoaderModule jpeg{k_slotJpegLoader, &FJpegLoader::load};
    FVideoLoaderModule gw{k_slotGwVideoLoader, ".gwvideo"};
    FFontModule fonts;
    RecordingErrorHandler handler;
    glrender::TestGraph graph;
    glrender::ReadBack readBack{modules.application.serviceSlot(k_slotInvalidation), graph};
    graph.createWindowAndDevice({800, 600}, {800, 600}, FGraph::k_modeFixedWindow);
    ASSERT_TRUE(graph.hasWindow()) << graph.lastError();
    GameWidgetFactory::registerTypes();
    FScreenModule screens{&makeKitObject};

    GameParams params(modules.application);
    params.onLoaded();
    SaveManager saves;
    saves.attachDefaultFileSystem();
    ProfileManager profiles(saves);
    profiles.saveProfile(0);
    PlayerProfile& profile = *profiles.getCurrentProfile();
    profile.setName(FString("Painter"));
    // Five worlds open, pieces earned in the first three.
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
    for (int w = 0; w < 5; ++w) {
        profile.unlockWorld(w);
        for (int q = 0; q < 3; ++q)
            profile.unlockQuest(3 * w + q, w);
    }
    for (int id : {0, 1, 2, 3, 4, 6})
        profile.setQuestResult(id, 5);
    profile.newQuests().clear();
    profile.newWorlds().clear();
    GameSession session(&profiles, {});
    session.loadGameStructure(xmlStream(gameData(worlds)));
    RenderServices services;
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

        FDrawContext& context = graph.beginFrameRecording();
        map.draw(context);
        graph.endFrameRecording();
        readBack.pixels.clear();
        graph.onPaint();
        ASSERT_EQ(readBack.pixels.size(), 800u * 600u * 4u);
        // The frame is a picture, not one colour.
        std::set<uint32_t> colours;
        for (std::size_t i = 0; i < readBack.pixels.size(); i += 4 * 97)
            colours.insert(uint32_t(readBack.pixels[i]) << 16 | uint32_t(readBack.pixels[i + 1]) << 8 |
                           readBack.pixels[i + 2]);
        EXPECT_GT(colours.size(), 50u);
        if (const char* out = std::getenv("ZIBBO_WORLDMAP_PNG")) {
            const std::vector<uint8_t> bytes = writePng(PngPicture::rgba(800, 600, readBack.pixels));
            std::ofstream(out, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
    }
    WorldMapServices::setInstance(nullptr);
}

} // namespace
