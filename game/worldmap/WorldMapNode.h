#pragma once

#include "core/FRef.h"
#include "graphics/FGeometry.h"
#include "ui/FadeTween.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class FImageWidget;
class FLabel;
class FWidget;
class VideoSprite;
class WorldMapScreen;

// One world on the world map: its place (origin of the ambient sprites, tag
// point, box), its widgets (tag, quest icon, name label, lock, map pieces,
// ambient sprites) and the animations that open it, reveal a piece and
// play its quest tag. The screen builds twelve at each visit and updates
// them every frame.
class WorldMapNode
{
public:
    // Frames a second of the ambient clips and of the tag animation.
    static constexpr int32_t k_ambientFps = 12;
    static constexpr int32_t k_tagFps = 24;
    // The revealed piece and a newly opened world fade in over this long.
    static constexpr int32_t k_fadeMs = 1411;
    // The piece starts fading in once the sparkle has passed this frame.
    static constexpr int32_t k_sparkleFadeFrame = 14;
    // Quest types with a tag clip: 0..3; 4 and 5 have none.
    static constexpr int32_t k_tagTypes = 4;
    // The clip a tag plays while its world is the selected one.
    static constexpr int32_t k_selectedTagClip = 0x10B6;

    explicit WorldMapNode(WorldMapScreen* owner);
    ~WorldMapNode();
    WorldMapNode(const WorldMapNode&) = delete;
    WorldMapNode& operator=(const WorldMapNode&) = delete;

    void update(int32_t elapsed);

    // The piece a finished quest of that type shows, or null.
    FWidget* pickMapPiece(int32_t questType);
    bool revealMapPiece(FWidget* piece);
    void hideMapPieces();

    void setTag(int32_t questType);
    void playTagAnimation(int32_t questType);
    void onTagAnimationFinished(VideoSprite& sprite);
    void showSelectedTag();

    void startOpenReveal();
    void startOpenFades();
    void showClosed();

    bool containsPoint(int32_t x, int32_t y) const
    {
        return m_box.left <= x && x < m_box.right && m_box.top <= y && y < m_box.bottom;
    }
    FPointI boxCentre() const
    {
        return {m_box.left + (m_box.right - m_box.left) / 2, m_box.top + (m_box.bottom - m_box.top) / 2};
    }

    WorldMapScreen* owner() const { return m_owner; }

    bool m_hasQuestReminder = false;
    int32_t m_reminderQuest = 0;
    int32_t m_index = 0;
    FPointI m_origin{0, 0};
    FPointI m_tagPoint{0, 0};
    FRectI m_box{0, 0, 0, 0};
    FRefT<FWidget> m_lockOverlay;
    FRefT<FLabel> m_nameLabel;
    FRefT<FImageWidget> m_questIcon;
    FRefT<VideoSprite> m_tag;
    std::vector<FRefT<FWidget>> m_mapPieces;
    FWidget* m_anchorSprite = nullptr;
    bool m_opening = false;
    bool m_isActive = false;
    bool m_openReveal = false;
    bool m_openFading = false;
    bool m_pieceRevealing = false;
    bool m_pieceFading = false;
    bool m_tagAnimating = false;
    // Held by pointer: a fade holds its completion, which cannot be copied.
    std::deque<std::unique_ptr<WidgetFadeTween>> m_openFades;
    WidgetFadeTween m_pieceFade;
    std::deque<FRefT<VideoSprite>> m_ambientSprites;

private:
    void updatePhase(int32_t phase, int32_t elapsed);
    bool worldUnlocked() const;

    WorldMapScreen* m_owner;
};
