#include "game/app/ZibboPlayFieldServices.h"

#include "game/app/ZibboUserInterface.h"
#include "game/core/GameCursors.h"
#include "game/core/GameSession.h"
#include "game/core/GameSoundChannels.h"

#include "audio/FAudioNode.h"

GameSession* ZibboPlayFieldServices::gameSession()
{
    return m_module.getGameSession().get();
}

bool ZibboPlayFieldServices::isGamePaused() const
{
    return m_module.isGamePaused();
}

void ZibboPlayFieldServices::playSound(const FRef& sound, int32_t volume)
{
    m_module.playSound(sound, volume);
}

SoundChannel* ZibboPlayFieldServices::playSoundOnChannel(const FRef& sound, int32_t volume)
{
    GameSoundChannels* sounds = m_module.sounds();
    const FRefT<FAudioNode> node(sound);
    if (sounds == nullptr || node.get() == nullptr) return nullptr;
    return &sounds->playSound(node, volume);
}

void ZibboPlayFieldServices::setDefaultCursor(int32_t player)
{
    if (GameCursors* cursors = m_module.cursors()) cursors->setDefaultCursor(player);
}
