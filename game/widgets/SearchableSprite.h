#pragma once

#include "core/FRef.h"
#include "game/core/StateListeners.h"
#include "game/core/StoryEvent.h"
#include "ui/FImageWidget.h"

#include <cstdint>

class FString;
class GameSession;
class HudPanelEntry;
class PlayFieldServices;
class SearchableObject;
class SearchableSpriteHost;

// A hidden item of a level on the map: the item's picture (a layer as large
// as the scene), hit by the alpha of its pixels. A short click (300 ms of
// frame time at most) on an item in play finds it and hands the find to the
// gameplay screen or to the map view; the sprite then follows its item's
// state through a state listener: hidden while waiting, shown in play, its
// bling companion shown once found. It never changes the item's state itself.
class SearchableSprite : public FImageWidget
{
public:
    using StateListener = StateListeners<SearchableObject>;

    // The longest press, in frame time, that still counts as a click.
    static constexpr int32_t k_clickMs = 300;
    static constexpr int32_t k_foundStoryEvent = k_eventFoundAnimationEnded;
    static constexpr int32_t k_soundVolume = 63;

    SearchableSprite(FContainer* parent, bool addToParent = true);
    ~SearchableSprite() override;

    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;

    // Counts the press time while pressed; the screen calls it every frame.
    virtual void update(int32_t elapsedMs);
    // Once, after the item, the pictures and the texts are set.
    virtual void prepare();
    // The state listener's work: follows the item's state.
    void onStateEvent(SearchableObject& item);

    // Each replaces its handle (the same handle again changes nothing).
    void setKindResource(const FRefT<FImage>& image) { m_panelImage = image; }
    void setKindEffect(const FRefT<FImage>& image) { m_foundImage = image; }
    void setPanelText(const FRefT<FString>& text) { m_panelText = text; }
    FRefT<FImage> getKindEffect() const { return m_foundImage; }
    const FRefT<FImage>& panelImage() const { return m_panelImage; }
    const FRefT<FString>& panelText() const { return m_panelText; }

    // The listener the creator registers among the item's listeners.
    const FRef& stateListener() const { return m_stateListener; }
    // A handle that reads this sprite while it lives and null once it is
    // gone: for holders that outlast a find without owning the sprite.
    FRefT<SearchableSprite> weakHandle() const { return FRefT<SearchableSprite>(m_weakSelf); }
    SearchableObject* item() const { return m_item; }
    void setItem(SearchableObject* item) { m_item = item; }
    HudPanelEntry* panelEntry() const { return m_panelEntry; }
    int32_t pressTime() const { return m_pressTime; }
    bool isPressing() const { return m_pressing; }
    bool isHintItem() const { return m_hintItem; }
    const FRectI& hintRect() const { return m_hintRect; }
    void setHintRect(const FRectI& rect) { m_hintRect = rect; }
    int32_t count() const { return m_count; }
    void setCount(int32_t count) { m_count = count; }
    int32_t entryMode() const { return m_entryMode; }
    void setEntryMode(int32_t mode) { m_entryMode = mode; }
    FImageWidget* bling() const { return m_bling.get(); }
    bool isFound() const { return m_found; }
    bool isLocked() const { return m_locked; }
    void setLocked(bool locked) { m_locked = locked; }
    // The item's rectangle on the map (its picture's stored part).
    FRectI mapRect() const;

protected:
    SearchableSpriteHost* host();
    static GameSession* session();
    static PlayFieldServices* services();
    void setHintItem(bool hint) { m_hintItem = hint; }
    void countPressTime(int32_t elapsedMs);

private:
    // The press and release gates shared by both: the item in play, the
    // game running and no blocking power-up in the other player's slot.
    bool acceptsPointer() const;
    bool otherSlotBlocks() const;
    // The click found the item: tells whoever handles the find.
    void takeFind();

    FRef m_stateListener;
    FRef m_weakSelf;
    SearchableObject* m_item = nullptr;
    HudPanelEntry* m_panelEntry = nullptr;
    int32_t m_pressTime = 0;
    bool m_pressing = false;
    FPointI m_pressPoint;
    bool m_hintItem = false;
    FRectI m_hintRect;
    int32_t m_count = 0;
    int32_t m_entryMode = 0;
    FRefT<FImage> m_panelImage;
    FRefT<FImage> m_secondPanelImage;
    FRefT<FImage> m_foundImage;
    FRefT<FString> m_panelText;
    FRefT<FImageWidget> m_bling;
    bool m_found = false;
    bool m_locked = false;
};
