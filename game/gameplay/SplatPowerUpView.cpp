#include "game/gameplay/SplatPowerUpView.h"

#include "core/FMemory.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameRandom.h"
#include "game/core/GameShuffle.h"
#include "game/core/PowerUpKind.h"
#include "game/gameplay/CommonUIScreen.h"
#include "image/FImage.h"
#include "ui/FContainer.h"
#include "ui/FImageWidget.h"

#include <utility>

SplatPowerUpView::SplatPowerUpView(FContainer* parent) : PowerUpView(parent, k_powerUpSplat)
{
    m_endTimer.setSpeed(1.0f);
    m_splatTimer.setSpeed(1.0f);
}

SplatPowerUpView::~SplatPowerUpView()
{
    m_colours.clear();
    m_sounds.clear();
    m_images.clear();
    m_pop.setTarget(nullptr);
    m_endTimer.setCompletion(nullptr);
    m_splatTimer.setCompletion(nullptr);
    m_holders.clear();
    m_overlay = {};
}

FImageWidget* SplatPowerUpView::splatImage(int32_t index) const
{
    return index >= 0 && index < static_cast<int32_t>(m_images.size())
               ? m_images[static_cast<std::size_t>(index)].get()
               : nullptr;
}

FContainer* SplatPowerUpView::splatHolder(int32_t index) const
{
    return index >= 0 && index < static_cast<int32_t>(m_holders.size())
               ? m_holders[static_cast<std::size_t>(index)].get()
               : nullptr;
}

void SplatPowerUpView::setup()
{
    CommonUIScreen* host = hostScreen();
    if (host == nullptr) return;
    setIcon(host->m_iconSplat);
    setLaunchClip(host->m_launchSplatClip);
    const FRectI map = mapRect();
    const int32_t w = map.right - map.left;
    const int32_t h = map.bottom - map.top;
    m_overlay = makeRef(engineNew<FContainer>(k_memObject, host, true));
    m_overlay->setWidgetRect({0, 0, w, h});
    const FRef* pictures[k_splatCount] = {&host->m_splat1Image, &host->m_splat2Image, &host->m_splat3Image};
    for (const FRef* picture : pictures) {
        FRefT<FContainer> holder = makeRef(engineNew<FContainer>(k_memObject, m_overlay.get(), true));
        FRefT<FImageWidget> image = makeRef(engineNew<FImageWidget>(k_memObject, holder.get(), true));
        image->setVisible(false);
        image->setHitTestDisabled(true);
        image->setImage(FRefT<FImage>(*picture), true);
        holder->setWidgetRect({0, 0, w, h});
        m_holders.push_back(std::move(holder));
        m_images.push_back(std::move(image));
    }
    m_pop.setTarget(nullptr);
    m_sounds = {host->m_splat1Sound, host->m_splat2Sound, host->m_splat3Sound, host->m_splat4Sound,
                host->m_splat5Sound};
    gameShuffle(m_sounds);
    m_colours.assign(k_colours.begin(), k_colours.end());
    gameShuffle(m_colours);
    const auto ow = static_cast<float>(m_overlay->width());
    const auto oh = static_cast<float>(m_overlay->height());
    const float factors[k_splatCount] = {0.05f, 0.25f, 0.55f};
    for (std::size_t i = 0; i < m_positions.size(); ++i)
        m_positions[i] = {static_cast<int32_t>(factors[i] * ow), static_cast<int32_t>(factors[i] * oh)};
    FTween::Completion* ended = makeMemberDelegate(this, &SplatPowerUpView::onEndTimer);
    m_endTimer.setCompletion(ended);
    freeAndNull(ended);
    bringToFront();
}

void SplatPowerUpView::onLaunchFinished()
{
    if (!passLaunchCheck()) return;
    m_nextSplat = 0;
    m_paintLeft = k_fullPaint;
    m_splatsOnMap = true;
    splatStep();
    FTween::Completion* next = makeMemberDelegate(this, &SplatPowerUpView::onSplatTimer);
    m_splatTimer.setCompletion(next);
    freeAndNull(next);
    m_splatTimer.start(k_splatGapMs);
}

void SplatPowerUpView::onSplatTimer()
{
    if (m_nextSplat > k_splatCount - 1) return;
    splatStep();
    m_splatTimer.start(k_splatGapMs);
}

void SplatPowerUpView::splatStep()
{
    // Before the launch has ended there is nothing on the map to add to.
    if (m_nextSplat < 0 || m_nextSplat >= k_splatCount || m_images.size() < k_splatCount) return;
    const auto i = static_cast<std::size_t>(m_nextSplat);
    FImageWidget* image = m_images[i].get();
    FContainer* holder = m_holders[i].get();
    image->setWidgetColour(m_colours[i]);
    image->setVisible(true);
    image->setWidgetPosition(m_positions[i].x, m_positions[i].y);
    const FRectI r = image->rect();
    holder->setPivot({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    holder->setRotation(static_cast<float>(GameRandom::rand() % 361));
    holder->bringToFront();
    playViewSound(m_sounds[i]);
    m_pop.setTarget(holder);
    m_pop.start(1.0f, 2.0f, k_popMs);
    if (++m_nextSplat == k_splatCount) {
        m_nextSplat = 0;
        // The timer throws no more splats; the screen's throw effect still may.
        m_splatTimer.setCompletion(nullptr);
        m_endTimer.start(k_endMs);
    }
}

int32_t SplatPowerUpView::alphaForPercent(int32_t percent)
{
    if (percent < 10) return 155;
    if (percent < 20) return 180;
    if (percent < 40) return 205;
    if (percent < 60) return 230;
    if (percent < 80) return 245;
    return -1;
}

void SplatPowerUpView::wipe()
{
    if (!m_splatsOnMap) return;
    m_paintLeft -= k_paintPerWipe;
    const int32_t percent = m_paintLeft * 100 / k_fullPaint;
    if (percent < k_endPercent) {
        useSessionPowerUp(player());
        return;
    }
    const int32_t alpha = alphaForPercent(percent);
    if (alpha < 0) return;
    if (FImageWidget* image = splatImage(m_fadeTurn)) image->setWidgetAlpha(static_cast<uint8_t>(alpha));
    if (++m_fadeTurn >= k_splatCount) m_fadeTurn = 0;
}

void SplatPowerUpView::onEndTimer()
{
    useSessionPowerUp(player());
}

void SplatPowerUpView::onPowerUpStateChanged(ActivePowerUp& record)
{
    PowerUpView::onPowerUpStateChanged(record);
    if (state() != ActivePowerUp::k_stateEnded) return;
    setVisible(false);
    m_splatsOnMap = false;
    m_pop.setActive(false);
    m_endTimer.setActive(false);
    m_splatTimer.setActive(false);
    for (FRefT<FImageWidget>& image : m_images) {
        image->setWidgetAlpha(255);
        image->setVisible(false);
    }
}

void SplatPowerUpView::update(int32_t elapsedMs)
{
    if (m_endTimer.isActive()) m_endTimer.update(elapsedMs);
    if (m_splatTimer.isActive()) m_splatTimer.update(elapsedMs);
    if (m_pop.isActive()) m_pop.update(elapsedMs);
    PowerUpView::update(elapsedMs);
}
