// A prompt screen built from folders 12, 27 and 30 by the UI module, shown,
// answered and closed by SDL events pushed through the platform layer.
#include "PromptTestSupport.h"

#include "engine/platform/PlatformTestSupport.h"
#include "engine/ui/module/UiModuleTestSupport.h"
#include "platform/FPlatformSpecificModuleSdl.h"

using namespace prompttest;
using Lines = std::vector<std::string>;

namespace {

using Screen = Recording<SystemMessageScreen>;

class PromptScreenEventsTest : public testing::Test, protected PromptFolders
{
protected:
    PromptScreenEventsTest()
    {
        module.run();
        platform.attachWindow(window.window, &host);
        module.setScreen(1, false);
        module.drain();
        module.consumeAndPresent();
        // The first two frames after a switch pass no time.
        module.tick(FAppUserInterfaceModule::k_periodMs);
        module.tick(FAppUserInterfaceModule::k_periodMs);
    }
    ~PromptScreenEventsTest() override { platform.attachWindow(nullptr, nullptr); }

    Screen& screen() { return *static_cast<Screen*>(module.currentScreen().get()); }

    void pump(std::initializer_list<SDL_Event> events)
    {
        for (SDL_Event event : events)
            SDL_PushEvent(&event);
        platform.pumpMessages(1);
        module.drain();
    }
    // A left click at the centre of the widget, as the window sees it.
    void clickOn(const FRef& widget)
    {
        const FRectI& r = widget.as<FWidget>()->rect();
        const int x = (r.left + r.right) / 2;
        const int y = (r.top + r.bottom) / 2;
        pump({sdlButton(window.id(), true, SDL_BUTTON_LEFT, x, y),
              sdlButton(window.id(), false, SDL_BUTTON_LEFT, x, y)});
    }
    void pressEnter()
    {
        pump({sdlKey(window.id(), true, SDLK_RETURN, SDL_SCANCODE_RETURN),
              sdlKey(window.id(), false, SDLK_RETURN, SDL_SCANCODE_RETURN)});
    }
    // Frames of the UI module, 20 ms each.
    void run(int32_t ms)
    {
        for (int32_t t = 0; t < ms; t += FAppUserInterfaceModule::k_periodMs)
            module.tick(FAppUserInterfaceModule::k_periodMs);
    }

    PromptFactory<Screen> factory;
    InlineUiModule module{&factory};
    FakeProcess process;
    FakeWindowHost host;
    HiddenWindow window;
    FPlatformSpecificModuleSdl platform;
};

TEST_F(PromptScreenEventsTest, AFadingQuestionShowsIsConfirmedByAClickAndCloses)
{
    ASSERT_NE(module.currentScreen().get(), nullptr);
    Screen& prompt = screen();
    // The three folders built one tree over the whole screen.
    EXPECT_EQ(prompt.logicalWidth(), 800);
    prompt.pushQuestion(prompt.m_quitQuestion, prompt.m_confirmLabel, prompt.m_cancelLabel, 21, true, true);

    // A click before the panel has faded in finds no button.
    clickOn(prompt.m_confirmButton);
    EXPECT_TRUE(prompt.take().empty());
    run(PromptScreen::k_fadeMs);
    ASSERT_TRUE(shown(prompt.m_confirmButton));
    EXPECT_EQ(prompt.m_messageLabel->text().toUtf8(), "Do you really want to quit?");
    EXPECT_EQ(prompt.m_confirmButton->caption().text().toUtf8(), "OK");

    clickOn(prompt.m_confirmButton);
    EXPECT_FALSE(prompt.isOpen());
    EXPECT_FALSE(shown(prompt.m_confirmButton));
    run(PromptScreen::k_fadeMs);
    EXPECT_EQ(prompt.take(), Lines{"confirm 21 (front 0, size 0)"});
    EXPECT_FALSE(shown(prompt.m_backdrop));
    EXPECT_EQ(backdropAlpha(prompt), 0);
}

TEST_F(PromptScreenEventsTest, CancelClickAndEnterKeyAnswerThroughThePlatformLayer)
{
    Screen& prompt = screen();
    prompt.pushMessage(textRef("first"), PromptMessage::k_confirmAndCancel, 18, true, false);
    prompt.pushMessage(textRef("second"), PromptMessage::k_noButtons, 3, true, false);

    // Enter answers the notice without buttons; the first one comes back.
    pressEnter();
    EXPECT_EQ(prompt.take(), Lines{"confirm 3 (front 18, size 1)"});
    ASSERT_TRUE(shown(prompt.m_cancelButton));

    clickOn(prompt.m_cancelButton);
    EXPECT_EQ(prompt.take(), Lines{"cancel (front 18, size 1)"});
    EXPECT_EQ(prompt.queueSize(), 0u);
    EXPECT_FALSE(prompt.isOpen());
    EXPECT_FALSE(shown(prompt.m_panelTop));
}

} // namespace
