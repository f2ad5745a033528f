// The interrupt's overlay drawn from the demo kit through the OpenGL device
// (offscreen, llvmpipe): the overlay panel and clip over the level, written
// as "interrupt.png" into the folder ZIBBO_GAMEPLAY_PNG_DIR names, for
// people to look at.
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
#include "game/gameplay/StoryModeScreen.h"
#include "graphics/FDrawContext.h"
#include "tools/imagewriters/PngWriter.h"
#include "ui/FAssetKinds.h"
#include "ui/FContainer.h"
#include "ui/FWidgetFactory.h"
#include "ui/FWidgetTypes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

class InterruptRenderAsset : public FAsset
{
};

FRef makeInterruptKitObject(int16_t kind)
{
    if (kind == 2 || kind == 4) return FAsset::handleFor(engineNew<InterruptRenderAsset>(k_memObject));
    return FAssetKinds::create(kind);
}

TEST(InterruptRenderTest, TheOverlayDrawsOverTheLevel)
{
    if (const std::string why = demokit::missing(DEMO_KIT); !why.empty()) GTEST_SKIP() << why;
    ScratchFileModules modules;
    demokit::Loaders loaders;
    FRawDataModule rawData;
    RecordingErrorHandler handler;
    glrender::TestGraph graph;
    glrender::ReadBack readBack{modules.application.serviceSlot(k_slotInvalidation), graph};
    FScreenModule screens{&makeInterruptKitObject};
    FLocalizedMessages::setLanguage(0);
    ASSERT_EQ(demokit::unpack(DEMO_KIT, modules.scratch.path()), 0);
    graph.createWindowAndDevice({800, 600}, {800, 600}, FGraph::k_modeFixedWindow);
    ASSERT_TRUE(graph.hasWindow()) << graph.lastError();
    GameWidgetFactory::registerTypes();
    // The story panel's widget class comes with the story script.
    FWidgetFactory::registerType(FWidgetTypes::k_storyPanel, &FWidgetFactory::createChild<FContainer>);

    FRefT<StoryModeScreen> screen(makeRef(engineNew<StoryModeScreen>(k_memObject)));
    screen->onActivate();
    StoryTaskStepper stepper{screen.get(), nullptr, 1};
    screen->showAnimatedOverlay(stepper);
    for (int frame = 0; frame < 12; ++frame)
        screen->update(83);
    EXPECT_TRUE(static_cast<FWidget*>(screen->m_overlayContainer.get())->isVisible());

    glrender::paintFrame(graph, readBack, [&](FDrawContext& context) { screen->draw(context); });
    ASSERT_EQ(readBack.pixels.size(), 800u * 600u * 4u);
    EXPECT_GT(glrender::sampledColours(readBack.pixels), 20u);
    if (const char* out = std::getenv("ZIBBO_GAMEPLAY_PNG_DIR")) {
        const std::vector<uint8_t> bytes = writePng(PngPicture::rgba(800, 600, readBack.pixels));
        std::ofstream((std::filesystem::path(out) / "interrupt.png").string(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

} // namespace
