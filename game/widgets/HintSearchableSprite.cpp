#include "game/widgets/HintSearchableSprite.h"

#include "game/core/GameSession.h"
#include "game/core/SearchListGenerator.h"
#include "game/core/SearchableObject.h"
#include "game/widgets/SearchableSpriteHost.h"

HintSearchableSprite::~HintSearchableSprite() = default;

void HintSearchableSprite::update(int32_t elapsedMs)
{
    countPressTime(elapsedMs);
    if (item() == nullptr) return;
    const int32_t state = item()->state();
    if (state != m_lastState && state <= SearchableObject::k_stateListed) {
        setVisible(state == SearchableObject::k_stateListed);
        if (state == SearchableObject::k_stateFound) {
            GameSession* current = session();
            FRefT<SearchListGenerator> generator =
                current != nullptr ? current->getSearchListGenerator() : FRefT<SearchListGenerator>();
            // No upper bound here: a found hint item always pays out one hint.
            if (generator.get() != nullptr) generator->hintCounter().hints += 1;
        }
    }
    m_lastState = state;
}

void HintSearchableSprite::prepare()
{
    setAlphaThreshold(1);
    setHintItem(true);
    if (SearchableSpriteHost* screen = host()) setKindEffect(screen->getHintImage());
}
