#include "platform/FGamePadModuleSdl.h"

#include "PlatformTestSupport.h"
#include "core/FGamePadService.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
// A game controller that exists only in SDL; the test sets its stick and
// buttons.
class VirtualPad
{
public:
    VirtualPad()
    {
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "zibbo test pad";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        m_joystick = SDL_JoystickOpen(index);
        m_id = SDL_JoystickInstanceID(m_joystick);
    }
    ~VirtualPad()
    {
        unplug();
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    bool isValid() const { return m_joystick != nullptr; }

    void stick(int x, int y)
    {
        SDL_JoystickSetVirtualAxis(m_joystick, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(x));
        SDL_JoystickSetVirtualAxis(m_joystick, SDL_CONTROLLER_AXIS_LEFTY, static_cast<Sint16>(y));
    }
    void button(SDL_GameControllerButton which, bool down)
    {
        SDL_JoystickSetVirtualButton(m_joystick, which, down ? 1 : 0);
    }
    void unplug()
    {
        if (m_joystick == nullptr) return;
        SDL_JoystickClose(m_joystick);
        m_joystick = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == m_id) SDL_JoystickDetachVirtual(i);
        }
    }

private:
    SDL_Joystick* m_joystick = nullptr;
    SDL_JoystickID m_id = -1;
};

class GamePadTest : public testing::Test
{
protected:
    // One poll through the service, as the pump does it; returns the calls made.
    CallLog poll()
    {
        log.clear();
        auto* service = findService<FGamePadService>(k_slotGamePads);
        if (service != nullptr) service->poll(1, 1);
        return log;
    }

    FApplication application;
    CallLog log;
    RecordingPointers pointers{log};
};

class PluggedPadTest : public GamePadTest
{
protected:
    VirtualPad pad;
    FGamePadModuleSdl module;
};
} // namespace

TEST_F(PluggedPadTest, StickDirectionsBeyondHalfWay)
{
    ASSERT_TRUE(pad.isValid());
    ASSERT_TRUE(module.hasController());
    // 16711 scales to 50 (still centred), 16712 to 51.
    struct Step
    {
        int x, y;
        CallLog expected;
    };
    const Step steps[] = {
        {16711, -16711, {}},
        {16712, 0, {"pressed 0 1 (0,0)"}},
        {32767, 0, {}},
        {0, 0, {"released 0 1 (0,0)"}},
        {-16712, 0, {"pressed 0 0 (0,0)"}},
        {-16712, 16712, {"pressed 0 3 (0,0)"}},
        {0, -32768, {"released 0 0 (0,0)", "released 0 3 (0,0)", "pressed 0 2 (0,0)"}},
        {0, 0, {"released 0 2 (0,0)"}},
    };
    for (const Step& step : steps) {
        pad.stick(step.x, step.y);
        EXPECT_EQ(poll(), step.expected) << step.x << "," << step.y;
    }
}

TEST_F(PluggedPadTest, JumpAcrossTheStickReleasesTheOldSideFirst)
{
    pad.stick(-32768, 0);
    EXPECT_EQ(poll(), CallLog{"pressed 0 0 (0,0)"});
    pad.stick(32767, 0);
    EXPECT_EQ(poll(), (CallLog{"released 0 0 (0,0)", "pressed 0 1 (0,0)"}));
    pad.stick(32767, 32767);
    pad.stick(32767, -32768);
    EXPECT_EQ(poll(), CallLog{"pressed 0 2 (0,0)"});
    pad.stick(32767, 32767);
    EXPECT_EQ(poll(), (CallLog{"released 0 2 (0,0)", "pressed 0 3 (0,0)"}));
}

TEST_F(PluggedPadTest, FirstSixButtonsAndNoOthers)
{
    const struct
    {
        SDL_GameControllerButton button;
        int code;
    } buttons[] = {
        {SDL_CONTROLLER_BUTTON_A, 13},
        {SDL_CONTROLLER_BUTTON_B, 14},
        {SDL_CONTROLLER_BUTTON_X, 11},
        {SDL_CONTROLLER_BUTTON_Y, 12},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 15},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 16},
    };
    for (const auto& b : buttons) {
        pad.button(b.button, true);
        EXPECT_EQ(poll(), CallLog{"pressed 0 " + std::to_string(b.code) + " (0,0)"});
        // Held: nothing more until it is let go.
        EXPECT_EQ(poll(), CallLog{});
        pad.button(b.button, false);
        EXPECT_EQ(poll(), CallLog{"released 0 " + std::to_string(b.code) + " (0,0)"});
    }
    for (SDL_GameControllerButton other : {SDL_CONTROLLER_BUTTON_START, SDL_CONTROLLER_BUTTON_BACK,
                                           SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_LEFTSTICK}) {
        pad.button(other, true);
        EXPECT_EQ(poll(), CallLog{});
        pad.button(other, false);
        EXPECT_EQ(poll(), CallLog{});
    }
}

TEST_F(PluggedPadTest, UnacquiredPadSendsNothing)
{
    auto* service = findService<FGamePadService>(k_slotGamePads);
    ASSERT_NE(service, nullptr);
    service->unacquire();
    pad.button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(poll(), CallLog{});
    service->acquire();
    EXPECT_EQ(poll(), CallLog{"pressed 0 13 (0,0)"});
}

TEST_F(GamePadTest, PadsPluggedInAndOutDuringTheRun)
{
    auto module = std::make_unique<FGamePadModuleSdl>();
    EXPECT_FALSE(module->hasController());
    EXPECT_EQ(poll(), CallLog{});

    auto pad = std::make_unique<VirtualPad>();
    pad->button(SDL_CONTROLLER_BUTTON_B, true);
    pad->stick(32767, 0);
    EXPECT_EQ(poll(), (CallLog{"pressed 0 1 (0,0)", "pressed 0 14 (0,0)"}));
    EXPECT_TRUE(module->hasController());

    // A pad pulled out lets go of what it held.
    pad->unplug();
    EXPECT_EQ(poll(), (CallLog{"released 0 1 (0,0)", "released 0 14 (0,0)"}));
    EXPECT_FALSE(module->hasController());
    EXPECT_EQ(poll(), CallLog{});

    module.reset();
    EXPECT_EQ(findService<FGamePadService>(k_slotGamePads), nullptr);
}
