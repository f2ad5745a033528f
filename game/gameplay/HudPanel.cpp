#include "game/gameplay/HudPanel.h"

#include "core/FMemory.h"
#include "game/core/GameSession.h"
#include "game/core/SearchableObject.h"
#include "game/gameplay/HudPanelHost.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/PlayFieldServices.h"
#include "game/widgets/SearchableSprite.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "ui/FScreen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

int32_t hudPanelCentreX(const HudPanelEntry& entry)
{
    return entry.rect().left + entry.width() / 2;
}

} // namespace

HudPanel::HudPanel(FContainer* parent, bool addToParent) : FContainer(parent, addToParent)
{
    m_host = dynamic_cast<HudPanelHost*>(getScreen());
}

HudPanel::~HudPanel()
{
    m_sweep = FRefT<ParticleEmitter>();
    m_markerFade.target = nullptr;
    m_centring.setTarget(nullptr);
    m_selected = FRefT<HudPanelEntry>();
    m_entries.clear();
}

int32_t HudPanel::taskType() const
{
    PlayFieldServices* play = PlayFieldServices::instance();
    GameSession* session = play != nullptr ? play->gameSession() : nullptr;
    return session != nullptr ? session->getCurrentTaskType() : 6;
}

bool HudPanel::panelFlight() const
{
    return m_host == nullptr || m_host->allowsPanelFlight();
}

void HudPanel::setUp()
{
    m_cover = makeRef(engineNew<FImageWidget>(k_memObject, this, true));
    m_cover->setWidgetRect({0, 0, width(), height()});
    m_cover->setWidgetAlpha(0);
    m_cover->setAlphaThreshold(0);
    m_marker = makeRef(engineNew<FImageWidget>(k_memObject, this, true));
    m_restPosition = {rect().left, rect().top};
    m_centring.setTarget(this);
    m_markerFade.target = m_marker.get();
    m_particleGroup = makeRef(engineNew<ParticleGroup>(k_memObject, k_particleRecords, this));
    m_particlePool = makeRef(engineNew<ParticlePool>(k_memObject, k_particles));
    FTween::Completion* done = makeMemberDelegate(this, &HudPanel::onSelectionTimer);
    m_selectionTimer.setCompletion(done);
    engineFree(done);
}

FRefT<HudPanelEntry> HudPanel::entryAt(int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size()) return FRefT<HudPanelEntry>();
    return m_entries[static_cast<std::size_t>(index)];
}

HudPanelEntry* HudPanel::findEntryByKey(const SearchableObject* item) const
{
    if (item == nullptr) return nullptr;
    for (const FRefT<HudPanelEntry>& entry : m_entries) {
        const auto& items = entry->items();
        if (std::find(items.begin(), items.end(), item) != items.end()) return entry.get();
    }
    return nullptr;
}

HudPanelEntry* HudPanel::createEntry(SearchableObject& item, SearchableSprite& sprite,
                                     const FRefT<FImage>& panelImage, const FRefT<FImage>& secondPanelImage,
                                     int32_t groupKey, const FRefT<FString>& panelText)
{
    if (item.state() == SearchableObject::k_stateMarked) return nullptr;
    setMarkerShown(true);
    if (HudPanelEntry* listed = findEntryByKey(&item)) return listed;
    if (groupKey != 0 || taskType() == k_groupedTaskType) {
        for (const FRefT<HudPanelEntry>& entry : m_entries) {
            if (entry->groupKey() == groupKey) {
                entry->addItem(item, sprite, panelImage, secondPanelImage, panelText, groupKey);
                return entry.get();
            }
        }
    }
    FRefT<HudPanelEntry> entry = makeRef(engineNew<HudPanelEntry>(k_memObject, this));
    const int32_t x = m_entries.empty() ? 0 : m_entries.back()->rect().right - k_overlap;
    m_entries.push_back(entry);
    entry->setScreen(m_host);
    entry->addItem(item, sprite, panelImage, secondPanelImage, panelText, groupKey);
    entry->moveTo(x, k_entryTop);
    m_stripReady = true;
    return entry.get();
}

