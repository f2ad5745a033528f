// The front-end menus drawn from the demo kit through the OpenGL device
// (offscreen, llvmpipe): each frame shows a picture, and when
// ZIBBO_MENU_PNG_DIR names a folder each is written there as kind-NN.png for
// people to look at.
#include "engine/platform/gl/GlRenderSupport.h"
#include "support/DemoKit.h"
#include "support/ScratchFileModules.h"

#include "asset/FAsset.h"
#include "asset/FRawDataModule.h"
#include "asset/FScreenModule.h"
#include "core/FLocalizedMessages.h"
#include "game/core/ScreenKind.h"
#include "game/factories/GameWidgetFactory.h"
#include "game/factories/ScreenFactory.h"
#include "graphics/FDrawContext.h"
#include "image/FImageLoaderModule.h"
#include "image/FJpegLoader.h"
#include "image/FPngLoader.h"
#include "tools/imagewriters/PngWriter.h"
#include "ui/FAssetKinds.h"
#include "ui/FFontModule.h"
#include "ui/FScreen.h"
#include "video/FVideoLoaderModule.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

class MenuSilentAsset : public FAsset
{
};

FRef makeMenuKitObject(int16_t kind)
{
    if (kind == 2 || kind == 4) return FAsset::handleFor(engineNew<MenuSilentAsset>(k_memObject));
    return FAssetKinds::create(kind);
}

TEST(MenuRenderTest, TheMenusFromTheDemoKitDraw)
{
    if (const std::string why = demokit::missing(DEMO_KIT); !why.empty()) GTEST_SKIP() << why;
    ScratchFileModules modules;
    FLocalizedMessages::setLanguage(0);
    ASSERT_EQ(demokit::unpack(DEMO_KIT, modules.scratch.path()), 0);
    FRawDataModule rawData;
    demokit::Loaders loaders;
    RecordingErrorHandler handler;
    glrender::TestGraph graph;
    glrender::ReadBack readBack{modules.application.serviceSlot(k_slotInvalidation), graph};
    graph.createWindowAndDevice({800, 600}, {800, 600}, FGraph::k_modeFixedWindow);
    ASSERT_TRUE(graph.hasWindow()) << graph.lastError();
    GameWidgetFactory::registerTypes();
    FScreenModule screens{&makeMenuKitObject};

    for (int32_t kind : {k_mainMenuScreen, k_profileScreen, k_nameEntryScreen, k_avatarSelectScreen,
                         k_profileMenuScreen, k_gameModeScreen}) {
        FRefT<FScreen> screen = createScreen(kind);
        screen->setWidgetRect({0, 0, 800, 600});
        screen->onActivate();
        for (int frame = 0; frame < 120; ++frame)
            screen->update(20);
        FDrawContext& context = graph.beginFrameRecording();
        screen->draw(context);
        graph.endFrameRecording();
        readBack.pixels.clear();
        graph.onPaint();
        ASSERT_EQ(readBack.pixels.size(), 800u * 600u * 4u);
        std::set<uint32_t> colours;
        for (std::size_t i = 0; i < readBack.pixels.size(); i += 4 * 97)
            colours.insert(uint32_t(readBack.pixels[i]) << 16 | uint32_t(readBack.pixels[i + 1]) << 8 |
                           readBack.pixels[i + 2]);
        EXPECT_GT(colours.size(), 20u) << "kind " << kind;
        if (const char* folder = std::getenv("ZIBBO_MENU_PNG_DIR")) {
            const std::vector<uint8_t> bytes = writePng(PngPicture::rgba(800, 600, readBack.pixels));
            std::ofstream(fs::path(folder) / ("kind-" + std::to_string(kind) + ".png"), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
    }
}

} // namespace
