#include "game/core/LevelTimer.h"

#include "game/core/GameSession.h"
#include "game/core/Quest.h"

#include "core/FMemory.h"

#include <cmath>

LevelTimer::LevelTimer(GameSession* owner, double comboTime, double comboWarning) noexcept
    : m_owner(owner), m_comboTime(static_cast<std::int32_t>(comboTime)),
      m_comboWarning(static_cast<std::int32_t>(comboWarning))
{
}

void LevelTimer::pauseFor(std::int32_t ms) noexcept
{
    // Nothing would ever end a pause of no time.
    if (ms <= 0) return;
    resumed = false;
    m_pauseLeft = ms;
}

void LevelTimer::update(std::int32_t elapsedMs)
{
    if (m_pauseLeft > 0) {
        m_pauseLeft -= elapsedMs;
        if (m_pauseLeft <= 0) {
            m_pauseLeft = 0;
            resumed = true;
        }
    }
    // A level without a time limit has no fraction to place the marks by.
    if (m_total > 0) {
        const double f = static_cast<double>(m_elapsed) / static_cast<double>(m_total);
        for (const FRefT<StarMarker>& star : m_stars) {
            star->update(f);
        }
    }
    if (started && resumed && enabled && !stopped && m_elapsed <= m_total) {
        m_elapsed += elapsedMs;
    }
    if (m_comboActive) {
        m_comboElapsed += elapsedMs;
        if (m_comboElapsed > m_comboTime) {
            m_comboLevel = 1;
            m_comboElapsed = 0;
            m_comboActive = false;
        }
        m_comboWarningShown = m_comboTime - m_comboElapsed <= m_comboWarning;
    }
}

void LevelTimer::onItemFound()
{
    if (m_comboActive) {
        if (m_comboLevel == 1 || m_comboLevel == 2) {
            m_comboLevel = 1;
        }
        m_comboElapsed = 0;
    } else {
        m_comboLevel = 1;
        m_comboActive = true;
    }
    double reward = 0.0;
    if (m_comboLevel == 1 && m_owner != nullptr && m_owner->currentQuest() != nullptr) {
        reward = m_owner->currentQuest()->timeReward(m_owner->isNormalDifficulty());
    }
    const double elapsed = std::trunc(static_cast<double>(m_elapsed) - reward * static_cast<double>(m_total));
    m_elapsed = elapsed < 0.0 ? 0 : static_cast<std::int32_t>(elapsed);
}

void LevelTimer::addComboStep() noexcept
{
    if (m_comboLevel < k_maxComboLevel) ++m_comboLevel;
}

void LevelTimer::addStar(double position)
{
    m_stars.push_back(makeRef(engineNew<StarMarker>(k_memObject, position)));
}

std::int32_t LevelTimer::countStarsLeft() const
{
    std::int32_t count = 0;
    for (const FRefT<StarMarker>& star : m_stars) {
        if (star->state() == StarMarker::k_ahead || star->state() == StarMarker::k_warning) {
            ++count;
        }
    }
    return count;
}