void HudPanel::removeEntry(std::size_t position)
{
    HudPanelEntry& completed = *m_entries[position];
    const int32_t dx = completed.width() - k_overlap;
    for (std::size_t i = position; i < m_entries.size(); ++i)
        m_entries[i]->slideBy(dx);
    m_stripReady = true;
    if (m_entries.size() <= 1 && m_marker.get() != nullptr) m_marker->setVisible(false);
    if (!completed.items().empty() && completed.items().front()->isInterruptItem()) {
        showAllEntries();
        if (m_host != nullptr) m_host->onBonusItemDone();
    }
}

void HudPanel::moveEntriesBy(int32_t dx)
{
    for (const FRefT<HudPanelEntry>& entry : m_entries)
        entry->moveTo(entry->rect().left + dx, entry->rect().top);
}

bool HudPanel::moveWithinBounds(int32_t v, bool coasting)
{
    if (m_entries.empty() || v == 0) return false;
    const int32_t h = halfWidth();
    if (v < 0) {
        const HudPanelEntry& last = *m_entries.back();
        if (hudPanelCentreX(last) + v > h) {
            moveEntriesBy(v);
            return true;
        }
        if (coasting) {
            m_velocity = 0;
            if (last.rect().right > h) moveEntriesBy(h - hudPanelCentreX(last));
        }
        return false;
    }
    if (hudPanelCentreX(*m_entries.front()) + v < h) {
        moveEntriesBy(v);
        return true;
    }
    m_velocity = 0;
    return false;
}

void HudPanel::playTick(int32_t v)
{
    if (m_entries.empty() || m_host == nullptr) return;
    if (std::abs(m_entries.front()->rect().left) % k_tickSpacing < std::abs(v)) {
        if (PlayFieldServices* play = PlayFieldServices::instance())
            play->playSound(m_host->scrollTickSound(), k_tickLevel);
    }
}

