#include "engine/ui/SyntheticFont.h"

#include "core/FGamePadService.h"
#include "core/FKeyCode.h"
#include "engine/ui/DebugRecorder.h"
#include "graphics/FCursorImage.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/contentwriters/WidgetRecordWriter.h"
#include "ui/FButton.h"
#include "ui/FImageWidget.h"
#include "ui/FSkin.h"
#include "ui/FWidgetFactory.h"
#include "ui/FWidgetTypes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr int32_t k_pointerButton = 8;

// A screen that keeps the sounds its widgets play.
class SoundScreen : public TestScreen
{
public:
    void playSound(const FRef& sample) override { sounds.push_back(sample.get()); }
    std::vector<void*> sounds;
};

class RumbleRecorder : public FGamePadService
{
public:
    using FGamePadService::FGamePadService;
    bool isValidController(int) override { return true; }
    int connectionStatus() override { return 1; }
    void rumble(int pointer, int durationMs) override { rumbles.emplace_back(pointer, durationMs); }
    void poll(unsigned, int) override {}
    void controllerConnected(int, bool) override {}
    void acquire() override {}
    void unacquire() override {}
    std::vector<std::pair<int, int>> rumbles;
};

// The skin's asset ids in the registry.
constexpr int32_t k_skinId = 30;
constexpr int32_t k_imageIds[4] = {11, 12, 13, 14}; // normal, hover, pressed, disabled
constexpr int32_t k_soundIds[4] = {21, 22, 23, 24};

class ButtonTest : public FontWidgetFixture
{
protected:
    ButtonTest()
    {
        FScreen::setAppActive(true);
        screen.setWidgetRect({0, 0, 800, 600});
        for (int state = 0; state < 4; ++state) {
            // Images 40 x 20, told apart by colour; the sounds are only handles.
            images[state] = makeSolidImage(40, 20, 0xFF000000u | uint32_t(state + 1) * 0x40);
            registry.insertAsset(k_imageIds[state], images[state]);
            sounds[state] = makeSolidImage(1, 1, 0);
            registry.insertAsset(k_soundIds[state], sounds[state]);
            data.states[state].imageId = static_cast<int16_t>(k_imageIds[state]);
            data.states[state].imageTintRgba = {0x10, 0x20, 0x30, uint8_t(0xF0 + state)};
            data.states[state].fontId = static_cast<int16_t>(k_fontId);
            data.states[state].textRgba = {uint8_t(0xA0 + state), 0, 0, 0xFF};
            data.states[state].soundId = static_cast<int16_t>(k_soundIds[state]);
        }
    }

    FRefT<FSkin> makeSkin() { return readSkin(data, registry); }

    // A skinned button on the screen at (10, 10), 100 x 40.
    FButton& makeButton()
    {
        auto* button = engineNew<FButton>(k_memObject, &screen);
        owned = FRefT<FWidget>(makeRef(button));
        button->setWidgetRect({10, 10, 110, 50});
        button->setSkin(makeSkin());
        auto* onClick = makeMemberDelegate(this, &ButtonTest::clicked);
        button->setOnClick(onClick);
        engineFree(onClick);
        return *button;
    }

public:
    void clicked(FButton&) { ++clicks; }
    bool refuse(FButton&) { return false; }

protected:
    int soundIndex(void* sound) const
    {
        for (int state = 0; state < 4; ++state) {
            if (sounds[state].get() == sound) return state;
        }
        return -1;
    }

    // Each recorded draw as "image|quad|text [left top right bottom] colour",
    // in application pixels (y down).
    std::vector<std::string> drawsRecorded()
    {
        buffer.replay(device, *textures);
        std::vector<std::string> out;
        for (const auto& draw : device.draws) {
            float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
            uint32_t colour = 0;
            auto extend = [&](float x, float y, uint32_t c) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, 600.0f - y);
                y1 = std::max(y1, 600.0f - y);
                colour = c;
            };
            for (const auto& v : draw.textured)
                extend(v.x, v.y, v.colour);
            for (const auto& v : draw.coloured)
                extend(v.x, v.y, v.colour);
            const char* kind = draw.kind == k_vertexColoured          ? "quad"
                               : draw.primitive == k_primTriangleList ? "text"
                                                                      : "image";
            char text[96];
            std::snprintf(text, sizeof text, "%s [%g %g %g %g] %08X", kind, x0, y0, x1, y1, colour);
            out.emplace_back(text);
        }
        return out;
    }

    SoundScreen screen;
    FRefT<FWidget> owned;
    SkinData data;
    FRefT<FImage> images[4];
    FRefT<FImage> sounds[4];
    int clicks = 0;
};

