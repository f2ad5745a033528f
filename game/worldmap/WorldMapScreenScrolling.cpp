// The glide toward a map point, the scroll setter and its limits.
#include "game/worldmap/WorldMapScreen.h"

#include "game/worldmap/WorldMapNode.h"
#include "game/worldmap/WorldMapScroll.h"

#include "ui/FContainer.h"
#include "ui/FImageWidget.h"

void WorldMapScreen::startGlide(int32_t x, int32_t y)
{
    if (m_glideActive) return;
    m_dragState = k_dragIdle;
    m_glideActive = true;
    m_glideTarget = WorldMapScroll::glideTarget({x, y}, m_mapContainer->scale(), m_mapContainer->rect());
    m_glideAccumulator = 0;
}

void WorldMapScreen::updateGlide(int32_t elapsed)
{
    if (!m_glideActive) return;
    m_glideAccumulator += elapsed;
    if (m_glideAccumulator <= WorldMapScroll::k_glideStepMs) return;
    m_glideAccumulator = elapsed > 0 ? m_glideAccumulator % elapsed : 0;
    const FPointI scroll = mapOffset();
    const int32_t dx = m_glideTarget.x - scroll.x;
    const int32_t dy = m_glideTarget.y - scroll.y;
    if (dx == 0 && dy == 0) {
        m_glideActive = false;
        return;
    }
    const FPointI step = WorldMapScroll::glideStep(scroll, m_glideTarget);
    setMapOffset(step.x, step.y);
    FPointI now = mapOffset();
    // An overshoot lands on the target.
    if ((m_glideTarget.x - now.x) * dx < 0) setMapOffset(m_glideTarget.x, now.y);
    now = mapOffset();
    if ((m_glideTarget.y - now.y) * dy < 0) setMapOffset(now.x, m_glideTarget.y);
    now = mapOffset();
    if (m_glideTarget.x - now.x == dx && m_glideTarget.y - now.y == dy) {
        // No progress: the step was cut to nothing or a limit held the map.
        m_glideActive = false;
        if (m_chooserPending) {
            m_chooserPending = false;
            openQuestChooser();
        }
    }
    clampMapOffset();
}

void WorldMapScreen::setMapOffset(int32_t x, int32_t y)
{
    const FPointI old = m_mapContainer->scrollOffset();
    m_mapContainer->setScrollOffset({x, y});
    // The container's pivot takes the screen's own plus the change, so that
    // a scaled map keeps scaling about the same screen point.
    m_mapContainer->setPivot({pivot().x + x - old.x, pivot().y + y - old.y});
    if (m_mapOverlay.get() != nullptr) m_mapOverlay->setWidgetPosition(x, y);
    FWidget::requestRedraw();
    clampMapOffset();
}

void WorldMapScreen::clampMapOffset()
{
    const FPointI scroll = m_mapContainer->scrollOffset();
    const FPointI clamped = WorldMapScroll::clampOffset(scroll, screenSize(), pictureSize());
    if (clamped.x != scroll.x || clamped.y != scroll.y) setMapOffset(clamped.x, clamped.y);
}

void WorldMapScreen::centerAroundLevel(int32_t world)
{
    const FPointI centre = node(world, "a glide").boxCentre();
    startGlide(centre.x, centre.y);
}

void WorldMapScreen::centerLeftOfLevel(int32_t world)
{
    const FPointI centre = node(world, "a glide").boxCentre();
    startGlide(centre.x - k_leftOfLevel, centre.y);
}
