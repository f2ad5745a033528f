#pragma once

// The level's clock: the time limit, the star marks along it and the combo
// window that makes a quick find give time back.

#include "game/core/StarMarker.h"

#include "core/FRef.h"

#include <cstdint>
#include <vector>

class GameSession;

class LevelTimer
{
public:
    // `comboTime` and `comboWarning` are the tuning values in milliseconds.
    static constexpr std::int32_t k_maxComboLevel = 9;

    LevelTimer(GameSession* owner, double comboTime, double comboWarning) noexcept;

    // Advances the pause, the star marks, the clock (while it runs) and the
    // combo window.
    void update(std::int32_t elapsedMs);
    // A listed item was found: the combo runs and the quest's time reward is
    // taken off the elapsed time.
    void onItemFound();
    // A combo step of a power-up: the combo level rises by one, up to
    // k_maxComboLevel.
    void addComboStep() noexcept;
    // Appends a mark at `position`, a fraction of the level time.
    void addStar(double position);
    // The marks in state 0 or 1: the stars the player still holds.
    std::int32_t countStarsLeft() const;
    // Stops the clock for `ms` milliseconds; it runs again when the pause ends.
    void pauseFor(std::int32_t ms) noexcept;

    const std::vector<FRefT<StarMarker>>& stars() const noexcept { return m_stars; }
    std::int32_t total() const noexcept { return m_total; }
    void setTotal(std::int32_t total) noexcept { m_total = total; }
    std::int32_t elapsed() const noexcept { return m_elapsed; }
    void setElapsed(std::int32_t elapsed) noexcept { m_elapsed = elapsed; }
    std::int32_t comboElapsed() const noexcept { return m_comboElapsed; }
    std::int32_t comboLevel() const noexcept { return m_comboLevel; }
    bool isComboActive() const noexcept { return m_comboActive; }
    bool isComboWarningShown() const noexcept { return m_comboWarningShown; }

    bool prepared = false;
    bool started = false;
    bool resumed = true;
    bool enabled = true;
    bool stopped = false;

private:
    GameSession* m_owner;
    std::int32_t m_total = 0;
    std::int32_t m_elapsed = 0;
    std::int32_t m_comboElapsed = 0;
    std::int32_t m_comboTime;
    std::int32_t m_comboWarning;
    bool m_comboActive = false;
    bool m_comboWarningShown = false;
    // The pause that ends by setting `resumed` again.
    std::int32_t m_pauseLeft = 0;
    std::vector<FRefT<StarMarker>> m_stars;
    std::int32_t m_comboLevel = 1;
};
