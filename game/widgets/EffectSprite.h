#pragma once

#include "core/FRef.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"

#include <cstdint>
#include <optional>

class GameSession;
class HintBadgeHost;
class ParticleEmitter;
class ParticleGroup;
class ParticlePool;

// The hint badge of the gameplay screen: an image with a digit label that
// shows how many hints the player holds (0 to 9); every change after the
// first plays a short sparkle burst over the digit. The screen (a
// HintBadgeHost) calls setup once the badge is in place, then update every
// frame.
class EffectSprite : public FImageWidget
{
public:
    static constexpr int32_t k_burstMs = 1000;
    static constexpr int32_t k_groupSprites = 32;
    static constexpr int32_t k_poolParticles = 16;

    explicit EffectSprite(FContainer* parent);
    EffectSprite(FContainer* parent, bool addToParent);
    ~EffectSprite() override;

    // The badge and its digit together.
    void setVisible(bool visible) override;
    virtual void update(int32_t elapsed);
    virtual void setup();

    // The count on display, -1 before the first update after setup.
    int32_t shownValue() const { return m_shownValue; }
    FLabel& digitLabel() { return m_label; }
    ParticleEmitter* burstEmitter() const { return m_burst.get(); }
    ParticleGroup* particleGroup() const { return m_group.get(); }

private:
    void launchBurst();
    // The hints of the current level; none without a level in play.
    std::optional<int32_t> currentHints() const;

    HintBadgeHost* m_host = nullptr;
    GameSession* m_game = nullptr;
    int32_t m_shownValue = -1;
    FLabel m_label;
    FRefT<ParticleGroup> m_group;
    FRefT<ParticlePool> m_pool;
    FRefT<ParticleEmitter> m_burst;
};
