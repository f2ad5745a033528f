#include "game/gameplay/FoundItemPop.h"

#include "core/FMemory.h"
#include "game/core/GameSession.h"
#include "game/core/SearchableObject.h"
#include "game/gameplay/CommonUIScreen.h"
#include "game/widgets/MapView.h"
#include "game/widgets/VideoSprite.h"
#include "image/FImage.h"
#include "ui/FImageWidget.h"
#include "video/FVideo.h"

#include <cmath>

namespace {

struct PopStepLook
{
    float zoom;
    // 0: the item image keeps its colour (step 12 only clears its alpha).
    uint32_t colour;
};

// Steps 2 to 12: the zoom factor and the item picture's colour.
constexpr PopStepLook k_popStepLooks[] = {
    {1.1f, 0},  {1.2f, 0},  {1.26f, 0},           {1.28f, 0},          {1.3f, 0},
    {1.32f, 0}, {1.34f, 0}, {1.38f, 0xFFFFFFFFu}, {1.3f, 0xC8D2D2D2u}, {1.15f, 0x648C8C8Cu},
    {1.0f, 0},
};

bool popSpritePlays(const VideoSprite* sprite)
{
    return sprite != nullptr && sprite->isPlaying() && !sprite->isPaused();
}

} // namespace

FoundItemPop::FoundItemPop(CommonUIScreen* screen) : FContainer(screen, true), m_screen(screen)
{
    m_zoom = makeRef(engineNew<FContainer>(k_memObject, this, true));
    m_itemImage = makeRef(engineNew<FImageWidget>(k_memObject, m_zoom.get(), true));
    m_burst = makeRef(engineNew<VideoSprite>(k_memObject, this, true));
    m_burst->setFrameRate(k_startFps);
    m_burst->setFrameTime(k_startFrameMs);
    m_sparkle = makeRef(engineNew<VideoSprite>(k_memObject, this, true));
    m_sparkle->setFrameRate(k_startFps);
    m_sparkle->setFrameTime(k_startFrameMs);
    if (m_screen != nullptr) m_sparkle->setVideo(FRefT<FVideo>(m_screen->m_sparkleClip), true);
    m_sparkle->setVisible(false);
    m_photoImage = makeRef(engineNew<FImageWidget>(k_memObject, m_zoom.get(), true));
    m_photoImage->setVisible(false);
    // A picture over the map, never a target: the next click still reaches
    // the items below while the pop runs.
    setHitTestDisabled(true);
    setVisible(false);
}

FoundItemPop::~FoundItemPop() = default;

void FoundItemPop::start(SearchableObject* item, int32_t player, int32_t tier)
{
    setVisible(true);
    bringToFront();
    m_item = item;
    FRefT<MapView> map = m_screen != nullptr ? m_screen->getMapView(player) : FRefT<MapView>();
    if (map.get() != nullptr) setWidgetSize(map->width(), map->height());
    const int32_t mapHeight = map.get() != nullptr ? map->height() : height();
    const GameSession* session = m_screen != nullptr ? m_screen->session() : nullptr;
    const int32_t taskType = session != nullptr ? session->getCurrentTaskType() : 6;
    if (taskType == k_photoTaskType) {
        if (map.get() != nullptr) setWidgetPosition(map->rect().left, map->rect().top);
        setScrollOffset({0, height() / 5});
    } else {
        // A photo task leaves its offset behind: later pops sit where they
        // belong again.
        setScrollOffset({0, 0});
        setWidgetPosition(player == 1 ? width() : 0, rect().top);
    }
    const int32_t w = width();
    const int32_t h = height();
    m_zoom->setUniformScale(1.0f);
    m_zoom->setWidgetRect({0, 0, w, h});
    bringToFront();
    m_zoom->setPivot({w / 2, h / 2});

    m_itemImage->setImage(m_itemPicture, true);
    m_itemImage->setWidgetColour(0xFFFFFFFFu);
    m_itemImage->setVisible(true);
    m_itemImage->setWidgetPosition((w - m_itemImage->width()) / 2, (h - m_itemImage->height()) / 2);
    const int32_t sixtyFourth = (m_screen != nullptr ? m_screen->width() : w) / 64;
    if (taskType == k_scrollTaskType)
        m_itemImage->moveWidgetBy(0, 2 * sixtyFourth);
    else if (m_screen != nullptr && m_itemPicture.get() != nullptr &&
             m_itemPicture.get() == m_screen->m_hintBlingImage.get())
        m_itemImage->moveWidgetBy(-sixtyFourth, -2 * sixtyFourth);
    m_zoom->setVisible(false);

    if (m_screen != nullptr) m_burst->setVideo(FRefT<FVideo>(m_screen->m_foundMarkerClip), true);
    if (tier == 2 || tier == 3) {
        m_sparkle->centerWidgetOnPoint({w / 2, static_cast<int32_t>(std::trunc(h * 0.25))});
        m_sparkle->setVisible(true);
        m_sparkle->play(false);
    }
    m_burst->setWidgetPosition((w - m_burst->width()) / 2, -(mapHeight / 8));
    m_burst->setVisible(false);
    m_photoImage->setVisible(false);
    showPhoto();
    m_burstStarted = false;
    m_running = true;
}

