#pragma once

#include "core/FRef.h"
#include "ui/FContainer.h"
#include "ui/FTimerTween.h"

#include <cstdint>
#include <deque>

class FImage;
class FImageWidget;
class LevelTimer;
class ParticleEmitter;
class ParticleGroup;
class ParticlePool;
class TimerBarHost;

// A container that layout records build; it remembers its parent's parent.
// On the story screen it is the level timer bar: a fill of two segments and
// an end cap that empties as the level's time runs, star markers along it
// that blink, change picture and burst as the fill passes them, a refill
// that grows back step by step when time is given back (then the timer
// pauses), and the warning at 60 % of the time with a comment 2500 ms later.
class FactoryContainerWidget : public FContainer
{
public:
    // Widgets of the story screen's layout.
    static constexpr uint32_t k_firstSegment = 3007879288u;
    static constexpr uint32_t k_segmentReference = 2670639228u;
    static constexpr uint32_t k_secondSegment = 2329790289u;
    static constexpr uint32_t k_endCap = 2935351350u;
    static constexpr uint32_t k_refillPreview = 2424937686u;
    static constexpr uint32_t k_markerLayer = 476315447u;
    // Images and sounds.
    static constexpr int32_t k_markerImage = 3637;
    static constexpr int32_t k_passedMarkerImage = 3638;
    static constexpr int32_t k_previewImage = 3635;
    static constexpr int32_t k_sparkleImage = 3625;
    static constexpr int32_t k_burstImage = 5687;
    static constexpr int32_t k_particleRecords = 32;
    static constexpr int32_t k_particles = 8;
    static constexpr int32_t k_warningSound = 3600;
    static constexpr int32_t k_passedMarkerSound = 2315;
    static constexpr int32_t k_soundLevel = 63;
    static constexpr int32_t k_blinkMs = 350;
    static constexpr int32_t k_refillStepMs = 50;
    static constexpr int32_t k_refillStep = 3;
    static constexpr int32_t k_commentDelayMs = 2500;
    static constexpr float k_warningRatio = 0.6f;

    FactoryContainerWidget(FContainer* parent, bool addToParent);
    ~FactoryContainerWidget() override;

    FContainer* grandparent() const { return m_grandparent; }

    // The screen is the one reported by the widget tree; tests give their own.
    void setTimerBarHost(TimerBarHost* host) { m_host = host; }
    void initTimerBar(LevelTimer& timer);
    void update(int32_t elapsedMs);
    void setFill(int32_t width);
    void onTimeRatioChanged();
    void onWarningTimerEnd();

    int32_t barWidth() const { return m_barWidth; }
    float ratio() const { return m_ratio; }
    int32_t targetWidth() const { return m_targetWidth; }
    bool isRefilling() const { return m_refilling; }
    bool isWarned() const { return m_warned; }
    int32_t blinkMs() const { return m_blinkMs; }
    const std::deque<FRefT<FImageWidget>>& markers() const { return m_markers; }
    ParticleEmitter* refillEmitter() const { return m_refillEmitter.get(); }
    ParticleEmitter* returnEmitter() const { return m_returnEmitter.get(); }
    ParticleEmitter* passEmitter() const { return m_passEmitter.get(); }
    ParticleGroup* screenParticles() const { return m_screenParticles.get(); }
    // First plus second segment widths: the fill shown now.
    int32_t shownFill() const;

private:
    FWidget* part(uint32_t id) const;
    void stepMarker(FImageWidget& marker, int32_t state);
    // A marker's burst when the fill passes it (up) or passes it back.
    void burst(FRefT<ParticleEmitter>& emitter, FImageWidget& marker, bool passed);
    void startRefillSparkle();

    FContainer* m_grandparent = nullptr;
    TimerBarHost* m_host = nullptr;
    LevelTimer* m_timer = nullptr;
    std::deque<FRefT<FImageWidget>> m_markers;
    std::deque<uint8_t> m_markerSoundPlayed;
    int32_t m_blinkMs = 0;
    bool m_warned = false;
    int32_t m_barWidth = 0;
    float m_ratio = 0.0f;
    int32_t m_targetWidth = 0;
    int32_t m_refillMs = 0;
    bool m_refilling = false;
    FTimerTween m_warningTimer;
    FRefT<ParticleGroup> m_barParticles;
    FRefT<ParticlePool> m_barPool;
    FRefT<ParticleGroup> m_screenParticles;
    FRefT<ParticlePool> m_screenPool;
    FRefT<ParticleEmitter> m_refillEmitter;
    FRefT<ParticleEmitter> m_returnEmitter;
    FRefT<ParticleEmitter> m_passEmitter;
};
