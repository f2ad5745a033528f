#pragma once

#include "core/FRef.h"
#include "game/widgets/PlayFieldHost.h"
#include "graphics/FGeometry.h"

#include <cstdint>

class FFont;
class FImage;
class FString;
class FVideo;
class QueuedVideoSprite;
class SearchableSprite;

// What a HUD panel entry asks of the gameplay screen that lists it: the
// pictures, fonts, texts and sounds of the entries (by the asset or text id of
// the screen's layouts), the found feedback, the hint target and cursor, and
// the voice lines. The story mode screen implements it.
class HudEntryHost : public virtual PlayFieldHost
{
public:
    // Images of the gameplay layout (folder 6) by asset id.
    virtual FRefT<FImage> hudImage(int32_t assetId) = 0;
    // Texts of the gameplay layout (folder 6) by text id.
    virtual FRefT<FString> hudText(int32_t textId) = 0;
    // Fonts of the shared layout part (folder 12) by asset id.
    virtual FRefT<FFont> hudFont(int32_t assetId) = 0;
    // Sounds and clips of the layouts by asset id (folders 6, 12 and 32).
    virtual FRef hudSound(int32_t assetId) = 0;
    virtual FRefT<FVideo> hudClip(int32_t assetId) = 0;
    // Starmantle's found lines, in the key order of their name map.
    virtual int32_t foundLineCount() = 0;
    virtual FRef foundLine(int32_t index) = 0;

    virtual void playVoiceLine(const FRef& sample) = 0;
    // The found feedback that flies from a screen point to the timer bar.
    virtual void sendTimerParticles(FPointI from, int32_t character) = 0;
    virtual void setHintTarget(SearchableSprite* sprite, int32_t player) = 0;
    virtual void setHintCursorMode(bool on) = 0;
    virtual bool isInterruptRunning() const = 0;
    // The screen's cursor sprite, on which the hint refusal clip plays.
    virtual QueuedVideoSprite* getCursorSprite() = 0;
    // The alternate play mode, in which the map keeps no profile record.
    virtual bool isAlternateMode() const = 0;
};
