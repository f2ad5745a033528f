#pragma once

#include "core/FRef.h"
#include "graphics/FGeometry.h"
#include "ui/FContainer.h"
#include "ui/FSpringTween.h"

#include <cstdint>
#include <deque>
#include <map>

class FFont;
class FImage;
class FImageWidget;
class FLabel;
class FString;
class GameSession;
class HudEntryHost;
class HudEntryPanel;
class SearchableObject;
class SearchableSprite;

// One entry of a player's HUD panel: a group of items of the current task
// (their pictures or panel text, a caption and a count badge) and the sprites
// that show them on the map. The play field reads whether it is active and
// its rectangle in the panel's space; the panel adds items, moves, slides and
// selects it, and removes it once it completes.
class HudPanelEntry : public FContainer
{
public:
    // Assets and texts of the screen's layouts that the entries show.
    static constexpr int32_t k_cellImage = 933;
    static constexpr int32_t k_characterBackground = 938;
    static constexpr int32_t k_characterSelected = 939;
    static constexpr int32_t k_characterSelector = 940;
    static constexpr int32_t k_highlightImage = 937;
    static constexpr int32_t k_differenceBackground = 930;
    static constexpr int32_t k_pictureSelected = 935;
    static constexpr int32_t k_pictureSelector = 936;
    static constexpr int32_t k_pictureOverlay = 934;
    static constexpr int32_t k_textNormal = 941;
    static constexpr int32_t k_textSelected = 943;
    static constexpr int32_t k_textHighlight = 945;
    static constexpr int32_t k_textOverlay = 942;
    static constexpr int32_t k_textSelector = 944;
    static constexpr int32_t k_photoNormal = 932;
    static constexpr int32_t k_photoSelected = 931;
    // Badges for the counts 2 to 7.
    static constexpr int32_t k_firstBadge = 947;
    static constexpr int32_t k_captionFont = 6664;
    static constexpr int32_t k_textFont = 6668;
    static constexpr int32_t k_smallTextFont = 6667;
    static constexpr int32_t k_differenceCaption = 19;
    static constexpr int32_t k_lastDifferenceCaption = 20;
    static constexpr int32_t k_clickSound = 6635;
    static constexpr int32_t k_revealSound = 974;
    static constexpr int32_t k_firstHintSound = 2326;
    static constexpr int32_t k_refusalSound = 2336;
    static constexpr int32_t k_refusalClip = 2334;
    static constexpr uint32_t k_captionColour = 0xFF178CC4u;
    static constexpr int32_t k_soundLevel = 63;
    static constexpr int32_t k_slideMs = 700;
    static constexpr int32_t k_hideAfterMs = 200;

    HudPanelEntry();
    explicit HudPanelEntry(FContainer* parent);
    ~HudPanelEntry() override;

    // The play field's view.
    bool isActive() const { return m_active; }
    void setRect(const FRectI& rect) { setWidgetRect(rect); }

    void setScreen(HudEntryHost* screen) { m_screen = screen; }
    HudEntryHost* screen() const { return m_screen; }

    void addItem(SearchableObject& item, SearchableSprite& sprite, const FRefT<FImage>& picture,
                 const FRefT<FImage>& alternative, const FRefT<FString>& panelText, int32_t groupKey);
    void update(int32_t elapsedMs);
    void complete(bool speak);
    bool isTextEntry() const;
    // The caption of a special-search task type, or the handle unchanged.
    void captionForTaskType(FRefT<FString>& text, int32_t taskType);
    SearchableSprite* findFindableSprite() const;

    void setSelected(bool on);
    void setHighlighted(bool on);
    // Shows the group's sprites and the entry, or hides both; only while the
    // screen lets the panel fly (with no screen the flag alone changes).
    void setActive(bool on);
    void moveTo(int32_t x, int32_t y);
    void slideBy(int32_t dx);
    void onSlideFinished();
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;
    void revealItem();
    // Clears the selected flag without telling the panel.
    void deselectQuietly();
    // Finishes a running slide at once.
    void finishSlide();

