#include "ui/FBoxTween.h"

#include "core/FLogChannel.h"
#include "core/FLogStream.h"
#include "ui/FEasing.h"
#include "ui/FWidget.h"

#include <cmath>

namespace {

int32_t between(int32_t from, int32_t to, int32_t elapsed, int32_t duration, int32_t easing)
{
    if (easing != FEasing::k_easeOut && easing != FEasing::k_easeIn) {
        return static_cast<int32_t>(from + int64_t(to - from) * elapsed / duration);
    }
    const double v = FEasing::value(easing, double(elapsed) / duration);
    return static_cast<int32_t>(std::trunc((to - from) * v + from));
}

} // namespace

void FBoxTween::start(FWidget* target, const FRectI& from, const FRectI& to, int32_t duration, bool loop)
{
    m_target = target;
    m_start = from;
    m_end = to;
    m_duration = duration;
    m_elapsed = 0;
    m_loop = loop;
    setActive(true);
}

void FBoxTween::update(int32_t ms)
{
    if (!isActive()) return;
    if (!advanceElapsed(m_elapsed, m_duration, m_loop, ms)) return;
    const FPointI sc = FWidget::getRectCenter(m_start);
    const FPointI ec = FWidget::getRectCenter(m_end);
    const FPointI centre{between(sc.x, ec.x, m_elapsed, m_duration, m_easing),
                         between(sc.y, ec.y, m_elapsed, m_duration, m_easing)};
    const int32_t w =
        between(m_start.right - m_start.left, m_end.right - m_end.left, m_elapsed, m_duration, m_easing);
    const int32_t h =
        between(m_start.bottom - m_start.top, m_end.bottom - m_end.top, m_elapsed, m_duration, m_easing);
    const FRectI box = FWidget::centerRectOn({0, 0, w, h}, centre);
    if (m_target != nullptr) m_target->setWidgetRect(box);
    ZIBBO_LOG(k_logDefault, false) << "new box[" << box.left << "," << box.top << "..." << box.right << ","
                                   << box.bottom << ")";
}

void FBoxTween::finish()
{
    if (m_target != nullptr) m_target->setWidgetRect(m_end);
    FTween::finish();
}
