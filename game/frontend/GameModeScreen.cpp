#include "game/frontend/GameModeScreen.h"

#include "audio/FAudioNode.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameSession.h"
#include "game/core/GameSoundChannels.h"
#include "game/core/GameStructure.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/FrontEndMenus.h"
#include "game/frontend/FrontEndSounds.h"
#include "game/frontend/FrontEndWidgets.h"
#include "game/widgets/FlashSprite.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FFont.h"
#include "ui/FLabel.h"
#include "video/FVideo.h"

#include <stdexcept>

namespace {

constexpr int32_t k_prologueFolder = 13;
constexpr uint32_t k_prologueWhite = 0xFFFFFFFFu;

} // namespace

GameModeScreen::GameModeScreen()
{
    m_clipSprite = frontEndWidgetOf<VideoSprite>(m_clipPlayer, k_prologueFolder, "the clip player");
    m_flash = frontEndWidgetOf<FlashSprite>(m_flashSprite, k_prologueFolder, "the flash");
    m_captions = {m_caption1, m_caption2, m_caption3, m_caption4};
    m_voiceLines = {m_voice1, m_voice2, m_voice3, m_voice4};
    m_clips = {m_firstClip, m_secondClip, FRef(), m_closingClip};
    m_flash->prepare(k_prologueWhite);
    m_flash->setHold(true);
}

GameModeScreen::~GameModeScreen()
{
    // The game module would otherwise call into a screen that is gone.
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (m_voiceCallbackSet && game != nullptr && game->sounds() != nullptr)
        game->sounds()->setVoiceFinishedCallback(nullptr);
    m_clipSprite->setFinishCallback(nullptr);
    m_flash->setOnFinished(nullptr);
    m_clipFade.setCompletion(nullptr);
}

const FString& GameModeScreen::captionText() const
{
    static const FString empty;
    const FString* text = m_caption.as<FString>();
    return text != nullptr ? *text : empty;
}

void GameModeScreen::centreClip()
{
    m_clipSprite->setWidgetRect(FWidget::centerRectOn(m_clipSprite->rect(), FWidget::getRectCenter(rect())));
}

void GameModeScreen::onActivate()
{
    FrontEndMenus::takeControllers(this);
    m_clipFade.target = m_clipSprite;
    FTween::Completion* faded = makeMemberDelegate(this, &GameModeScreen::onClipFadeDone);
    m_clipFade.setCompletion(faded);
    engineFree(faded);
    m_captionFade.target = m_captionLabel.get();
    VideoSprite::Callback* finished = makeMemberDelegate(this, &GameModeScreen::onClipFinished);
    m_clipSprite->setFinishCallback(finished);
    engineFree(finished);
    m_clipSprite->setWidgetAlpha(0);
    centreClip();
    m_clipSprite->bringToFront();
    FrontEndSounds::playMusic(m_prologueMusic, false);
    startCaption();
    m_captionLabel->setText(FString());
}

void GameModeScreen::startCaption()
{
    m_typeInterval -= 3;
    FLabel& label = *m_captionLabel;
    label.setText(FString());
    label.setAlpha(255);
    m_typing = true;
    m_captionComplete = false;
    m_caption = m_captions[static_cast<size_t>(m_step)];
    if (!m_voiceLines.empty()) {
        m_voiceLine = m_voiceLines[static_cast<size_t>(m_step)];
        ZibboUserInterface* game = ZibboUserInterface::getInstance();
        if (game != nullptr && game->sounds() != nullptr && m_voiceLine.get() != nullptr) {
            game->sounds()->playVoice(FRefT<FAudioNode>(m_voiceLine), true);
            GameSoundChannels::Callback* voiced = makeMemberDelegate(this, &GameModeScreen::onVoiceFinished);
            game->sounds()->setVoiceFinishedCallback(voiced);
            engineFree(voiced);
            m_voiceCallbackSet = true;
        }
    }
    m_charsShown = 0;
    m_wordEnd = 0;
}

void GameModeScreen::update(int32_t elapsed)
{
    SystemMessageScreen::update(elapsed);
    if (FrontEndSounds::isGamePaused()) return;
    m_clipSprite->update(elapsed);
    m_flash->update(elapsed);
    m_clipFade.update(elapsed);
    m_captionFade.update(elapsed);
    if (m_typing) {
        m_typeElapsed += elapsed;
        typeCaption();
    }
    if (m_done) {
        if (m_leaveDelay > k_leaveAfterMs) {
            m_done = false;
            if (ZibboUserInterface* game = ZibboUserInterface::getInstance())
                game->setScreen(k_loadingScreen, false);
        } else {
            m_leaveDelay += elapsed;
        }
    }
}

