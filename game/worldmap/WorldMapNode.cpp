#include "game/worldmap/WorldMapNode.h"

#include "game/worldmap/WorldMapScreen.h"

#include "core/FMemory.h"
#include "game/widgets/ImageRectFlipped.h"
#include "game/widgets/VideoSprite.h"
#include "game/widgets/WidgetGeometry.h"
#include "image/FImage.h"
#include "ui/FContainer.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "video/FVideo.h"

namespace {

constexpr int32_t k_tagClips[WorldMapNode::k_tagTypes] = {0x10BA, 0x10BB, 0x10BC, 0x10BD};
// Icons by quest type 0..3.
constexpr int32_t k_questIcons[WorldMapNode::k_tagTypes] = {0x10B3, 0x10B4, 0x10B5, 0x10B2};
constexpr int32_t k_pieceRevealSound = 0x10C2;
constexpr int32_t k_tagFinishedSound = 0x10C4;
constexpr int32_t k_worldOpenSound = 0x10C8;
constexpr int32_t k_nodeSelectSound = 0x10C9;

uint8_t alphaOf(const FWidget& widget)
{
    return static_cast<uint8_t>(widget.widgetColour() >> 24);
}

} // namespace

WorldMapNode::WorldMapNode(WorldMapScreen* owner) : m_owner(owner)
{
    m_pieceFade.setSpeed(1.0f);
    if (owner != nullptr && owner->mapContainerWidget() != nullptr)
        m_tag = makeRef(engineNew<VideoSprite>(k_memObject, owner->mapContainerWidget(), true));
}

WorldMapNode::~WorldMapNode()
{
    if (m_tag.get() != nullptr) m_tag->setFinishCallback(nullptr);
    m_ambientSprites.clear();
    m_openFades.clear();
}

bool WorldMapNode::worldUnlocked() const
{
    return m_owner->worldOpen(m_index);
}

FWidget* WorldMapNode::pickMapPiece(int32_t questType)
{
    if (m_index == 11) {
        // World 12's pieces follow the quest type one to one.
        const std::vector<FRefT<FWidget>>& pieces = m_owner->layoutPieces(11);
        if (questType >= 0 && questType <= 2 && static_cast<std::size_t>(questType) < pieces.size())
            return pieces[static_cast<std::size_t>(questType)].get();
        return nullptr;
    }
    if (questType < 0 || questType > 3) return nullptr;
    // A type-3 quest would start past the three pieces: the scan is bounded.
    for (auto i = static_cast<std::size_t>(questType); i < m_mapPieces.size(); ++i) {
        FWidget* piece = m_mapPieces[i].get();
        if (piece != nullptr && alphaOf(*piece) < 255) return piece;
    }
    return nullptr;
}

bool WorldMapNode::revealMapPiece(FWidget* piece)
{
    if (piece == nullptr || m_owner->phase() != WorldMapScreen::k_phaseNewMapPiece) return false;
    piece->setWidgetAlpha(0);
    piece->setVisible(true);
    m_owner->centerLeftOfLevel(m_index);
    if (VideoSprite* sparkle = m_owner->revealSparkle(); sparkle != nullptr) {
        FRectI source{0, 0, 0, 0};
        if (auto* image = dynamic_cast<FImageWidget*>(piece);
            image != nullptr && image->getImage().get() != nullptr)
            source = getImageRectFlipped(image->getImage().get());
        sparkle->centerWidgetOnPoint(FWidget::getRectCenter(source));
        sparkle->bringToFront();
        sparkle->setVisible(true);
        sparkle->play(false);
    }
    m_owner->playSound(m_owner->asset(k_pieceRevealSound));
    m_pieceFade.target = piece;
    m_pieceRevealing = true;
    return true;
}

void WorldMapNode::hideMapPieces()
{
    for (const FRefT<FWidget>& piece : m_mapPieces) {
        if (piece.get() != nullptr) piece->setWidgetAlpha(0);
    }
}

void WorldMapNode::setTag(int32_t questType)
{
    m_hasQuestReminder = true;
    if (questType < 0 || questType >= k_tagTypes || m_tag.get() == nullptr) return;
    m_reminderQuest = questType;
    m_tag->setVideo(FRefT<FVideo>(m_owner->asset(k_tagClips[questType])), false);
    m_tag->play(false);
    m_tag->bringToFront();
}

void WorldMapNode::playTagAnimation(int32_t questType)
{
    m_hasQuestReminder = true;
    if (questType < 0 || questType >= k_tagTypes || m_tag.get() == nullptr) {
        m_tagAnimating = false;
        return;
    }
    m_tag->setVideo(FRefT<FVideo>(m_owner->asset(k_tagClips[questType])), false);
    m_reminderQuest = questType;
    m_tagAnimating = true;
    if (questType == 3)
        m_owner->centerLeftOfLevel(m_index);
    else
        m_owner->centerAroundLevel(m_index);
    m_tag->setLoops(0);
    m_tag->setAnimationFrameRate(k_tagFps);
    auto* finished = makeMemberDelegate(this, &WorldMapNode::onTagAnimationFinished);
    m_tag->setFinishCallback(finished);
    engineFree(finished);
    m_tag->play(false);
}

void WorldMapNode::onTagAnimationFinished(VideoSprite&)
{
    // The reminder walk moves on when the next reminder is presented, not
    // here, so that no reminder is skipped.
    m_owner->playSound(m_owner->asset(k_tagFinishedSound));
    m_tagAnimating = false;
}

