#include "game/core/SearchableObject.h"

#include "game/core/ActivePowerUp.h"
#include "game/core/GameDataFields.h"
#include "game/core/GameSession.h"
#include "game/core/SearchListGenerator.h"

#include "core/FLogStream.h"

SearchableObject::~SearchableObject() = default;

void SearchableObject::serialize(FSerializer& serializer)
{
    using namespace GameDataFields;
    m_fileName = readText(serializer, "fileName");
    m_difficultyRating = readInt(serializer, "difficultyRating");
    m_type = readInt(serializer, "type");
    // Only the value 1 allows; anything else excludes.
    m_notForKids = readInt(serializer, "forKids") != 1;
    m_notInGame = readInt(serializer, "forIngame") != 1;
    m_notForParty = readInt(serializer, "forParty") != 1;
    m_panelText = readText(serializer, "panelText");
    m_kind = -1;
    ZIBBO_LOG(k_logDefault, false) << "Searchable object created : " << m_fileName << "of type : " << m_type;
}

void SearchableObject::setState(std::int32_t state)
{
    m_changed = true;
    m_state = state;
    m_listeners.notify(*this);
}

void SearchableObject::list(SearchListGenerator* owner)
{
    m_owner = owner;
    m_clearedWord = 0;
    // A listed item belongs to a player: without one a find of it would
    // reach no player's found effect and never be committed. The one-player
    // game lists everything for player 0; an owner already given is kept.
    if (m_player < 0) m_player = 0;
    setState(k_stateListed);
}

bool SearchableObject::markFound(std::int32_t player)
{
    setState(k_stateFound);
    if (m_owner == nullptr) {
        return false;
    }
    m_owner->checkProgress(m_type == k_typeBone ? -1 : player);
    if (ActivePowerUp* powerUp = m_linkedPowerUp; powerUp != nullptr) {
        powerUp->setState(ActivePowerUp::k_stateUsed);
        // Unlinked before the slot takes it: placing it may end the power-up
        // that held the slot.
        powerUp->unlinkItem();
        m_owner->session().setPowerUpSlot(powerUp, false);
    }
    return m_owner->checkInterrupt();
}