void GameModeScreen::typeCaption()
{
    FLabel& label = *m_captionLabel;
    while (m_typeElapsed >= m_typeInterval && m_typeInterval > 0) {
        m_typeElapsed -= m_typeInterval;
        const FString& caption = captionText();
        const std::u16string_view full = caption.view();
        if (m_charsShown >= full.size()) {
            m_captionComplete = true;
            label.setText(caption);
            continue;
        }
        std::u16string shown(label.text().view());
        if (m_charsShown >= m_wordEnd) {
            const size_t space = full.find(u' ', m_charsShown);
            m_wordEnd = space == std::u16string_view::npos ? k_noWordEnd : static_cast<uint32_t>(space);
            const FString word(full.substr(m_charsShown, m_wordEnd == k_noWordEnd
                                                             ? std::u16string_view::npos
                                                             : m_wordEnd - m_charsShown));
            FFont* font = label.font().get();
            if (font != nullptr) {
                const FString lastLine = label.lineCount() > 0
                                             ? label.getLine(static_cast<int32_t>(label.lineCount()) - 1)
                                             : FString();
                const int32_t width =
                    font->measureString(word, false).x + font->measureString(lastLine, false).x;
                if (width > label.width()) shown.push_back(u'\n');
            }
        }
        shown.push_back(full[m_charsShown]);
        label.setText(FString(shown));
        ++m_charsShown;
    }
}

void GameModeScreen::completeCaption()
{
    if (m_captionLabel->text() != captionText()) m_captionLabel->setText(captionText());
    m_typing = false;
    m_captionComplete = true;
}

void GameModeScreen::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game != nullptr && game->isQuitPending()) {
        FScreen::onPointerDown(pointer, button, point);
        return;
    }
    if (!m_captionComplete) {
        FrontEndMenus::playSound(m_confirmSound);
        completeCaption();
        return;
    }
    if (m_clipFade.isActive() || (m_clipSprite->isPlaying() && !m_clipSprite->isPaused())) return;
    FrontEndMenus::playSound(m_confirmSound);
    if (game != nullptr && game->sounds() != nullptr) game->sounds()->stopVoice();
    showNextClip();
}

void GameModeScreen::showNextClip()
{
    if (m_step == static_cast<int32_t>(m_clips.size())) return;
    const FRef clip = m_clips[static_cast<size_t>(m_step)];
    if (clip.get() == nullptr) {
        ++m_step;
        m_captionComplete = false;
        onClipFadeDone();
        return;
    }
    m_clipSprite->setVideo(FRefT<FVideo>(clip), true);
    centreClip();
    m_clipFade.start(255, clip.get() == m_closingClip.get() ? k_closingFadeMs : k_clipFadeMs);
    m_captionFade.start(0, k_captionFadeMs);
    ++m_step;
}

void GameModeScreen::onClipFadeDone()
{
    if (fadedAlpha(*static_cast<FWidget*>(m_clipSprite)) == 255) {
        m_clipSprite->play(false);
        return;
    }
    startCaption();
    m_captionLabel->setText(FString());
}

void GameModeScreen::onClipFinished(VideoSprite&)
{
    if (m_step < static_cast<int32_t>(m_clips.size())) {
        m_clipFade.start(0, k_clipFadeMs);
        if (m_step == 2) FrontEndSounds::playMusic(m_musicTrack1, false);
        return;
    }
    onLastClipFinished();
}

void GameModeScreen::onLastClipFinished()
{
    FlashSprite::Callback* flashed = makeMemberDelegate(this, &GameModeScreen::onFlashDone);
    m_flash->setOnFinished(flashed);
    engineFree(flashed);
    m_flash->start();
    m_clipSprite->setVisible(false);
}

void GameModeScreen::onFlashDone(FlashSprite&)
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    const FRefT<GameSession> session = game != nullptr ? game->getGameSession() : FRefT<GameSession>();
    if (!session.isNull()) {
        std::deque<World>& worlds = session->structure().worlds();
        if (worlds.empty()) throw std::out_of_range("the game structure holds no world");
        session->setCurrentWorld(0, &worlds.front());
        session->selectQuest(GameStructure::k_specialQuestType);
        if (ProfileManager* profiles = session->profiles())
            if (PlayerProfile* profile = profiles->getCurrentProfile()) profile->newWorlds().clear();
    }
    m_done = true;
}
