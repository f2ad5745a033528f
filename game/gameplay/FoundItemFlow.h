#pragma once

#include "core/FRef.h"
#include "graphics/FGeometry.h"

#include <array>
#include <cstdint>

class FadeSwapWidget;
class ParticleEmitter;
class SearchableObject;
class SearchableSprite;
class StoryModeScreen;
class VideoSprite;

// What the story mode screen does around a find: the report of a find with
// the cursor's reaction, the found sound with a voice line or a stream of
// particles from the HUD panel to the timer bar, the special animation of a
// task-type-4 find, the hint cursor's proximity sparkle, and the small
// effects the power-up views ask for (the stun's end, the map flip, a combo
// step, three bursts and a random negative power-up). The screen owns one
// and forwards its operations to it. UI thread only.
class FoundItemFlow
{
public:
    static constexpr int32_t k_soundLevel = 63;
    static constexpr int32_t k_timerStreamMs = 300;
    static constexpr int32_t k_tierDurationMs = 10000;
    static constexpr int32_t k_tierCount = 6;
    static constexpr FPointI k_specialFindOrigin{137, 67};
    static constexpr int32_t k_specialFindFps = 12;
    static constexpr int32_t k_specialFindFrameMs = 83;
    static constexpr uint32_t k_tierOffColour = 0xFF000000u;

    // One row of the tier effect's settings.
    struct Tier
    {
        int32_t rate;
        int32_t spread;
        int32_t velocitySpreadY;
        int32_t lifetimeRange;
        int32_t lifetimeMin;
        int32_t accelerationY;
        int32_t sizeBase;
        int32_t sizeGrowth;
        uint32_t colour;
    };
    static const std::array<Tier, k_tierCount>& tiers();
    static constexpr int32_t k_tierVelocitySpreadX = 10000;
    static constexpr int32_t k_tierAccelerationX = 10;

    // The emitters of the effects, each replaced when its effect starts again.
    enum Emitter : int32_t { k_swap, k_timerStream, k_impact, k_cover, k_caught, k_emitterCount };

    explicit FoundItemFlow(StoryModeScreen& screen);
    ~FoundItemFlow();
    FoundItemFlow(const FoundItemFlow&) = delete;
    FoundItemFlow& operator=(const FoundItemFlow&) = delete;

    void reportSpriteFound(int32_t player, SearchableSprite& sprite);
    void sendTimerParticles(int32_t x, int32_t y, int32_t voiceKind);
    void playTierEffect(int32_t tier);
    void setHintCursor(bool on);
    void setPanelPassThrough(bool on);
    void playSpecialFoundAnimation(SearchableSprite& sprite);
    void onSpecialFoundAnimationDone();
    void onGameReady();
    void endWrongHitPenalty(int32_t player);
    void toggleFlip();
    void addComboStep();
    void startImpactBurst(int32_t x, int32_t y);
    void startCoverStream();
    void startCaughtBurst(int32_t x, int32_t y);
    void startSwapSparkles();
    void grantRandomNegativePowerUp();
    // Advances the effects' emitters.
    void update(int32_t elapsedMs);

    ParticleEmitter* emitter(Emitter which) const { return m_emitters[which].get(); }
    bool isTimerStreamSent() const { return m_timerStreamSent; }
    SearchableSprite* specialFindSprite() const { return m_specialFind.get(); }

private:
    // A new emitter of the timer-particle layer in the slot, the old one stopped.
    ParticleEmitter& replaceEmitter(Emitter which, int32_t pathMs, const FRef& image, FPointI start,
                                    int32_t type);
    void queueCursorReaction();
    void releaseTierParticle();
    void onSpecialClipFinished(VideoSprite& sprite);
    void onVoiceEnded();

    StoryModeScreen& m_screen;
    std::array<FRefT<ParticleEmitter>, k_emitterCount> m_emitters;
    bool m_timerStreamSent = false;
    // Held, so that a sprite released while its animation runs stays valid;
    // the item (the level's, alive as long as the level) is what the end marks.
    FRefT<SearchableSprite> m_specialFind;
    SearchableObject* m_specialItem = nullptr;
};
