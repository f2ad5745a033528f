// The front-end screens drawn from the demo kit through the OpenGL device
// (offscreen, llvmpipe): each frame shows a picture, and when
// ZIBBO_MENU_PNG_DIR names a folder each is written there (the menus as
// kind-NN.png, the others by name) for people to look at.
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

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The demo kit unpacked, the OpenGL device on an offscreen window and the
// screens' folders, for screens the game's factory builds.
class MenuRenderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (const std::string why = demokit::missing(DEMO_KIT); !why.empty()) GTEST_SKIP() << why;
        ASSERT_NO_FATAL_FAILURE(demokit::openForDrawing(DEMO_KIT, modules.scratch.path(), graph));
        GameWidgetFactory::registerTypes();
    }

    // Builds and activates `kind`, runs it for `ms` and draws it; checks that
    // the frame is a picture of more than `colours` sampled colours and
    // writes it as `name`.png.
    void drawKind(int32_t kind, int32_t ms, const std::string& name, std::size_t colours)
    {
        SCOPED_TRACE(name);
        FRefT<FScreen> screen = createScreen(kind);
        ASSERT_FALSE(screen.isNull());
        screen->setWidgetRect({0, 0, 800, 600});
        screen->onActivate();
        for (int32_t t = 0; t < ms; t += 20)
            screen->update(20);
        glrender::paintFrame(graph, readBack, [&](FDrawContext& context) { screen->draw(context); });
        ASSERT_EQ(readBack.pixels.size(), 800u * 600u * 4u);
        EXPECT_GT(glrender::sampledColours(readBack.pixels), colours);
        if (const char* folder = std::getenv("ZIBBO_MENU_PNG_DIR")) {
            const std::vector<uint8_t> bytes = writePng(PngPicture::rgba(800, 600, readBack.pixels));
            std::ofstream(fs::path(folder) / (name + ".png"), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
    }

    ScratchFileModules modules;
    FRawDataModule rawData;
    demokit::Loaders loaders;
    RecordingErrorHandler handler;
    glrender::TestGraph graph;
    glrender::ReadBack readBack{modules.application.serviceSlot(k_slotInvalidation), graph};
    FScreenModule screens{&demokit::makeSilentSoundObject};
};

TEST_F(MenuRenderTest, TheMenusFromTheDemoKitDraw)
{
    for (int32_t kind : {k_mainMenuScreen, k_profileScreen, k_nameEntryScreen, k_avatarSelectScreen,
                         k_profileMenuScreen, k_gameModeScreen})
        drawKind(kind, 2400, "kind-" + std::to_string(kind), 20);
}

// Each at a moment of its own timeline.
TEST_F(MenuRenderTest, TheStartUpAndClosingScreensFromTheDemoKitDraw)
{
    const struct
    {
        int32_t kind;
        int32_t ms;
        const char* name;
    } cases[] = {
        {k_introScreen, 1200, "intro"},
        {k_introSlidesScreen, 1200, "slides"},
        {k_introAnimationScreen, 1000, "intro-animation"},
        {k_splashScreen, 2000, "splash"},
        {k_loadingScreen, 300, "loading"},
        {k_legalScreen, 1500, "legal"},
        {k_legalScreen, 8000, "legal-later"},
        {k_textSequenceScreen, 3000, "text-sequence"},
        {k_animationScreen, 1000, "animation"},
    };
    for (const auto& c : cases)
        drawKind(c.kind, c.ms, c.name, 3);
}

} // namespace
