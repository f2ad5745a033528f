#pragma once

#include <cstdint>

class HudEntryPanel;
class HudEntryRefreshHost;
class SearchableSprite;

// Which entries of the HUD strip are in play and which sprite the hint cursor
// serves. The strip has five places and a vignette entry (one that shows a
// text until a hint reveals it) takes two; the first entries that fit are
// active, the others wait hidden. Three rules read the strip: after a hint
// or a task start, after a completed entry left with one selected, and with
// none selected. A task that searches one character keeps only the first
// entry active; the interrupt keeps only its bonus entry (the last one).
//
// The hint target is a sprite of the level that this class does not own: it
// answers it only while the level still holds that sprite, so a sprite that
// was released is never handed out.
class HudEntryRefresh
{
public:
    enum Rule : int32_t { k_withHint, k_noSelection, k_onSelection };
    static constexpr int32_t k_places = 5;

    struct Count
    {
        int32_t visible = 0;
        int32_t vignettes = 0;
    };

    explicit HudEntryRefresh(HudEntryRefreshHost& host) : m_host(host) {}

    // How many of the first entries are active under `rule`, and how many
    // vignettes were read on the way.
    static Count countEntries(Rule rule, const HudEntryPanel& panel);
    static bool isVignetteEntry(const HudEntryPanel& panel, int32_t index);

    void refresh(Rule rule);
    // Makes `sprite` the hint target, selects its entry, puts the map's hint
    // on it and activates its entry. Without panel flight, for a null sprite
    // or a sprite the level does not hold, nothing changes.
    void setHintTarget(SearchableSprite* sprite);
    // Null until the first target, and again once the level let it go.
    SearchableSprite* hintTarget();

    bool isTutorialFiveShown() const { return m_tutorialFiveShown; }
    bool isReminderCancelPending() const { return m_reminderCancelPending; }

private:
    void targetEntry(const HudEntryPanel& panel, int32_t index);

    HudEntryRefreshHost& m_host;
    SearchableSprite* m_hintTarget = nullptr;
    bool m_tutorialFiveShown = false;
    bool m_reminderCancelPending = false;
};
