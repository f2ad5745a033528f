#include "game/widgets/MapTileSprite.h"

#include "game/widgets/MapView.h"
#include "game/widgets/MapViewHost.h"
#include "game/widgets/PlayFieldServices.h"
#include "ui/FScreen.h"

MapTileSprite::MapTileSprite(FContainer* parent, bool addToParent) : FImageWidget(parent, addToParent) {}

MapTileSprite::~MapTileSprite() = default;

void MapTileSprite::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    handlePointerDown(pointer, button, point);
    m_pressed = true;
}

void MapTileSprite::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    handlePointerUp(pointer, button, point);
    if (m_pressed) {
        auto* host = dynamic_cast<MapViewHost*>(getScreen());
        FRefT<MapView> map = host != nullptr ? host->getMapView(0) : FRefT<MapView>();
        PlayFieldServices* services = PlayFieldServices::instance();
        if (map.get() != nullptr && services != nullptr &&
            (map->dragState() == MapView::k_dragIdle || map->dragState() == MapView::k_dragPressed))
            services->playSound(host->missSound(), k_missVolume);
    }
    m_pressed = false;
}
