#pragma once

class MapView;

// Told when an automatic scroll of the map view ends (the target reached or
// the scene unable to move further).
class MapScrollListener
{
public:
    virtual ~MapScrollListener() = default;
    virtual void onAutoScrollEnded(MapView& view) = 0;
};
