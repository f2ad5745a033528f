#pragma once

#include "core/FRef.h"

#include <cstdint>

class FVideo;

// What the gameplay screen's cursor sprite (a QueuedVideoSprite) needs of the
// story mode screen: its clips and sounds, the pending hint sprite, player
// 0's HUD panel and the HUD's reaction to an entry. Panel entries are the
// panel's counted handles. The story mode screen implements it.
class QueuedVideoHost
{
public:
    // The clips and sounds of the screen's asset table the sprite plays.
    struct AssetTable
    {
        FRefT<FVideo> idleClip;      // 2333
        FRefT<FVideo> rareIdleClipA; // 2335
        FRefT<FVideo> rareIdleClipB; // 2337
        FRefT<FVideo> specialClip;   // 2338
        FRef specialSoundA;          // 2329
        FRef specialSoundB;          // 2330
    };

    // What the sprite reads of the searchable sprite the screen last made
    // pending for a hint.
    struct PendingSprite
    {
        bool exists = false;
        bool hasItem = false;
        bool found = false;
        // Its HUD panel entry (empty without one).
        FRef panelEntry;
    };

    virtual ~QueuedVideoHost() = default;

    // Null on a screen without the table (the common gameplay base).
    virtual const AssetTable* getQueuedVideoAssetTable() = 0;
    // Plays a sound through the game module at a base volume (0-127).
    virtual void playSound(const FRef& sound, int32_t volume) = 0;
    // A press on the sprite lasted more than 300 ms.
    virtual void onCharacterHeld(bool held) = 0;
    virtual bool needsActiveEntry() const = 0;
    virtual PendingSprite getPendingSprite() = 0;
    // Player `player`'s HUD panel: its entry count and its entry at `index`.
    virtual int32_t panelEntryCount(int32_t player) = 0;
    virtual FRef panelEntryAt(int32_t player, int32_t index) = 0;
    // The HUD's reaction to an entry.
    virtual bool storyHudHandleEntryEvent(const FRef& entry) = 0;
};
