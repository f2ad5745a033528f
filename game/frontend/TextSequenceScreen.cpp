#include "game/frontend/TextSequenceScreen.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/FrontEndSounds.h"
#include "game/widgets/FlashSprite.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FFont.h"
#include "ui/FLabel.h"
#include "video/FVideo.h"

#include <string_view>

TextSequenceScreen::TextSequenceScreen()
{
    m_label = dynamic_cast<FLabel*>(m_textLabel.get());
    m_picture = dynamic_cast<VideoSprite*>(m_pictureSprite.get());
    m_flash = dynamic_cast<FlashSprite*>(m_flashSprite.get());
    if (m_label == nullptr || m_picture == nullptr || m_flash == nullptr)
        ZIBBO_FAIL(msgIllegalOperation, "folder 22 lacks its text label, picture sprite or flash sprite");
    // The typewriter breaks lines itself; the label keeps its breaks.
    m_label->enableWordWrap();
    m_texts = {m_sequenceText1, m_sequenceText2};
    m_voices = {m_voiceLine1, m_voiceLine2};
    m_pictures = {FRef(), FRef()};
    m_flash->prepare(k_black);
    m_flash->setHold(true);
}

TextSequenceScreen::~TextSequenceScreen()
{
    m_pictureFade.setCompletion(nullptr);
    m_voiceGraceTimer.setCompletion(nullptr);
    m_linePauseTimer.setCompletion(nullptr);
    m_picture->setFinishCallback(nullptr);
    m_flash->setOnFinished(nullptr);
    // A voice that ends after the screen went must not reach it.
    FrontEndSounds::setVoiceFinishedCallback(nullptr);
}

void TextSequenceScreen::onActivate()
{
    FrontEndSounds::takeControllers(this);
    m_pictureFade.target = m_picture;
    FTween::Completion* faded = makeMemberDelegate(this, &TextSequenceScreen::onPictureFadeDone);
    m_pictureFade.setCompletion(faded);
    engineFree(faded);
    m_textFade.target = m_label;
    VideoSprite::Callback* played = makeMemberDelegate(this, &TextSequenceScreen::onPictureVideoDone);
    m_picture->setFinishCallback(played);
    engineFree(played);
    m_picture->setWidgetAlpha(0);
    centrePicture();
    if (FContainer* parent = m_picture->parent()) parent->moveChildToEnd(m_picture);
    FTween::Completion* voiceDone = makeMemberDelegate(this, &TextSequenceScreen::onVoiceDone);
    m_voiceGraceTimer.setCompletion(voiceDone);
    engineFree(voiceDone);
    FTween::Completion* advance = makeMemberDelegate(this, &TextSequenceScreen::advanceEntry);
    m_linePauseTimer.setCompletion(advance);
    engineFree(advance);
    FrontEndSounds::playMusic(m_sequenceMusic, false);
    showNextString();
    m_label->setText(FString());
}

void TextSequenceScreen::centrePicture()
{
    m_picture->setWidgetRect(FWidget::centerRectOn(m_picture->rect(), {width() / 2, height() / 2}));
}

void TextSequenceScreen::listenForVoiceEnd()
{
    FDelegate<void()>* ended = makeMemberDelegate(this, &TextSequenceScreen::onVoiceDone);
    FrontEndSounds::setVoiceFinishedCallback(ended);
    engineFree(ended);
}

void TextSequenceScreen::showNextString()
{
    if (m_index == m_texts.size()) {
        ZIBBO_LOG(k_logDefault, false) << "done with strings!";
        m_finished = true;
        m_typing = false;
        m_label->setVisible(false);
        FrontEndSounds::stopVoice();
        finishSequence();
        return;
    }
    ZIBBO_LOG(k_logDefault, false) << "going to string at " << static_cast<int32_t>(m_index);
    m_label->setText(FString());
    m_label->setAlpha(255);
    m_typing = true;
    const FString* text = m_texts[m_index].as<FString>();
    m_currentText = text != nullptr ? *text : FString();
    m_currentVoice = m_voices[m_index];
    // A grace time left from the entry before belongs to that entry.
    m_voiceGraceTimer.setActive(false);
    listenForVoiceEnd();
    // Without a voice channel there is no voice to wait for.
    if (!FrontEndSounds::playVoice(m_currentVoice)) m_voiceDone = true;
    m_typedCount = 0;
    m_wordEnd = 0;
}

int32_t TextSequenceScreen::widthOf(const FString& text) const
{
    FFont* font = m_label->font().get();
    return font != nullptr ? font->measureString(text).x : 0;
}

