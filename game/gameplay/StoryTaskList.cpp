#include "game/gameplay/StoryTaskList.h"

#include "core/FLogStream.h"
#include "game/gameplay/StoryPanel.h"
#include "game/gameplay/StoryScriptHost.h"

#include <algorithm>

namespace {

// One step of a world's table.
struct StoryTableStep
{
    const char* voiceId;
    int32_t trigger;
    int32_t artKind;
    int32_t delay;
    bool speaker;
    StoryCallback callback;
    bool reminder;
};

// The first world's tutorial, step by step: the guide introduces the level,
// shows the strip, the timer, the penalty for wild clicks, the hints and the
// search for the scroll.
constexpr StoryTableStep k_storyTutorialSteps[] = {
    {"KTQ_01_01_sm", 0, 0, 500, true, StoryCallback::k_tutorialStart, false},
    {"KTQ_01_02_sm", 2, 0, 500, true, StoryCallback::k_none, false},
    {"KTQ_01_03_vss", 14, 0, 0, false, StoryCallback::k_none, false},
    {"KTQ_01_04_sm", 2, 0, 1000, false, StoryCallback::k_none, true},
    {"KTQ_01_05_sm", 20, 0, 1000, true, StoryCallback::k_none, false},
    {"KTQ_01_06_vss", 2, 0, 1000, true, StoryCallback::k_resumeTimer, false},
    {"KTQ_01_07_sm", 3, 0, 0, true, StoryCallback::k_penaltyOn, false},
    {"KTQ_01_08_sm", 2, 1, 1000, false, StoryCallback::k_resumeTimerAndCancelReminder, true},
    {"KTQ_01_09_sm", 11, 0, 0, true, StoryCallback::k_hintSprites, false},
    {"KTQ_01_10_sm", 2, 7, 1000, true, StoryCallback::k_cursorClip, false},
    {"KTQ_01_11_sm", 2, 7, 1000, true, StoryCallback::k_none, false},
    {"KTQ_01_12_sm", 19, 0, 1000, true, StoryCallback::k_none, false},
    {"KTQ_01_13_sm", 12, 0, 1000, true, StoryCallback::k_none, false},
    {"KTQ_01_14_sm", 2, 0, 1000, true, StoryCallback::k_none, false},
    {"KTQ_01_15_sm", 5, 0, 1000, false, StoryCallback::k_none, false},
};

// The find-Drabb quest of the first world: its start and its end.
constexpr StoryTableStep k_storyDrabbSteps[] = {
    {"KTQ_01dq_01_sm", 15, 0, 2000, true, StoryCallback::k_none, false},
    {"KTQ_01dq_02_sm", 16, 0, 2000, true, StoryCallback::k_none, false},
};

// The second world's tutorial: the picture search.
constexpr StoryTableStep k_storyPictureSteps[] = {
    {"KTQ_02_01_sm", 3, 6, 200, true, StoryCallback::k_none, false},
    {"KTQ_02_02_sm", 7, 0, 500, true, StoryCallback::k_none, false},
    {"KTQ_02_03_vss", 2, 1, 350, true, StoryCallback::k_none, false},
};

// The Vessa quest's photographs in the second world.
constexpr const char* k_storyPhotoLines[] = {"KTQ_VSSQ_001_vss", "KTQ_VSSQ_002_vss"};
constexpr int32_t k_storyPhotoTriggers[] = {k_eventPhotographTaskStarted, k_eventStoryRecordClosed};

bool storySkipsPreload(int32_t trigger)
{
    return trigger == k_eventRequested19 || trigger == k_eventPenaltyEnded;
}

} // namespace

StoryTaskList::StoryTaskList(StoryScriptHost& host) : m_host(host)
{
    auto* present = makeMemberDelegate(this, &StoryTaskList::onDelayElapsed);
    m_delayTimer.setCompletion(present);
    engineFree(present);
}

StoryTaskList::~StoryTaskList()
{
    m_delayTimer.setActive(false);
    m_delayTimer.setCompletion(nullptr);
}

StoryTaskRecord& StoryTaskList::append(const char* voiceId, int32_t trigger, int32_t artKind, int32_t delay,
                                       bool speaker, StoryCallback callback, bool reminder)
{
    StoryTaskRecord& record = m_records.emplace_back();
    record.m_voice = m_host.storyVoice(voiceId);
    record.m_trigger = trigger;
    record.m_artKind = artKind;
    record.m_delay = delay;
    record.m_speaker = speaker;
    record.m_callback = callback;
    record.m_reminder = reminder;
    record.m_orderKey = static_cast<int32_t>(m_records.size()) - 1;
    return record;
}