void WorldMapNode::showSelectedTag()
{
    if (m_tag.get() == nullptr) return;
    m_tag->setPlaying(false);
    m_tag->setVideo(FRefT<FVideo>(m_owner->asset(WorldMapNode::k_selectedTagClip)), false);
    m_tag->setLoops(-1);
    m_tag->play(false);
    m_tag->setVisible(true);
    if (m_questIcon.get() == nullptr) return;
    if (m_reminderQuest >= 0 && m_reminderQuest < k_tagTypes)
        m_questIcon->setImage(FRefT<FImage>(m_owner->asset(k_questIcons[m_reminderQuest])), true);
    else
        m_questIcon->setImage(FRefT<FImage>(), false);
    m_questIcon->setVisible(true);
    m_questIcon->bringToFront();
    centerWidgetOnWidget(*m_questIcon, *m_tag);
}

void WorldMapNode::startOpenReveal()
{
    m_opening = true;
    m_owner->centerLeftOfLevel(m_index);
    m_owner->openTimer().start(WorldMapScreen::k_openTimerMs);
    m_owner->playSound(m_owner->asset(k_worldOpenSound));
    m_openReveal = true;
}

void WorldMapNode::startOpenFades()
{
    m_openFading = true;
    for (const FRefT<VideoSprite>& sprite : m_ambientSprites) {
        sprite->setWidgetAlpha(0);
        sprite->setLoops(3);
        sprite->play(false);
        auto fade = std::make_unique<WidgetFadeTween>();
        fade->setSpeed(1.0f);
        fade->target = sprite.get();
        startAlphaFade(*fade, 255, k_fadeMs);
        m_openFades.push_back(std::move(fade));
    }
}

void WorldMapNode::showClosed()
{
    for (const FRefT<VideoSprite>& sprite : m_ambientSprites) {
        sprite->setPlaying(false);
        sprite->setWidgetAlpha(0);
    }
    if (m_lockOverlay.get() != nullptr) m_lockOverlay->setVisible(true);
}

void WorldMapNode::update(int32_t elapsed)
{
    if (m_opening) {
        if (m_nameLabel.get() != nullptr) m_nameLabel->setVisible(true);
        bool oneStopped = false;
        for (const FRefT<VideoSprite>& sprite : m_ambientSprites) {
            sprite->update(elapsed);
            if (!sprite->isPlaying()) oneStopped = true;
        }
        if (oneStopped) {
            for (const FRefT<VideoSprite>& sprite : m_ambientSprites) {
                sprite->setLoops(-1);
                sprite->play(false);
            }
            m_opening = false;
        }
    } else if (m_isActive) {
        if (m_nameLabel.get() != nullptr) {
            if (!m_nameLabel->isVisible() && worldUnlocked())
                m_owner->playSound(m_owner->asset(k_nodeSelectSound));
            m_nameLabel->setVisible(true);
        }
        for (const FRefT<VideoSprite>& sprite : m_ambientSprites) {
            if (sprite->isVisible() && alphaOf(*sprite) != 0 && sprite->isPlaying()) sprite->update(elapsed);
        }
    } else if (m_nameLabel.get() != nullptr) {
        m_nameLabel->setVisible(false);
    }
    updatePhase(m_owner->phase(), elapsed);
}

void WorldMapNode::updatePhase(int32_t phase, int32_t elapsed)
{
    switch (phase) {
    case 0:
        if (m_tag.get() != nullptr && m_tag->isPlaying()) {
            m_tag->setVisible(true);
            m_tag->seekAndShow(m_tag->endFrame());
            m_tag->setPlaying(false);
        }
        break;
    case 2:
        if (m_pieceRevealing) {
            VideoSprite* sparkle = m_owner->revealSparkle();
            if (sparkle != nullptr && sparkle->isPlaying()) sparkle->update(elapsed);
            const bool sparklePlaying = sparkle != nullptr && sparkle->isPlaying();
            if (!m_pieceFading &&
                (sparkle == nullptr || sparkle->currentFrame() > k_sparkleFadeFrame || !sparklePlaying)) {
                startAlphaFade(m_pieceFade, 255, k_fadeMs);
                m_pieceFading = true;
            }
            if (m_pieceFading && m_pieceFade.target != nullptr && alphaOf(*m_pieceFade.target) == 255 &&
                !sparklePlaying) {
                m_pieceFading = false;
                m_pieceRevealing = false;
            }
        }
        if (m_pieceFade.isActive()) m_pieceFade.update(elapsed);
        break;
    case 5:
        if (m_openReveal && m_owner->nodeTweenDone() && !m_openFading) startOpenFades();
        if (m_openReveal && m_openFading) {
            bool allOpaque = true;
            for (const std::unique_ptr<WidgetFadeTween>& fade : m_openFades) {
                if (fade->isActive()) fade->update(elapsed);
                if (fade->target != nullptr && alphaOf(*fade->target) != 255) allOpaque = false;
            }
            if (allOpaque && !m_owner->openTimer().isActive()) {
                m_openFading = false;
                m_openReveal = false;
            }
        }
        break;
    case 6:
        if (m_tag.get() != nullptr && m_tag->isPlaying()) {
            m_tag->setVisible(true);
            if (m_tagAnimating) {
                m_tag->update(elapsed);
            } else {
                m_tag->seekAndShow(m_tag->endFrame());
                m_tag->setPlaying(false);
            }
        }
        break;
    case 7:
        // Only the node phase 7 shows; it has none until the phases exist.
        break;
    default:
        break;
    }
}
