#include "game/core/ActivePowerUp.h"

#include "game/core/SearchableObject.h"

ActivePowerUp::~ActivePowerUp() = default;

void ActivePowerUp::setState(std::int32_t state)
{
    m_previousState = m_state;
    m_state = state;
    m_listeners.notify(*this);
}

void ActivePowerUp::unlinkItem() noexcept
{
    if (m_linkedItem != nullptr) {
        m_linkedItem->setLinkedPowerUp(nullptr);
        m_linkedItem = nullptr;
    }
}
