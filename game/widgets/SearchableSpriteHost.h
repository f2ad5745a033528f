#pragma once

#include "game/widgets/PlayFieldHost.h"

class FImage;
class SearchableSprite;

// What a searchable sprite asks of its gameplay screen when it is prepared,
// clicked or its item changes state.
class SearchableSpriteHost : public virtual PlayFieldHost
{
public:
    // Hands an event code to the current story tasks (11: an item turned
    // found).
    virtual bool raiseStoryEvent(int32_t event) = 0;
    // The running interrupt search (the story character hidden on the map).
    virtual bool isInterruptActive() const = 0;
    virtual void setInterruptActive(bool active) = 0;
    // True when the current story task has type 1, 2 or 3.
    virtual bool isInterruptTaskActive() const = 0;

    // The found handlers by task type.
    virtual void playStagedFoundSequence(SearchableSprite& sprite) = 0;
    virtual void playFoundEffect(int32_t player, int32_t taskType, SearchableSprite& sprite) = 0;
    virtual void lostPhotoFound() = 0;
    virtual void playFoundReaction() = 0;
    virtual void startDelayedReaction() = 0;

    virtual FRef foundSound() = 0;
    // One of the three hint-find sounds of the screen's asset table (0-2).
    virtual FRef hintFindSound(int32_t index) = 0;
    virtual FRefT<FImage> getBlingImage() = 0;
    virtual FRefT<FImage> getHintImage() = 0;
};
