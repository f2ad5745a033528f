#include "game/gameplay/HudEntryRefresh.h"

#include "game/core/SearchableObject.h"
#include "game/gameplay/HudEntryRefreshHost.h"
#include "game/gameplay/HudPanel.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/SearchableSprite.h"

#include <algorithm>

namespace {

// The item kind of a vignette: a text until a hint reveals the picture.
constexpr int32_t k_refreshVignetteKind = 1;
// The tutorial quest and its picture search, whose first five-entry strip
// waits for the player's own choice.
constexpr int32_t k_refreshTutorialQuest = 6;
constexpr int32_t k_refreshPictureSearch = 6;

// Tasks that search one character (or the scroll): only the first entry
// counts, and nothing else on the strip is touched.
bool refreshSearchesOneCharacter(int32_t taskType)
{
    return (taskType >= 0 && taskType <= 4) || taskType == 7;
}

} // namespace

bool HudEntryRefresh::isVignetteEntry(const HudEntryPanel& panel, int32_t index)
{
    const FRefT<HudPanelEntry> entry = panel.entryAt(index);
    if (entry.get() == nullptr || entry->sprites().empty()) return false;
    const SearchableObject* item = entry->sprites().front()->item();
    return item != nullptr && item->kind() == k_refreshVignetteKind;
}

HudEntryRefresh::Count HudEntryRefresh::countEntries(Rule rule, const HudEntryPanel& panel)
{
    Count count;
    const int32_t n = std::min(panel.entryCount(), k_places);
    int32_t j = 0;
    while (j < n) {
        ++count.visible;
        const bool vignette = isVignetteEntry(panel, j);
        if (vignette) ++count.vignettes;
        if (rule == k_withHint) {
            if (count.visible + count.vignettes >= k_places) break;
            ++j;
        } else if (rule == k_noSelection) {
            j += vignette && n == k_places ? 2 : 1;
        } else {
            j += vignette ? 2 : 1;
        }
    }
    return count;
}

void HudEntryRefresh::targetEntry(const HudEntryPanel& panel, int32_t index)
{
    const FRefT<HudPanelEntry> entry = panel.entryAt(index);
    if (entry.get() != nullptr) setHintTarget(entry->findFindableSprite());
}

void HudEntryRefresh::refresh(Rule rule)
{
    HudPanel* panel = m_host.refreshPanel();
    if (panel == nullptr) return;
    const int32_t entries = panel->entryCount();
    if (rule != k_onSelection && !m_host.refreshPanelFlight()) return;
    // Every rule reads the first entry: an empty strip has nothing to refresh.
    if (entries < 1) return;

    if (refreshSearchesOneCharacter(m_host.refreshTaskType())) {
        panel->entryAt(0)->setActive(true);
        if (rule == k_withHint) targetEntry(*panel, 0);
        return;
    }
    if (m_host.refreshInterruptRunning()) {
        for (int32_t k = 0; k < entries; ++k)
            panel->entryAt(k)->setActive(false);
        panel->entryAt(entries - 1)->setActive(true);
        if (rule == k_withHint) targetEntry(*panel, entries - 1);
        return;
    }

    const Count count = countEntries(rule, *panel);
    for (int32_t k = 0; k < entries; ++k)
        panel->entryAt(k)->setActive(k < count.visible);
    if (rule == k_withHint) {
        if (count.visible == 1) {
            targetEntry(*panel, 0);
        } else if (count.visible >= 2 && count.visible <= 4) {
            targetEntry(*panel, 1);
        } else if (count.visible == k_places) {
            const bool tutorialPictures = m_host.refreshQuestType() == k_refreshTutorialQuest &&
                                          m_host.refreshTaskType() == k_refreshPictureSearch;
            if (tutorialPictures && !m_tutorialFiveShown) {
                // The tutorial lets the player pick among the five first.
                m_tutorialFiveShown = true;
                m_reminderCancelPending = true;
            } else {
                targetEntry(*panel, 2);
                if (m_reminderCancelPending) {
                    m_reminderCancelPending = false;
                    m_host.cancelReminderVoice();
                }
            }
        }
    }
    panel->centreEntries(count.visible, count.vignettes);
}

void HudEntryRefresh::setHintTarget(SearchableSprite* sprite)
{
    if (!m_host.refreshPanelFlight() || sprite == nullptr || !m_host.holdsSprite(sprite)) return;
    m_hintTarget = sprite;
    if (HudPanel* panel = m_host.refreshPanel()) panel->selectEntryOfSprite(sprite);
    m_host.placeHintOnSprite(*sprite);
    if (HudPanelEntry* entry = sprite->panelEntry()) entry->setActive(true);
}

SearchableSprite* HudEntryRefresh::hintTarget()
{
    if (m_hintTarget != nullptr && !m_host.holdsSprite(m_hintTarget)) m_hintTarget = nullptr;
    return m_hintTarget;
}
