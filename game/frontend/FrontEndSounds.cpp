#include "game/frontend/FrontEndSounds.h"

#include "audio/FAudioNode.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/ControllerManager.h"
#include "game/core/GameSoundChannels.h"

namespace FrontEndSounds {

namespace {

GameSoundChannels* frontEndChannels()
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    return game != nullptr ? game->sounds() : nullptr;
}

} // namespace

SoundChannel* playMusic(const FRef& track, bool loop)
{
    GameSoundChannels* channels = frontEndChannels();
    if (channels == nullptr || track.get() == nullptr) return nullptr;
    return &channels->playMusic(FRefT<FAudioNode>(track), loop);
}

void stopMusic()
{
    if (GameSoundChannels* channels = frontEndChannels()) channels->stopMusic();
}

bool playVoice(const FRef& line)
{
    GameSoundChannels* channels = frontEndChannels();
    if (channels == nullptr || line.get() == nullptr) return false;
    channels->playVoice(FRefT<FAudioNode>(line), true);
    return true;
}

void stopVoice()
{
    if (GameSoundChannels* channels = frontEndChannels()) channels->stopVoice();
}

void setVoiceFinishedCallback(const FDelegate<void()>* callback)
{
    if (GameSoundChannels* channels = frontEndChannels()) channels->setVoiceFinishedCallback(callback);
}

bool isGamePaused()
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    return game != nullptr && game->isGamePaused();
}

bool isQuitPending()
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    return game != nullptr && game->isQuitPending();
}

void takeControllers(FScreen* screen)
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game == nullptr) return;
    ControllerManager& controllers = game->controllerManager();
    controllers.setCurrentScreen(screen);
    for (int32_t pointer = 0; pointer < ControllerManager::k_pointerCount; ++pointer)
        controllers.setCursorFlag(pointer, 1);
}

} // namespace FrontEndSounds
