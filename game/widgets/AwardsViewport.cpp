#include "game/widgets/AwardsViewport.h"

#include "audio/FAudioNode.h"
#include "core/FLogStream.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSession.h"
#include "game/core/LevelTimer.h"
#include "game/core/Quest.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/SparkleSettings.h"
#include "game/widgets/VideoFrameImage.h"
#include "game/widgets/VideoSprite.h"
#include "game/widgets/WidgetGeometry.h"
#include "image/FImage.h"
#include "ui/FButton.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "ui/FScreen.h"
#include "video/FVideo.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr int32_t k_presenterFrameRate = 12;
constexpr int32_t k_presenterFrameTime = 83;
constexpr int32_t k_groupSprites = 64;
constexpr int32_t k_poolParticles = 8;
constexpr int32_t k_darkenStep = 10;
constexpr int32_t k_starsForSuccess = 3;
constexpr uint32_t k_opaqueBlack = 0xFF000000u;

constexpr SparkleSettings k_fireworks{1600, 128, true, 1, 1, 500000, 500000, 1, 1000, 1450, 500, 1, 10, 30};
constexpr int32_t k_fireworksMs = 1500;
constexpr SparkleSettings k_burst{15, 500, true, 1, 1, 20000, 20000, 100, 3000, 1500, 100, 40, 20, 20};
constexpr int32_t k_burstMs = 100;

// A fixed-point emitter at `at`, started.
FRefT<ParticleEmitter> launch(int32_t duration, const SparkleSettings& settings, ParticlePool* pool,
                              ParticleGroup* group, const FRefT<FImage>& image, FPointI at)
{
    auto* emitter = engineNew<ParticleEmitter>(k_memObject, duration, pool, group, image, at.x, at.y,
                                               ParticleEmitter::k_point, false, 0);
    applySparkle(*emitter, settings);
    emitter->restart();
    return makeRef(emitter);
}

} // namespace

AwardsViewport::AwardsViewport(FContainer* parent) : AwardsViewport(parent, true) {}

AwardsViewport::AwardsViewport(FContainer* parent, bool addToParent) : FContainer(parent, addToParent)
{
    setHitTestDisabled(true);
    setHitWholeRect(false);
    auto* shown = makeMemberDelegate(this, &AwardsViewport::onTitleShown);
    m_titleFade.setCompletion(shown);
    engineFree(shown);
}

AwardsViewport::~AwardsViewport()
{
    // The host is asked again: while the screen itself is being destroyed it
    // is no host any more, and its sound channels are not reachable through it.
    auto* host = m_host != nullptr ? dynamic_cast<AwardsHost*>(getScreen()) : nullptr;
    if (host != nullptr) {
        host->clearMusicEndCallback();
        host->setVoiceFinishedCallback(nullptr);
    }
    m_fireworks = {};
    m_bursts.clear();
    m_awardClips.clear();
}

int32_t AwardsViewport::currentQuestType() const
{
    GameSession* session = m_host != nullptr ? m_host->getGameSession() : nullptr;
    Quest* quest = session != nullptr ? session->currentQuest() : nullptr;
    return quest != nullptr ? quest->questType() : -1;
}

uint8_t AwardsViewport::titleAlpha() const
{
    return m_title.get() != nullptr ? static_cast<uint8_t>(m_title->colourTable()[0] >> 24) : 0;
}

void AwardsViewport::reset()
{
    m_fireworks = {};
    m_bursts.clear();
    m_awardClips.clear();
    m_finished.clear();
    m_titleShown = false;
    m_voiceStarted = false;
    m_voiceEverStarted = false;
    m_loopMusicRequested = false;
    m_musicCallbackCleared = false;
    m_fireworksOn = false;
    m_skipping = false;
    m_failure = false;
    m_clipTimer = 0;
    m_nextClip = 0;
    m_chosenVoice = {};
    m_titleFade.setActive(false);
    m_endTimer.setActive(false);
}

void AwardsViewport::playMusic(const FRefT<FAudioNode>& music, bool loop)
{
    auto* ended = makeMemberDelegate(this, &AwardsViewport::onMusicEnded);
    m_host->playMusic(music, loop, ended);
    engineFree(ended);
}

