#pragma once

#include "game/worldmap/WorldMapServices.h"

class ZibboUserInterface;

// The world map's view of the game module: every call goes to the module
// that owns this object. The module installs it while it runs.
class ZibboWorldMapServices : public WorldMapServices
{
public:
    explicit ZibboWorldMapServices(ZibboUserInterface& module) : m_module(module) {}

    GameSession* gameSession() override;
    GameParams* params() override;
    int32_t previousScreenKind() const override;
    bool isGamePaused() const override;
    void playSound(const FRef& sound, int32_t volume) override;
    void stopAllSounds() override;
    void setPendingScreen(int32_t kind) override;
    void setScreen(int32_t kind, bool async) override;
    void prepareScreen(FScreen* screen) override;
    bool playVoice(const FRef& line) override;
    void stopVoice() override;
    void setVoiceFinishedCallback(const FDelegate<void()>* callback) override;
    void playMusic(const FRef& track, bool loop) override;
    void stopAmbientSound() override;

private:
    ZibboUserInterface& m_module;
};
