#include "game/gameplay/FoundItemFlow.h"

#include "core/FMemory.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSession.h"
#include "game/core/GameShuffle.h"
#include "game/core/LevelTimer.h"
#include "game/core/Quest.h"
#include "game/core/SearchableObject.h"
#include "game/core/StoryEvent.h"
#include "game/core/TaskType.h"
#include "game/gameplay/HudPanel.h"
#include "game/gameplay/StoryAudio.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/widgets/CharacterVideoSprite.h"
#include "game/widgets/FadeSwapWidget.h"
#include "game/widgets/MapView.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/QueuedVideoSprite.h"
#include "game/widgets/SearchableSprite.h"
#include "game/widgets/SparkleSettings.h"
#include "game/widgets/VideoSprite.h"
#include "game/widgets/WidgetGeometry.h"
#include "game/worlds/NamedRefMap.h"
#include "image/FImage.h"
#include "ui/FImageWidget.h"
#include "video/FVideo.h"

#include <vector>

namespace {

constexpr float k_foundFlowHalfPi = 1.5707964f;

// The entry at rand() % size of a table, in key order; empty for an empty table.
FRef foundFlowRandomLine(const NamedAssetMap& table)
{
    if (table.size() == 0) return FRef();
    auto it = table.entries().begin();
    std::advance(it, static_cast<std::size_t>(GameRandom::rand()) % table.size());
    return it->second;
}

void foundFlowPlaySound(const FRef& sound)
{
    if (ZibboUserInterface* module = ZibboUserInterface::getInstance())
        module->playSound(sound, FoundItemFlow::k_soundLevel);
}

} // namespace

const std::array<FoundItemFlow::Tier, FoundItemFlow::k_tierCount>& FoundItemFlow::tiers()
{
    static const std::array<Tier, k_tierCount> table{{
        {10, 1, 300, 400, 100, -200, 2, 20, 0xFFFFFFFFu},
        {15, 1, 3000, 500, 200, -300, 3, 20, 0xFFFFFFFFu},
        {20, 1, 4000, 600, 200, -400, 4, 20, 0xFF00B4FFu},
        {25, 1, 5000, 700, 200, -500, 5, 20, 0xFFFFD800u},
        {30, 1000, 6000, 800, 200, -600, 6, 25, 0xFFFF9000u},
        {35, 1000, 7000, 900, 200, -700, 7, 30, 0xFFED0000u},
    }};
    return table;
}

FoundItemFlow::FoundItemFlow(StoryModeScreen& screen) : m_screen(screen) {}

FoundItemFlow::~FoundItemFlow()
{
    if (auto* overlay = dynamic_cast<VideoSprite*>(m_screen.m_overlayVideo.get())) {
        if (m_specialItem != nullptr) overlay->setFinishCallback(nullptr);
    }
}

ParticleEmitter& FoundItemFlow::replaceEmitter(Emitter which, int32_t pathMs, const FRef& image,
                                               FPointI start, int32_t type)
{
    if (ParticleEmitter* old = m_emitters[which].get()) old->stop();
    m_emitters[which] = makeRef(engineNew<ParticleEmitter>(
        k_memObject, pathMs, m_screen.m_timerParticlePool.get(), m_screen.m_timerParticleGroup.get(),
        FRefT<FImage>(image), start.x, start.y, type, false, 0));
    return *m_emitters[which];
}

void FoundItemFlow::update(int32_t elapsedMs)
{
    for (const FRefT<ParticleEmitter>& emitter : m_emitters)
        if (emitter.get() != nullptr) emitter->update(elapsedMs);
}

void FoundItemFlow::queueCursorReaction()
{
    if (auto* cursor = dynamic_cast<QueuedVideoSprite*>(m_screen.m_cursorSprite.get()))
        cursor->queueClip(FRefT<FVideo>(m_screen.m_idleClip), true, true);
}

void FoundItemFlow::reportSpriteFound(int32_t player, SearchableSprite& sprite)
{
    m_timerStreamSent = false;
    // The find is committed here: marking the item found runs the search's
    // progress check and fires a power-up riding on it.
    m_screen.commitFind(player, sprite);
    queueCursorReaction();
    if (m_screen.currentTaskType() == k_taskFindStarmantle && m_screen.questType() == 6)
        m_screen.cancelReminderVoice();
    m_screen.m_startWait = false;
}

