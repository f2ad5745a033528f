#include "game/core/SessionOperations.h"

#include "game/core/GameSession.h"
#include "game/core/GameplayScreen.h"
#include "game/core/SearchListGenerator.h"

bool cancelSessionPowerUp(GameSession& session, std::int32_t slot)
{
    // Callers pass the slot of a power-up view; an index outside the table is
    // refused rather than read.
    if (slot < 0 || slot >= GameSession::k_slotCount) return false;
    ActivePowerUp* powerUp = session.powerUpSlot(slot);
    if (powerUp == nullptr) return false;
    session.cancelPowerUp(powerUp, slot);
    GameplayScreen* screen = session.gameplayScreen();
    if (screen != nullptr && screen->isPictureSearchMode()) {
        if (SearchListGenerator* generator = session.getSearchListGenerator().get()) {
            generator->onPowerUpCancelled(0);
        }
    }
    return true;
}
