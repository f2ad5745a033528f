#pragma once

// A screen that plays its button-click sound when a widget asks (the options
// overlay's host does, for its sliders).
class ClickSoundHost
{
public:
    virtual ~ClickSoundHost() = default;
    virtual void playClickSound() = 0;
};
