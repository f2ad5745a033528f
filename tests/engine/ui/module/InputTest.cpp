#include "UiModuleTestSupport.h"

#include "core/FKeyCode.h"
#include "core/FPointerButton.h"
#include "engine/graphics/FakeGraph.h"

using Lines = std::vector<std::string>;

namespace {

// A widget that takes the keys while it has the focus.
class KeyWidget : public FWidget
{
public:
    KeyWidget(FContainer* parent, SharedLog& log) : FWidget(parent, true), m_log(log) {}
    void draw(FDrawContext&) override {}
    void onChar(uint32_t key) override { m_log.add("widget:char " + std::to_string(key)); }
    void onKeyUp(uint32_t key) override { m_log.add("widget:keyUp " + std::to_string(key)); }
    void onKeyDown(uint32_t key) override { m_log.add("widget:keyDown " + std::to_string(key)); }

private:
    SharedLog& m_log;
};

// A current, entered screen of kind 1 reached through the listeners.
class InputFixture : public UiModuleFixture
{
protected:
    InputFixture()
    {
        module.setScreen(1, false);
        enter();
        log.take();
    }
    FPointerListener& pointers() { return *findService<FPointerListener>(k_slotPointerEvents); }
    FKeyListener& keys() { return *findService<FKeyListener>(k_slotKeyEvents); }
};

} // namespace

TEST_F(InputFixture, PointerPointsMapWithTheInputMappingOfEachAspectClass)
{
    FakeGraph graph;
    struct Case
    {
        FPointI display;
        FPointerPoint point;
        std::string expected;
    };
    const Case cases[] = {
        {{1024, 768}, {112, 24}, "(112,24)"}, // 4:3: application pixels are logical pixels
        {{1280, 800}, {112, 24}, "(0,0)"},    // 16:10: the offsets go first
        {{1280, 800}, {113, 31}, "(1,5)"},    // ... then the scale 0.8333, truncated
        {{1280, 800}, {100, 20}, "(-12,-3)"}, // truncated toward zero
        {{1280, 720}, {112, 0}, "(0,0)"},     // 16:9
        {{1280, 720}, {512, 768}, "(400,600)"},
    };
    for (const Case& c : cases) {
        graph.display = c.display;
        graph.setWindowMode(FGraph::k_modeFixedWindow);
        graph.setWindowMode(FGraph::k_modeFullScreen);
        pointers().pointerMoved(0, c.point);
        pointers().pointerPressed(0, k_mouseLeft, c.point);
        pointers().pointerReleased(0, k_mouseLeft, c.point);
        module.drain();
        EXPECT_EQ(log.take(), (Lines{"1:move 0 " + c.expected, "1:down 0 " + c.expected + " 8",
                                     "1:up 0 " + c.expected + " 8"}))
            << c.display.x << "x" << c.display.y;
    }
}

TEST_F(InputFixture, QueuedMovesOfOnePointerCollapseIntoTheLatest)
{
    pointers().pointerMoved(0, {1, 1});
    pointers().pointerMoved(1, {5, 5});
    pointers().pointerPressed(0, k_mouseLeft, {2, 2});
    pointers().pointerMoved(0, {3, 3});
    pointers().pointerMoved(0, {4, 4});
    pointers().pointerReleased(0, k_mouseLeft, {4, 4});
    module.drain();
    // The newest move of pointer 0 takes the place of the first one.
    EXPECT_EQ(log.take(), (Lines{"1:move 0 (4,4)", "1:move 1 (5,5)", "1:down 0 (2,2) 8", "1:up 0 (4,4) 8"}));
}

TEST_F(InputFixture, PadPressesReachTheScreenWithTheirCodes)
{
    for (int code : {k_stickLeft, k_stickDown, k_confirm, k_padButton0, k_padButton5}) {
        pointers().pointerPressed(0, code, {0, 0});
        pointers().pointerReleased(0, code, {0, 0});
    }
    module.drain();
    EXPECT_EQ(log.take(), (Lines{"1:down 0 (0,0) 0", "1:up 0 (0,0) 0", "1:down 0 (0,0) 3", "1:up 0 (0,0) 3",
                                 "1:down 0 (0,0) 6", "1:up 0 (0,0) 6", "1:down 0 (0,0) 13", "1:up 0 (0,0) 13",
                                 "1:down 0 (0,0) 16", "1:up 0 (0,0) 16"}));
}

