#pragma once

#include <cstdint>

class HudPanel;
class SearchableSprite;

// What the HUD-entry refresh asks of the story mode screen: the strip, the
// level's state that picks the rule, the sprites the level still holds and
// the steps that go with a new hint target. The story mode screen
// implements it.
class HudEntryRefreshHost
{
public:
    virtual ~HudEntryRefreshHost() = default;

    // Player 0's strip (the one strip of a level), or null.
    virtual HudPanel* refreshPanel() = 0;
    // True when the strip's entries fly in and out (every quest type but 2).
    virtual bool refreshPanelFlight() const = 0;
    virtual bool refreshInterruptRunning() const = 0;
    virtual int32_t refreshTaskType() const = 0;
    virtual int32_t refreshQuestType() const = 0;
    // Whether the sprite is still one of the level's (task, hint or layout
    // sprites). Only the pointer is compared: a sprite that left may be gone.
    virtual bool holdsSprite(const SearchableSprite* sprite) = 0;
    // The map view puts its hint on the sprite.
    virtual void placeHintOnSprite(SearchableSprite& sprite) = 0;
    virtual void cancelReminderVoice() = 0;
};
