#include "game/screenbase/PromptScreen.h"

#include "core/FKeyCode.h"
#include "core/FLogStream.h"
#include "core/FString.h"

#include <initializer_list>
#include <utility>

namespace {

FString stringOf(const FRef& text)
{
    const FString* string = text.as<FString>();
    return string != nullptr ? *string : FString();
}

void setShown(std::initializer_list<FWidget*> widgets, bool shown)
{
    for (FWidget* widget : widgets)
        widget->setVisible(shown);
}

PromptMessage makeMessage(int32_t type, const FRef& text, int32_t kind, bool popOnConfirm, bool fade)
{
    PromptMessage message;
    message.type = type;
    message.text = text;
    message.kind = kind;
    message.popOnConfirm = popOnConfirm;
    message.fade = fade;
    return message;
}

} // namespace

PromptScreen::PromptScreen()
{
    m_panelFade.target = m_backdrop.get();
    m_panelFade.setSpeed(1.0f);
    m_panelFade.easing = 0;
    m_panelFade.delay = 0;
    FTween::Completion* finished = makeMemberDelegate(this, &PromptScreen::onPanelFadeFinished);
    m_panelFade.setCompletion(finished);
    engineFree(finished);
    m_confirmButton->caption().enableWordWrap();
    m_cancelButton->caption().enableWordWrap();
    closePanel();
    resetPanel();
}

PromptScreen::~PromptScreen()
{
    m_queue.clear();
    m_panelFade.setCompletion(nullptr);
}

// ---- the queue ----

void PromptScreen::pushMessage(const FRef& text, int32_t option, int32_t kind, bool popOnConfirm, bool fade)
{
    PromptMessage message = makeMessage(PromptMessage::k_notice, text, kind, popOnConfirm, fade);
    message.option = option;
    push(std::move(message));
}

void PromptScreen::pushQuestion(const FRef& text, const FRef& confirmLabel, const FRef& cancelLabel,
                                int32_t kind, bool popOnConfirm, bool fade)
{
    PromptMessage message = makeMessage(PromptMessage::k_question, text, kind, popOnConfirm, fade);
    message.confirmLabel = confirmLabel;
    message.cancelLabel = cancelLabel;
    push(std::move(message));
}

void PromptScreen::push(PromptMessage message)
{
    // The newest prompt is the one shown; the one it covers waits behind it.
    m_queue.push_front(std::move(message));
    ZIBBO_LOG(k_logDefault, false) << "Message of type " << m_queue.front().type
                                   << " Pushed! New size:" << static_cast<int32_t>(m_queue.size());
    showFront();
}

int32_t PromptScreen::getFrontMessageKind() const
{
    return m_queue.empty() ? 0 : m_queue.front().kind;
}

void PromptScreen::popMessage()
{
    if (m_queue.empty()) return;
    const int32_t type = m_queue.front().type;
    m_queue.pop_front();
    ZIBBO_LOG(k_logDefault, false) << "Message of type " << type << " Popped! New Size"
                                   << static_cast<int32_t>(m_queue.size());
    if (!m_queue.empty()) showFront();
}

// ---- showing ----

void PromptScreen::showFront()
{
    const PromptMessage& message = m_queue.front();
    if (message.type == PromptMessage::k_question)
        showQuestion(message);
    else
        showNotice(message);
}

void PromptScreen::showNotice(const PromptMessage& message)
{
    m_confirmButton->setEnabled(true);
    applyButtonStyle(message.option);
    m_messageLabel->setText(stringOf(message.text));
    m_popOnConfirm = message.popOnConfirm;
    // A notice never fades, whatever it asked for.
    m_fade = false;
    openPanel();
}

void PromptScreen::showQuestion(const PromptMessage& message)
{
    m_confirmButton->setEnabled(true);
    applyButtonStyle(PromptMessage::k_confirmAndCancel);
    m_messageLabel->setText(stringOf(message.text));
    m_confirmButton->caption().setText(stringOf(message.confirmLabel));
    m_cancelButton->caption().setText(stringOf(message.cancelLabel));
    m_popOnConfirm = message.popOnConfirm;
    m_fade = message.fade;
    openPanel();
}

void PromptScreen::applyButtonStyle(int32_t option)
{
    m_option = option;
    m_confirmButton->caption().setText(
        stringOf(option == PromptMessage::k_confirmOnly ? m_confirmAloneCaption : m_confirmCaption));
    m_cancelButton->caption().setText(stringOf(m_cancelCaption));
}