void FoundItemFlow::sendTimerParticles(int32_t x, int32_t y, int32_t voiceKind)
{
    foundFlowPlaySound(m_screen.m_foundSound);
    const int32_t type = m_screen.currentTaskType();
    if (type >= k_taskFindZibbo && type <= k_taskFindZibboSecondForm) {
        if (type == k_taskFindZibbo || voiceKind == 1) {
            StoryAudio::playVoice(foundFlowRandomLine(m_screen.m_zibboFoundVoices));
        } else if (voiceKind == 2) {
            const auto& pool = m_screen.m_vessaLinePool;
            if (!pool.empty())
                StoryAudio::playVoice(pool[static_cast<std::size_t>(GameRandom::rand()) % pool.size()]);
        } else {
            StoryAudio::playVoice(foundFlowRandomLine(m_screen.m_starmantleFoundVoices));
            if (CharacterVideoSprite* character = m_screen.characterSprite()) character->playPose(1, true);
            auto* ended = makeMemberDelegate(this, &FoundItemFlow::onVoiceEnded);
            StoryAudio::setVoiceFinishedCallback(ended);
            engineFree(ended);
        }
    } else if (!m_timerStreamSent && !m_screen.m_interruptRunning) {
        m_timerStreamSent = true;
        FPointI target{0, 0};
        if (FWidget* cap = m_screen.m_timerEndCap.get()) {
            target = cap->getWidgetCenter();
            if (FContainer* parent = cap->parent()) {
                const FPointI origin = parent->getAbsolutePosition();
                target = {target.x + origin.x, target.y + origin.y};
            }
        }
        ParticleEmitter& stream = replaceEmitter(k_timerStream, k_timerStreamMs, m_screen.m_timerSparkle,
                                                 {x, y}, ParticleEmitter::k_line);
        stream.endX = target.x;
        stream.endY = target.y;
        applySparkle(stream,
                     {k_timerStreamMs, 200, true, 1, 1, 500000, 500000, 1, 1000, 1000, 200, 1, 7, 20});
        stream.restart();
    }
    if (ParticleGroup* group = m_screen.m_timerParticleGroup.get();
        group != nullptr && group->layer() != nullptr)
        group->layer()->bringToFront();
}

void FoundItemFlow::onVoiceEnded()
{
    if (CharacterVideoSprite* character = m_screen.characterSprite()) character->playPose(0, true);
}

void FoundItemFlow::releaseTierParticle()
{
    ParticleRecord* particle = m_screen.liveTierParticle();
    ParticlePool* pool = m_screen.m_tierPool.get();
    ParticleGroup* group = m_screen.m_tierGroup.get();
    if (particle != nullptr && pool != nullptr && group != nullptr) {
        // The tint goes on before the release: once released the record may
        // be lent to another effect, which must not be written to.
        particle->useColour = true;
        particle->colour = k_tierOffColour;
        pool->release(*group, particle);
    }
    m_screen.setTierParticle(nullptr);
}

void FoundItemFlow::playTierEffect(int32_t tier)
{
    if (tier < 0 || tier >= k_tierCount) {
        releaseTierParticle();
        return;
    }
    releaseTierParticle();
    ParticlePool* pool = m_screen.m_tierPool.get();
    ParticleRecord* particle = pool != nullptr ? pool->take() : nullptr;
    m_screen.setTierParticle(particle);
    if (particle == nullptr) return;
    const Tier& row = tiers()[static_cast<std::size_t>(tier)];
    particle->emitDuration = k_tierDurationMs;
    particle->image = FRefT<FImage>(m_screen.m_tierSparkle);
    particle->spin = 0.0f;
    particle->accelerationX = k_tierAccelerationX;
    particle->rate = row.rate;
    particle->spreadWidth = row.spread;
    particle->spreadHeight = row.spread;
    particle->velocitySpreadX = k_tierVelocitySpreadX;
    particle->velocitySpreadY = row.velocitySpreadY;
    particle->lifetimeRange = row.lifetimeRange;
    particle->lifetimeMin = row.lifetimeMin;
    particle->accelerationY = row.accelerationY;
    particle->sizeBase = row.sizeBase;
    particle->sizeGrowth = row.sizeGrowth;
    particle->useColour = true;
    particle->colour = row.colour;
}

