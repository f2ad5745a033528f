#pragma once

#include "core/FRef.h"
#include "ui/FButton.h"
#include "ui/FScreen.h"

#include <cstdint>

class PromptScreen;

// The game module's question before the application ends: the state of a
// close request (pending, whether it must be confirmed, the exit code) and
// the question itself on a prompt screen. While the question shows, the
// prompt's confirm and cancel buttons call the module instead of the
// screen's own handlers; withdrawing the question puts those back.
class QuitQuestion
{
public:
    // The prompt kind the question is pushed with.
    static constexpr int32_t k_messageKind = 21;

    QuitQuestion() = default;
    ~QuitQuestion();
    QuitQuestion(const QuitQuestion&) = delete;
    QuitQuestion& operator=(const QuitQuestion&) = delete;

    bool isPending() const { return m_pending; }
    void setPending(bool pending) { m_pending = pending; }
    bool needsConfirmation() const { return m_needsConfirmation; }
    void setNeedsConfirmation(bool needs) { m_needsConfirmation = needs; }
    int32_t exitCode() const { return m_exitCode; }
    void setExitCode(int32_t code) { m_exitCode = code; }

    // Pushes the question on `screen` (its quit text, confirm and cancel
    // labels; popped on confirm, fading) and puts `confirm` and `cancel` of
    // `target` on the prompt's buttons, keeping copies of their handlers.
    // False, asking nothing, when the screen is no prompt screen.
    template <class T>
    bool ask(const FRefT<FScreen>& screen, T* target, void (T::*confirm)(), void (T::*cancel)())
    {
        Click<T> onConfirm(target, confirm);
        Click<T> onCancel(target, cancel);
        return ask(screen, onConfirm, onCancel);
    }
    // Closes the question without an answer (the close only pops it) and
    // puts the saved handlers back, when `current` is the screen that was
    // asked; the saved handlers are dropped in any case.
    void withdraw(const FRefT<FScreen>& current);
    // The screen asked, while the question stands (not owned: the module
    // keeps its current screen alive).
    const FScreen* askedScreen() const { return m_screen; }

private:
    // Calls a member of the module, whatever button was clicked. The click
    // may replace this very handler, so nothing of it is read after the call.
    template <class T> class Click final : public FButton::ClickCallback
    {
    public:
        using Handler = void (T::*)();
        Click(T* target, Handler handler) noexcept : m_target(target), m_handler(handler) {}
        void invoke(FButton&) override
        {
            T* target = m_target;
            const Handler handler = m_handler;
            (target->*handler)();
        }
        FButton::ClickCallback* clone() const override { return engineNew<Click>(k_memObject, *this); }

    private:
        T* m_target;
        Handler m_handler;
    };

    bool ask(const FRefT<FScreen>& screen, const FButton::ClickCallback& confirm,
             const FButton::ClickCallback& cancel);
    void releaseSaved();

    bool m_pending = false;
    bool m_needsConfirmation = false;
    int32_t m_exitCode = 0;
    const FScreen* m_screen = nullptr;
    FButton::ClickCallback* m_savedConfirmHandler = nullptr;
    FButton::ClickCallback* m_savedCancelHandler = nullptr;
};
