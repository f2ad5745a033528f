#include "game/app/QuitQuestion.h"

#include "game/screenbase/PromptScreen.h"

QuitQuestion::~QuitQuestion()
{
    releaseSaved();
}

bool QuitQuestion::ask(const FRefT<FScreen>& screen, const FButton::ClickCallback& confirm,
                       const FButton::ClickCallback& cancel)
{
    auto* prompt = dynamic_cast<PromptScreen*>(screen.get());
    if (prompt == nullptr) return false;
    m_screen = prompt;
    prompt->pushQuestion(prompt->m_quitQuestion, prompt->m_confirmLabel, prompt->m_cancelLabel, k_messageKind,
                         true, true);
    releaseSaved();
    cloneDelegate(m_savedConfirmHandler, prompt->m_confirmButton->onClick());
    cloneDelegate(m_savedCancelHandler, prompt->m_cancelButton->onClick());
    prompt->m_confirmButton->setOnClick(&confirm);
    prompt->m_cancelButton->setOnClick(&cancel);
    return true;
}

void QuitQuestion::withdraw(const FRefT<FScreen>& current)
{
    auto* prompt = dynamic_cast<PromptScreen*>(current.get());
    if (prompt != nullptr && prompt == m_screen) {
        // With neither flag set the close only pops the question.
        prompt->clearAnswer();
        prompt->closePanel();
        prompt->m_confirmButton->setOnClick(m_savedConfirmHandler);
        prompt->m_cancelButton->setOnClick(m_savedCancelHandler);
    }
    releaseSaved();
    m_screen = nullptr;
}

void QuitQuestion::releaseSaved()
{
    freeAndNull(m_savedConfirmHandler);
    freeAndNull(m_savedCancelHandler);
}
