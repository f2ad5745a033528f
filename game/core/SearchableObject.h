#pragma once

// One findable object of a world's search data: a picture name, a difficulty
// rating, a type, three exclusion flags and a panel text, plus the state the
// search-list generator keeps in it while a level runs.

#include "game/core/StateListeners.h"

#include <cstdint>
#include <string>

class ActivePowerUp;
class FSerializer;
class SearchListGenerator;

class SearchableObject
{
public:
    // States: 1 marked, 2 found, 3 listed (to be found).
    static constexpr std::int32_t k_stateMarked = 1;
    static constexpr std::int32_t k_stateFound = 2;
    static constexpr std::int32_t k_stateListed = 3;
    // The type of a bone, a hidden extra find.
    static constexpr std::int32_t k_typeBone = 3;

    SearchableObject() = default;
    virtual ~SearchableObject();
    SearchableObject(const SearchableObject&) = default;
    SearchableObject& operator=(const SearchableObject&) = default;

    // Reads one record: "fileName", "difficultyRating", "type", "forKids",
    // "forIngame", "forParty", "panelText".
    virtual void serialize(FSerializer& serializer);

    // A player found the object: marks it found, tells the generator that
    // listed it, spends the power-up hidden in it; answers the generator's
    // interruption check.
    bool markFound(std::int32_t player);

    // Sets the state, marks the object changed and notifies the listeners.
    void setState(std::int32_t state);
    // The generator lists the object: owner, state 3, the cleared word 0,
    // and player 0 when it had no player yet.
    void list(SearchListGenerator* owner);

    SearchListGenerator* owner() const noexcept { return m_owner; }
    void setOwner(SearchListGenerator* owner) noexcept { m_owner = owner; }
    std::int32_t state() const noexcept { return m_state; }
    std::int32_t type() const noexcept { return m_type; }
    void setType(std::int32_t type) noexcept { m_type = type; }
    std::int32_t kind() const noexcept { return m_kind; }
    void setKind(std::int32_t kind) noexcept { m_kind = kind; }
    std::int32_t multipleType() const noexcept { return m_multipleType; }
    void setMultipleType(std::int32_t multipleType) noexcept { m_multipleType = multipleType; }
    bool isChanged() const noexcept { return m_changed; }
    void setChanged(bool changed) noexcept { m_changed = changed; }
    ActivePowerUp* linkedPowerUp() const noexcept { return m_linkedPowerUp; }
    void setLinkedPowerUp(ActivePowerUp* powerUp) noexcept { m_linkedPowerUp = powerUp; }
    bool isNotForKids() const noexcept { return m_notForKids; }
    bool isNotInGame() const noexcept { return m_notInGame; }
    bool isNotForParty() const noexcept { return m_notForParty; }
    std::int32_t difficultyRating() const noexcept { return m_difficultyRating; }
    const std::string& fileName() const noexcept { return m_fileName; }
    const std::string& panelText() const noexcept { return m_panelText; }
    std::int32_t player() const noexcept { return m_player; }
    void setPlayer(std::int32_t player) noexcept { m_player = player; }
    std::int32_t character() const noexcept { return m_character; }
    void setCharacter(std::int32_t character) noexcept { m_character = character; }
    std::int32_t clearedWord() const noexcept { return m_clearedWord; }
    bool isInterruptItem() const noexcept { return m_interruptItem; }
    void setInterruptItem(bool interruptItem) noexcept { m_interruptItem = interruptItem; }
    StateListeners<SearchableObject>& listeners() noexcept { return m_listeners; }

private:
    SearchListGenerator* m_owner = nullptr;
    std::int32_t m_state = k_stateMarked;
    std::int32_t m_type = 0;
    std::int32_t m_kind = -1;
    std::int32_t m_multipleType = 0;
    bool m_changed = true;
    ActivePowerUp* m_linkedPowerUp = nullptr;
    bool m_notForKids = true;
    bool m_notInGame = true;
    bool m_notForParty = true;
    std::int32_t m_difficultyRating = 0;
    std::string m_fileName;
    std::string m_panelText;
    std::int32_t m_player = -1;
    std::int32_t m_character = 0;
    std::int32_t m_clearedWord = 0;
    StateListeners<SearchableObject> m_listeners;
    bool m_interruptItem = false;
};
