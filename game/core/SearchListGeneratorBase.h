#pragma once

// What the play session, the searchable objects and the gameplay screen ask
// of a level's search list: the items of the current task, the progress
// checks and the interruption.

#include <cstdint>
#include <deque>

class FSerializer;
class GameSession;
class SearchableObject;
struct StoryTaskStepper;

class SearchListGeneratorBase
{
public:
    explicit SearchListGeneratorBase(GameSession* owner) noexcept : m_owner(owner) {}
    virtual ~SearchListGeneratorBase() = default;
    SearchListGeneratorBase(const SearchListGeneratorBase&) = delete;
    SearchListGeneratorBase& operator=(const SearchListGeneratorBase&) = delete;

    virtual void start() {}
    virtual std::int32_t getItemCount() const = 0;
    virtual std::int32_t getRemainingCount() const = 0;
    virtual void checkProgress(std::int32_t itemId) = 0;
    virtual void update(std::int32_t elapsedMs) = 0;
    virtual void clearItems() = 0;
    virtual void setInterruptTarget(StoryTaskStepper* target) = 0;
    virtual void addInterruptItem() {}
    virtual void markLastItem() {}
    virtual void serializeState(FSerializer& serializer) = 0;
    virtual void onItemFound() {}
    virtual void copyItems(std::deque<SearchableObject*>& out) const = 0;
    virtual const std::deque<SearchableObject*>* getBones() const { return nullptr; }
    virtual bool checkInterrupt() = 0;
    // Told (with 0) after a power-up was cancelled while the screen plays a
    // picture search; this game's generators have nothing to do then.
    virtual void onPowerUpCancelled(std::int32_t) {}

    GameSession& session() const noexcept { return *m_owner; }
    const std::deque<SearchableObject*>& items() const noexcept { return m_items; }

protected:
    GameSession* m_owner;
    std::deque<SearchableObject*> m_items;
    bool m_flags[3] = {};
};
