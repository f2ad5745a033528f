#include "UiTestSupport.h"

#include "asset/FScreenFileReader.h"
#include "asset/FScreenRegistry.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/contentwriters/WidgetRecordWriter.h"
#include "ui/FWidgetFactory.h"

#include <gtest/gtest.h>

namespace {

// A screen that logs its focus changes and its own key presses.
class LoggingScreen : public TestScreen
{
public:
    std::vector<std::string> log;
    void onFocusChanged(FWidget*) override { log.push_back("focus changed"); }
    void onKeyDown(uint32_t key) override { log.push_back("screen key " + std::to_string(key)); }
    void onKeyPreview(uint32_t key) override { log.push_back("preview " + std::to_string(key)); }
};

// A leaf that also logs keys and focus.
class FocusWidget : public LoggingWidget
{
public:
    FocusWidget(FContainer* parent, std::string name, std::vector<std::string>& log, FRectI rect)
        : LoggingWidget(parent, name, log, rect), m_name(name), m_log(log)
    {
    }
    void onKeyDown(uint32_t key) override { m_log.push_back(m_name + ":key " + std::to_string(key)); }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

struct ScreenFixture : ::testing::Test
{
    LoggingScreen screen;
    FocusWidget a{&screen, "a", screen.log, {0, 0, 10, 10}};
    // b is held by the registry, as layout-built widgets are.
    FScreenRegistry registry;
    FocusWidget& b = *engineNew<FocusWidget>(k_memObject, &screen, "b", screen.log, FRectI{20, 0, 40, 10});