void TextSequenceScreen::typeCharacters()
{
    const auto length = static_cast<uint32_t>(m_currentText.length());
    while (m_typingTime >= k_characterMs) {
        m_typingTime -= k_characterMs;
        if (m_typedCount >= length) {
            m_textComplete = true;
            m_label->setText(m_currentText);
            continue;
        }
        FString typed = m_label->text();
        const std::u16string_view text = m_currentText.view();
        if (m_typedCount >= m_wordEnd) {
            const std::size_t space = text.find(u' ', m_typedCount);
            m_wordEnd = space == std::u16string_view::npos ? length : static_cast<uint32_t>(space);
            const FString word(text.substr(m_typedCount, m_wordEnd - m_typedCount));
            const std::size_t lines = m_label->lineCount();
            const FString lastLine =
                lines == 0 ? m_label->text() : m_label->getLine(static_cast<int32_t>(lines) - 1);
            if (widthOf(lastLine) + widthOf(word) > m_label->width()) typed += u'\n';
        }
        typed += text[m_typedCount];
        m_label->setText(typed);
        ++m_typedCount;
    }
}

void TextSequenceScreen::update(int32_t elapsed)
{
    SystemMessageScreen::update(elapsed);
    if (FrontEndSounds::isGamePaused()) return;
    m_picture->update(elapsed);
    m_flash->update(elapsed);
    if (m_textComplete && !m_voiceDone) listenForVoiceEnd();
    if (m_textComplete && m_voiceDone) {
        m_textComplete = false;
        m_voiceDone = false;
        if (!m_linePauseTimer.isActive()) m_linePauseTimer.start(k_linePauseMs);
    }
    if (!m_finished) {
        m_pictureFade.update(elapsed);
        m_textFade.update(elapsed);
        m_voiceGraceTimer.update(elapsed);
        m_linePauseTimer.update(elapsed);
        if (m_typing) {
            m_typingTime += elapsed;
            typeCharacters();
        }
    }
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (!m_preloadRequested) {
        m_preloadRequested = true;
        if (game != nullptr) game->loadScreen(k_animationScreen);
    }
    if (m_flashDone && game != nullptr && !game->getCachedScreen(k_animationScreen).isNull()) {
        m_flashDone = false;
        game->setScreen(k_animationScreen, false);
    }
}

void TextSequenceScreen::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    if (ZibboUserInterface* game = ZibboUserInterface::getInstance()) game->playSound(m_confirmSound, 63);
    if (FrontEndSounds::isQuitPending()) {
        FScreen::onPointerDown(pointer, button, point);
        return;
    }
    if (m_typing) {
        completeLine();
        return;
    }
    FrontEndSounds::stopVoice();
    m_voiceDone = true;
}

void TextSequenceScreen::completeLine()
{
    // Also when the typewriter already showed the whole text: the press cuts
    // the voice and the sequence goes on, it never starts the entry again.
    m_label->setText(m_currentText);
    if (!m_voiceGraceTimer.isActive()) m_voiceGraceTimer.start(k_voiceGraceMs);
    m_typing = false;
    m_textComplete = true;
    FrontEndSounds::stopVoice();
}

void TextSequenceScreen::onVoiceDone()
{
    m_voiceDone = true;
}

void TextSequenceScreen::advanceEntry()
{
    if (m_index == m_pictures.size()) return;
    if (m_pictures[m_index].get() != nullptr) {
        m_picture->setVideo(FRefT<FVideo>(m_pictures[m_index]), true);
        centrePicture();
        startAlphaFade(m_pictureFade, 255, k_pictureFadeMs);
        startAlphaTween(m_textFade, 0, k_textFadeMs);
        ++m_index;
        return;
    }
    ++m_index;
    onPictureFadeDone();
}

void TextSequenceScreen::onPictureFadeDone()
{
    if (fadedAlpha(static_cast<FWidget&>(*m_picture)) == 255) {
        m_picture->play(false);
        return;
    }
    showNextString();
    m_label->setText(FString());
}

void TextSequenceScreen::onPictureVideoDone(VideoSprite&)
{
    if (m_index < m_pictures.size()) {
        startAlphaFade(m_pictureFade, 0, k_pictureFadeMs);
        return;
    }
    finishSequence();
}

void TextSequenceScreen::finishSequence()
{
    m_flash->start();
    FlashSprite::Callback* done = makeMemberDelegate(this, &TextSequenceScreen::onFlashDone);
    m_flash->setOnFinished(done);
    engineFree(done);
    m_picture->setVisible(false);
}

void TextSequenceScreen::onFlashDone(FlashSprite&)
{
    // The black stays over everything until the switch.
    if (FContainer* parent = m_flash->parent()) parent->moveChildToEnd(m_flash);
    m_flashDone = true;
}
