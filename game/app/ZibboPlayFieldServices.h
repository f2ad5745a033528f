#pragma once

#include "game/widgets/PlayFieldServices.h"

class ZibboUserInterface;

// The play field's view of the game module (the session, the pause flag,
// sounds and the players' default cursors): every call goes to the module
// that owns this object. The module installs it while it runs, so that a
// click on a hidden item reaches the session's current task.
class ZibboPlayFieldServices : public PlayFieldServices
{
public:
    explicit ZibboPlayFieldServices(ZibboUserInterface& module) : m_module(module) {}

    GameSession* gameSession() override;
    bool isGamePaused() const override;
    void playSound(const FRef& sound, int32_t volume) override;
    SoundChannel* playSoundOnChannel(const FRef& sound, int32_t volume) override;
    void setDefaultCursor(int32_t player) override;

private:
    ZibboUserInterface& m_module;
};
