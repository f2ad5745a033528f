#pragma once

// One power-up in play, owned by the play session's list of active power-ups.
// It may hide in a searchable object; the two keep links to each other, and
// whoever ends either side clears both.

#include "game/core/StateListeners.h"

#include <cstdint>

class SearchableObject;

class ActivePowerUp
{
public:
    // States: 1 created, 2 used (its hiding object was found), 0 ended.
    static constexpr std::int32_t k_stateEnded = 0;
    static constexpr std::int32_t k_stateCreated = 1;
    static constexpr std::int32_t k_stateUsed = 2;

    ActivePowerUp(std::int32_t uniqueId, std::int32_t kind) noexcept
        : m_uniqueId(uniqueId), m_kind(kind), m_kindByte(static_cast<std::uint8_t>(kind))
    {
    }
    virtual ~ActivePowerUp();
    ActivePowerUp(const ActivePowerUp&) = delete;
    ActivePowerUp& operator=(const ActivePowerUp&) = delete;

    // The previous state takes the state, then the listeners are told.
    void setState(std::int32_t state);
    // Clears the hiding object's link to this power-up and this one's link to
    // the object.
    void unlinkItem() noexcept;

    std::int32_t uniqueId() const noexcept { return m_uniqueId; }
    std::int32_t state() const noexcept { return m_state; }
    std::int32_t previousState() const noexcept { return m_previousState; }
    std::int32_t kind() const noexcept { return m_kind; }
    std::uint8_t kindByte() const noexcept { return m_kindByte; }
    SearchableObject* linkedItem() const noexcept { return m_linkedItem; }
    void setLinkedItem(SearchableObject* item) noexcept { m_linkedItem = item; }
    std::int32_t slot() const noexcept { return m_slot; }
    void setSlot(std::int32_t slot) noexcept { m_slot = slot; }
    StateListeners<ActivePowerUp>& listeners() noexcept { return m_listeners; }

private:
    std::int32_t m_uniqueId;
    std::int32_t m_state = k_stateCreated;
    std::int32_t m_previousState = k_stateCreated;
    std::int32_t m_kind;
    StateListeners<ActivePowerUp> m_listeners;
    std::uint8_t m_kindByte;
    SearchableObject* m_linkedItem = nullptr;
    std::int32_t m_slot = 0;
};
