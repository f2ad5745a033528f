#include "game/widgets/FactoryContainerWidget.h"

#include "core/FMemory.h"
#include "game/core/GameSession.h"
#include "game/core/LevelTimer.h"
#include "game/core/Quest.h"
#include "game/core/StarMarker.h"
#include "game/widgets/PlayFieldServices.h"
#include "game/widgets/TimerBarHost.h"
#include "image/FImage.h"
#include "ui/FImageWidget.h"
#include "ui/FScreen.h"

#include <algorithm>

namespace {

uint8_t timerBarAlpha(const FImageWidget& marker)
{
    return static_cast<uint8_t>(marker.colour() >> 24);
}

void timerBarSetAlpha(FImageWidget& marker, int32_t alpha)
{
    marker.setWidgetColour((marker.colour() & 0x00FFFFFFu) | (uint32_t(alpha & 0xFF) << 24));
}

void timerBarPlaySound(const FRef& sound, int32_t level)
{
    if (PlayFieldServices* play = PlayFieldServices::instance()) play->playSound(sound, level);
}

} // namespace

FactoryContainerWidget::FactoryContainerWidget(FContainer* parent, bool addToParent)
    : FContainer(parent, addToParent), m_grandparent(parent != nullptr ? parent->parent() : nullptr)
{
    m_host = dynamic_cast<TimerBarHost*>(getScreen());
}

FactoryContainerWidget::~FactoryContainerWidget() = default;

FWidget* FactoryContainerWidget::part(uint32_t id) const
{
    return m_host != nullptr ? m_host->timerBarWidget(id) : nullptr;
}

int32_t FactoryContainerWidget::shownFill() const
{
    const FWidget* first = part(k_firstSegment);
    const FWidget* second = part(k_secondSegment);
    return (first != nullptr ? first->width() : 0) + (second != nullptr ? second->width() : 0);
}

void FactoryContainerWidget::initTimerBar(LevelTimer& timer)
{
    m_timer = &timer;
    FWidget* first = part(k_firstSegment);
    FWidget* second = part(k_secondSegment);
    FWidget* cap = part(k_endCap);
    FWidget* preview = part(k_refillPreview);
    auto* layer = dynamic_cast<FContainer*>(part(k_markerLayer));
    if (first == nullptr || second == nullptr) return;
    m_barWidth = first->width() + second->width();
    if (cap != nullptr) cap->setWidgetPosition(second->rect().right - 1, cap->rect().top);
    if (preview != nullptr && preview->parent() == first->parent()) preview->placeBelow(*first);
    m_markers.clear();
    m_markerSoundPlayed.clear();
    if (layer == nullptr) return;
    const FRefT<FImage> image = m_host->timerBarImage(k_markerImage);
    for (const FRefT<StarMarker>& star : timer.stars()) {
        FRefT<FImageWidget> marker = makeRef(engineNew<FImageWidget>(k_memObject, layer, true));
        marker->setImage(image, true);
        m_markers.push_back(marker);
        m_markerSoundPlayed.push_back(0);
        const float p = static_cast<float>(star->position());
        const int32_t x = static_cast<int32_t>(second->rect().right - marker->width() / 2 - m_barWidth * p) -
                          layer->rect().left;
        const int32_t y =
            rect().top + second->rect().top + second->height() / 2 - marker->height() / 2 - layer->rect().top;
        marker->setWidgetPosition(x, y);
    }
    FTween::Completion* done = makeMemberDelegate(this, &FactoryContainerWidget::onWarningTimerEnd);
    m_warningTimer.setCompletion(done);
    engineFree(done);
}

void FactoryContainerWidget::stepMarker(FImageWidget& marker, int32_t state)
{
    m_blinkMs = 0;
    const int32_t a = timerBarAlpha(marker);
    if (state == StarMarker::k_ahead) {
        timerBarSetAlpha(marker, std::min(255, a + (255 - a) / 2));
    } else if (state == StarMarker::k_warning) {
        timerBarSetAlpha(marker, a == 255 ? 128 : 255);
    } else {
        timerBarSetAlpha(marker, a >= 128 ? std::min(255, a - (a >> 1) + 128) : 127);
    }
}

