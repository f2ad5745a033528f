#include "game/app/ZibboWorldMapServices.h"

#include "game/app/ZibboUserInterface.h"
#include "game/core/ControllerManager.h"
#include "game/core/GameCursors.h"
#include "game/core/GameSession.h"
#include "game/core/GameSoundChannels.h"

#include "audio/FAudioNode.h"
#include "core/FApplication.h"
#include "graphics/FGraph.h"

GameSession* ZibboWorldMapServices::gameSession()
{
    return m_module.getGameSession().get();
}

GameParams* ZibboWorldMapServices::params()
{
    return m_module.params();
}

int32_t ZibboWorldMapServices::previousScreenKind() const
{
    return m_module.previousScreenKind();
}

bool ZibboWorldMapServices::isGamePaused() const
{
    return m_module.isGamePaused();
}

void ZibboWorldMapServices::playSound(const FRef& sound, int32_t volume)
{
    m_module.playSound(sound, volume);
}

void ZibboWorldMapServices::stopAllSounds()
{
    if (GameSoundChannels* sounds = m_module.sounds()) sounds->stopAllSounds();
}

void ZibboWorldMapServices::setPendingScreen(int32_t kind)
{
    m_module.setPendingScreen(kind);
}

void ZibboWorldMapServices::setScreen(int32_t kind, bool async)
{
    m_module.setScreen(kind, async);
}

void ZibboWorldMapServices::prepareScreen(FScreen* screen)
{
    ControllerManager& controllers = m_module.controllerManager();
    controllers.setCurrentScreen(screen);
    // Controllers 0, 1, 3 and 4 are enabled; the record holds pointers 0 to 3.
    for (int32_t pointer : {0, 1, 3, 4}) {
        if (pointer < ControllerManager::k_pointerCount) controllers.setCursorFlag(pointer, 1);
    }
    if (FGraph* graph = findService<FGraph>(k_slotGraphics)) graph->setSystemCursorVisible(true);
    if (GameCursors* cursors = m_module.cursors()) cursors->setDefaultCursor(0);
}

bool ZibboWorldMapServices::playVoice(const FRef& line)
{
    GameSoundChannels* sounds = m_module.sounds();
    const FRefT<FAudioNode> sound(line);
    if (sounds == nullptr || sound.get() == nullptr) return false;
    sounds->playVoice(sound, false);
    return true;
}

void ZibboWorldMapServices::stopVoice()
{
    if (GameSoundChannels* sounds = m_module.sounds()) sounds->stopVoice();
}

void ZibboWorldMapServices::setVoiceFinishedCallback(const FDelegate<void()>* callback)
{
    if (GameSoundChannels* sounds = m_module.sounds()) sounds->setVoiceFinishedCallback(callback);
}

void ZibboWorldMapServices::playMusic(const FRef& track, bool loop)
{
    if (GameSoundChannels* sounds = m_module.sounds(); sounds != nullptr && track.get() != nullptr)
        sounds->playMusic(FRefT<FAudioNode>(track), loop);
}

void ZibboWorldMapServices::stopAmbientSound()
{
    if (GameSoundChannels* sounds = m_module.sounds()) sounds->ambientChannel().stop();
}
