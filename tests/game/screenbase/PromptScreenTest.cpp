// The prompt queue and its panel on the screen built from folders 12 and 27:
// the newest prompt shows, notices never fade, questions fade the backdrop to
// 150 over 300 ms, the answer reaches the right handler, and Enter confirms.
#include "PromptTestSupport.h"

#include "core/FKeyCode.h"

using namespace prompttest;
using Lines = std::vector<std::string>;

namespace {

using Screen = Recording<PromptScreen>;

std::string labelText(const FRef& label)
{
    return label.as<FLabel>()->text().toUtf8();
}

class PromptScreenTest : public testing::Test, protected PromptFolders
{
protected:
    // The notice `text` with `option`, kind and pop on confirm.
    void notice(const char* text, int32_t option, int32_t kind, bool pop = true)
    {
        screen.pushMessage(textRef(text), option, kind, pop, true);
    }
    void question(const char* text, int32_t kind, bool pop = true, bool fade = false)
    {
        screen.pushQuestion(textRef(text), textRef("Sure"), textRef("Never"), kind, pop, fade);
    }

    Screen screen;
};

TEST_F(PromptScreenTest, StartsClosedWithEveryPanelWidgetHidden)
{
    EXPECT_FALSE(screen.isOpen());
    EXPECT_EQ(screen.getFrontMessageKind(), 0);
    EXPECT_EQ(backdropAlpha(screen), 0);
    for (FWidget* widget : std::initializer_list<FWidget*>{
             screen.m_backdrop.get(), screen.m_panelTop.get(), screen.m_panelMiddle.get(),
             screen.m_panelBottom.get(), screen.m_messageLabel.get(), screen.m_secondLabel.get(),
             screen.m_editFrame.get(), screen.m_editBox.get(), screen.m_spareWidget.get(),
             screen.m_confirmButton.get(), screen.m_cancelButton.get()})
        EXPECT_FALSE(widget->isVisible());
}

TEST_F(PromptScreenTest, TheNewestPromptShowsAndTheOneItCoveredComesBackWhenItLeaves)
{
    notice("A", PromptMessage::k_confirmOnly, 17);
    question("B", 13);
    EXPECT_EQ(screen.getFrontMessageKind(), 13);
    EXPECT_EQ(labelText(screen.m_messageLabel), "B");
    EXPECT_EQ(screen.queueSize(), 2u);

    click(*screen.m_confirmButton);
    // B left the queue before its handler ran, and A shows again.
    EXPECT_EQ(screen.take(), Lines{"confirm 13 (front 17, size 1)"});
    EXPECT_TRUE(screen.isOpen());
    EXPECT_EQ(labelText(screen.m_messageLabel), "A");
    EXPECT_FALSE(shown(screen.m_cancelButton));

    click(*screen.m_confirmButton);
    EXPECT_EQ(screen.take(), Lines{"confirm 17 (front 0, size 0)"});
    EXPECT_FALSE(screen.isOpen());
    EXPECT_FALSE(shown(screen.m_backdrop));
    EXPECT_FALSE(shown(screen.m_panelTop));
    EXPECT_EQ(backdropAlpha(screen), 0);
}

TEST_F(PromptScreenTest, ButtonsAndCaptionsFollowTheOptionAndQuestionsAlwaysShowBoth)
{
    struct Case
    {
        bool isQuestion;
        int32_t option;
        bool confirmShown;
        bool cancelShown;
        const char* confirmCaption;
        const char* cancelCaption;
    };
    const Case cases[] = {
        {false, PromptMessage::k_noButtons, false, false, "Yes", "No"},
        {false, PromptMessage::k_confirmOnly, true, false, "OK", "No"},
        {false, PromptMessage::k_confirmAndCancel, true, true, "Yes", "No"},
        // A question takes its own captions, whatever option it came with.
        {true, PromptMessage::k_noButtons, true, true, "Sure", "Never"},
    };
    for (const Case& c : cases) {
        if (c.isQuestion)
            question("Q", 18);
        else
            notice("N", c.option, 17);
        EXPECT_EQ(shown(screen.m_confirmButton), c.confirmShown) << c.option << " question " << c.isQuestion;
        EXPECT_EQ(shown(screen.m_cancelButton), c.cancelShown) << c.option << " question " << c.isQuestion;
        EXPECT_EQ(screen.m_confirmButton->caption().text().toUtf8(), c.confirmCaption) << c.option;
        EXPECT_EQ(screen.m_cancelButton->caption().text().toUtf8(), c.cancelCaption) << c.option;
        EXPECT_TRUE(screen.m_confirmButton->isEnabled());
        EXPECT_EQ(screen.option(), c.isQuestion ? PromptMessage::k_confirmAndCancel : c.option);
        // The edit box, its frame and the second label never show.
        EXPECT_FALSE(shown(screen.m_editBox));
        EXPECT_FALSE(shown(screen.m_editFrame));
        EXPECT_FALSE(shown(screen.m_secondLabel));
        EXPECT_TRUE(screen.m_confirmButton->caption().wordWrap());
    }
}

TEST_F(PromptScreenTest, ANoticeNeverFadesAndAFadingQuestionShowsItsPanelOnlyAfter300Ms)
{
    // A notice asked to fade opens at once.
    notice("N", PromptMessage::k_confirmOnly, 17);
    EXPECT_FALSE(screen.isFading());
    EXPECT_EQ(backdropAlpha(screen), PromptScreen::k_backdropAlpha);
    EXPECT_TRUE(shown(screen.m_panelTop));
    EXPECT_TRUE(shown(screen.m_confirmButton));
    click(*screen.m_confirmButton);
    screen.take();
    ASSERT_EQ(backdropAlpha(screen), 0);

    question("Q", 18, true, true);
    EXPECT_TRUE(screen.isFading());
    EXPECT_TRUE(screen.isOpen());
    // Only the backdrop shows while it fades in, linearly.
    const struct
    {
        int32_t ms;
        int alpha;
        bool panelShown;
    } steps[] = {{0, 0, false}, {100, 50, false}, {100, 100, false}, {99, 149, false}, {1, 150, true}};
    for (const auto& step : steps) {
        screen.update(step.ms);
        EXPECT_EQ(backdropAlpha(screen), step.alpha) << "after +" << step.ms;
        EXPECT_TRUE(shown(screen.m_backdrop));
        for (FWidget* part : std::initializer_list<FWidget*>{
                 screen.m_panelTop.get(), screen.m_panelMiddle.get(), screen.m_panelBottom.get(),
                 screen.m_messageLabel.get(), screen.m_confirmButton.get(), screen.m_cancelButton.get()})
            EXPECT_EQ(part->isVisible(), step.panelShown) << "after +" << step.ms;
    }

    // Cancelling fades out over the same 300 ms; the answer comes at its end.
    click(*screen.m_cancelButton);
    EXPECT_TRUE(shown(screen.m_backdrop));
    EXPECT_FALSE(shown(screen.m_panelTop));
    screen.update(150);
    EXPECT_EQ(backdropAlpha(screen), 75);
    EXPECT_TRUE(screen.take().empty());
    screen.update(150);
    EXPECT_EQ(screen.take(), Lines{"cancel (front 18, size 1)"});
    EXPECT_EQ(screen.queueSize(), 0u);
    EXPECT_FALSE(shown(screen.m_backdrop));
}

TEST_F(PromptScreenTest, AnswersReachTheirHandlersByTheFlagsAndPopOnConfirm)
{
    // Confirmed without pop on confirm: still at the front for the handler
    // and afterwards.
    notice("keep", PromptMessage::k_confirmAndCancel, 7, false);
    click(*screen.m_confirmButton);
    EXPECT_EQ(screen.take(), Lines{"confirm 7 (front 7, size 1)"});
    EXPECT_EQ(screen.getFrontMessageKind(), 7);
    EXPECT_TRUE(screen.isConfirmed());

    // Cancelled: the handler sees the answered prompt, which then leaves.
    notice("cancel me", PromptMessage::k_confirmAndCancel, 19);
    click(*screen.m_cancelButton);
    EXPECT_EQ(screen.take(), Lines{"cancel (front 19, size 2)"});
    EXPECT_FALSE(screen.isConfirmed());
    EXPECT_TRUE(screen.isCancelRequested());
    EXPECT_EQ(screen.queueSize(), 1u);
    // The prompt under it shows again.
    EXPECT_TRUE(screen.isOpen());
    EXPECT_EQ(labelText(screen.m_messageLabel), "keep");
}

TEST_F(PromptScreenTest, ClosingByOtherCodeAnswersByTheFlagsTheLastClickLeft)
{
    question("first", 20);
    click(*screen.m_cancelButton);
    screen.take();
    question("second", 13);
    // Cancel requested stays set: an outside close cancels again.
    screen.closePanel();
    EXPECT_EQ(screen.take(), Lines{"cancel (front 13, size 1)"});

    // With both flags clear the close only pops.
    question("third", 13);
    screen.clearAnswer();
    screen.closePanel();
    EXPECT_TRUE(screen.take().empty());
    EXPECT_EQ(screen.queueSize(), 0u);
}

TEST_F(PromptScreenTest, ClosingWhileThePanelFadesInHandsNothingOn)
{
    question("Q", 18, true, true);
    screen.update(100);
    screen.onConfirmClicked(*screen.m_confirmButton);
    EXPECT_FALSE(screen.isOpen());
    EXPECT_TRUE(screen.take().empty());
    EXPECT_EQ(screen.queueSize(), 1u);
}

TEST_F(PromptScreenTest, EnterConfirmsEvenWithoutButtonsOrAnOpenPanel)
{
    notice("no buttons", PromptMessage::k_noButtons, 3);
    screen.onKeyDown(FKeyCode::k_escape);
    EXPECT_TRUE(screen.take().empty());
    screen.onKeyDown(FKeyCode::k_enter);
    EXPECT_EQ(screen.take(), Lines{"confirm 3 (front 0, size 0)"});

    // With the panel closed Enter only sets the flag.
    screen.clearAnswer();
    screen.onKeyDown(FKeyCode::k_enter);
    EXPECT_TRUE(screen.take().empty());
    EXPECT_TRUE(screen.isConfirmed());
    EXPECT_FALSE(screen.isOpen());
}

TEST_F(PromptScreenTest, EnterAnswersThroughTheHandlerOnTheConfirmButton)
{
    // Whoever put its own handler on the confirm button (the quit question)
    // hears Enter as it hears a click.
    struct Counter
    {
        void hit(FButton&) { ++count; }
        int count = 0;
    } counter;
    question("Q", 21);
    FButton::ClickCallback* swapped = makeMemberDelegate(&counter, &Counter::hit);
    screen.m_confirmButton->setOnClick(swapped);
    engineFree(swapped);
    screen.onKeyDown(FKeyCode::k_enter);
    click(*screen.m_confirmButton);
    EXPECT_EQ(counter.count, 2);
    EXPECT_TRUE(screen.take().empty());
    EXPECT_TRUE(screen.isOpen());
}

TEST_F(PromptScreenTest, TheOpenPanelStaysOnTopOfWidgetsAddedLater)
{
    notice("N", PromptMessage::k_confirmAndCancel, 17);
    FImageWidget late(&screen);
    ASSERT_EQ(screen.children().back(), &late);
    screen.update(20);
    const std::vector<FWidget*>& children = screen.children();
    const std::vector<FWidget*> order = {screen.m_backdrop.get(),      screen.m_panelTop.get(),
                                         screen.m_panelMiddle.get(),   screen.m_panelBottom.get(),
                                         screen.m_messageLabel.get(),  screen.m_secondLabel.get(),
                                         screen.m_editFrame.get(),     screen.m_editBox.get(),
                                         screen.m_confirmButton.get(), screen.m_cancelButton.get()};
    ASSERT_GE(children.size(), order.size());
    EXPECT_EQ(
        std::vector<FWidget*>(children.end() - static_cast<std::ptrdiff_t>(order.size()), children.end()),
        order);
}

} // namespace
