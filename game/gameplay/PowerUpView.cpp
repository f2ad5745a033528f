#include "game/gameplay/PowerUpView.h"

#include "core/FMemory.h"
#include "game/core/ActivePowerUp.h"
#include "game/widgets/MapView.h"

#include <utility>

PowerUpView::PowerUpView(int32_t kind) : m_kind(kind)
{
    auto* changed = makeMemberDelegate(this, &PowerUpView::onPowerUpStateChanged);
    m_stateListener = StateListeners<ActivePowerUp>::makeListener(changed);
    freeAndNull(changed);
}

PowerUpView::~PowerUpView()
{
    // The record may outlive the view: every handle on the cell, the one in
    // the record's listener set too, then reads null and calls nothing.
    FRef::destroyTarget(std::move(m_stateListener));
}

void PowerUpView::update(int32_t) {}

void PowerUpView::onPowerUpStateChanged(ActivePowerUp& record)
{
    m_state = record.state();
    m_player = record.slot();
}

void PowerUpView::catchSprite(int32_t) {}
