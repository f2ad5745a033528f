#pragma once

#include "ScreenLayout27.h"
#include "game/screenbase/PromptMessage.h"
#include "ui/FadeTween.h"

#include <cstdint>
#include <deque>

// The base of the game's screens that ask the user something: a queue of
// notices and questions, the front one shown in a modal panel (a
// half-transparent backdrop, three panel pieces, a message label, a confirm
// and a cancel button). The newest prompt is always the one shown; an older
// one comes back when it leaves. When the user answers, the panel closes and
// `onConfirmMessage`(kind) or `onCancel`() runs; the handlers branch on
// `getFrontMessageKind`. Questions pushed with fade fade the backdrop in and
// out; notices never fade. Enter always confirms. UI thread only.
class PromptScreen : public ScreenLayout27
{
public:
    static constexpr int32_t k_fadeMs = 300;
    // The backdrop's alpha while the panel is open.
    static constexpr uint8_t k_backdropAlpha = 150;

    PromptScreen();
    ~PromptScreen() override;

    // Queues a notice (option: PromptMessage::k_noButtons, k_confirmOnly or
    // k_confirmAndCancel) and shows it at once.
    void pushMessage(const FRef& text, int32_t option, int32_t kind, bool popOnConfirm, bool fade);
    // Queues a question (confirm and cancel) and shows it at once.
    void pushQuestion(const FRef& text, const FRef& confirmLabel, const FRef& cancelLabel, int32_t kind,
                      bool popOnConfirm, bool fade);
    // The front message's kind; 0 with an empty queue.
    int32_t getFrontMessageKind() const;
    // Closes the panel and, when the close is over, hands the answer on by
    // the confirmed and cancel-requested flags. Nothing is handed on while
    // the panel top is hidden (closed, or still fading in).
    void closePanel();
    // Raises the ten panel widgets to the front of their parents, buttons on
    // top. Screens that replace `update` call it as `update` does.
    void refreshPromptWidgets();

    void onConfirmClicked(FLayoutButton& sender) override;
    void onCancelClicked(FLayoutButton& sender) override;
    void onKeyDown(uint32_t key) override;
    void update(int32_t ms) override;

    // The answer handlers; the defaults only log.
    virtual void onConfirmMessage(int32_t kind);
    virtual void onCancel();
    // No prompt of the game leads to it.
    virtual void onTextEntered(const FRef&) {}

    bool isConfirmed() const { return m_confirmed; }
    bool isCancelRequested() const { return m_cancelRequested; }
    // The game module's quit question answers no without a click.
    void clearAnswer()
    {
        m_confirmed = false;
        m_cancelRequested = false;
    }
    bool isOpen() const { return m_open; }
    bool isFading() const { return m_fade; }
    int32_t option() const { return m_option; }
    std::size_t queueSize() const { return m_queue.size(); }
    const PromptMessage& frontMessage() const { return m_queue.front(); }
    const WidgetFadeTween& panelFade() const { return m_panelFade; }

protected:
    // Removes every prompt at once without showing any.
    void clearQueue() { m_queue.clear(); }
    // Removes the front prompt and shows the next one, if any.
    void popMessage();

private:
    void push(PromptMessage message);
    void showFront();
    void showNotice(const PromptMessage& message);
    void showQuestion(const PromptMessage& message);
    void applyButtonStyle(int32_t option);
    void openPanel();
    void onPanelFadeFinished();
    void dispatchAnswer();
    void resetPanel();
    // The panel pieces and the label follow `shown`, the buttons the option;
    // the edit box, its frame and the second label stay hidden.
    void showPanelParts(bool shown);

    bool m_fade = false;
    WidgetFadeTween m_panelFade;
    int32_t m_fadeDuration = k_fadeMs;
    bool m_confirmed = false;
    bool m_cancelRequested = false;
    bool m_popOnConfirm = false;
    int32_t m_option = PromptMessage::k_noButtons;
    bool m_open = false;
    std::deque<PromptMessage> m_queue;
};
