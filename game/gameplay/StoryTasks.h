#pragma once

#include "core/FRef.h"
#include "ui/FTimerTween.h"

#include <cstdint>

class FadeSwapWidget;
class NamedAssetMap;
class StoryModeScreen;
class VideoSprite;
class WorldScene;

// The quest's tasks as the story mode screen plays them: what starting each
// task type builds and shows, what ending it tears down, the request that
// defers a start to a later frame, the dialog line of the voice tasks and
// the one entry through which gameplay moments reach the story script. The
// screen owns one and forwards its task operations to it. UI thread only.
class StoryTasks
{
public:
    // The quest types the tasks treat apart.
    static constexpr int32_t k_questSecondSet = 1;
    static constexpr int32_t k_questDifferences = 2;
    static constexpr int32_t k_questInterrupt = 3;
    static constexpr int32_t k_questTutorial = 6;
    // A late voice task speaks its line only while this many stars are kept.
    static constexpr int32_t k_lineStars = 3;
    static constexpr int32_t k_swapFollowUpMs = 1500;
    static constexpr int32_t k_longHintEmitterMs = 30000;
    static constexpr int32_t k_hintEmitterMs = 15000;
    static constexpr int32_t k_overlayFps = 12;
    static constexpr int32_t k_overlayFrameMs = 83;
    static constexpr uint32_t k_awardsLabelColour = 0xFF000000u;
    static constexpr const char* k_storyTrackLine = "KTQ_12_86a_sm";

    explicit StoryTasks(StoryModeScreen& screen);
    ~StoryTasks();
    StoryTasks(const StoryTasks&) = delete;
    StoryTasks& operator=(const StoryTasks&) = delete;

    // The world's table a search task of `type` finds its items in; null for
    // the types that keep the table they have (9) or build none (15 on).
    static const NamedAssetMap* itemTableFor(int32_t type, const WorldScene& scene);

    void onSearchListReady();
    void startTask();
    void endTask();
    bool raiseStoryEvent(int32_t code);
    void startSwapAnimation();
    void setLevelTimerPaused(bool paused);
    // Advances the swap follow-up timer.
    void update(int32_t elapsedMs);

    // The sample a voice task of the difference quest picked for the
    // difference task to speak.
    const FRef& dialogSample() const { return m_dialogSample; }
    bool isSwapFollowUpRunning() const { return m_swapFollowUp.isActive(); }

private:
    void startDialogLine();
    void startMusic();
    void buildTaskItems(const NamedAssetMap* table);
    void setTimerRunning(bool running);
    void blockFirstTaskItem();
    void releaseTaskItems();
    void onSwapFinished(FadeSwapWidget& swap);
    void onSwapFollowUp();
    void onOverlayFinished(VideoSprite& sprite);
    int32_t starsLeft() const;

    StoryModeScreen& m_screen;
    FTimerTween m_swapFollowUp;
    FRef m_dialogSample;
};