void AwardsViewport::initialize(int32_t stars)
{
    bringToFront();
    setHitTestDisabled(false);
    setHitWholeRect(true);
    FScreen* screen = getScreen();
    m_host = dynamic_cast<AwardsHost*>(screen);
    if (m_host == nullptr) {
        ZIBBO_LOG(k_logWarn, false) << "awards viewport outside its story screen";
        return;
    }
    reset();
    const AwardsHost::Items& items = m_host->getAwardsItems();
    GameSession* session = m_host->getGameSession();
    if (LevelTimer* timer = session != nullptr ? session->getLevelTimer() : nullptr) timer->stopped = true;
    setWidgetSize(screen->width(), screen->height());
    items.hiddenLabel->bringToFront();
    items.hiddenLabel->setVisible(false);

    m_backdrop = items.darkening;
    m_title = items.title;
    m_presenter = items.presenter;
    m_titleFade.target = m_title.get();
    m_arcCentre = {screen->width() / 2, static_cast<int32_t>(std::trunc(screen->height() / 3.3))};

    const int32_t questType = currentQuestType();
    m_presenter->setVideo(questType == 1 ? items.presenterVideoQuestType1 : items.presenterVideo, true);
    m_presenter->setAnimationFrameRate(k_presenterFrameRate);
    m_presenter->setFrameTime(k_presenterFrameTime);
    m_presenter->setLoops(-1);
    m_presenter->centerWidgetOnPoint(m_arcCentre);
    m_presenter->moveWidgetBy(0, static_cast<int32_t>(std::trunc(m_presenter->height() * 0.05)));

    const FRectI& presenter = m_presenter->rect();
    items.banner->centerWidgetOnPoint(m_arcCentre);
    items.banner->moveWidgetBy(0,
                               static_cast<int32_t>(std::trunc((presenter.top - presenter.bottom) * 0.04)));

    m_backdrop->setVisible(true);
    m_backdrop->setWidgetAlpha(0);
    sendToBack(*m_backdrop);
    m_backdrop->setHitTestDisabled(true);

    Quest* quest = session != nullptr ? session->currentQuest() : nullptr;
    const int32_t questId = quest != nullptr ? quest->questId() : -1;
    if (stars >= k_starsForSuccess || m_host->isQuestCompleted(questId)) {
        items.failureButton->setVisible(false);
        m_host->stopAmbientSound();
        playMusic(items.jingle, false);
    } else {
        m_failure = true;
        items.failureButton->caption().setText(items.failureCaption);
        m_presenter->setVideo(FRefT<FVideo>(), false);
        m_presenter->setImage(items.failurePicture, true);
        m_backdrop->setWidgetColour(k_opaqueBlack);
        m_backdrop->setWidgetAlpha(k_failureBackdropAlpha);
        items.failureButton->setVisible(true);
        m_host->stopAllSounds();
        m_host->playSound(items.failureSound, k_failureSoundVolume);
    }

    const bool titled = stars >= 0 && stars < static_cast<int32_t>(items.titles.size());
    m_title->setText(items.titles[titled ? static_cast<std::size_t>(stars) : 0]);
    m_title->setFont(items.titleFont);
    const FPointI size = m_title->measureText();
    m_title->setWidgetSize(size.x, size.y);
    m_title->setAlpha(0);

    m_step = k_darken;
    auto* finished = makeMemberDelegate(this, &AwardsViewport::onAwardClipFinished);
    for (int32_t n = 0; n < stars; ++n) {
        FRefT<VideoSprite> clip = makeRef(engineNew<VideoSprite>(k_memObject, this, true));
        clip->setVideo(items.awardClip, true);
        clip->setFinishCallback(finished);
        clip->setVisible(false);
        m_awardClips.push_back(clip);
    }
    engineFree(finished);
    arrangeAwardClips();
    m_nextClip = 0;

    if (questType == 1) pickNamedVoice();
    m_host->returnToRestPosition(0);

    m_active = true;
    m_bursts.clear();
    m_group = makeRef(engineNew<ParticleGroup>(k_memObject, k_groupSprites, this));
    m_pool = makeRef(engineNew<ParticlePool>(k_memObject, k_poolParticles));
    if (items.loopMusic.get() != nullptr) items.loopMusic->ensureLoaded();

    auto* endTimer = makeMemberDelegate(this, &AwardsViewport::onEndTimer);
    m_endTimer.setCompletion(endTimer);
    engineFree(endTimer);

    if (m_failure) {
        skipToEnd();
        m_title->setWidgetWidth(m_title->width() + m_title->width() / 4);
        m_title->setText(items.failureTitle);
        m_title->setFont(items.failureTitleFont);
        m_title->setWidgetWidth(2 * m_title->measureText().x / 3);
        m_title->enableWordWrap();
    }
}