void FoundItemFlow::setHintCursor(bool on)
{
    if (!on && m_screen.m_hintCursor) m_screen.m_event19 = true;
    m_screen.m_hintCursor = on;
    if (on) return;
    releaseTierParticle();
    if (auto* panel = dynamic_cast<HudPanel*>(m_screen.m_hudPanel.get())) panel->deselectPictureEntries();
    queueCursorReaction();
    queueCursorReaction();
}

void FoundItemFlow::setPanelPassThrough(bool on)
{
    m_screen.m_panelPassThrough = on;
    releaseTierParticle();
}

void FoundItemFlow::playSpecialFoundAnimation(SearchableSprite& sprite)
{
    m_specialFind = FRefT<SearchableSprite>();
    for (const FRefT<SearchableSprite>& held : m_screen.m_taskSprites)
        if (held.get() == &sprite) m_specialFind = held;
    m_specialItem = sprite.item();
    if (FContainer* frame = m_screen.m_overlayContainer.get()) {
        frame->setVisible(true);
        frame->bringToFront();
    }
    for (FImageWidget* extra : {m_screen.m_overlayExtra1.get(), m_screen.m_overlayExtra2.get()})
        if (extra != nullptr) extra->setVisible(true);
    foundFlowPlaySound(m_screen.m_successSound);
    m_screen.m_clipSoundPlayed = false;
    if (auto* overlay = dynamic_cast<VideoSprite*>(m_screen.m_overlayVideo.get())) {
        overlay->setVideo(FRefT<FVideo>(m_screen.m_photoFoundClip), true);
        overlay->setWidgetPosition(k_specialFindOrigin.x, k_specialFindOrigin.y);
        overlay->setFrameRate(k_specialFindFps);
        overlay->setFrameTime(k_specialFindFrameMs);
        auto* done = makeMemberDelegate(this, &FoundItemFlow::onSpecialClipFinished);
        overlay->setFinishCallback(done);
        engineFree(done);
        overlay->setVisible(true);
        overlay->play(false);
    }
    GameSession* play = m_screen.session();
    if (LevelTimer* timer = play != nullptr ? play->getLevelTimer() : nullptr) timer->started = false;
}

void FoundItemFlow::onSpecialClipFinished(VideoSprite&)
{
    onSpecialFoundAnimationDone();
}

void FoundItemFlow::onSpecialFoundAnimationDone()
{
    if (FContainer* frame = m_screen.m_overlayContainer.get()) {
        frame->setVisible(false);
        sendToBack(*frame);
    }
    GameSession* play = m_screen.session();
    if (LevelTimer* timer = play != nullptr ? play->getLevelTimer() : nullptr) timer->started = true;
    if (CharacterVideoSprite* character = m_screen.characterSprite()) character->playPose(0, false);
    SearchableObject* item = m_specialItem;
    m_specialItem = nullptr;
    m_specialFind = FRefT<SearchableSprite>();
    if (item != nullptr) item->markFound(0);
}

void FoundItemFlow::onGameReady()
{
    if (!m_screen.raiseStoryEvent(k_eventLevelReady)) {
        if (GameSession* play = m_screen.session()) play->checkSearchProgress();
    }
}

void FoundItemFlow::endWrongHitPenalty(int32_t player)
{
    m_screen.CommonUIScreen::endWrongHitPenalty(player);
    m_screen.raiseStoryEvent(k_eventPenaltyEnded);
}

void FoundItemFlow::toggleFlip()
{
    MapView* map = m_screen.mapView();
    if (m_screen.m_flipState == StoryModeScreen::k_flipUpright) {
        if (map != nullptr) {
            const FPointI scroll = map->scrollOffset();
            map->setPivot({map->width() / 2 + scroll.x, map->height() / 2 + scroll.y});
        }
        m_screen.m_flipState = StoryModeScreen::k_flipTurning;
    } else if (m_screen.m_flipState == StoryModeScreen::k_flipUpsideDown) {
        m_screen.m_flipState = StoryModeScreen::k_flipTurningBack;
    }
}

