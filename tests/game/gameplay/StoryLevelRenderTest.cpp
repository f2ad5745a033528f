// The story screen with a level of the first world, drawn from the demo kit
// through the OpenGL device (offscreen, llvmpipe): the level at its start,
// a story step with the speaker and the story panel, the found pop, the
// interrupt overlay and the level's end. Each frame must be a picture; with
// ZIBBO_GAMEPLAY_PNG_DIR set, they are written there as "level-start.png",
// "level-story.png", "level-found.png", "level-interrupt.png" and
// "level-end.png" for people to look at.
#include "engine/platform/gl/GlRenderSupport.h"
#include "game/gameplay/StoryScreenTestSupport.h"
#include "support/DemoKit.h"

#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/StoryEvent.h"
#include "game/core/StoryTaskStepper.h"
#include "game/core/TaskType.h"
#include "game/gameplay/FoundItemPop.h"
#include "game/gameplay/HudPanel.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/gameplay/StoryPanel.h"
#include "game/gameplay/StoryTeller.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/SearchableSprite.h"
#include "graphics/FDrawContext.h"
#include "image/FJpegLoader.h"
#include "tools/imagewriters/PngWriter.h"
#include "ui/FFontModule.h"
#include "video/FVideoLoaderModule.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <initializer_list>

using namespace storytest;

namespace {

class RenderStoryScreen : public StoryModeScreen
{
public:
    using StoryModeScreen::raiseStoryEvent;
    using StoryModeScreen::refreshPanel;
    using StoryModeScreen::reportSpriteFound;
};

class StoryLevelRenderTest : public testing::Test, protected StoryScreenLevel<RenderStoryScreen>
{
protected:
    void SetUp() override
    {
        if (const std::string why = demokit::missing(DEMO_KIT); !why.empty()) GTEST_SKIP() << why;
        // The kit's own world, screens and media over the test's files.
        ASSERT_NO_FATAL_FAILURE(demokit::openForDrawing(DEMO_KIT, scratch.path(), graph));
    }

    void run(int32_t ms, int32_t step = 20)
    {
        for (int32_t t = 0; t < ms; t += step)
            screen().update(step);
    }

    // Draws the screen, checks that the frame is a picture and writes it.
    void drawAndKeep(const char* name)
    {
        glrender::paintFrame(graph, readBack, [&](FDrawContext& context) { screen().draw(context); });
        ASSERT_EQ(readBack.pixels.size(), 800u * 600u * 4u);
        EXPECT_GT(glrender::sampledColours(readBack.pixels), 20u) << name;
        if (const char* out = std::getenv("ZIBBO_GAMEPLAY_PNG_DIR")) {
            const std::vector<uint8_t> bytes = writePng(PngPicture::rgba(800, 600, readBack.pixels));
            std::ofstream((std::filesystem::path(out) / name).string(), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
    }

    FImageLoaderModule jpeg{k_slotJpegLoader, &FJpegLoader::load};
    FVideoLoaderModule gw{k_slotGwVideoLoader, ".gwvideo"};
    FFontModule fonts;
    glrender::TestGraph graph;
    glrender::ReadBack readBack{application.serviceSlot(k_slotInvalidation), graph};
};

TEST_F(StoryLevelRenderTest, ALevelOfTheFirstWorldDrawsFromItsStartToItsEnd)
{
    start({6, 18});
    RenderStoryScreen& s = screen();
    run(200);
    ASSERT_FALSE(s.getTaskSprites()->empty());
    drawAndKeep("level-start.png");

    // The first step of the world's story: the speaker with its line.
    s.raiseStoryEvent(k_eventLevelReady);
    run(1500);
    if (StoryPanel* panel = s.storyTeller()->panel()) {
        panel->show();
        run(1000);
    }
    drawAndKeep("level-story.png");
    if (StoryTaskRecord* record = s.storyTeller()->script().runningRecord()) {
        (void)record;
        run(3000);
        s.onPointerUp(0, 8, {300, 200});
        run(1000);
    }
    if (StoryPanel* panel = s.storyTeller()->panel()) panel->hide();
    run(1000);

    // A find: the pop over the map.
    SearchableSprite& sprite = *s.getTaskSprites()->front();
    s.reportSpriteFound(0, sprite);
    run(200, 10);
    drawAndKeep("level-found.png");
    run(2000);

    // The interrupt's overlay clip.
    StoryTaskStepper stepper{&s, nullptr, 1};
    s.showAnimatedOverlay(stepper);
    run(1000, 83);
    drawAndKeep("level-interrupt.png");
    run(4000);
    // The interrupt over (its own flow hides these when its steps end).
    for (FWidget* shown : std::initializer_list<FWidget*>{s.m_overlayContainer.get(), s.m_overlayVideo.get(),
                                                          s.m_overlayExtra1.get(), s.m_overlayExtra2.get()})
        if (shown != nullptr) shown->setVisible(false);

    // Every item found, the awards of the quest's last task, then the end.
    const std::deque<FRefT<SearchableSprite>> sprites = *s.getTaskSprites();
    // The strip's entries are made active as its refresh makes the entries
    // in play, taken from the strip itself.
    if (HudPanel* panel = s.refreshPanel()) {
        for (int32_t i = 0; i < panel->entryCount(); ++i)
            if (FRefT<HudPanelEntry> entry = panel->entryAt(i); entry.get() != nullptr)
                entry->setActive(true);
    }
    for (const FRefT<SearchableSprite>& item : sprites) {
        const FPointI centre = FWidget::getRectCenter(item->rect());
        item->onPointerDown(0, 8, centre);
        item->update(100);
        item->onPointerUp(0, 8, centre);
    }
    for (int32_t frame = 0; frame < 600 && session().getCurrentTaskType() != k_taskAwards; ++frame)
        s.update(16);
    ASSERT_EQ(session().getCurrentTaskType(), k_taskAwards);
    run(200);
    s.endTask();
    run(600);
    EXPECT_TRUE(s.m_endImage->isVisible());
    drawAndKeep("level-end.png");
}

} // namespace
