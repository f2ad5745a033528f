#include "game/core/StarMarker.h"

void StarMarker::update(double f)
{
    if (m_state == k_frozen) {
        return;
    }
    const double d = m_position - f;
    if (d >= 0.0 && d <= m_window && m_state == k_ahead) {
        warned = true;
        m_state = k_warning;
    } else if (d <= 0.0) {
        if (m_state != k_passed) {
            passed = true;
        }
        m_state = k_passed;
    } else if (d > m_window) {
        if (m_state == k_passed) {
            regained = true;
        }
        m_state = k_ahead;
    }
}
