#pragma once

#include "game/gameplay/StoryDialog.h"
#include "game/gameplay/StoryDialogHost.h"
#include "game/gameplay/StoryScriptHost.h"
#include "game/gameplay/StoryTaskList.h"
#include "ui/FadeTween.h"

#include <cstdint>

class GameSession;
class LevelTimer;
class StoryModeScreen;
class StoryPanel;

// The story mode screen's side of the scripted story: it presents a story
// step once its delay has passed (the speaker or the small character, the
// story art, the step's effect on the play), closes it when the player has
// heard it and chains the next one, speaks the lines through the game's
// voice channel and remembers the tutorial in the player's profile.
class StoryTeller : public StoryScriptHost, public StoryDialogHost
{
public:
    static constexpr int32_t k_shownMs = 1000;
    static constexpr int32_t k_artFadeMs = 600;
    static constexpr int32_t k_artBlinkMs = 800;
    static constexpr int32_t k_hintStockLimit = 9;
    static constexpr int32_t k_hintsAdded = 2;
    static constexpr int32_t k_cursorSoundLevel = 63;
    static constexpr int32_t k_tutorialQuest = 6;

    explicit StoryTeller(StoryModeScreen& screen);
    ~StoryTeller() override;
    StoryTeller(const StoryTeller&) = delete;
    StoryTeller& operator=(const StoryTeller&) = delete;

    // Level set-up: the characters, the panel and the line pools.
    void bindParts();
    StoryTaskList& script() { return m_script; }
    StoryDialog& dialog() { return m_dialog; }
    StoryPanel* panel() const;

    void presentRecord(StoryTaskRecord& record);
    // Closes the running step; with `chain` the next step may follow at once.
    void closeRecord(bool chain);
    // The close timer's end: the step closes and the next may follow.
    void requestCloseRecord();
    void onRecordShown();
    void showStoryArt(int32_t artKind, bool show);
    // The player has seen the tutorial: the next profile save keeps it.
    void markTutorialSeen();
    void update(int32_t elapsedMs);

    // StoryScriptHost.
    FRef storyVoice(const std::string& id) override;
    FRef storyInterruptLine() override;
    int32_t storyQuestType() const override;
    void onStoryLevelReady(bool playStoryTrack) override;
    void presentStoryRecord(StoryTaskRecord& record) override { presentRecord(record); }

    // StoryDialogHost.
    void playStoryVoice(const FRef& sample, StoryVoiceEnd end) override;
    void setStoryVoiceEnd(StoryVoiceEnd end) override;
    void stopStoryVoice() override;
    void playCommonVoiceLine(const FRef& sample) override;
    void setStoryDimmed(bool dimmed) override;
    void shakeForSpeaker() override;
    void onFirstDifferenceLineDone() override;
    void clearClickToContinue() override;
    void requestTaskStep() override;
    int32_t dialogQuestType() const override { return storyQuestType(); }
    const StoryTaskRecord* dialogRunningRecord() const override { return m_script.runningRecord(); }
    FRef dialogVoice(const std::string& id) override { return storyVoice(id); }

private:
    void runCallback(StoryCallback callback);
    void onArtFadeDone();
    void onVoiceEnded();
    LevelTimer* levelTimer() const;
    bool artShowsFirstKind() const;

    StoryModeScreen& m_screen;
    StoryTaskList m_script{*this};
    StoryDialog m_dialog;
    WidgetFadeTween m_artFade;
    StoryVoiceEnd m_voiceEnd = StoryVoiceEnd::k_none;
};
