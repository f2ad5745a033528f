#include "FakeCursorDevice.h"

#include "engine/graphics/RecordingDevice.h"
#include "game/core/GameCursors.h"
#include "game/core/SystemCursorDevice.h"
#include "graphics/FCursorImage.h"
#include "ui/FWidget.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

// The three pictures of the cursor folder, each a colour of its own.
struct CursorFolder
{
    CursorFolder()
    {
        images[GameCursors::k_defaultImage] = makeSolidImage(16, 16, 0xFFFF0000u);
        images[GameCursors::k_style5Image] = makeSolidImage(16, 16, 0xFF00FF00u);
        images[GameCursors::k_style4Image] = makeSolidImage(32, 32, 0xFF0000FFu);
    }
    GameCursors::ImageLookup lookup(FakeCursorDevice& device)
    {
        for (const auto& [id, image] : images)
            device.imageIds[image.get()] = id;
        return [this](std::int32_t id) {
            ++lookups;
            const auto found = images.find(id);
            return found != images.end() ? found->second : FRefT<FImage>();
        };
    }

    std::map<std::int32_t, FRefT<FImage>> images;
    int lookups = 0;
};

struct CursorRig
{
    explicit CursorRig(bool custom = true) : cursors(device, custom)
    {
        cursors.setupCursors(folder.lookup(device));
    }
    FakeCursorDevice device;
    CursorFolder folder;
    GameCursors cursors;
};

TEST(GameCursorsTest, SetupBuildsFourCursorsOnceAndInstallsBothPlayersDefaults)
{
    CursorRig rig;
    EXPECT_EQ(rig.device.take(),
              (Calls{"make 6641#0", "make 6641#1", "make 6643#2", "make 6642#3", "default 0 6641#0",
                     "graph 0 6641#0", "default 1 6641#1", "graph 1 6641#1"}));
    for (const FRefT<FCursorImage>* cursor : {&rig.cursors.playerCursor(0), &rig.cursors.playerCursor(1),
                                              &rig.cursors.cursorStyle4(), &rig.cursors.cursorStyle5()})
        EXPECT_EQ((*cursor)->hotSpot(), (FPointI{5, 5}));
    EXPECT_EQ(rig.cursors.cursorState(0), 0);
    rig.cursors.setupCursors(rig.folder.lookup(rig.device));
    EXPECT_TRUE(rig.device.take().empty());
    EXPECT_EQ(rig.folder.lookups, 4);
}

TEST(GameCursorsTest, CursorPicturesComeFromTheFolderImagesThroughTheCursorMapping)
{
    CursorRig rig;
    struct Case
    {
        const FRefT<FCursorImage>& cursor;
        std::int32_t size;
        std::uint32_t argb;
    } const cases[] = {{rig.cursors.playerCursor(0), 16, 0xFFFF0000u},
                       {rig.cursors.playerCursor(1), 16, 0xFFFF0000u},
                       {rig.cursors.cursorStyle4(), 32, 0xFF0000FFu},
                       {rig.cursors.cursorStyle5(), 16, 0xFF00FF00u}};
    for (const Case& c : cases) {
        ASSERT_NE(c.cursor.get(), nullptr);
        std::int32_t size = 0;
        const std::vector<std::uint32_t> pixels = FCursorImage::mapPixels(*c.cursor->image(), size);
        EXPECT_EQ(size, c.size);
        EXPECT_EQ(pixels.front(), c.argb);
        EXPECT_EQ(pixels.back(), c.argb);
    }
    // Each player holds a cursor object of its own.
    EXPECT_NE(rig.cursors.playerCursor(0).get(), rig.cursors.playerCursor(1).get());
}

TEST(GameCursorsTest, WithoutCustomCursorsNothingIsBuiltOrInstalledButStatesChange)
{
    CursorRig rig(false);
    rig.cursors.setCursorStyle4();
    rig.cursors.setDefaultCursor(1);
    rig.cursors.applyCursorStyle(5);
    rig.cursors.showPauseCursor();
    EXPECT_EQ(rig.device.take(), Calls{"show"});
    EXPECT_EQ(rig.folder.lookups, 0);
    EXPECT_EQ(rig.cursors.playerCursor(0).get(), nullptr);
    EXPECT_EQ(rig.cursors.cursorState(0), 0);
    EXPECT_EQ(rig.cursors.previousCursorState(0), 5);
}

