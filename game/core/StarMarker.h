#pragma once

// One star of a level, at a fraction of the level time. The player keeps the
// star while the clock has not passed the mark.

#include <cstdint>

class StarMarker
{
public:
    // States: 0 ahead, 1 in the warning window, 2 passed, 3 frozen.
    static constexpr std::int32_t k_ahead = 0;
    static constexpr std::int32_t k_warning = 1;
    static constexpr std::int32_t k_passed = 2;
    static constexpr std::int32_t k_frozen = 3;
    // The warning window before a mark, as a fraction of the level time.
    static constexpr double k_window = 0.015;

    explicit StarMarker(double position) noexcept : m_position(position) {}

    // `f` is the elapsed fraction of the level time.
    void update(double f);

    // The three flags are set here and cleared by the screen that plays their
    // effects.
    bool regained = false;
    bool passed = false;
    bool warned = false;

    double position() const noexcept { return m_position; }
    std::int32_t state() const noexcept { return m_state; }
    void setState(std::int32_t state) noexcept { m_state = state; }

private:
    double m_position;
    std::int32_t m_state = k_ahead;
    double m_window = k_window;
};