void FoundItemPop::showPhoto()
{
    if (m_photoNumber < 0 || m_screen == nullptr) return;
    // Photo 0 would ask for the step image before the first, and a number
    // past the task's step images for none: the item picture then stays.
    const FRefT<FImage> photo(m_screen->getStepImage(m_photoNumber - 1));
    if (photo.get() == nullptr) return;
    m_itemImage->setVisible(false);
    m_photoImage->setImage(photo, true);
    m_photoImage->setVisible(true);
    m_photoImage->centerWidgetOnPoint(m_burst->getWidgetCenter());
}

void FoundItemPop::update(int32_t ms)
{
    if (!m_running || m_step > k_lastStep) return;
    m_stepClock += ms;
    if (popSpritePlays(m_burst.get())) m_burst->update(ms);
    if (popSpritePlays(m_sparkle.get())) m_sparkle->update(ms);
    while (m_stepClock >= k_stepMs) {
        m_stepClock -= k_stepMs;
        m_step = m_burst->currentFrame() + 1;
        m_zoom->bringToFront();
        m_sparkle->bringToFront();
        m_bright = m_step >= 7 && m_step < k_lastStep;
        applyStep();
        if (!m_running) return;
    }
    if (m_step != k_idleStep && burstRunEnded()) {
        // As the last step would: the bright phase is over.
        m_bright = false;
        finish(true);
    }
}

bool FoundItemPop::burstRunEnded() const
{
    if (m_burst->video().get() == nullptr) return true;
    return m_burstStarted && !m_burst->isPlaying();
}

void FoundItemPop::applyStep()
{
    if (m_step == 1) {
        m_zoom->setVisible(true);
        m_burst->setVisible(true);
        if (!popSpritePlays(m_burst.get())) m_burst->play(false);
        m_burst->setFrameRate(k_burstFps);
        m_burst->setFrameTime(k_burstFrameMs);
        m_burstStarted = m_burst->isPlaying();
        return;
    }
    if (m_step == k_lastStep) {
        finish(true);
        return;
    }
    if (m_step < 2 || m_step > 12) return;
    const PopStepLook& look = k_popStepLooks[m_step - 2];
    m_zoom->setUniformScale(look.zoom);
    if (look.colour != 0)
        m_itemImage->setWidgetColour(look.colour);
    else if (m_step == 12)
        m_itemImage->setWidgetAlpha(0);
}

void FoundItemPop::finishNow()
{
    // Only a running pop has a find left to mark: an idle one marked its
    // item already.
    if (!m_running) return;
    finish(false);
}

void FoundItemPop::finish(bool rewind)
{
    m_zoom->setVisible(false);
    m_burst->setVisible(false);
    m_burst->setPaused(true);
    if (rewind) m_burst->seekAndShow(0);
    m_sparkle->setVisible(false);
    setVisible(false);
    m_step = k_idleStep;
    m_stepClock = 0;
    m_running = false;
    m_burstStarted = false;
    SearchableObject* item = m_item;
    m_item = nullptr;
    if (item != nullptr) item->markFound(item->player());
}

void FoundItemPop::rewindBurst()
{
    m_burst->seekAndShow(0);
}