TEST(GameCursorsTest, EachStateChangeShowsItsCursorAndRemembersTheStateItReplaced)
{
    CursorRig rig;
    rig.device.take();
    struct Step
    {
        const char* what;
        std::function<void(GameCursors&)> change;
        std::int32_t state, previous;
        Calls calls;
    } const steps[] = {
        {"style 4",
         [](GameCursors& c) { c.setCursorStyle4(); },
         4,
         0,
         {"default 0 6643#2", "graph 0 6643#2"}},
        {"style 4 again",
         [](GameCursors& c) { c.setCursorStyle4(); },
         4,
         4,
         {"default 0 6643#2", "graph 0 6643#2"}},
        {"apply 5",
         [](GameCursors& c) { c.applyCursorStyle(5); },
         5,
         4,
         {"default 0 6642#3", "graph 0 6642#3"}},
        {"apply 2",
         [](GameCursors& c) { c.applyCursorStyle(2); },
         0,
         5,
         {"default 0 6641#0", "graph 0 6641#0"}},
        {"apply 7",
         [](GameCursors& c) { c.applyCursorStyle(7); },
         0,
         0,
         {"default 0 6641#0", "graph 0 6641#0"}},
        {"player 1",
         [](GameCursors& c) { c.setDefaultCursor(1); },
         0,
         0,
         {"default 1 6641#1", "graph 1 6641#1"}},
    };
    for (const Step& step : steps) {
        step.change(rig.cursors);
        EXPECT_EQ(rig.cursors.cursorState(0), step.state) << step.what;
        EXPECT_EQ(rig.cursors.previousCursorState(0), step.previous) << step.what;
        EXPECT_EQ(rig.device.take(), step.calls) << step.what;
    }
}

TEST(GameCursorsTest, ARestoreBringsBackASpecialCursorShownBeforeThePause)
{
    CursorRig rig;
    rig.cursors.setCursorStyle5();
    rig.device.take();
    rig.cursors.showPauseCursor();
    EXPECT_EQ(rig.device.take(), (Calls{"default 0 6641#0", "graph 0 6641#0", "show"}));
    EXPECT_EQ(rig.cursors.previousCursorState(0), 5);
    rig.cursors.restoreRememberedCursor();
    EXPECT_EQ(rig.device.take(), (Calls{"default 0 6642#3", "graph 0 6642#3"}));
    EXPECT_EQ(rig.cursors.cursorState(0), 5);
    EXPECT_EQ(rig.cursors.previousCursorState(0), 0);
    // Nothing remembered: a restore shows nothing.
    rig.cursors.setDefaultCursor(0);
    rig.cursors.setDefaultCursor(0);
    rig.device.take();
    rig.cursors.restoreRememberedCursor();
    EXPECT_TRUE(rig.device.take().empty());
}

TEST(GameCursorsTest, AScreenChangePutsBothPlayersOnTheirDefaultsRememberingTheirStates)
{
    CursorRig rig;
    rig.cursors.setCursorStyle4();
    rig.device.take();
    rig.cursors.resetForScreenChange();
    EXPECT_EQ(rig.device.take(),
              (Calls{"default 0 6641#0", "graph 0 6641#0", "default 1 6641#1", "graph 1 6641#1"}));
    EXPECT_EQ(rig.cursors.cursorState(0), 0);
    EXPECT_EQ(rig.cursors.previousCursorState(0), 4);
    EXPECT_EQ(rig.cursors.cursorState(1), 0);
    // Pointers beyond the table change nothing and read as the default.
    rig.cursors.setDefaultCursor(7);
    rig.cursors.setDefaultCursor(-1);
    EXPECT_TRUE(rig.device.take().empty());
    EXPECT_EQ(rig.cursors.cursorState(7), 0);
}

TEST(GameCursorsTest, TheSystemDeviceMakesCursorPicturesAndSetsTheWidgetsDefaultCursor)
{
    SystemCursorDevice device;
    FRefT<FImage> image = makeSolidImage(8, 8, 0xFF123456u);
    FRefT<FCursorImage> cursor = device.makeCursor(image, FPointI{5, 5});
    ASSERT_NE(cursor.get(), nullptr);
    EXPECT_EQ(cursor->image().get(), image.get());
    EXPECT_EQ(cursor->hotSpot(), (FPointI{5, 5}));
    const FRefT<FCursorImage> before = FWidget::getDefaultCursor(1);
    device.setDefaultCursor(1, cursor);
    EXPECT_EQ(FWidget::getDefaultCursor(1).get(), cursor.get());
    // Without a graphics interface there is no pointer to change.
    device.setGraphCursor(cursor, 1);
    device.showSystemCursor(true);
    FWidget::setDefaultCursor(1, before);
}

} // namespace
