// The map building: twelve nodes from the tuning tables and the layout's
// widgets, at the start of every visit.
#include "game/worldmap/WorldMapScreen.h"

#include "game/worldmap/WorldMapNode.h"
#include "game/worldmap/WorldMapServices.h"

#include "core/FErrorMessage.h"
#include "core/FLocalizedMessages.h"
#include "core/FMemory.h"
#include "core/FString.h"
#include "game/core/GameParams.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FContainer.h"
#include "ui/FFont.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"

namespace {

constexpr const char* k_unknownWorldName = "???";
constexpr uint32_t k_nameColour = 0xFF3A2410u;

// Pieces drawn below their world's anchor sprite, in this order.
struct PieceBelowAnchor
{
    int32_t world;
    uint32_t piece;
};
constexpr PieceBelowAnchor k_piecesBelowAnchor[] = {
    {0, 0x2abcc35cu}, {0, 0x5dbbf3cau}, {1, 0x1b54d9c1u},  {2, 0x242a83cfu}, {2, 0xbd23d275u},
    {2, 0xca24e2e3u}, {3, 0xe18dbd41u}, {4, 0xdef3e74fu},  {4, 0xa9f4d7d9u}, {6, 0x496cf666u},
    {8, 0x19538d3bu}, {8, 0x6e54bdadu}, {11, 0xcf9b40feu},
};
// World 11's third piece goes just below the map overlay.
constexpr uint32_t k_pieceBelowOverlay = 0x219521d2u;

FRef nameTextOf(const ScreenLayout14& layout, int32_t world)
{
    const FRef* names[12] = {
        &layout.m_worldName0, &layout.m_worldName1, &layout.m_worldName2,  &layout.m_worldName3,
        &layout.m_worldName4, &layout.m_worldName5, &layout.m_worldName6,  &layout.m_worldName7,
        &layout.m_worldName8, &layout.m_worldName9, &layout.m_worldName10, &layout.m_worldName11,
    };
    return *names[world];
}

} // namespace

void WorldMapScreen::buildWorldNodes()
{
    m_worldNodes.clear();
    for (int32_t i = 0; i < k_worldCount; ++i) {
        FRefT<WorldMapNode> world = makeRef(engineNew<WorldMapNode>(k_memObject, this));
        m_worldNodes.push_back(world);
        world->m_index = i;
        world->m_hasQuestReminder = false;
        world->m_isActive = false;
    }
    loadWorldGeometry();
    placeWorldTags();
    placeWorldSprites();
    bindMapPieces();
    createWorldNameLabels();
    bindLockOverlays();
}

void WorldMapScreen::loadWorldGeometry()
{
    WorldMapServices* host = services();
    GameParams* params = host != nullptr ? host->params() : nullptr;
    if (params == nullptr) ZIBBO_FAIL(msgIllegalOperation, "world map: no tuning values to place the worlds");
    const FPointI size = screenSize();
    for (const FRefT<WorldMapNode>& world : m_worldNodes) {
        world->m_origin = params->getOrigin(world->m_index, size.x, size.y);
        world->m_tagPoint = params->getTag(world->m_index, size.x, size.y);
        world->m_box = params->getBox(world->m_index, size.x, size.y);
    }
}

void WorldMapScreen::placeWorldTags()
{
    for (int32_t i = 0; i < k_worldCount; ++i) {
        WorldMapNode& world = node(i, "the world nodes");
        if (i >= static_cast<int32_t>(m_worldTags.size()))
            ZIBBO_FAIL(msgIllegalOperation, "world map: the layout has no tag for world index " << i);
        if (dynamic_cast<VideoSprite*>(m_worldTags[i].get()) == nullptr)
            ZIBBO_FAIL(msgIllegalOperation,
                       "world map: the tag of world index " << i << " is no video sprite");
        world.m_tag = FRefT<VideoSprite>(FRef(m_worldTags[i]));
        VideoSprite& tag = *world.m_tag;
        tag.setWidgetPosition(world.m_tagPoint.x, world.m_tagPoint.y);
        tag.bringToFront();
        world.m_questIcon = makeRef(engineNew<FImageWidget>(k_memObject, m_mapContainer.get(), true));
        world.m_questIcon->bringToFront();
        world.m_questIcon->setVisible(false);
        world.m_questIcon->setHitTestDisabled(true);
    }
}

