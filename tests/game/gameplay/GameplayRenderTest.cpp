// The options overlay, the pause overlay, the common gameplay screen and the
// story screen's interrupt overlay drawn from the demo kit through the OpenGL
// device (offscreen, llvmpipe): each frame is a picture, and is written as
// "options.png", "pause.png", "common.png" and "interrupt.png" into the
// folder ZIBBO_GAMEPLAY_PNG_DIR names, for people to look at.
#include "engine/platform/gl/GlRenderSupport.h"
#include "game/gameplay/GameplayTestSupport.h"
#include "support/DemoKit.h"
#include "support/ScratchFileModules.h"

#include "asset/FAsset.h"
#include "asset/FRawDataModule.h"
#include "asset/FScreenModule.h"
#include "core/FLocalizedMessages.h"
#include "game/core/StoryTaskStepper.h"
#include "game/factories/GameWidgetFactory.h"
#include "game/gameplay/OptionsHostScreen.h"
#include "game/gameplay/PauseHostScreen.h"
#include "game/gameplay/StoryModeScreen.h"
#include "graphics/FDrawContext.h"
#include "image/FImageLoaderModule.h"
#include "image/FJpegLoader.h"
#include "image/FPngLoader.h"
#include "tools/imagewriters/PngWriter.h"
#include "ui/FAssetKinds.h"
#include "ui/FFontModule.h"
#include "ui/FLabel.h"
#include "ui/FWidgetFactory.h"
#include "ui/FWidgetTypes.h"
#include "video/FVideoLoaderModule.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

namespace fs = std::filesystem;

class GameplayRenderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (const std::string why = demokit::missing(DEMO_KIT); !why.empty()) GTEST_SKIP() << why;
        ASSERT_NO_FATAL_FAILURE(demokit::openForDrawing(DEMO_KIT, modules.scratch.path(), graph));
        GameWidgetFactory::registerTypes();
    }

    // Draws the screen, checks that the frame is a picture and writes it.
    void drawAndKeep(FScreen& screen, const char* name)
    {
        glrender::paintFrame(graph, readBack, [&](FDrawContext& context) { screen.draw(context); });
        ASSERT_EQ(readBack.pixels.size(), 800u * 600u * 4u);
        EXPECT_GT(glrender::sampledColours(readBack.pixels), 20u) << name;
        if (const char* out = std::getenv("ZIBBO_GAMEPLAY_PNG_DIR")) {
            const std::vector<uint8_t> bytes = writePng(PngPicture::rgba(800, 600, readBack.pixels));
            std::ofstream((fs::path(out) / name).string(), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
    }

    ScratchFileModules modules;
    demokit::Loaders loaders;
    FRawDataModule rawData;
    RecordingErrorHandler handler;
    glrender::TestGraph graph;
    glrender::ReadBack readBack{modules.application.serviceSlot(k_slotInvalidation), graph};
    FScreenModule screens{&demokit::makeSilentSoundObject};
};

TEST_F(GameplayRenderTest, TheOptionsOverlayDrawsOpen)
{
    FRefT<OptionsHostScreen> screen(makeRef(engineNew<OptionsHostScreen>(k_memObject)));
    screen->onActivate();
    screen->openMenuPanel();
    screen->update(OptionsHostScreen::k_slideMs);
    screen->update(OptionsHostScreen::k_coverFadeMs);
    for (int frame = 0; frame < 30; ++frame)
        screen->update(20);
    drawAndKeep(*screen, "options.png");
}

TEST_F(GameplayRenderTest, ThePauseOverlayDrawsOpen)
{
    FRefT<PauseHostScreen> screen(makeRef(engineNew<PauseHostScreen>(k_memObject)));
    screen->onActivate();
    screen->m_pauseContainer->setVisible(true);
    screen->update(0);
    screen->update(PauseHostScreen::k_slideMs);
    screen->update(PauseHostScreen::k_coverFadeMs);
    for (int frame = 0; frame < 30; ++frame)
        screen->update(20);
    drawAndKeep(*screen, "pause.png");
}

TEST_F(GameplayRenderTest, TheCommonScreenDrawsItsBackdropAndTaskLabel)
{
    FRefT<gameplaytest::TestCommonScreen> screen(
        makeRef(engineNew<gameplaytest::TestCommonScreen>(k_memObject)));
    screen->onActivate();
    // The backdrop the options overlay opens over from the pause, and the
    // task label as a task start shows it.
    screen->showPauseBackdrop();
    FLabel& label = *screen->m_taskLabel;
    label.setVisible(true);
    label.setAlpha(255);
    label.rebuildGlyphRuns();
    for (int frame = 0; frame < 10; ++frame)
        screen->update(20);
    drawAndKeep(*screen, "common.png");
}

TEST_F(GameplayRenderTest, TheInterruptOverlayDrawsItsClipOverItsPanel)
{
    // The story panel's widget class comes with the story script.
    FWidgetFactory::registerType(FWidgetTypes::k_storyPanel, &FWidgetFactory::createChild<FContainer>);
    FRefT<StoryModeScreen> screen(makeRef(engineNew<StoryModeScreen>(k_memObject)));
    screen->onActivate();
    StoryTaskStepper stepper{screen.get(), nullptr, 1};
    screen->showAnimatedOverlay(stepper);
    for (int frame = 0; frame < 12; ++frame)
        screen->update(83);
    EXPECT_TRUE(static_cast<FWidget*>(screen->m_overlayContainer.get())->isVisible());
    drawAndKeep(*screen, "interrupt.png");
}

} // namespace
