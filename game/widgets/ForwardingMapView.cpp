#include "game/widgets/ForwardingMapView.h"

#include "core/FLogChannel.h"
#include "core/FLogStream.h"
#include "ui/FScreen.h"

ForwardingMapView::ForwardingMapView(FContainer* parent, bool addToParent) : MapView(parent, addToParent) {}

ForwardingMapView::~ForwardingMapView() = default;

void ForwardingMapView::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    if (m_mainView == nullptr) return;
    FPointI p = forwarded(point);
    m_mainView->onPointerDown(pointer, button, p);
    // The rest of the gesture comes here, and on to the main view.
    capturePointer(pointer);
}

void ForwardingMapView::onPointerMove(int32_t pointer, const FPointI& point)
{
    if (m_mainView == nullptr) return;
    FPointI p = forwarded(point);
    m_mainView->onPointerMove(pointer, p);
}

void ForwardingMapView::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    if (m_mainView == nullptr) return;
    FPointI p = forwarded(point);
    m_mainView->onPointerUp(pointer, button, p);
    if (FScreen* screen = getScreen()) screen->releaseCapture(pointer);
    ZIBBO_LOG(k_logDefault, false) << "controller up at : " << p.x << "," << p.y;
}