std::vector<FPointI> AwardsViewport::arcOffsets(int32_t n)
{
    std::vector<FPointI> offsets;
    const float a0 = static_cast<float>(-(n - 1) * k_arcStep * 0.5);
    const float sinStep = std::sin(k_arcStep);
    const float cosStep = std::cos(k_arcStep);
    auto dx = static_cast<int32_t>(std::trunc(-static_cast<float>(k_arcRadius) * std::sin(a0)));
    auto dy = static_cast<int32_t>(std::trunc(static_cast<float>(k_arcRadius) * std::cos(a0)));
    for (int32_t i = 0; i < n; ++i) {
        offsets.push_back({dx, dy});
        const auto fx = static_cast<float>(dx);
        const auto fy = static_cast<float>(dy);
        dy = static_cast<int32_t>(std::trunc(fx * sinStep + fy * cosStep));
        dx = static_cast<int32_t>(std::trunc(fx * cosStep - fy * sinStep));
    }
    return offsets;
}

void AwardsViewport::arrangeAwardClips()
{
    const std::vector<FPointI> offsets = arcOffsets(static_cast<int32_t>(m_awardClips.size()));
    m_finished.assign(m_awardClips.size(), false);
    for (std::size_t i = 0; i < m_awardClips.size(); ++i) {
        VideoSprite& clip = *m_awardClips[i];
        const FPointI centre{m_arcCentre.x + offsets[i].x, m_arcCentre.y + offsets[i].y};
        clip.setWidgetPosition(centre.x - clip.width() / 2, centre.y - clip.height() / 2);
        clip.bringToFront();
    }
}

void AwardsViewport::pickNamedVoice()
{
    const char* name = k_namedVoices[GameRandom::rand() % 7];
    const auto& voices = m_host->getAwardsItems().namedVoices;
    const auto found = voices.find(name);
    if (found == voices.end()) {
        // The ceremony goes on without a voice line.
        ZIBBO_LOG(k_logWarn, false) << "awards voice missing: " << name;
        return;
    }
    m_chosenVoice = found->second;
}

void AwardsViewport::update(int32_t elapsed)
{
    if (!m_active) return;
    const AwardsHost::Items& items = m_host->getAwardsItems();
    sendToBack(*m_backdrop);
    items.banner->setVisible(true);
    m_presenter->update(elapsed);
    m_titleFade.update(elapsed);
    m_endTimer.update(elapsed);
    if (m_loopMusicRequested) {
        playMusic(items.loopMusic, true);
        m_loopMusicRequested = false;
    }
    switch (m_step) {
    case k_darken: {
        const int32_t alpha = static_cast<int32_t>(m_backdrop->widgetColour() >> 24) + k_darkenStep;
        if (alpha >= k_backdropAlpha) {
            m_backdrop->setWidgetAlpha(k_backdropAlpha);
            m_step = k_darkened;
        } else {
            m_backdrop->setWidgetAlpha(static_cast<uint8_t>(alpha));
        }
        break;
    }
    case k_darkened:
        m_step = k_awardClips;
        break;
    case k_awardClips:
        updateAwardClips(elapsed);
        if (m_nextClip < m_awardClips.size()) {
            VideoSprite& clip = *m_awardClips[m_nextClip];
            if (!clip.isPlaying() || clip.isPaused()) showAndPlay(clip);
            m_clipTimer += elapsed;
            if (m_clipTimer >= k_clipGapMs) {
                ++m_nextClip;
                m_clipTimer = 0;
            }
        } else if (allClipsFinished()) {
            m_step = k_titleAndVoice;
        }
        break;
    case k_titleAndVoice:
        if (!m_voiceStarted && !m_voiceEverStarted) {
            startAlphaTween(m_titleFade, 255, k_titleFadeMs);
            startVoice();
        }
        if (m_titleShown) m_step = k_waiting;
        break;
    case k_waiting:
        m_voiceStarted = false;
        break;
    case k_endRequested:
        if (!m_musicCallbackCleared) {
            m_host->clearMusicEndCallback();
            m_musicCallbackCleared = true;
        }
        m_endTimer.start(k_endDelayMs);
        m_step = k_ending;
        break;
    case k_skipping:
        updateAwardClips(elapsed);
        if (isSequenceDone()) {
            m_voiceStarted = false;
            m_step = k_waiting;
        }
        break;
    default:
        break;
    }
    updateParticles(elapsed);
}

void AwardsViewport::updateAwardClips(int32_t elapsed)
{
    for (const FRefT<VideoSprite>& clip : m_awardClips) {
        clip->update(elapsed);
        clip->bringToFront();
    }
}