TEST_F(ButtonTest, PointerSequenceTable)
{
    FButton& button = makeButton();
    RumbleRecorder pads(application.serviceSlot(k_slotGamePads));
    enum Event { k_move, k_down, k_up, k_leave };
    struct Step
    {
        const char* name;
        Event event;
        FPointI point;
        bool hovered, pressed;
        int32_t drawn;
        int clicks;
        std::vector<int> sounds; // the states whose sounds played
    };
    constexpr int H = FSkin::k_hover, P = FSkin::k_pressed, N = FSkin::k_normal;
    const Step steps[] = {
        {"move in", k_move, {50, 30}, true, false, H, 0, {H}},
        {"move again", k_move, {51, 30}, true, false, H, 0, {}},
        // Taking the focus from the screen makes the pointer leave and come
        // back, so the first press sounds the hover record once more.
        {"press", k_down, {51, 30}, true, true, P, 0, {H, P}},
        {"drag out", k_move, {200, 30}, false, true, N, 0, {}},
        {"drag back", k_move, {60, 30}, true, true, P, 0, {}},
        {"release inside", k_up, {60, 30}, true, false, H, 1, {N}},
        {"press again", k_down, {60, 30}, true, true, P, 1, {P}},
        {"drag off", k_move, {200, 300}, false, true, N, 1, {}},
        {"release outside", k_up, {200, 300}, false, false, N, 1, {}},
        {"move in after", k_move, {20, 20}, true, false, H, 1, {H}},
        {"leave", k_leave, {0, 0}, false, false, N, 1, {}},
        {"stray release", k_up, {20, 20}, false, false, N, 1, {}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        screen.sounds.clear();
        switch (s.event) {
        case k_move:
            screen.onPointerMove(0, s.point);
            break;
        case k_down:
            screen.onPointerDown(0, k_pointerButton, s.point);
            break;
        case k_up:
            screen.onPointerUp(0, k_pointerButton, s.point);
            break;
        case k_leave:
            screen.onPointerLeave(0);
            break;
        }
        EXPECT_EQ(button.isHovered(), s.hovered);
        EXPECT_EQ(button.isPressed(), s.pressed);
        EXPECT_EQ(button.drawnState(), s.drawn);
        EXPECT_EQ(clicks, s.clicks);
        EXPECT_EQ(screen.capture(0), s.pressed ? &button : nullptr);
        std::vector<int> played;
        for (void* sound : screen.sounds)
            played.push_back(soundIndex(sound));
        EXPECT_EQ(played, s.sounds);
        EXPECT_FALSE(button.isToggled());
    }
    EXPECT_EQ(screen.focus(), &button);
    EXPECT_TRUE(pads.rumbles.empty()) << "no rumble of 0";
}

TEST_F(ButtonTest, HoverRumblesOnceWithTheHoverRecordsValue)
{
    data.states[FSkin::k_hover].soundValues[0] = 120;
    FButton& button = makeButton();
    RumbleRecorder pads(application.serviceSlot(k_slotGamePads));
    screen.onPointerMove(2, {50, 30});
    screen.onPointerMove(2, {52, 30});
    EXPECT_EQ(pads.rumbles, (std::vector<std::pair<int, int>>{{2, 120}}));
    EXPECT_TRUE(button.isHovered());
}

TEST_F(ButtonTest, ToggleFlipsOnEveryClickAndDrawsPressedWhileOn)
{
    FButton& button = makeButton();
    button.setToggleMode(true);
    const bool expected[] = {true, false, true};
    for (bool toggled : expected) {
        screen.onPointerDown(0, k_pointerButton, {50, 30});
        screen.onPointerUp(0, k_pointerButton, {50, 30});
        EXPECT_EQ(button.isToggled(), toggled);
        EXPECT_EQ(button.drawnState(), toggled ? FSkin::k_pressed : FSkin::k_hover);
    }
    // A release outside leaves the toggle as it was.
    screen.onPointerDown(0, k_pointerButton, {50, 30});
    screen.onPointerUp(0, k_pointerButton, {500, 30});
    EXPECT_TRUE(button.isToggled());
    EXPECT_EQ(clicks, 3);
}

TEST_F(ButtonTest, ClickFilterSwallowsTheClickButNotTheReleaseSound)
{
    FButton& button = makeButton();
    auto* filter = makeMemberDelegate(static_cast<ButtonTest*>(this), &ButtonTest::refuse);
    FButton::setClickFilter(filter);
    screen.onPointerDown(0, k_pointerButton, {50, 30});
    screen.sounds.clear();
    screen.onPointerUp(0, k_pointerButton, {50, 30});
    FButton::setClickFilter(nullptr);
    engineFree(filter);
    EXPECT_EQ(clicks, 0);
    ASSERT_EQ(screen.sounds.size(), 1u);
    EXPECT_EQ(soundIndex(screen.sounds[0]), FSkin::k_normal);
    EXPECT_FALSE(button.isPressed());
}

TEST_F(ButtonTest, DisablingClearsHoverToggleAndCursorsAndEnablingRestoresThem)
{
    FButton& button = makeButton();
    FRefT<FCursorImage> cursor(
        makeRef(engineNew<FCursorImage>(k_memObject, makeSolidImage(16, 16, 0xFFFFFFFFu), FPointI{0, 0})));
    button.setCursorImage(cursor, 1);
    EXPECT_EQ(button.cursor(1).get(), cursor.get());
    button.setToggled(true);
    screen.onPointerMove(0, {50, 30});
    ASSERT_TRUE(button.isHovered());

    button.setEnabled(false);
    EXPECT_FALSE(button.isHovered());
    EXPECT_FALSE(button.isToggled());
    EXPECT_EQ(button.cursor(1).get(), nullptr);
    EXPECT_EQ(button.ownCursor(1).get(), cursor.get());
    EXPECT_EQ(button.drawnState(), FSkin::k_disabled);
    screen.sounds.clear();
    screen.onPointerMove(0, {52, 30});
    screen.onPointerDown(0, k_pointerButton, {52, 30});
    screen.onPointerUp(0, k_pointerButton, {52, 30});
    EXPECT_FALSE(button.isHovered());
    EXPECT_FALSE(button.isPressed());
    EXPECT_TRUE(screen.sounds.empty());
    EXPECT_EQ(clicks, 0);
    // A cursor set while disabled waits for the button to be enabled.
    button.setCursorImage(cursor, 2);
    EXPECT_EQ(button.cursor(2).get(), nullptr);

    button.setEnabled(true);
    EXPECT_EQ(button.cursor(1).get(), cursor.get());
    EXPECT_EQ(button.cursor(2).get(), cursor.get());
    EXPECT_EQ(button.drawnState(), FSkin::k_normal);
}

TEST_F(ButtonTest, HitTestAppliesTheSkinInsets)
{
    // 10 of 40 pixels in from the left, 5 of 20 down from the top, 8 out
    // past the right, 4 up from the bottom.
    data.insets[0] = 10;
    data.insets[1] = 5;
    data.insets[2] = 8;
    data.insets[3] = -4;
    FButton& button = makeButton();
    button.setWidgetRect({0, 0, 200, 100});
    EXPECT_EQ(button.hitRect(), (FRectI{50, 25, 240, 80}));
    struct Case
    {
        FPointI point;
        bool hit;
    };
    const Case cases[] = {
        {{49, 50}, false}, {{50, 50}, true},   {{100, 24}, false}, {{100, 25}, true},
        {{199, 79}, true}, {{100, 80}, false}, {{200, 50}, false}, // outside the plain rectangle, though
                                                                   // inside the insets
    };
    for (const Case& c : cases)
        EXPECT_EQ(button.containsPoint(c.point), c.hit) << c.point.x << ", " << c.point.y;
    button.setHitTestDisabled(true);
    EXPECT_FALSE(button.containsPoint({100, 50}));

    FButton bare(&screen);
    bare.setWidgetRect({0, 0, 10, 10});
    EXPECT_EQ(bare.hitRect(), (FRectI{0, 0, 10, 10})) << "no skin, no insets";
}

TEST_F(ButtonTest, PlacementsPutTheScaledImageInItsCell)
{
    FButton& button = makeButton();
    button.setWidgetRect({100, 100, 300, 200});
    button.setImageScale(1.5f); // the 40 x 20 images become 60 x 30
    const FPointI corners[9] = {{100, 100}, {170, 100}, {240, 100}, {100, 135}, {170, 135},
                                {240, 135}, {100, 170}, {170, 170}, {240, 170}};
    for (int32_t placement = 0; placement < 9; ++placement) {
        button.setImagePlacement(placement);
        EXPECT_EQ(button.placeImage({60, 30}), (FRectI{corners[placement].x, corners[placement].y,
                                                       corners[placement].x + 60, corners[placement].y + 30}))
            << placement;
    }
    context.beginFrame(buffer);
    button.setImagePlacement(4);
    button.draw(context);
    button.setImagePlacement(8);
    button.draw(context);
    EXPECT_EQ(drawsRecorded(), (std::vector<std::string>{"image [170 135 230 165] F0102030",
                                                         "image [240 170 300 200] F0102030"}));
}

TEST_F(ButtonTest, DrawsShadowImageCaptionAndDebugRectangles)
{
    data.states[FSkin::k_pressed].imageValues[0] = 3;
    data.states[FSkin::k_pressed].imageValues[1] = 4;
    data.states[FSkin::k_pressed].fontValues[0] = 2;
    data.states[FSkin::k_pressed].fontValues[1] = 1;
    data.insets[0] = 4; // a tenth of the width
    FButton& button = makeButton();
    button.setWidgetRect({10, 10, 90, 50}); // twice the image in each direction
    button.caption().setText(FString("ab"));
    button.caption().setHorizontalAlignment(0);
    button.caption().setOrigin(5, 20);
    button.setToggled(true);
    FWidget::setDebugOverlayLevel(2);
    context.beginFrame(buffer);
    button.draw(context);
    FWidget::setDebugOverlayLevel(0);
    EXPECT_EQ(drawsRecorded(), (std::vector<std::string>{
                                   "image [13 14 93 54] FF000000", // the shadow, moved and black
                                   "image [10 10 90 50] F2102030", // the pressed record's tint
                                   // "ab" kerned by 3 at origin (5, 20): squares 8 above the base line
                                   "text [17 23 28 27] FF000000", // caption shadow (2, 1)
                                   "text [15 22 26 26] FFA20000", // caption in the pressed colour
                                   "quad [10 10 90 50] FFFFFF00",
                                   "quad [18 10 90 50] FF00FFFF",
                               }));
    // The region covers the image twice over at its own scale.
    const auto& image = device.draws[1].textured;
    float uMax = 0, vMin = 1e9f, vMax = -1e9f;
    for (const auto& v : image) {
        uMax = std::max(uMax, v.u);
        vMin = std::min(vMin, v.v);
        vMax = std::max(vMax, v.v);
    }
    EXPECT_FLOAT_EQ(uMax, 2.0f);
    EXPECT_FLOAT_EQ(vMax - vMin, 2.0f);
    EXPECT_EQ(button.caption().rect(), button.rect());
}

TEST_F(ButtonTest, NoSkinDrawsNothingAndHiddenButtonsLetTheSkinUnload)
{
    FButton& button = makeButton();
    FSkin* skin = button.skin().get();
    EXPECT_EQ(skin->references(), 1);
    EXPECT_EQ(skin->users(), 1);
    button.setVisible(false);
    EXPECT_EQ(skin->users(), 0);
    EXPECT_EQ(images[FSkin::k_normal]->users(), 0);
    button.setVisible(true);
    EXPECT_EQ(images[FSkin::k_normal]->users(), 1);

    FRefT<FSkin> keep = button.skin();
    button.setSkin(FRefT<FSkin>());
    EXPECT_EQ(skin->references(), 0);
    EXPECT_EQ(skin->users(), 0);
    context.beginFrame(buffer);
    button.caption().setText(FString("ab"));
    button.draw(context);
    EXPECT_TRUE(drawsRecorded().empty());
}

TEST_F(ButtonTest, RecordRoundTripThroughTheFactory)
{
    FWidgetFactory::registerEngineTypes();
    registry.insertAsset(k_skinId, makeSkin());
    registry.storeText(7, makeRef(engineNew<FString>(k_memObject, "Play")));
    ButtonRecord record;
    record.widget = {5, 6, 120, 40, 1, 1};
    record.skinId = k_skinId;
    record.captionId = 7;
    record.imagePlacement = 4;
    record.imageScaleThousandths = -2500;
    record.captionHorizontalAlignment = 3;
    record.captionVerticalAlignment = 1;
    record.captionOriginX = -7;
    record.captionOriginY = 9;
    record.enabled = 2; // anything but 1 disables
    const int32_t neighbours[6] = {101, 102, 0, 104, 105, 106};
    std::copy(std::begin(neighbours), std::end(neighbours), record.neighbours);
    const std::vector<uint8_t> bytes = writeButtonRecord(record);
    ASSERT_EQ(bytes.size(), size_t(FButton::k_recordSize));

    ContainerRecord root;
    root.widget = {0, 0, 800, 600, 0, 1};
    root.children.push_back({77, FWidgetTypes::k_button, bytes});
    std::vector<int32_t> ids;
    FRefT<FInStream> stream = streamOver(writeContainerRecord(root));
    screen.load(*stream.get(), registry, ids);
    EXPECT_EQ(stream->remaining(), 0);
    ASSERT_EQ(screen.children().size(), 1u);
    auto* button = dynamic_cast<FButton*>(screen.children()[0]);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(registry.findInFirst(77).get(), button);
    EXPECT_EQ(button->rect(), (FRectI{5, 6, 125, 46}));
    EXPECT_TRUE(button->layoutFlag());
    EXPECT_EQ(button->skin().get(), registry.findInSecond(k_skinId).get());
    EXPECT_EQ(button->caption().text(), FString("Play"));
    EXPECT_EQ(button->imagePlacement(), 4);
    EXPECT_FLOAT_EQ(button->imageScale(), -2.5f);
    EXPECT_EQ(button->caption().horizontalAlignment(), 3);
    EXPECT_EQ(button->caption().verticalAlignment(), 1);
    EXPECT_EQ(button->caption().origin(), (FPointI{-7, 9}));
    EXPECT_FALSE(button->isEnabled());
    const uint32_t keys[6] = {FKeyCode::k_up,    FKeyCode::k_down,     FKeyCode::k_left,
                              FKeyCode::k_right, FKeyCode::k_shiftTab, FKeyCode::k_tab};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(button->neighbourId(keys[i]), neighbours[i]) << i;
    for (int32_t id : ids)
        registry.erase(id);
}

TEST_F(ButtonTest, ReportToDebugSendsTheTreeParentsFirst)
{
    FContainer panel(&screen, true);
    panel.setWidgetRect({1, 2, 30, 40});
    FImageWidget image(&panel);
    FButton& button = makeButton();
    screen.reportToDebug(); // no channel: nothing to send, nothing fails

    DebugRecorder channel(application.serviceSlot(k_slotDebugChannel));
    screen.reportToDebug();
    const std::vector<DebugRecorder::Added> expected = {
        {nullptr, &screen, screen.describe()},
        {&screen, &panel, panel.describe()},
        {&panel, &image, image.describe()},
        {&screen, &button, button.describe()},
    };
    EXPECT_EQ(channel.added, expected);
    EXPECT_NE(channel.added[1].description.find(": 1, 2 | 29 x 38 | visible | "), std::string::npos)
        << channel.added[1].description;
}

} // namespace
