#pragma once

#include "core/FRef.h"

class FFont;
class FImage;
class GameSession;

// What the hint badge (an EffectSprite) needs of the gameplay screen: the
// play session whose hint counter it shows, the counter font and the sparkle
// picture of its burst. The gameplay screens implement it.
class HintBadgeHost
{
public:
    virtual ~HintBadgeHost() = default;

    virtual GameSession* getGameSession() = 0;
    virtual FRefT<FFont> getCounterFont() = 0;
    virtual FRefT<FImage> getBadgeSparkleImage() = 0;
};