void AwardsViewport::updateParticles(int32_t elapsed)
{
    m_pool->update(elapsed, *m_group);
    m_group->update(elapsed);
    m_group->applyRecords();
    m_group->layer()->bringToFront();
    m_presenter->bringToFront();
    for (std::size_t i = 0; i < m_bursts.size(); ++i) {
        m_bursts[i]->update(elapsed);
        if (i < m_awardClips.size()) m_awardClips[i]->bringToFront();
    }
    if (m_fireworks.get() != nullptr) m_fireworks->update(elapsed);
    // The fireworks repeat while they are on.
    if (m_fireworksOn && !m_fireworks->isMoving()) startFireworks();
}

void AwardsViewport::showAndPlay(VideoSprite& clip)
{
    clip.setVisible(true);
    clip.play(false);
}

void AwardsViewport::startVoice()
{
    m_voiceStarted = true;
    m_voiceEverStarted = true;
    const AwardsHost::Items& items = m_host->getAwardsItems();
    FRefT<FAudioNode> voice;
    if (currentQuestType() == 1) {
        voice = m_chosenVoice;
    } else if (!items.generalVoices.empty()) {
        auto entry = items.generalVoices.begin();
        std::advance(entry, GameRandom::rand() % static_cast<int32_t>(items.generalVoices.size()));
        voice = entry->second;
    } else {
        ZIBBO_LOG(k_logWarn, false) << "awards voice table empty";
    }
    if (m_failure) return;
    if (voice.get() != nullptr) {
        auto* ended = makeMemberDelegate(this, &AwardsViewport::onVoiceEnded);
        m_host->setVoiceFinishedCallback(ended);
        engineFree(ended);
        m_host->playVoice(voice);
        // Without a voice line the presenter has nothing to speak.
        m_presenter->play(false);
    }
    startFireworks();
}

void AwardsViewport::startFireworks()
{
    m_fireworksOn = true;
    m_fireworks = {};
    m_fireworks = launch(k_fireworksMs, k_fireworks, m_pool.get(), m_group.get(),
                         m_host->getAwardsItems().particleImage, m_presenter->getWidgetCenter());
    m_presenter->bringToFront();
}

void AwardsViewport::onAwardClipFinished(VideoSprite& sprite)
{
    if (m_finished.empty()) return;
    for (std::size_t i = 0; i < m_awardClips.size(); ++i) {
        if (m_awardClips[i].get() == &sprite) m_finished[i] = true;
    }
    const FRectI& r = sprite.rect();
    const FPointI at{r.left + sprite.width() / 2 - sprite.width() / 7, r.top + sprite.height() / 2};
    m_bursts.push_back(
        launch(k_burstMs, k_burst, m_pool.get(), m_group.get(), m_host->getAwardsItems().particleImage, at));
}

void AwardsViewport::skipToEnd()
{
    if (m_skipping) return;
    m_skipping = true;
    for (std::size_t i = 0; i < m_awardClips.size(); ++i) {
        VideoSprite& clip = *m_awardClips[i];
        if (!(clip.isPlaying() && !clip.isPaused()) && !m_finished[i]) showAndPlay(clip);
    }
    if (!m_titleFade.isActive() && titleAlpha() < 255) startAlphaTween(m_titleFade, 255, k_titleFadeMs);
    if (!m_voiceStarted && !m_voiceEverStarted) startVoice();
    m_step = k_skipping;
}

bool AwardsViewport::allClipsFinished() const
{
    return std::find(m_finished.begin(), m_finished.end(), false) == m_finished.end();
}

bool AwardsViewport::isSequenceDone() const
{
    return allClipsFinished() && !m_presenter->isPlaying() && m_titleShown;
}

void AwardsViewport::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    FContainer::onPointerUp(pointer, button, point);
    if (!m_active || m_failure) return;
    switch (m_step) {
    case k_titleAndVoice:
    case k_waiting:
    case k_skipping:
        m_step = k_endRequested;
        break;
    case k_awardClips:
    case k_endRequested:
    case k_ending:
        skipToEnd();
        break;
    default:
        break;
    }
}

void AwardsViewport::onTitleShown()
{
    m_titleShown = true;
}

void AwardsViewport::onMusicEnded()
{
    if (m_step <= k_waiting) m_loopMusicRequested = true;
}

void AwardsViewport::onVoiceEnded()
{
    VideoFrameImage* frames = m_presenter->frameImage().get();
    if (frames != nullptr) {
        // For a clip of unknown length the count is the end marker: the seek
        // then stops where the player reports the end.
        m_presenter->seekAndShow(frames->frameCount() - 1);
    }
    m_presenter->setPlaying(false);
}

void AwardsViewport::onEndTimer()
{
    if (!m_failure && m_host != nullptr) m_host->endTask();
}
