#pragma once

#include "game/core/StoryEvent.h"
#include "game/gameplay/StoryScript.h"
#include "game/gameplay/StoryTaskRecord.h"
#include "ui/FTimerTween.h"

#include <cstdint>
#include <deque>

class StoryPanel;
class StoryScriptHost;

// The scripted story steps of one level, in order. An event starts the first
// waiting step that listens for it; after the step's delay the host presents
// it; closing it makes it done, and the event that closing raises (2) starts
// the step right after it. Event 1 closes the list for good.
class StoryTaskList : public StoryScript
{
public:
    // The found-animation event starts its step on this occurrence.
    static constexpr int32_t k_itemAnimatedCount = 4;
    static constexpr int32_t k_worldCount = 12;
    static constexpr int32_t k_secondSetQuest = 1;
    // The records preloaded when the script is built.
    static constexpr int32_t k_preloadedRecords = 3;

    explicit StoryTaskList(StoryScriptHost& host);
    ~StoryTaskList() override;
    StoryTaskList(const StoryTaskList&) = delete;
    StoryTaskList& operator=(const StoryTaskList&) = delete;

    // StoryScript.
    void buildWorldTaskScript(int32_t worldIndex, bool enabled, bool skipOptional) override;
    bool triggerEvent(int32_t code) override;
    Closed closeRunning() override;
    void update(int32_t elapsedMs) override;
    bool isRecordRunning() const override { return m_running != nullptr; }
    StoryTaskRecord* runningRecord() const override { return m_running; }
    bool recordHasSpeaker() const override { return m_running != nullptr && m_running->m_speaker; }
    void hidePanel() override;
    void setSearchCheckOnClose(bool check) override { m_searchCheckOnClose = check; }
    bool takeSearchCheckOnClose() override;

    void startRecord(StoryTaskRecord& record);
    // The delay timer's end: the host presents the running record.
    void onDelayElapsed();
    void preloadNextVoice();
    // Records that are not built (the tutorial's) leave the list empty, and
    // an empty list stays disabled.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }
    bool isClosed() const { return m_closed; }
    void setPanel(StoryPanel* panel) { m_panel = panel; }
    StoryPanel* panel() const { return m_panel; }

    const std::deque<StoryTaskRecord>& records() const { return m_records; }
    const StoryTaskRecord* lastCompleted() const { return m_lastCompleted; }
    const StoryTaskRecord* finalRecord() const { return m_final; }
    int32_t itemAnimatedCount() const { return m_itemAnimatedCount; }
    int32_t worldIndex() const { return m_worldIndex; }
    const FTimerTween& delayTimer() const { return m_delayTimer; }

private:
    // Appends a record keyed after the last one.
    StoryTaskRecord& append(const char* voiceId, int32_t trigger, int32_t artKind, int32_t delay,
                            bool speaker, StoryCallback callback = StoryCallback::k_none,
                            bool reminder = false);
    bool qualifies(StoryTaskRecord& record, int32_t code);

    StoryScriptHost& m_host;
    std::deque<StoryTaskRecord> m_records;
    StoryTaskRecord* m_lastCompleted = nullptr;
    StoryTaskRecord* m_running = nullptr;
    StoryTaskRecord* m_final = nullptr;
    std::size_t m_preloadCursor = 0;
    bool m_closed = false;
    int32_t m_itemAnimatedCount = 0;
    bool m_searchCheckOnClose = false;
    bool m_enabled = true;
    bool m_skipOptional = true;
    int32_t m_worldIndex = 0;
    FTimerTween m_delayTimer;
    StoryPanel* m_panel = nullptr;
};