TEST_F(InputFixture, HeldKeyRepeatsAsCharactersToTheVisibleFocus)
{
    FRefT<FScreen> screen = module.currentScreen();
    KeyWidget widget(screen.get(), log);
    screen->setFocus(&widget);
    log.take();
    keys().keyPressed(FKeyCode::k_enter);
    keys().keyRepeated(FKeyCode::k_enter);
    keys().keyRepeated(FKeyCode::k_enter);
    keys().keyReleased(FKeyCode::k_enter);
    keys().keyPressed(0); // a key without a character is still delivered
    module.drain();
    EXPECT_EQ(log.take(), (Lines{"widget:keyDown 57345", "widget:char 57345", "widget:char 57345",
                                 "widget:keyUp 57345", "widget:keyDown 0"}));
    // A hidden focus: key-ups and characters go to the screen.
    widget.setVisible(false);
    log.take();
    keys().keyRepeated(97);
    keys().keyReleased(97);
    module.drain();
    EXPECT_EQ(log.take(), (Lines{"1:char 97", "1:keyUp 97"}));
    screen->setFocus(nullptr);
}

TEST_F(InputFixture, ClickDuringASwitchIsDroppedPressAndReleaseAlike)
{
    module.setScreen(2, false);
    log.take();
    pointers().pointerPressed(0, k_mouseLeft, {7, 7});
    pointers().pointerReleased(0, k_mouseLeft, {7, 7});
    keys().keyPressed(32);
    module.drain();
    EXPECT_EQ(log.take(), Lines{});
    // Window events are not blocked.
    findService<FAppEventListener>(k_slotAppEvents)->appDeactivated();
    module.drain();
    EXPECT_EQ(log.take(), (Lines{"2:appDeactivated"}));
    EXPECT_FALSE(module.isAppActive());
    module.consumeAndPresent();
    log.take();
    pointers().pointerPressed(0, k_mouseLeft, {7, 7});
    module.drain();
    EXPECT_EQ(log.take(), (Lines{"2:down 0 (7,7) 8"}));
    findService<FAppEventListener>(k_slotAppEvents)->appActivated();
    module.drain();
    EXPECT_TRUE(module.isAppActive());
}

TEST_F(UiModuleFixture, FramesAreRecordedThroughTheGraphicsModuleAndPresentedFramesEnterTheScreen)
{
    FakeGraph graph;
    graph.createWindowAndDevice({800, 600}, {800, 600}, FGraph::k_modeFixedWindow);
    module.setScreen(1, false);
    module.drain();
    EXPECT_EQ(log.take(), (Lines{"1:built", "1:activate", "1:draw"}));
    EXPECT_EQ(module.framesDrawn(), 1);
    // The paint replays the recorded frame and presents it.
    graph.onPaint();
    module.drain();
    EXPECT_EQ(log.take(), (Lines{"1:enter"}));
    EXPECT_FALSE(module.isInputBlocked());
    // The replay freed the buffer: the next redraw is drawn at once.
    module.invalidate();
    module.drain();
    EXPECT_EQ(log.take(), (Lines{"1:draw"}));
    graph.destroyWindow();
}

namespace {

// Counts the buttons' clicks and lets them through only when told.
struct CountingFilter final : FButton::ClickFilter
{
    CountingFilter(int* asked, bool* allow) : asked(asked), allow(allow) {}
    bool invoke(FButton&) override
    {
        ++*asked;
        return *allow;
    }
    FButton::ClickFilter* clone() const override { return engineNew<CountingFilter>(k_memObject, *this); }
    int* asked;
    bool* allow;
};

struct CountingClick final : FButton::ClickCallback
{
    explicit CountingClick(int* clicks) : clicks(clicks) {}
    void invoke(FButton&) override { ++*clicks; }
    FButton::ClickCallback* clone() const override { return engineNew<CountingClick>(k_memObject, *this); }
    int* clicks;
};

} // namespace

TEST_F(UiModuleFixture, TheModulesClickFilterDecidesEveryButtonsClicks)
{
    int asked = 0;
    int clicks = 0;
    bool allow = false;
    module.setClickFilter(engineNew<CountingFilter>(k_memObject, &asked, &allow));
    FButton button(nullptr);
    button.setWidgetRect({0, 0, 100, 40});
    CountingClick count(&clicks);
    button.setOnClick(&count);
    auto click = [&] {
        button.onPointerDown(0, 8, {10, 10});
        button.onPointerUp(0, 8, {10, 10});
    };
    click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(clicks, 0) << "the filter swallowed the click";
    allow = true;
    click();
    EXPECT_EQ(clicks, 1);
    module.setClickFilter(nullptr);
    click();
    EXPECT_EQ(asked, 2) << "without a filter nothing is asked";
    EXPECT_EQ(clicks, 2);
}
