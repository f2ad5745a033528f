#pragma once

#include "core/FRef.h"

class FVideo;

// The gameplay screen's cursor clips that the map view's proximity cursor
// plays on the player's cursor sprite: cold, warm and hot by the pointer's
// distance from the hinted item, and the default clip.
class MapViewAssets
{
public:
    FRefT<FVideo> coldClip;
    FRefT<FVideo> warmClip;
    FRefT<FVideo> hotClip;
    FRefT<FVideo> defaultClip;
};