void HudPanel::update(int32_t elapsedMs)
{
    const bool sweeping =
        m_sweep.get() != nullptr && m_sweep->isEnabled() && m_particleGroup.get() != nullptr;
    if (sweeping) m_particleGroup->layer()->bringToFront();
    if (m_centring.isActive()) {
        m_centring.update(elapsedMs);
        if (m_selected.get() != nullptr && m_marker.get() != nullptr) placeMarker();
    }
    m_markerFade.update(elapsedMs);
    m_selectionTimer.update(elapsedMs);

    if (m_snapping) {
        m_dragState = k_dragIdle;
        m_snapClock += elapsedMs;
        if (m_snapClock > k_snapStepMs) {
            m_snapClock = 0;
            int32_t step = 0;
            if (m_snapDistance > -5 && m_snapDistance < 5) {
                step = m_snapDistance;
                m_snapDistance = 0;
                m_snapping = false;
            } else {
                step = m_snapDistance / 2;
                m_snapDistance -= step;
            }
            moveEntriesBy(step);
            playTick(step);
        }
    } else if (m_dragState == k_dragPressed && m_stripReady && m_dragEnabled) {
        if (!panelFlight()) {
            m_pressTime += elapsedMs;
            const double dx = m_lastPoint.x - m_previousPoint.x;
            const double dy = m_lastPoint.y - m_previousPoint.y;
            if (m_pressTime > k_pressMs || std::sqrt(dx * dx + dy * dy) > k_pressDistance) {
                m_dragState = k_dragDragging;
                capturePointer(0);
                m_pressTime = 0;
            }
        }
    } else if (m_dragState == k_dragCoasting) {
        m_coastClock += elapsedMs;
        if (m_coastClock > k_coastStepMs) {
            m_coastClock = 0;
            m_velocity = static_cast<int32_t>(m_velocity - 0.6 * m_velocity);
            if ((m_velocity > 0 && m_velocity < 3) || (m_velocity < 0 && m_velocity > -3)) m_velocity = 0;
            if (m_velocity == 0) {
                m_pressTime = 0;
                m_dragState = k_dragIdle;
            }
        }
        const int32_t v = m_velocity;
        if (!moveWithinBounds(v, true) && v != 0 && m_velocity == 0) playTick(v);
    }

    if (!m_entries.empty()) {
        if (m_relayoutPending) {
            if (taskType() == k_bonusDoneTaskType && m_host != nullptr)
                m_host->raiseStoryEvent(k_completedStoryEvent);
            m_relayoutPending = false;
            selectEntry(nullptr);
            for (std::size_t i = 0; i < m_entries.size(); ++i) {
                HudPanelEntry& entry = *m_entries[i];
                if (!entry.isCompleted()) continue;
                if (!entry.isFeedbackSent() && m_host != nullptr) {
                    const int32_t character = entry.items().empty() ? 0 : entry.items().front()->character();
                    m_host->sendTimerParticles(
                        {entry.rect().left + rect().left, entry.rect().top + rect().top}, character);
                }
                FRefT<HudPanelEntry> keep = m_entries[i];
                removeEntry(i);
                m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
            if (m_entries.empty()) {
                m_markerFade.setActive(false);
                if (m_marker.get() != nullptr) m_marker->setVisible(false);
            } else if (std::any_of(m_entries.begin(), m_entries.end(),
                                   [](const FRefT<HudPanelEntry>& entry) { return entry->isSelected(); })) {
                if (m_host != nullptr) m_host->refreshEntriesOnSelection(m_playerIndex);
            } else {
                if (m_host != nullptr) m_host->refreshEntriesNoSelection(m_playerIndex);
                m_selectionTimer.start(k_selectionMs);
            }
        }
        // An entry's update may complete it and ask for a relayout; a copy
        // keeps the list steady while it runs.
        const std::deque<FRefT<HudPanelEntry>> entries = m_entries;
        for (const FRefT<HudPanelEntry>& entry : entries)
            entry->update(elapsedMs);
    }
    if (m_shown && m_entries.empty()) {
        m_entries.clear();
        m_shown = false;
    }
    if (m_sweep.get() != nullptr && m_particleGroup.get() != nullptr && m_particlePool.get() != nullptr) {
        m_particlePool->update(elapsedMs, *m_particleGroup);
        m_particleGroup->update(elapsedMs);
        m_particleGroup->applyRecords();
        if (m_sweep->isEnabled()) m_particleGroup->layer()->bringToFront();
        m_sweep->update(elapsedMs);
    }
}

void HudPanel::startSweep()
{
    if (m_sweep.get() != nullptr) m_sweep->stop();
    if (m_particleGroup.get() == nullptr || m_particlePool.get() == nullptr) return;
    const int32_t w = width();
    const int32_t h = height();
    const FRefT<FImage> sparkle = m_host != nullptr ? m_host->sweepSparkleImage() : FRefT<FImage>();
    m_sweep = makeRef(engineNew<ParticleEmitter>(k_memObject, k_sweepMs, m_particlePool.get(),
                                                 m_particleGroup.get(), sparkle, 0, h / 2,
                                                 ParticleEmitter::k_line, false, 0));
    m_sweep->endX = w;
    m_sweep->endY = h / 2;
    m_sweep->rate = 650;
    // Sparkles add their light to the strip.
    m_sweep->additiveBlend = true;
    m_sweep->spreadWidth = 2 * h;
    m_sweep->spreadHeight = h;
    m_sweep->velocitySpreadX = 200000;
    m_sweep->velocitySpreadY = 3000;
    m_sweep->lifetimeRange = 1500;
    m_sweep->lifetimeMin = 300;
    m_sweep->accelerationX = 10;
    m_sweep->accelerationY = -1000;
    m_sweep->spin = 6;
    m_sweep->sizeBase = 20;
    m_sweep->sizeGrowth = 50;
    m_sweep->restart();
    m_particleGroup->layer()->bringToFront();
}

void HudPanel::snapToEntry(HudPanelEntry* entry)
{
    if (entry == nullptr) return;
    m_snapping = true;
    m_snapClock = 0;
    m_snapDistance = halfWidth() - hudPanelCentreX(*entry);
}

void HudPanel::centreMarkerOn(HudPanelEntry& entry)
{
    m_marker->centerWidgetOnPoint({hudPanelCentreX(entry), entry.rect().top + entry.height() / 2});
    if (entry.isTextEntry()) {
        const int32_t dx = static_cast<int32_t>((m_marker->rect().left - m_marker->rect().right) * 0.03);
        m_marker->moveWidgetBy(dx, 0);
    }
}

void HudPanel::selectEntry(HudPanelEntry* entry)
{
    auto found = std::find_if(m_entries.begin(), m_entries.end(),
                              [entry](const FRefT<HudPanelEntry>& held) { return held.get() == entry; });
    if (entry == nullptr || found == m_entries.end()) {
        m_selected = FRefT<HudPanelEntry>();
        if (m_marker.get() != nullptr) m_marker->setVisible(false);
        m_markerFade.setActive(false);
        return;
    }
    m_selected = *found;
    if (m_marker.get() == nullptr) return;
    m_marker->setVisible(true);
    FWidget* view = m_host != nullptr ? m_host->firstPowerUpView() : nullptr;
    if (view != nullptr && view->parent() == m_marker->parent())
        m_marker->placeBelow(*view);
    else
        m_marker->bringToFront();
    m_marker->setImage(entry->selectorImage(), true);
    centreMarkerOn(*entry);
    m_marker->setWidgetAlpha(255);
    fadeMarkerOut();
}

void HudPanel::pulseMarkerTo(int32_t alpha, void (HudPanel::*next)())
{
    if (m_marker.get() == nullptr) return;
    m_marker->setVisible(true);
    m_markerFade.target = m_marker.get();
    m_markerFade.start(alpha, k_pulseMs);
    FTween::Completion* then = makeMemberDelegate(this, next);
    m_markerFade.setCompletion(then);
    engineFree(then);
    m_markerFade.setActive(true);
}

void HudPanel::fadeMarkerOut()
{
    pulseMarkerTo(0, &HudPanel::fadeMarkerIn);
}

void HudPanel::fadeMarkerIn()
{
    pulseMarkerTo(255, &HudPanel::fadeMarkerOut);
}

void HudPanel::placeMarker()
{
    if (m_selected.get() != nullptr && m_marker.get() != nullptr) centreMarkerOn(*m_selected);
}

void HudPanel::setMarkerShown(bool on)
{
    if (m_marker.get() == nullptr) return;
    m_marker->setVisible(on && !m_entries.empty());
}

void HudPanel::refreshSelection()
{
    for (const FRefT<HudPanelEntry>& entry : m_entries) {
        if (entry->isSelected()) {
            selectEntry(entry.get());
            return;
        }
    }
}

void HudPanel::selectEntryOfSprite(SearchableSprite* sprite)
{
    const std::deque<FRefT<HudPanelEntry>> entries = m_entries;
    for (const FRefT<HudPanelEntry>& entry : entries) {
        const auto& sprites = entry->sprites();
        if (std::find(sprites.begin(), sprites.end(), sprite) != sprites.end())
            entry->setSelected(true);
        else
            entry->deselectQuietly();
    }
}

void HudPanel::deselectPictureEntries()
{
    for (const FRefT<HudPanelEntry>& entry : m_entries) {
        SearchableSprite* sprite = entry->findFindableSprite();
        if (sprite != nullptr && sprite->item() != nullptr && sprite->item()->kind() != 2)
            entry->setSelected(false);
    }
}

void HudPanel::onSelectionTimer()
{
    if (m_selected.get() == nullptr && m_host != nullptr) m_host->refreshEntriesWithHint(m_playerIndex);
}

void HudPanel::centreEntries(int32_t count, int32_t extra)
{
    if (!panelFlight() || count <= 0 || count + extra >= 5) return;
    int32_t w = 0;
    for (const FRefT<HudPanelEntry>& entry : m_entries)
        w += entry->width() - k_overlap;
    m_centredPosition = {m_restPosition.x + (width() - w) / 2, m_restPosition.y};
    if (m_heldAtRest) return;
    m_centring.setTarget(this);
    m_centring.start(m_centredPosition, k_centringMs);
}

void HudPanel::holdAtRest()
{
    m_heldAtRest = true;
    if (m_restPosition.x == -1 && m_restPosition.y == -1) return;
    m_centring.setActive(false);
    setWidgetPosition(m_restPosition.x, m_restPosition.y);
}

void HudPanel::releaseHold()
{
    m_heldAtRest = false;
    if (m_centredPosition.x == -1 && m_centredPosition.y == -1) return;
    m_centring.setActive(false);
    setWidgetPosition(m_centredPosition.x, m_centredPosition.y);
}

void HudPanel::returnToRestPosition()
{
    m_shown = true;
    if (m_restPosition.x != -1 || m_restPosition.y != -1)
        setWidgetPosition(m_restPosition.x, m_restPosition.y);
    m_centredPosition = {-1, -1};
}

void HudPanel::showOnlyLastEntry()
{
    // An empty strip has no last entry to show.
    if (m_entries.empty()) return;
    HudPanelEntry& last = *m_entries.back();
    moveEntriesBy(halfWidth() - hudPanelCentreX(last));
    for (const FRefT<HudPanelEntry>& entry : m_entries)
        entry->setVisible(false);
    last.setVisible(true);
    holdAtRest();
    if (FLabel* caption = last.caption())
        caption->moveWidgetBy(static_cast<int32_t>((last.rect().left - last.rect().right) * 0.025), 0);
    m_dragEnabled = false;
}

void HudPanel::placeEntriesFromLeft()
{
    int32_t x = 0;
    for (const FRefT<HudPanelEntry>& entry : m_entries) {
        entry->moveTo(x, k_entryTop);
        x = entry->rect().right - k_overlap;
    }
}

void HudPanel::showAllEntries()
{
    if (!panelFlight()) {
        if (!m_entries.empty()) moveEntriesBy(halfWidth() - hudPanelCentreX(*m_entries.front()));
        for (const FRefT<HudPanelEntry>& entry : m_entries)
            entry->setVisible(true);
    } else {
        placeEntriesFromLeft();
    }
    m_heldAtRest = false;
    if (m_centredPosition.x != -1 || m_centredPosition.y != -1) {
        m_centring.setActive(false);
        setWidgetPosition(m_centredPosition.x, m_centredPosition.y);
    }
    m_dragEnabled = true;
}

void HudPanel::releasePointerCapture()
{
    if (FScreen* screen = getScreen()) screen->releaseCapture(0);
}

void HudPanel::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    if (m_inputLocked) return;
    FContainer::onPointerDown(pointer, button, point);
    if (m_dragState == k_dragIdle || m_dragState == k_dragCoasting) {
        m_dragState = k_dragPressed;
        m_pressPoint = m_previousPoint = m_lastPoint = point;
        m_velocity = 0;
    }
}

void HudPanel::onPointerMove(int32_t pointer, const FPointI& point)
{
    if (m_inputLocked) return;
    FContainer::onPointerMove(pointer, point);
    if (m_dragState == k_dragDragging && m_stripReady && m_dragEnabled && !m_entries.empty()) {
        const int32_t v = point.x - m_lastPoint.x;
        m_velocity = v;
        for (const FRefT<HudPanelEntry>& entry : m_entries)
            entry->finishSlide();
        moveWithinBounds(v, false);
        playTick(v);
    }
    m_previousPoint = m_lastPoint;
    m_lastPoint = point;
}

void HudPanel::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    if (m_inputLocked) return;
    if (m_dragState == k_dragPressed || (m_host != nullptr && m_host->isPanelPassThrough())) {
        FContainer::onPointerUp(pointer, button, point);
        m_dragState = k_dragIdle;
    } else if (m_dragState == k_dragDragging && !panelFlight()) {
        m_dragState = k_dragCoasting;
    }
    releasePointerCapture();
}