void WorldMapScreen::placeWorldSprites()
{
    for (const FRefT<WorldMapNode>& world : m_worldNodes) {
        const std::vector<FRefT<VideoSprite>> sprites = ambientSpritesOf(world->m_index);
        for (std::size_t s = 0; s < sprites.size(); ++s) {
            sprites[s]->setWidgetPosition(world->m_origin.x, world->m_origin.y);
            // World 8's last two sprites are drawn over the others.
            if (world->m_index == 8 && s >= 2) sprites[s]->bringToFront();
        }
        const auto anchor = static_cast<std::size_t>(anchorIndexOf(world->m_index));
        world->m_anchorSprite = anchor < sprites.size() ? sprites[anchor].get() : nullptr;
    }
}

void WorldMapScreen::bindMapPieces()
{
    for (const FRefT<WorldMapNode>& world : m_worldNodes)
        world->m_mapPieces = layoutPieces(world->m_index);
    node(11, "the world nodes").m_mapPieces.push_back(FRefT<FWidget>(FRef(m_extraPiece)));
    FScreenRegistry& registry = FLayoutBinding::registry();
    for (const PieceBelowAnchor& entry : k_piecesBelowAnchor) {
        FWidget* anchor = node(entry.world, "the drawing order").m_anchorSprite;
        FRef piece = m_binding.fetchWidget(registry, static_cast<int32_t>(entry.piece));
        auto* widget = static_cast<FWidget*>(piece.get());
        if (anchor != nullptr && widget != nullptr) widget->placeBelow(*anchor);
    }
    FRef last = m_binding.fetchWidget(registry, static_cast<int32_t>(k_pieceBelowOverlay));
    if (auto* widget = static_cast<FWidget*>(last.get()); widget != nullptr && m_mapOverlay.get() != nullptr)
        widget->placeBelow(*m_mapOverlay);
    hideAllMapPieces();
}

void WorldMapScreen::createWorldNameLabels()
{
    if (m_worldNodes.empty()) return;
    const FString unknown(k_unknownWorldName);
    for (const FRefT<WorldMapNode>& world : m_worldNodes) {
        FRefT<FLabel> label = makeRef(engineNew<FLabel>(k_memObject, m_mapContainer.get(), true));
        label->setFont(FRefT<FFont>(asset(0x10B7)));
        const FRef name = nameTextOf(*this, world->m_index);
        const FString* text = name.as<FString>();
        const bool known = worldOpen(world->m_index) && text != nullptr;
        label->setText(known ? *text : unknown);
        if (!(label->text() == unknown)) {
            const FPointI measured = label->measureText();
            const FRectI& r = label->rect();
            label->setWidgetRect(
                {r.left, r.top, r.left + static_cast<int32_t>(0.7 * measured.x), r.top + 2 * measured.y});
            label->enableWordWrap();
        }
        // Dark ink on the light parchment of the map.
        label->setColor(k_nameColour);
        label->setHorizontalAlignment(2);
        label->setHitTestDisabled(true);
        const FRectI& box = world->m_box;
        label->centerWidgetOnPoint({box.left + (box.right - box.left) / 2, box.bottom});
        label->setVisible(false);
        world->m_nameLabel = label;
    }
}

void WorldMapScreen::bindLockOverlays()
{
    for (const FRefT<WorldMapNode>& world : m_worldNodes) {
        const auto i = static_cast<std::size_t>(world->m_index);
        if (i >= m_worldLockOverlays.size())
            ZIBBO_FAIL(msgIllegalOperation,
                       "world map: the layout has no lock for world index " << world->m_index);
        world->m_lockOverlay = m_worldLockOverlays[i];
        world->m_lockOverlay->setVisible(false);
    }
}
