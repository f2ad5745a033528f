#pragma once

#include "core/FRef.h"
#include "game/widgets/AwardsHost.h"
#include "ui/FContainer.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <cstdint>
#include <vector>

class ParticleEmitter;
class ParticleGroup;
class ParticlePool;

// The full-screen ceremony that closes a level of the story mode screen (an
// AwardsHost): it darkens the play field, shows one award clip per star kept
// on an arc, fades in a title chosen by that number, plays a jingle and then
// looping music, lets the presenter speak and fires fireworks. A click skips
// ahead or ends it; the end hands back to the screen's task script 500 ms
// after the click. With fewer than three stars on a quest not completed
// before it shows the failure presentation, which the host ends itself.
class AwardsViewport : public FContainer
{
public:
    // The sequence: darken, one frame, award clips one by one, title fade
    // and voice, wait for a click, end requested, skipping, wait for the end.
    enum Step : int32_t {
        k_darken = 0,
        k_darkened = 1,
        k_awardClips = 2,
        k_titleAndVoice = 3,
        k_waiting = 4,
        k_endRequested = 5,
        k_skipping = 6,
        k_ending = 7,
    };

    static constexpr int32_t k_arcRadius = 140;
    static constexpr float k_arcStep = 0.7853981f;
    static constexpr int32_t k_clipGapMs = 300;
    static constexpr int32_t k_backdropAlpha = 200;
    static constexpr int32_t k_failureBackdropAlpha = 150;
    static constexpr int32_t k_titleFadeMs = 700;
    static constexpr int32_t k_endDelayMs = 500;
    static constexpr int32_t k_failureSoundVolume = 63;
    static constexpr const char* k_namedVoices[7] = {
        "KTQ_VSSQ_113_vss",  "KTQ_VSSQ_114_vss",  "KTQ_VSSQ_115a_vss", "KTQ_VSSQ_115b_vss",
        "KTQ_VSSQ_115c_vss", "KTQ_VSSQ_115d_vss", "KTQ_VSSQ_115e_vss",
    };

    explicit AwardsViewport(FContainer* parent);
    AwardsViewport(FContainer* parent, bool addToParent);
    ~AwardsViewport() override;

    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;

    // Sets the ceremony up for the stars the player kept; the host then shows
    // the viewport and brings it to the front.
    void initialize(int32_t stars);
    // The per-frame sequence; nothing before initialize.
    void update(int32_t elapsed);

    // Completion handlers.
    void onAwardClipFinished(VideoSprite& sprite);
    void onTitleShown();
    void onMusicEnded();
    void onVoiceEnded();
    void onEndTimer();

    int32_t step() const { return m_step; }
    bool isActive() const { return m_active; }
    bool isFailure() const { return m_failure; }
    bool isTitleShown() const { return m_titleShown; }
    bool isSkipping() const { return m_skipping; }
    bool areFireworksOn() const { return m_fireworksOn; }
    FPointI arcCentre() const { return m_arcCentre; }
    const std::vector<FRefT<VideoSprite>>& awardClips() const { return m_awardClips; }
    const std::vector<bool>& finishedFlags() const { return m_finished; }
    std::size_t burstCount() const { return m_bursts.size(); }
    const FRefT<FAudioNode>& chosenVoice() const { return m_chosenVoice; }
    // The clips' centre offsets from the arc centre for n clips.
    static std::vector<FPointI> arcOffsets(int32_t n);

private:
    // Drops what a previous ceremony left.
    void reset();
    void arrangeAwardClips();
    void pickNamedVoice();
    void startVoice();
    void startFireworks();
    void skipToEnd();
    bool allClipsFinished() const;
    bool isSequenceDone() const;
    void updateAwardClips(int32_t elapsed);
    void updateParticles(int32_t elapsed);
    void showAndPlay(VideoSprite& clip);
    void playMusic(const FRefT<FAudioNode>& music, bool loop);
    int32_t currentQuestType() const;
    uint8_t titleAlpha() const;

    FRefT<FImageWidget> m_backdrop;
    FRefT<FLabel> m_title;
    FRefT<VideoSprite> m_presenter;
    FPointI m_arcCentre;
    bool m_active = false;
    bool m_titleShown = false;
    int32_t m_step = k_darken;
    std::vector<FRefT<VideoSprite>> m_awardClips;
    std::vector<bool> m_finished;
    uint32_t m_nextClip = 0;
    int32_t m_clipTimer = 0;
    FadeTween m_titleFade;
    AwardsHost* m_host = nullptr;
    bool m_voiceStarted = false;
    bool m_voiceEverStarted = false;
    bool m_loopMusicRequested = false;
    bool m_musicCallbackCleared = false;
    bool m_fireworksOn = false;
    bool m_skipping = false;
    FRefT<ParticlePool> m_pool;
    FRefT<ParticleGroup> m_group;
    std::vector<FRefT<ParticleEmitter>> m_bursts;
    FRefT<ParticleEmitter> m_fireworks;
    FRefT<FAudioNode> m_chosenVoice;
    FTimerTween m_endTimer;
    bool m_failure = false;
};