void StoryTaskList::buildWorldTaskScript(int32_t worldIndex, bool enabled, bool skipOptional)
{
    m_records.clear();
    m_lastCompleted = nullptr;
    m_running = nullptr;
    m_final = nullptr;
    m_preloadCursor = 0;
    m_closed = false;
    m_itemAnimatedCount = 0;
    m_searchCheckOnClose = false;
    m_delayTimer.setActive(false);
    m_enabled = enabled;
    m_skipOptional = skipOptional;
    m_worldIndex = worldIndex;
    const int32_t quest = m_host.storyQuestType();
    auto appendSteps = [this](const auto& steps) {
        for (const StoryTableStep& step : steps)
            append(step.voiceId, step.trigger, step.artKind, step.delay, step.speaker, step.callback,
                   step.reminder);
    };
    if (worldIndex == 0) {
        if (m_enabled) appendSteps(k_storyTutorialSteps);
        appendSteps(k_storyDrabbSteps);
    } else if (worldIndex == 1) {
        if (m_enabled) appendSteps(k_storyPictureSteps);
        if (quest == k_secondSetQuest) {
            for (std::size_t i = 0; i < std::size(k_storyPhotoLines); ++i)
                append(k_storyPhotoLines[i], k_storyPhotoTriggers[i], 0, 0, true).m_video = true;
        }
    } else if (worldIndex >= 2 && worldIndex < k_worldCount) {
        StoryTaskRecord& record = m_records.emplace_back();
        record.m_voice = m_host.storyInterruptLine();
        record.m_trigger = k_eventInterruptBegins;
        record.m_speaker = true;
        record.m_video = quest == k_secondSetQuest;
    }
    if (m_records.empty()) {
        m_enabled = false;
        return;
    }
    std::stable_sort(
        m_records.begin(), m_records.end(),
        [](const StoryTaskRecord& a, const StoryTaskRecord& b) { return a.m_orderKey < b.m_orderKey; });
    m_final = &m_records.back();
    if (!m_enabled) return;
    // The first lines load now; the others load one step ahead, except the
    // lines of steps whose moment cannot be foreseen, which load now too.
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if (i < static_cast<std::size_t>(k_preloadedRecords)) {
            m_records[i].preloadVoice();
            m_preloadCursor = i;
        } else if (storySkipsPreload(m_records[i].m_trigger)) {
            m_records[i].preloadVoice();
        }
    }
}

bool StoryTaskList::qualifies(StoryTaskRecord& record, int32_t code)
{
    if (record.m_trigger != code || record.m_state != StoryTaskRecord::k_waiting) return false;
    if (code == k_eventStoryRecordClosed)
        return m_lastCompleted != nullptr && record.m_orderKey == m_lastCompleted->m_orderKey + 1;
    if (code == k_eventFoundAnimationEnded) return ++m_itemAnimatedCount >= k_itemAnimatedCount;
    return true;
}

bool StoryTaskList::triggerEvent(int32_t code)
{
    if (code == k_eventPromptCancelled) m_closed = true;
    if (m_closed) return false;
    if (code == k_eventLevelReady) m_host.onStoryLevelReady(m_enabled && m_worldIndex == 0);
    // One step at a time: a step started over a running one would leave that
    // one running for good, never done and never closed.
    if (m_running != nullptr) {
        for (const StoryTaskRecord& record : m_records) {
            if (record.m_trigger == code && record.m_state == StoryTaskRecord::k_waiting) {
                FLogStream("Default", false)
                    << "story event " << code << " while step " << m_running->m_orderKey << " runs: step "
                    << record.m_orderKey << " goes on waiting";
                break;
            }
        }
        return false;
    }
    for (StoryTaskRecord& record : m_records) {
        if (qualifies(record, code)) {
            startRecord(record);
            return true;
        }
    }
    return false;
}

void StoryTaskList::startRecord(StoryTaskRecord& record)
{
    m_running = &record;
    record.m_state = StoryTaskRecord::k_running;
    m_delayTimer.setSpeed(1.0f);
    m_delayTimer.start(record.m_delay);
    preloadNextVoice();
}

void StoryTaskList::onDelayElapsed()
{
    if (m_running != nullptr) m_host.presentStoryRecord(*m_running);
}

void StoryTaskList::preloadNextVoice()
{
    if (!m_enabled || m_records.empty() || m_preloadCursor >= m_records.size()) return;
    if (m_running != nullptr && storySkipsPreload(m_running->m_trigger)) return;
    ++m_preloadCursor;
    while (m_preloadCursor < m_records.size() && storySkipsPreload(m_records[m_preloadCursor].m_trigger))
        ++m_preloadCursor;
    if (m_preloadCursor < m_records.size()) m_records[m_preloadCursor].preloadVoice();
}

StoryScript::Closed StoryTaskList::closeRunning()
{
    Closed result;
    if (m_running == nullptr) return result;
    result.artKind = m_running->m_artKind;
    result.closed = true;
    result.final = m_running == m_final;
    m_running->m_state = StoryTaskRecord::k_done;
    m_lastCompleted = m_running;
    m_running = nullptr;
    // A step closed before its presentation is not presented afterwards.
    m_delayTimer.setActive(false);
    return result;
}

void StoryTaskList::update(int32_t elapsedMs)
{
    m_delayTimer.update(elapsedMs);
}

void StoryTaskList::hidePanel()
{
    if (m_panel != nullptr && m_panel->isShown()) m_panel->hide();
}

bool StoryTaskList::takeSearchCheckOnClose()
{
    const bool check = m_searchCheckOnClose;
    m_searchCheckOnClose = false;
    return check;
}