    void SetUp() override
    {
        registry.storeWidget(2, makeRef(&b));
        a.setNeighbourId(0xE004, 2);
        a.resolveLinks(registry);
        screen.log.clear();
    }
};

TEST_F(ScreenFixture, KeysNavigateFromTheFocusOrReachIt)
{
    screen.setFocus(&a);
    EXPECT_EQ(screen.log, (std::vector<std::string>{"a:move(0 5,5)", "focus changed"}));
    screen.log.clear();
    screen.routeKeyDown(0xE003); // no neighbour: the focus gets the key
    screen.routeKeyDown(0xE004); // neighbour: focus moves
    EXPECT_EQ(screen.log, (std::vector<std::string>{"preview 57347", "a:key 57347", "preview 57348",
                                                    "a:leave(0)", "b:move(0 10,5)", "focus changed"}));
    EXPECT_EQ(screen.focus(), &b);
    screen.log.clear();
    screen.setFocus(&b); // the current focus: nothing
    EXPECT_TRUE(screen.log.empty());
    b.setVisible(false);
    screen.routeKeyDown(65); // hidden focus: the screen's own key handling
    EXPECT_EQ(screen.log, (std::vector<std::string>{"preview 65", "screen key 65"}));
}

TEST_F(ScreenFixture, ForgottenFocusSendsKeysToTheScreen)
{
    screen.setFocus(&a);
    screen.forgetWidget(&a);
    EXPECT_EQ(screen.focus(), nullptr);
    screen.log.clear();
    screen.routeKeyDown(7);
    screen.setFocus(&b); // no setFocused(false) on a forgotten focus
    EXPECT_EQ(screen.log,
              (std::vector<std::string>{"preview 7", "screen key 7", "b:move(0 10,5)", "focus changed"}));
    screen.setFocus(nullptr); // the screen focuses itself
    EXPECT_EQ(screen.focus(), &screen);
}

TEST_F(ScreenFixture, PadButtonsNavigateOrReachTheFocus)
{
    screen.setFocus(&a);
    screen.log.clear();
    screen.onPointerDown(0, 1, {300, 300}); // right: to b
    EXPECT_EQ(screen.focus(), &b);
    screen.log.clear();
    screen.onPointerDown(0, 6, {300, 300}); // confirm without a neighbour: b gets it as it came
    EXPECT_EQ(screen.log, (std::vector<std::string>{"b:down(0 300,300)"}));
    screen.setFocus(nullptr);
    screen.log.clear();
    screen.onPointerDown(0, 1, {25, 5}); // focus on the screen: plain routing
    EXPECT_EQ(screen.log, (std::vector<std::string>{"b:down(0 25,5)"}));
}

TEST_F(ScreenFixture, CaptureTakesEveryEventOfItsPointer)
{
    FContainer panel(&screen, true);
    panel.setWidgetRect({100, 100, 200, 200});
    FocusWidget inner(&panel, "inner", screen.log, {0, 0, 5, 5});
    screen.log.clear();
    inner.capturePointer(1);
    screen.onPointerDown(1, 8, {5, 5});
    screen.onPointerMove(1, {150, 150});
    screen.onPointerUp(1, 8, {0, 0});
    screen.onPointerDown(0, 8, {5, 5}); // another pointer routes normally
    EXPECT_EQ(screen.log, (std::vector<std::string>{"inner:down(1 -95,-95)", "inner:move(1 50,50)",
                                                    "inner:up(1 -100,-100)", "a:down(0 5,5)"}));
}

TEST(ScreenTest, CameraKeysFromStreamAndEmptyBlocks)
{
    TestScreen screen;
    std::vector<uint8_t> bytes = {0, 2};
    for (int32_t v : {7, 1500, -250, 8, 0, 1000}) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(uint8_t(uint32_t(v) >> shift));
    }
    FRefT<FInStream> stream = streamOver(bytes);
    screen.loadCameraKeys(*stream.get());
    ASSERT_EQ(screen.cameraKeys().size(), 2u);
    EXPECT_EQ(screen.camera(), (FCamera{7.0, 1.5, -0.25}));
    EXPECT_EQ(screen.cameraKeys()[1], (FCamera{8.0, 0.0, 1.0}));
    for (std::vector<uint8_t> empty : {std::vector<uint8_t>{0, 0}, std::vector<uint8_t>{0xFF, 0xFF}}) {
        FRefT<FInStream> none = streamOver(empty);
        screen.loadCameraKeys(*none.get());
        EXPECT_EQ(screen.cameraKeys().size(), 2u);
        EXPECT_EQ(screen.camera(), (FCamera{7.0, 1.5, -0.25}));
    }
}

TEST(ScreenTest, ScreenFileOwnerTailBuildsTheTree)
{
    FWidgetFactory::registerEngineTypes();
    ContainerRecord root;
    root.widget = {0, 0, 1024, 768, 0, 1};
    root.children.push_back({5, WidgetType::k_marker, writeWidgetPart({1, 1, 2, 2, 0, 1})});
    ScreenFile file;
    ScreenOwnerTail tail;
    tail.cameraKeys = {{3, 2000, 500}};
    tail.valueA = 1280;
    tail.valueB = 720;
    tail.widgetTree = writeContainerRecord(root);
    file.owner = tail;

    FScreenRegistry registry;
    FScreenFileReader reader(registry, nullptr);
    TestScreen screen;
    FScreenFileReader::Options options;
    options.owner = &screen;
    std::vector<int32_t> ids;
    FRefT<FInStream> stream = streamOver(writeScreenFile(file));
    reader.read(*stream.get(), options, ids);
    EXPECT_EQ(screen.logicalWidth(), 1280);
    EXPECT_EQ(screen.logicalHeight(), 720);
    EXPECT_EQ(screen.camera(), (FCamera{3.0, 2.0, 0.5}));
    EXPECT_EQ(screen.rect(), (FRectI{0, 0, 1024, 768}));
    ASSERT_EQ(screen.children().size(), 1u);
    EXPECT_EQ(registry.findInFirst(5).as<FWidget>(), screen.children()[0]);
    EXPECT_EQ(ids, (std::vector<int32_t>{5}));
}

} // namespace