void FactoryContainerWidget::update(int32_t elapsedMs)
{
    if (m_timer == nullptr || m_host == nullptr) return;
    // A level without a time limit puts no pressure on the player: its ratio
    // stays 0, so the bar stays full and no warning comes.
    const int32_t limit = m_timer->total();
    const float ratio = limit > 0 ? static_cast<float>(m_timer->elapsed()) / static_cast<float>(limit) : 0.0f;
    if (ratio != m_ratio) {
        m_ratio = ratio;
        onTimeRatioChanged();
    }
    const auto& stars = m_timer->stars();
    const std::size_t count = std::min(stars.size(), m_markers.size());
    for (std::size_t i = 0; i < count; ++i) {
        StarMarker& star = *stars[i];
        FImageWidget& marker = *m_markers[i];
        switch (star.state()) {
        case StarMarker::k_ahead:
            marker.setVisible(true);
            marker.setImage(m_host->timerBarImage(k_markerImage), false);
            m_markerSoundPlayed[i] = 0;
            m_blinkMs += elapsedMs;
            if (m_blinkMs >= k_blinkMs) stepMarker(marker, star.state());
            break;
        case StarMarker::k_warning:
            m_blinkMs += elapsedMs;
            if (m_blinkMs >= k_blinkMs) stepMarker(marker, star.state());
            break;
        case StarMarker::k_passed:
            marker.setVisible(true);
            marker.setImage(m_host->timerBarImage(k_passedMarkerImage), false);
            if (m_markerSoundPlayed[i] == 0) {
                timerBarPlaySound(m_host->timerBarSound(k_passedMarkerSound), k_soundLevel);
                m_markerSoundPlayed[i] = 1;
            }
            m_blinkMs += elapsedMs;
            if (m_blinkMs >= k_blinkMs) stepMarker(marker, star.state());
            break;
        default:
            marker.setVisible(false);
            break;
        }
        // The bursts take their events; the screen's particle layer draws them.
        if (star.regained) star.regained = false;
        if (star.passed) star.passed = false;
    }
    bool refillEnded = false;
    if (m_refilling) {
        m_refillMs += elapsedMs;
        FWidget* second = part(k_secondSegment);
        while (m_refilling && m_refillMs >= k_refillStepMs) {
            m_refillMs -= k_refillStepMs;
            if (second != nullptr) second->setWidgetWidth(second->width() + k_refillStep);
            if (shownFill() >= m_targetWidth) {
                setFill(m_targetWidth);
                m_refillMs = 0;
                m_targetWidth = 0;
                m_refilling = false;
                if (FWidget* preview = part(k_refillPreview)) preview->setVisible(false);
                refillEnded = true;
            }
        }
    }
    if (refillEnded) {
        PlayFieldServices* play = PlayFieldServices::instance();
        GameSession* session = play != nullptr ? play->gameSession() : nullptr;
        const Quest* quest = session != nullptr ? session->currentQuest() : nullptr;
        if (quest != nullptr) m_timer->pauseFor(quest->timerPause(session->isNormalDifficulty()));
    }
    m_warningTimer.update(elapsedMs);
}

void FactoryContainerWidget::onTimeRatioChanged()
{
    if (!(m_ratio > 0.0f && m_ratio < 1.0f) || m_host == nullptr) return;
    if (m_ratio >= k_warningRatio && !m_warned) {
        timerBarPlaySound(m_host->timerBarSound(k_warningSound), k_soundLevel);
        m_warningTimer.start(k_commentDelayMs);
        m_warningTimer.setActive(true);
        m_warned = true;
    }
    const int32_t fill = static_cast<int32_t>(m_barWidth - m_barWidth * m_ratio);
    m_targetWidth = fill;
    FWidget* preview = part(k_refillPreview);
    FWidget* first = part(k_firstSegment);
    FWidget* cap = part(k_endCap);
    const int32_t capWidth = cap != nullptr ? cap->width() : 0;
    auto placePreview = [&]() {
        if (preview == nullptr || first == nullptr) return;
        if (auto* shown = dynamic_cast<FImageWidget*>(preview))
            shown->setImage(m_host->timerBarImage(k_previewImage), true);
        const int32_t right = first->rect().left + capWidth + fill;
        preview->setWidgetPosition(right - preview->width(), preview->rect().top);
        preview->setVisible(true);
    };
    if (m_refilling) {
        placePreview();
    } else if (fill > shownFill()) {
        m_refilling = true;
        m_refillMs = 0;
        placePreview();
    } else {
        setFill(fill);
    }
}

void FactoryContainerWidget::setFill(int32_t width)
{
    FWidget* first = part(k_firstSegment);
    FWidget* second = part(k_secondSegment);
    FWidget* reference = part(k_segmentReference);
    FWidget* cap = part(k_endCap);
    if (first == nullptr || second == nullptr) return;
    // The first segment is full before the second takes any of the fill.
    const int32_t full = reference != nullptr ? reference->width() : first->width();
    if (width > full) {
        first->setWidgetWidth(full);
        second->setWidgetWidth(width - full);
        if (cap != nullptr) {
            cap->setWidgetPosition(second->rect().right - 1, cap->rect().top);
            cap->setVisible(true);
        }
    } else if (width > 0) {
        second->setWidgetWidth(0);
        first->setWidgetWidth(width);
        if (cap != nullptr) {
            cap->setWidgetPosition(first->rect().right - 1, cap->rect().top);
            cap->setVisible(true);
        }
    } else {
        first->setWidgetWidth(0);
        if (cap != nullptr) {
            cap->setWidgetPosition(first->rect().left, cap->rect().top);
            cap->setVisible(false);
        }
    }
}

void FactoryContainerWidget::onWarningTimerEnd()
{
    if (m_host != nullptr) m_host->playRandomComment();
}