void PromptScreen::openPanel()
{
    m_open = true;
    if (m_fade) {
        startAlphaFade(m_panelFade, k_backdropAlpha, m_fadeDuration);
    } else {
        m_backdrop->setWidgetAlpha(k_backdropAlpha);
        setShown({m_panelTop.get(), m_panelMiddle.get(), m_panelBottom.get()}, true);
    }
    refreshPromptWidgets();
    m_backdrop->setVisible(true);
    // While the backdrop fades in only the backdrop shows.
    m_messageLabel->setVisible(!m_fade);
    m_confirmButton->setVisible(!m_fade && m_option != PromptMessage::k_noButtons);
    m_cancelButton->setVisible(!m_fade && m_option == PromptMessage::k_confirmAndCancel);
    setShown({m_editBox.get(), m_editFrame.get(), m_secondLabel.get()}, false);
    // The screen takes the keys, so that Enter answers.
    setFocus(nullptr);
}

void PromptScreen::showPanelParts(bool shown)
{
    setShown(
        {m_backdrop.get(), m_panelTop.get(), m_panelMiddle.get(), m_panelBottom.get(), m_messageLabel.get()},
        shown);
    m_confirmButton->setVisible(shown && m_option != PromptMessage::k_noButtons);
    m_cancelButton->setVisible(shown && m_option == PromptMessage::k_confirmAndCancel);
    setShown({m_secondLabel.get(), m_editFrame.get(), m_editBox.get()}, false);
}

// ---- closing and answering ----

void PromptScreen::closePanel()
{
    m_open = false;
    // Closed already, or still fading in: there is nothing to answer.
    if (!m_panelTop->isVisible()) return;
    setFocus(nullptr);
    m_backdrop->setVisible(m_fade);
    setShown({m_panelTop.get(), m_panelMiddle.get(), m_panelBottom.get(), m_messageLabel.get(),
              m_spareWidget.get(), m_secondLabel.get(), m_editFrame.get(), m_editBox.get(),
              m_confirmButton.get(), m_cancelButton.get()},
             false);
    if (m_fade) {
        startAlphaFade(m_panelFade, 0, m_fadeDuration);
    } else {
        m_backdrop->setWidgetAlpha(0);
        dispatchAnswer();
    }
}

void PromptScreen::onPanelFadeFinished()
{
    const bool shown = (m_backdrop->widgetColour() >> 24) != 0;
    showPanelParts(shown);
    if (!shown) dispatchAnswer();
}

void PromptScreen::dispatchAnswer()
{
    if (m_confirmed) {
        // The kind is read before the message may leave the queue.
        const int32_t kind = getFrontMessageKind();
        if (m_popOnConfirm) popMessage();
        onConfirmMessage(kind);
        return;
    }
    // The cancel handler still sees the answered message at the front.
    if (m_cancelRequested) onCancel();
    popMessage();
}

void PromptScreen::onConfirmMessage(int32_t)
{
    ZIBBO_LOG(k_logDefault, false) << "PromptScreen::onConfirmMessage() Unhandled screen event!";
}

void PromptScreen::onCancel()
{
    ZIBBO_LOG(k_logDefault, false) << "PromptScreen::onCancel() Unhandled screen event!";
}

void PromptScreen::resetPanel()
{
    m_editBox->setText(FString());
    m_backdrop->setWidgetAlpha(0);
    requestRedraw();
    setShown({m_cancelButton.get(), m_confirmButton.get(), m_editBox.get(), m_messageLabel.get(),
              m_spareWidget.get(), m_secondLabel.get(), m_backdrop.get(), m_editFrame.get(),
              m_panelBottom.get(), m_panelMiddle.get(), m_panelTop.get()},
             false);
}

// ---- input and frames ----

void PromptScreen::onConfirmClicked(FLayoutButton&)
{
    m_confirmed = true;
    closePanel();
}

void PromptScreen::onCancelClicked(FLayoutButton&)
{
    m_confirmed = false;
    m_cancelRequested = true;
    closePanel();
}

void PromptScreen::onKeyDown(uint32_t key)
{
    if (key != FKeyCode::k_enter) return;
    // Enter answers as the confirm button does, shown or not, open or not:
    // through the button's current handler, so that a question which put its
    // own handlers on the buttons is answered by Enter as by a click.
    FButton& confirm = *m_confirmButton;
    if (FButton::ClickCallback* handler = confirm.onClick())
        (*handler)(confirm);
    else
        onConfirmClicked(confirm);
}

void PromptScreen::update(int32_t ms)
{
    if (m_fade) m_panelFade.update(ms);
    if (m_open) refreshPromptWidgets();
}

void PromptScreen::refreshPromptWidgets()
{
    for (FWidget* widget : std::initializer_list<FWidget*>{
             m_backdrop.get(), m_panelTop.get(), m_panelMiddle.get(), m_panelBottom.get(),
             m_messageLabel.get(), m_secondLabel.get(), m_editFrame.get(), m_editBox.get(),
             m_confirmButton.get(), m_cancelButton.get()})
        widget->bringToFront();
}
