#pragma once

#include "game/widgets/SearchableSprite.h"

// A searchable sprite for a hint item: found like any item, but with no
// panel entry and no bling. It follows its item by polling the state every
// frame rather than through a listener, and a hint item that turns found adds
// one hint to the level's hint counter.
class HintSearchableSprite : public SearchableSprite
{
public:
    using SearchableSprite::SearchableSprite;
    ~HintSearchableSprite() override;

    void update(int32_t elapsedMs) override;
    void prepare() override;

    int32_t lastState() const { return m_lastState; }

private:
    int32_t m_lastState = 0;
};