void FoundItemFlow::addComboStep()
{
    GameSession* play = m_screen.session();
    if (LevelTimer* timer = play != nullptr ? play->getLevelTimer() : nullptr) timer->addComboStep();
    const FRef* sounds[] = {&m_screen.m_comboSound1, &m_screen.m_comboSound2, &m_screen.m_comboSound3};
    foundFlowPlaySound(*sounds[GameRandom::rand() % 3]);
}

void FoundItemFlow::startImpactBurst(int32_t x, int32_t y)
{
    ParticleEmitter& burst =
        replaceEmitter(k_impact, 1000, m_screen.m_impactSparkle, {x, y}, ParticleEmitter::k_point);
    applySparkle(burst,
                 {burst.emitDuration, 100, true, 1, 1, 2000000, 2000000, 1000, 1000, 50, 50, 4, 30, 50});
    burst.restart();
}

void FoundItemFlow::startCoverStream()
{
    MapView* map = m_screen.mapView();
    FPointI start{0, 0};
    int32_t height = 0;
    if (map != nullptr) {
        const FPointI centre = map->getWidgetCenter();
        start = {centre.x - static_cast<int32_t>(0.15 * map->width()),
                 centre.y - static_cast<int32_t>(0.15 * map->height())};
        height = map->height();
    }
    ParticleEmitter& stream =
        replaceEmitter(k_cover, 2000, m_screen.m_swapSparkle, start, ParticleEmitter::k_circle);
    applySparkle(stream, {stream.emitDuration, 100, true, 1, 1, 1, 1, 1, 1, 1000, 100, 2, 15, 200});
    if (height / 3 > 0) stream.setCircle(height / 3, k_foundFlowHalfPi);
    stream.restart();
}

void FoundItemFlow::startCaughtBurst(int32_t x, int32_t y)
{
    if (ParticleEmitter* running = m_emitters[k_caught].get(); running != nullptr && running->isMoving())
        return;
    foundFlowPlaySound(m_screen.m_caughtSound);
    ParticleEmitter& burst =
        replaceEmitter(k_caught, 200, m_screen.m_impactSparkle, {x, y + 10}, ParticleEmitter::k_point);
    applySparkle(burst, {burst.emitDuration, burst.rate, burst.additiveBlend, 35, 35, 1, 1, 0, 80000, 150,
                         100, 0, 2, 15});
    burst.restart();
}

void FoundItemFlow::startSwapSparkles()
{
    auto* swap = dynamic_cast<FadeSwapWidget*>(m_screen.m_fadeSwap.get());
    if (swap == nullptr) return;
    const FPointI left = swap->getLeftAnchor();
    const FPointI right = swap->getRightAnchor();
    ParticleEmitter& sparkles =
        replaceEmitter(k_swap, 200, m_screen.m_swapSparkle, left, ParticleEmitter::k_line);
    sparkles.endX = right.x;
    sparkles.endY = right.y;
    applySparkle(sparkles,
                 {sparkles.emitDuration, 500, true, 1, 11, 200000, 3000, 10, -500, 1500, 100, 6, 1, 20});
    sparkles.restart();
}

void FoundItemFlow::grantRandomNegativePowerUp()
{
    GameSession* play = m_screen.session();
    if (play == nullptr) return;
    std::vector<int32_t> kinds;
    play->copyNegativePowerUps(kinds);
    // A game without negative power-ups has none to deal.
    if (kinds.empty()) return;
    gameShuffle(kinds);
    m_screen.setViewsChanged(true);
    ActivePowerUp* powerUp = play->addActivePowerUp(kinds.front());
    if (powerUp == nullptr) return;
    m_screen.addIndividualPowerUpView(*powerUp);
    powerUp->setState(ActivePowerUp::k_stateUsed);
    play->setPowerUpSlot(powerUp, true);
}
