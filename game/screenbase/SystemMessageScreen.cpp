#include "game/screenbase/SystemMessageScreen.h"

#include "core/FLogStream.h"
#include "core/FString.h"
#include "game/screenbase/SystemMessageHost.h"
#include "ui/FAppUserInterfaceModule.h"

#include <string>

namespace {

// The save-warning text; the game gives it no words.
constexpr std::u16string_view k_warningTemplate = u"";

// The template with its first "<X>" replaced by `value` (unchanged when it
// has none).
FRef warningText(std::u16string_view value)
{
    std::u16string text(k_warningTemplate);
    if (const std::size_t at = text.find(u"<X>"); at != std::u16string::npos) text.replace(at, 3, value);
    return makeStringRef(engineNew<FString>(k_memObject, std::u16string_view(text)));
}

} // namespace

SystemMessageScreen::SystemMessageScreen() = default;

SystemMessageScreen::~SystemMessageScreen() = default;

SystemMessageHost* SystemMessageScreen::host()
{
    return dynamic_cast<SystemMessageHost*>(FAppUserInterfaceModule::instance());
}

void SystemMessageScreen::pause()
{
    if (SystemMessageHost* game = host()) game->pauseAudioAndCursor(false);
}

void SystemMessageScreen::resume()
{
    if (SystemMessageHost* game = host()) game->resumeAudioAndCursor(false);
}

void SystemMessageScreen::markQueueBase()
{
    if (!m_ready) return;
    m_ready = false;
    m_queueBase = static_cast<int32_t>(queueSize());
}

void SystemMessageScreen::pushNoSavesConfirmation()
{
    markQueueBase();
    const FString* text = m_noSavesText.as<FString>();
    pushMessage(makeSharedStringCopy(text != nullptr ? *text : FString()), PromptMessage::k_confirmAndCancel,
                k_noSavesConfirmation, false, true);
    pause();
}

// ---- device events ----

void SystemMessageScreen::pushControllerPrompt(int32_t kind)
{
    markQueueBase();
    pushMessage(FRef(), PromptMessage::k_noButtons, kind, true, true);
    pause();
}

void SystemMessageScreen::onControllerLost(int32_t)
{
    pushControllerPrompt(k_controllerLost);
}

void SystemMessageScreen::pushControllerNotice(int32_t)
{
    pushControllerPrompt(k_controllerNotice);
}

void SystemMessageScreen::onBatteryLow(int32_t controller)
{
    ZIBBO_LOG(k_logDefault, false) << "Controller[" << controller << "]'s battery charge is low.";
}

void SystemMessageScreen::dismissControllerPrompt(int32_t, bool resumeSeries)
{
    const int32_t kind = getFrontMessageKind();
    const bool shown = kind == k_controllerLost || (kind == k_controllerNotice && m_panelTop->isVisible());
    if (!shown) return;
    // With neither flag set the close only pops the prompt.
    clearAnswer();
    closePanel();
    if (resumeSeries && static_cast<int32_t>(queueSize()) == m_queueBase) {
        resume();
        m_ready = true;
    }
}

// ---- save events ----

void SystemMessageScreen::onSaveGameError(int32_t id)
{
    switch (id) {
    case 1:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
        ZIBBO_LOG(k_logDefault, false)
            << "SystemMessageScreen::onSaveError() - This error needs to be handled by the engine...";
        break;
    case 2:
    case 4:
    case 5:
    case 18:
    case 19:
        markQueueBase();
        pushMessage(FRef(), PromptMessage::k_noButtons, k_saveGameError, true, true);
        break;
    case 3:
    case 6:
        markQueueBase();
        pushQuestion(FRef(), FRef(), FRef(), k_saveGameError, false, true);
        break;
    default:
        break;
    }
    pause();
    ZIBBO_LOG(k_logDefault, false) << "SystemMessageScreen::onSaveGameError() - Error id:" << id;
}

void SystemMessageScreen::onSaveGameWarning(int32_t id, int32_t)
{
    if (id == 1 || id == 2) {
        const FRef text = id == 1 ? warningText(u"2") : FRef();
        markQueueBase();
        pushQuestion(text, FRef(), FRef(), k_saveGameWarning, false, true);
    }
    pause();
    ZIBBO_LOG(k_logDefault, false) << "SystemMessageScreen::onSaveGameWarning() - Warning id:" << id;
}

// ---- answers ----

void SystemMessageScreen::onConfirmMessage(int32_t kind)
{
    switch (kind) {
    case k_saveGameError:
        ZIBBO_LOG(k_logDefault, false)
            << "SystemMessageScreen::onConfirmMessage() k_saveGameError - Confirmation no saves!";
        pushNoSavesConfirmation();
        break;
    case k_saveGameWarning:
        ZIBBO_LOG(k_logDefault, false)
            << "SystemMessageScreen::onConfirmMessage() k_saveGameWarning - Confirmation no saves!";
        pushNoSavesConfirmation();
        break;
    case k_noSavesConfirmation:
        ZIBBO_LOG(k_logDefault, false)
            << "SystemMessageScreen::onConfirmMessage() k_noSavesConfirmation - Disabled all saves!";
        if (SystemMessageHost* game = host()) game->disableSaving();
        resume();
        clearQueue();
        break;
    case k_controllerMissing:
        ZIBBO_LOG(k_logDefault, false)
            << "SystemMessageScreen::onConfirmMessage() k_controllerMissing - Confirmation no saves!";
        resume();
        break;
    default:
        ZIBBO_LOG(k_logDefault, false)
            << "SystemMessageScreen::onConfirmMessage() k_null - Confirmation no saves!";
        PromptScreen::onConfirmMessage(kind);
        break;
    }
}

void SystemMessageScreen::onCancel()
{
    switch (getFrontMessageKind()) {
    case k_saveGameError:
        ZIBBO_LOG(k_logDefault, false) << "SystemMessageScreen::onCancel() k_saveGameError - Deleting file!";
        clearQueue();
        if (SystemMessageHost* game = host()) game->rebuildSaveData();
        resume();
        break;
    case k_saveGameWarning:
        ZIBBO_LOG(k_logDefault, false)
            << "SystemMessageScreen::onCancel() k_saveGameWarning - returning to the machine's own menu!";
        clearQueue();
        if (SystemMessageHost* game = host()) game->returnToSystemMenu();
        break;
    case k_noSavesConfirmation:
        resume();
        break;
    default:
        ZIBBO_LOG(k_logDefault, false) << "SystemMessageScreen::onCancel() Calls inherited!";
        PromptScreen::onCancel();
        break;
    }
}
