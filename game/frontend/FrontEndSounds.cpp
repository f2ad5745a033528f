#include "game/frontend/FrontEndSounds.h"

#include "audio/FAudioNode.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameSoundChannels.h"

namespace FrontEndSounds {

void playMusic(const FRef& track, bool loop)
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game == nullptr || game->sounds() == nullptr || track.get() == nullptr) return;
    game->sounds()->playMusic(FRefT<FAudioNode>(track), loop);
}

bool isGamePaused()
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    return game != nullptr && game->isGamePaused();
}

} // namespace FrontEndSounds
