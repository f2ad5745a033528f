// Pointer input: dragging the map with coasting, hovering and clicking the
// worlds.
#include "game/worldmap/WorldMapScreen.h"

#include "game/worldmap/WorldMapNode.h"
#include "game/worldmap/WorldMapScroll.h"
#include "game/worldmap/WorldMapServices.h"

#include "asset/FScreenRegistry.h"
#include "game/core/GameSession.h"
#include "game/core/World.h"
#include "game/widgets/ImageRectFlipped.h"
#include "game/widgets/VideoSprite.h"
#include "image/FImage.h"
#include "ui/FContainer.h"
#include "ui/FImageWidget.h"
#include "video/FVideo.h"

#include <cmath>

namespace {

constexpr int32_t k_buttonLeft = 8;
constexpr int32_t k_buttonConfirm = 6;
constexpr int32_t k_confirmSound = 6635;

bool acceptedButton(int32_t button)
{
    return button == k_buttonLeft || button == k_buttonConfirm;
}

} // namespace

void WorldMapScreen::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    if (pointer != 0 || !acceptedButton(button)) return;
    if (skipVoiceLine()) return;
    ScreenLayout14::onPointerDown(pointer, button, point);
    if (!m_glideActive && (m_dragState == k_dragIdle || m_dragState == k_dragCoasting)) {
        m_dragState = k_dragPressed;
        m_pressPoint = point;
        m_dragVelocity = {0, 0};
        // Each press is timed on its own: a long press earlier must not make
        // every later press a drag at once.
        m_pressTime = 0;
    }
}

void WorldMapScreen::onPointerMove(int32_t pointer, const FPointI& point)
{
    if (pointer != 0) return;
    ScreenLayout14::onPointerMove(pointer, point);
    if (m_mode == k_modeBrowse) {
        if (m_dragState == k_dragDragging && m_dragEnabled) {
            const FPointI d{m_lastPointerPoint.x - point.x, m_lastPointerPoint.y - point.y};
            const FPointF s = scale();
            const FPointI offset = mapOffset();
            setMapOffset(offset.x + static_cast<int32_t>(static_cast<float>(d.x) / s.x),
                         offset.y + static_cast<int32_t>(static_cast<float>(d.y) / s.y));
            m_dragVelocity = d;
        }
        const FPointI local = m_mapContainer->toChildSpace(point, this);
        if (m_dragState != k_dragDragging && !m_longTrip) {
            for (const FRefT<WorldMapNode>& world : m_worldNodes) {
                if (!world->containsPoint(local.x, local.y) || m_chooserPending) continue;
                if (m_activeNode.get() == nullptr || m_activeNode.get() == world.get()) continue;
                m_activeNode->m_isActive = false;
                stopSelectionSparkles();
                m_activeNode = world;
                if (worldOpen(world->m_index)) startSelectionSparkles(*world);
            }
        }
    }
    if (m_mode == k_modeQuestChooser) onChooserHover(point);
    m_lastPointerPoint = point;
}

void WorldMapScreen::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    if (pointer != 0 || !acceptedButton(button)) return;
    const FPointI local = m_mapContainer->toChildSpace(point, this);
    if (!m_voicePlaying && m_mode == k_modeBrowse) {
        for (std::size_t i = 0; i < m_worldNodes.size(); ++i) {
            const FRefT<WorldMapNode> world = m_worldNodes[i];
            bool hit = world->containsPoint(local.x, local.y);
            VideoSprite* tag = world->m_tag.get();
            FImageWidget* icon = world->m_questIcon.get();
            if (!hit && tag != nullptr && icon != nullptr && icon->getImage().get() != nullptr &&
                tag->video().get() == asset(WorldMapNode::k_selectedTagClip).get()) {
                FRectI r = getImageRectFlipped(icon->getImage().get());
                const FPointI at{tag->rect().left, tag->rect().top};
                r = {r.left + at.x, r.top + at.y, r.right + at.x, r.bottom + at.y};
                hit = r.left <= local.x && local.x < r.right && r.top <= local.y && local.y < r.bottom;
            }
            if (hit) onNodeClicked(world->m_index);
        }
    }
    if (m_mode == k_modeQuestChooser) onChooserRelease(point);
    ScreenLayout14::onPointerUp(pointer, button, point);
    if (m_leaving) return;
    if (m_dragState == k_dragDragging) {
        m_dragState = k_dragCoasting;
        m_coastTimer = 0;
    } else {
        m_dragState = k_dragIdle;
    }
}

void WorldMapScreen::updateDrag(int32_t elapsed)
{
    if (m_dragState == k_dragPressed) {
        m_pressTime += elapsed;
        const double dx = m_lastPointerPoint.x - m_pressPoint.x;
        const double dy = m_lastPointerPoint.y - m_pressPoint.y;
        if (m_pressTime > WorldMapScroll::k_dragDelayMs &&
            std::sqrt(dx * dx + dy * dy) > WorldMapScroll::k_dragDistance) {
            m_dragVelocity = {0, 0};
            m_dragState = k_dragDragging;
        }
    } else if (m_dragState == k_dragCoasting) {
        m_coastTimer += elapsed;
        if (m_coastTimer >= WorldMapScroll::k_coastHalvingMs) {
            m_coastTimer = 0;
            m_dragVelocity = {WorldMapScroll::decayVelocity(m_dragVelocity.x),
                              WorldMapScroll::decayVelocity(m_dragVelocity.y)};
        }
        const FPointI offset = mapOffset();
        setMapOffset(offset.x + m_dragVelocity.x, offset.y + m_dragVelocity.y);
        if (m_dragVelocity.x == 0 && m_dragVelocity.y == 0) m_dragState = k_dragIdle;
    }
}

void WorldMapScreen::onNodeClicked(int32_t world)
{
    if (m_dragState != k_dragPressed || m_mode != k_modeBrowse || !worldOpen(world)) return;
    if (m_longTrip && (m_activeNode.get() == nullptr || m_activeNode->m_index != world)) return;
    playSound(FLayoutBinding::registry().findInSecond(k_confirmSound));
    selectWorld(world);
}

void WorldMapScreen::selectWorld(int32_t world)
{
    WorldMapNode& target = node(world, "a selected world");
    m_activeNode = m_worldNodes[world];
    if (m_sparklesOn) startSelectionSparkles(target);
    if (GameSession* game = session(); game != nullptr) {
        std::deque<World>& worlds = game->structure().worlds();
        game->setCurrentWorld(world,
                              static_cast<std::size_t>(world) < worlds.size() ? &worlds[world] : nullptr);
    }
    if (!m_longTrip) centerAroundLevel(world);
    // A pending quest's scroll opens at once; otherwise the chooser opens
    // when the glide ends.
    if (target.m_hasQuestReminder)
        pickQuest(target.m_reminderQuest);
    else
        m_chooserPending = true;
}