    const std::deque<SearchableObject*>& items() const { return m_items; }
    const std::deque<SearchableSprite*>& sprites() const { return m_sprites; }
    int32_t groupKey() const { return m_groupKey; }
    bool isCompleted() const { return m_completed; }
    bool isFeedbackSent() const { return m_feedbackSent; }
    bool isSelected() const { return m_selected; }
    bool isSliding() const;
    int32_t remaining() const { return m_remaining; }
    int32_t iconShown() const { return m_iconShown; }
    void setIconShown(int32_t shown) { m_iconShown = shown; }
    // The power-up view whose badge sits on this entry (not owned; the view
    // clears the link when it goes).
    FWidget* powerUpView() const { return m_powerUpView; }
    void setPowerUpView(FWidget* view) { m_powerUpView = view; }
    const FRefT<FImage>& selectorImage() const { return m_selectorImage; }
    FLabel* caption() const { return m_caption.get(); }
    FLabel* textLabel() const { return m_textLabel.get(); }
    FImageWidget* background() const { return m_background.get(); }
    FImageWidget* icon() const { return m_icon.get(); }
    FImageWidget* badge() const { return m_badge.get(); }
    FImageWidget* overlay() const { return m_overlay.get(); }
    FImageWidget* highlight() const { return m_highlight.get(); }
    std::size_t pointCount() const { return m_spritePoints.size(); }

private:
    GameSession* session() const;
    int32_t currentTaskType() const;
    bool normalDifficulty() const;
    HudEntryPanel* panel() const;
    int32_t firstPlayer() const;
    void playSound(const FRef& sound) const;
    FRefT<FImage> image(int32_t assetId) const;
    void buildCaption(int32_t width, int32_t height);
    // Shows the normal background and keeps the images of the selection
    // states (an overlay id below 0 keeps none).
    void keepImages(int32_t normal, int32_t selected, int32_t highlight, int32_t overlay, int32_t selector);
    void keepCharacterImages();
    void layOutCharacter(SearchableSprite& sprite, const FRefT<FImage>& picture, int32_t cell);
    void layOutDifference(SearchableSprite& sprite, int32_t cell);
    void layOutPicture(SearchableObject& item, SearchableSprite& sprite, const FRefT<FImage>& picture,
                       const FRefT<FImage>& alternative, const FRefT<FString>& panelText, int32_t cell);
    void rebuildBadge(int32_t cell);
    void clickThroughPoints();
    FRefT<FImageWidget> newImage();

    FRefT<FImage> m_selectorImage;
    FSpringTween m_slideTween{this};
    HudEntryHost* m_screen = nullptr;
    FRefT<FImageWidget> m_background;
    FRefT<FImageWidget> m_icon;
    FRefT<FImageWidget> m_badge;
    FRefT<FImageWidget> m_photoBacking;
    FRefT<FImageWidget> m_overlay;
    FRefT<FLabel> m_textLabel;
    std::map<SearchableSprite*, FPointI> m_spritePoints;
    std::map<SearchableSprite*, FPointI>::iterator m_pointCursor;
    std::deque<SearchableObject*> m_items;
    std::deque<SearchableSprite*> m_sprites;
    bool m_completed = false;
    int32_t m_iconShown = 1;
    FRefT<FImage> m_itemImage;
    int32_t m_groupKey = 0;
    int32_t m_remaining = 0;
    int32_t m_completedMs = 0;
    FWidget* m_powerUpView = nullptr;
    bool m_feedbackSent = false;
    FRefT<FLabel> m_caption;
    FRefT<FString> m_captionText;
    bool m_active = false;
    FRefT<FImage> m_normalBackground;
    FRefT<FImage> m_selectedBackground;
    FRefT<FImage> m_highlightImage;
    FRefT<FImage> m_overlayImage;
    FRefT<FImageWidget> m_highlight;
    bool m_selected = false;
    bool m_badgeDirty = false;
};

// Spends one of the level's hints on the entry; false for a completed entry
// or when no hint was left.
bool storyHudHandleEntryEvent(HudPanelEntry& entry);
