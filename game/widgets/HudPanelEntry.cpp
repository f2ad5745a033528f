#include "game/widgets/HudPanelEntry.h"

#include "core/FMemory.h"
#include "core/FString.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSession.h"
#include "game/core/HintCounter.h"
#include "game/core/SearchListGenerator.h"
#include "game/core/SearchableObject.h"
#include "game/widgets/HudEntryHost.h"
#include "game/widgets/HudEntryPanel.h"
#include "game/widgets/MapView.h"
#include "game/widgets/PlayFieldServices.h"
#include "game/widgets/QueuedVideoSprite.h"
#include "game/widgets/SearchableSprite.h"
#include "image/FImage.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"

#include <cmath>
#include <string>

namespace {

// Task types by the layout their entries take.
bool hudEntryUsesCharacterLayout(int32_t taskType)
{
    return (taskType >= 0 && taskType <= 4) || taskType == 7;
}

bool hudEntryUsesPictureLayout(int32_t taskType)
{
    return taskType == 5 || taskType == 6 || taskType == 8 || (taskType >= 12 && taskType <= 14);
}

constexpr int32_t k_hudDifferenceTask = 9;
constexpr int32_t k_hudSilhouetteTask = 6;
constexpr int32_t k_hudPhotographTask = 8;
constexpr int32_t k_hudWideIconTask = 0;
constexpr int32_t k_hudShiftedIconTask = 7;
constexpr int32_t k_hudWideIconWorld = 11;
constexpr int32_t k_hudTextItemType = 2;
constexpr int32_t k_hudTextSpriteKind = 1;
// 0.9 in single precision: a label 100 pixels wide becomes 89.
constexpr double k_hudTextLabelShare = 0.8999999761581421;
constexpr float k_hudTextLineSpacing = 0.75f;
const char* const k_hudNumDiff = "<NumDiff>";

// Captions of the special-search task types 0, 1, 2, 3, 4 and 7.
int32_t hudEntryCaptionText(int32_t taskType)
{
    switch (taskType) {
    case 0:
        return 5;
    case 1:
        return 7;
    case 2:
        return 6;
    case 3:
        return 8;
    case 4:
        return 3;
    case 7:
        return 4;
    default:
        return -1;
    }
}

bool hudItemDone(const SearchableObject* item)
{
    return item->state() == SearchableObject::k_stateMarked ||
           item->state() == SearchableObject::k_stateFound;
}

void hudSetAlphaByte(FImageWidget& widget, uint8_t alpha)
{
    widget.setWidgetColour((widget.colour() & 0x00FFFFFFu) | (uint32_t(alpha) << 24));
}

} // namespace

HudPanelEntry::HudPanelEntry() : m_pointCursor(m_spritePoints.end()) {}

HudPanelEntry::HudPanelEntry(FContainer* parent)
    : FContainer(parent, true), m_pointCursor(m_spritePoints.end())
{
}

HudPanelEntry::~HudPanelEntry()
{
    m_slideTween.setActive(false);
    m_spritePoints.clear();
    m_items.clear();
    m_sprites.clear();
}

GameSession* HudPanelEntry::session() const
{
    PlayFieldServices* play = PlayFieldServices::instance();
    return play != nullptr ? play->gameSession() : nullptr;
}

int32_t HudPanelEntry::currentTaskType() const
{
    GameSession* current = session();
    if (current == nullptr || (m_screen != nullptr && m_screen->isAlternateMode())) return 6;
    return current->getCurrentTaskType();
}

bool HudPanelEntry::normalDifficulty() const
{
    GameSession* current = session();
    return current == nullptr || current->isNormalDifficulty();
}

int32_t HudPanelEntry::firstPlayer() const
{
    return m_items.empty() ? 0 : m_items.front()->player();
}

HudEntryPanel* HudPanelEntry::panel() const
{
    return m_screen != nullptr ? m_screen->getPlayerPanel(firstPlayer()) : nullptr;
}

void HudPanelEntry::playSound(const FRef& sound) const
{
    if (PlayFieldServices* play = PlayFieldServices::instance()) play->playSound(sound, k_soundLevel);
}

FRefT<FImage> HudPanelEntry::image(int32_t assetId) const
{
    return m_screen != nullptr ? m_screen->hudImage(assetId) : FRefT<FImage>();
}

FRefT<FImageWidget> HudPanelEntry::newImage()
{
    return makeRef(engineNew<FImageWidget>(k_memObject, this, true));
}

bool HudPanelEntry::isTextEntry() const
{
    return !m_items.empty() && m_items.front()->type() == k_hudTextItemType;
}

bool HudPanelEntry::isSliding() const
{
    return m_slideTween.isActive();
}

void HudPanelEntry::captionForTaskType(FRefT<FString>& text, int32_t taskType)
{
    const int32_t id = hudEntryCaptionText(taskType);
    if (id >= 0 && m_screen != nullptr) text = m_screen->hudText(id);
}

SearchableSprite* HudPanelEntry::findFindableSprite() const
{
    for (SearchableSprite* sprite : m_sprites) {
        if (sprite->item() != nullptr && sprite->item()->state() == SearchableObject::k_stateListed)
            return sprite;
    }
    return nullptr;
}

void HudPanelEntry::buildCaption(int32_t width, int32_t height)
{
    m_caption = makeRef(engineNew<FLabel>(k_memObject, this, true));
    m_caption->setWidgetRect({0, 0, width, height});
    m_caption->setOrigin(width / 2, height / 2);
    m_caption->setVerticalAlignment(2);
    m_caption->setHorizontalAlignment(2);
    if (m_screen != nullptr) m_caption->setFont(m_screen->hudFont(k_captionFont));
    m_caption->setColor(k_captionColour);
    if (m_captionText.get() != nullptr) m_caption->setText(*m_captionText);
}

void HudPanelEntry::keepImages(int32_t normal, int32_t selected, int32_t highlight, int32_t overlay,
                               int32_t selector)
{
    m_normalBackground = image(normal);
    m_background->setImage(m_normalBackground, true);
    m_selectedBackground = image(selected);
    m_highlightImage = image(highlight);
    m_overlayImage = overlay >= 0 ? image(overlay) : FRefT<FImage>();
    m_selectorImage = image(selector);
}

void HudPanelEntry::keepCharacterImages()
{
    keepImages(k_characterBackground, k_characterSelected, k_highlightImage, -1, k_characterSelector);
}

void HudPanelEntry::layOutCharacter(SearchableSprite& sprite, const FRefT<FImage>& picture, int32_t cell)
{
    const int32_t taskType = currentTaskType();
    const int32_t panelWidth = parent() != nullptr ? parent()->width() : 0;
    setWidgetSize(panelWidth, cell);
    keepCharacterImages();
    m_background->setWidgetSize(width(), height());
    m_sprites.push_back(&sprite);
    m_icon = newImage();
    m_icon->setWidgetPosition(0, 0);
    if (picture.get() == nullptr) {
        m_icon->setImage(m_sprites.back()->getImage(), true);
    } else {
        m_icon->setImage(picture, true);
        if (taskType == k_hudShiftedIconTask) {
            const int32_t w = m_icon->width();
            m_icon->moveWidgetBy(w / -28, w / 42);
        }
        GameSession* current = session();
        if (taskType == k_hudWideIconTask && current != nullptr &&
            current->currentWorldIndex() == k_hudWideIconWorld)
            m_icon->setWidgetSize(width(), cell);
        else
            m_icon->setWidgetSize(cell, cell);
    }
    captionForTaskType(m_captionText, taskType);
    buildCaption(width(), height());
}

void HudPanelEntry::layOutDifference(SearchableSprite& sprite, int32_t cell)
{
    const int32_t panelWidth = parent() != nullptr ? parent()->width() : 0;
    setWidgetSize(panelWidth, cell);
    m_background->setImage(image(k_differenceBackground), true);
    m_normalBackground = image(k_characterBackground);
    m_background->setWidgetSize(width(), height());
    m_sprites.push_back(&sprite);
    if (m_screen != nullptr) m_captionText = m_screen->hudText(k_differenceCaption);
    buildCaption(width(), height());
}

void HudPanelEntry::layOutPicture(SearchableObject& item, SearchableSprite& sprite,
                                  const FRefT<FImage>& picture, const FRefT<FImage>& alternative,
                                  const FRefT<FString>& panelText, int32_t cell)
{
    const int32_t taskType = currentTaskType();
    const bool bonus = item.isInterruptItem();
    m_sprites.push_back(&sprite);
    m_icon = newImage();
    m_icon->setWidgetPosition(0, 0);
    if (taskType == k_hudSilhouetteTask && !bonus && normalDifficulty() && !isTextEntry())
        m_icon->setWidgetColour(0xFF000000u);
    if (m_sprites.size() > 1) m_icon->setWidgetColour(0xFFFFFFFFu);
    const FRefT<FImage>& shown = picture.get() != nullptr ? picture : m_sprites.back()->getImage();
    if (bonus) {
        captionForTaskType(m_captionText, 4);
        FWidget* playerPanel = parent();
        buildCaption(playerPanel != nullptr ? playerPanel->width() : cell,
                     playerPanel != nullptr ? playerPanel->height() : cell);
        setWidgetSize(playerPanel != nullptr ? playerPanel->width() : cell, cell);
        keepCharacterImages();
        m_background->setWidgetSize(width(), height());
        m_iconShown = 1;
        m_icon->setImage(shown, true);
        m_icon->setWidgetPosition(0, 0);
        m_icon->setWidgetSize(cell, cell);
    } else if (isTextEntry()) {
        m_itemImage = picture;
        keepImages(k_textNormal, k_textSelected, k_textHighlight, k_textOverlay, k_textSelector);
        setWidgetSize(m_normalBackground.get() != nullptr ? m_normalBackground->width() : cell, cell);
        m_background->setWidgetSize(width(), height());
        m_iconShown = 0;
        if (panelText.get() != nullptr) {
            m_textLabel = makeRef(engineNew<FLabel>(k_memObject, this, true));
            const int32_t w = static_cast<int32_t>(width() * k_hudTextLabelShare);
            const int32_t h = static_cast<int32_t>(height() * k_hudTextLabelShare);
            const int32_t x = static_cast<int32_t>(width() * 0.1);
            const int32_t y = static_cast<int32_t>(height() * 0.1);
            m_textLabel->setWidgetRect({x, y, x + w, y + h});
            m_textLabel->setVerticalAlignment(2);
            m_textLabel->setHorizontalAlignment(2);
            m_textLabel->enableWordWrap();
            if (m_screen != nullptr) m_textLabel->setFont(m_screen->hudFont(k_textFont));
            m_textLabel->setLineSpacing(k_hudTextLineSpacing);
            m_textLabel->setText(*panelText);
            m_textLabel->setColor(0xFF000000u);
            const FPointI measured = m_textLabel->measureText();
            if ((measured.x > w || measured.y > h) && m_screen != nullptr)
                m_textLabel->setFont(m_screen->hudFont(k_smallTextFont));
            m_textLabel->bringToFront();
            m_icon->setImage(FRefT<FImage>(), false);
        } else if (alternative.get() != nullptr) {
            m_icon->setImage(alternative, true);
        } else {
            m_icon->setImage(shown, true);
        }
        if (!normalDifficulty()) {
            m_iconShown = 1;
            revealItem();
        }
    } else {
        keepImages(k_cellImage, k_pictureSelected, k_highlightImage, k_pictureOverlay, k_pictureSelector);
        setWidgetSize(cell, cell);
        m_background->setWidgetSize(cell, cell);
        m_iconShown = 1;
        m_icon->setImage(shown, true);
    }
    if (!bonus) m_icon->setWidgetSize(width(), height());
    m_badge = newImage();
    m_badge->setWidgetSize(cell, cell);
    m_badge->bringToFront();
    if (taskType == k_hudPhotographTask && !bonus) {
        m_normalBackground = image(k_photoNormal);
        m_selectedBackground = image(k_photoSelected);
        m_icon->placeBelow(*m_background);
        m_photoBacking = newImage();
        m_photoBacking->setImage(image(k_cellImage), true);
        m_photoBacking->placeBelow(*m_icon);
    }
}

void HudPanelEntry::addItem(SearchableObject& item, SearchableSprite& sprite, const FRefT<FImage>& picture,
                            const FRefT<FImage>& alternative, const FRefT<FString>& panelText,
                            int32_t groupKey)
{
    if (m_screen == nullptr) return;
    m_items.push_back(&item);
    m_badgeDirty = true;
    m_groupKey = groupKey;
    m_background = newImage();
    m_background->setWidgetPosition(0, 0);
    const FRefT<FImage> cellImage = image(k_cellImage);
    const int32_t cell = cellImage.get() != nullptr ? cellImage->width() : 0;
    const int32_t taskType = currentTaskType();
    if (hudEntryUsesCharacterLayout(taskType))
        layOutCharacter(sprite, picture, cell);
    else if (taskType == k_hudDifferenceTask)
        layOutDifference(sprite, cell);
    else if (hudEntryUsesPictureLayout(taskType))
        layOutPicture(item, sprite, picture, alternative, panelText, cell);
    m_overlay = newImage();
    m_overlay->setWidgetPosition(0, 0);
    m_overlay->setVisible(true);
    if (taskType != k_hudPhotographTask) m_overlay->setImage(m_overlayImage, false);
    m_overlay->setWidgetSize(m_background->width(), m_background->height());
    m_overlay->setHitTestDisabled(true);
    m_background->setHitTestDisabled(false);
    if (m_icon.get() != nullptr) m_icon->setHitTestDisabled(true);
    if (m_badge.get() != nullptr) m_badge->setHitTestDisabled(true);
    m_spritePoints.emplace(&sprite, FPointI{-1, -1});
    m_pointCursor = m_spritePoints.begin();
    // An item listed for a player (index 0 or 1) is in play at once; one that
    // no player owns waits for the story to activate its entry.
    const int32_t owner = m_items.front()->player();
    setActive(owner == 0 || owner == 1);
}

void HudPanelEntry::rebuildBadge(int32_t cell)
{
    if (m_remaining == 1) {
        m_badge->setImage(FRefT<FImage>(), false);
        m_badge->setVisible(false);
    } else if (m_remaining >= 2 && m_remaining <= 6) {
        m_badge->setImage(image(k_firstBadge + m_remaining - 2), false);
        m_badge->setWidgetRect({0, 0, cell, cell});
        m_badge->setVisible(true);
    } else if (m_remaining == 7) {
        m_badge->setImage(image(k_firstBadge + 5), true);
        m_badge->setWidgetPosition(0, 0);
        m_badge->setVisible(true);
    }
}

void HudPanelEntry::update(int32_t elapsedMs)
{
    int32_t done = 0;
    bool markedWithoutFind = false;
    for (const SearchableObject* item : m_items) {
        if (hudItemDone(item)) ++done;
        if (item->state() == SearchableObject::k_stateMarked) markedWithoutFind = true;
    }
    const int32_t remaining = static_cast<int32_t>(m_items.size()) - done;
    const bool dropped = remaining < m_remaining;
    if (dropped) {
        const SearchableObject* first = m_items.front();
        const int32_t character = first->character();
        if (!markedWithoutFind && !m_feedbackSent && (character < 1 || character > 4) &&
            !first->isInterruptItem()) {
            m_feedbackSent = true;
            if (m_screen != nullptr) m_screen->sendTimerParticles(getAbsolutePosition(), character);
        }
        m_pointCursor = m_spritePoints.begin();
        setHighlighted(false);
        if (remaining > 0 && m_selected && m_screen != nullptr)
            m_screen->setHintTarget(findFindableSprite(), 0);
    }
    m_remaining = remaining;
    if (currentTaskType() == k_hudDifferenceTask && m_caption.get() != nullptr) {
        if (m_remaining == 1 && m_screen != nullptr) {
            const FRefT<FString> last = m_screen->hudText(k_lastDifferenceCaption);
            if (last.get() != nullptr) m_caption->setText(*last);
        } else if (m_captionText.get() != nullptr) {
            std::string text = m_captionText->toUtf8();
            const std::size_t at = text.find(k_hudNumDiff);
            if (at != std::string::npos) {
                text.replace(at, std::string(k_hudNumDiff).size(), std::to_string(m_remaining));
                m_caption->setText(FString(text.c_str()));
            }
        }
    }
    bool rebuilt = false;
    if (m_badge.get() != nullptr && (m_badgeDirty || dropped)) {
        m_badgeDirty = false;
        rebuilt = true;
        const FRefT<FImage> cellImage = image(k_cellImage);
        rebuildBadge(cellImage.get() != nullptr ? cellImage->width() : 0);
    }
    if ((!rebuilt && m_remaining <= 0) || (rebuilt && m_remaining == 0)) complete(!markedWithoutFind);
    if (m_completed) {
        m_completedMs += elapsedMs;
        if (m_completedMs >= k_hideAfterMs) setVisible(false);
    }
    if (m_slideTween.isActive()) {
        m_slideTween.update(elapsedMs);
        if (HudEntryPanel* own = panel()) own->placeMarker();
    }
}

void HudPanelEntry::complete(bool speak)
{
    m_completedMs = 0;
    m_completed = true;
    if (HudEntryPanel* own = panel()) own->requestRelayout();
    const int32_t taskType = currentTaskType();
    if (taskType >= 0 && taskType <= 5) return;
    // A photograph entry has no found line of its own; like the others it
    // takes one of Starmantle's (the story's name map holds texts, not
    // samples). An empty set plays nothing.
    if (m_screen == nullptr) return;
    const int32_t count = m_screen->foundLineCount();
    if (count <= 0) return;
    const FRef line = m_screen->foundLine(GameRandom::rand() % count);
    if (speak) m_screen->playVoiceLine(line);
}

void HudPanelEntry::setSelected(bool on)
{
    m_selected = on;
    if (m_overlay.get() != nullptr) m_overlay->setVisible(!on);
    if (m_background.get() != nullptr)
        m_background->setImage(on ? m_selectedBackground : m_normalBackground, true);
    if (on) {
        if (HudEntryPanel* own = panel()) own->selectEntry(this);
    }
}

void HudPanelEntry::deselectQuietly()
{
    m_selected = false;
    if (m_overlay.get() != nullptr) m_overlay->setVisible(true);
    if (m_background.get() != nullptr) m_background->setImage(m_normalBackground, true);
}

void HudPanelEntry::setHighlighted(bool on)
{
    if (!on) {
        m_highlight = FRefT<FImageWidget>();
        return;
    }
    if (m_highlightImage.get() != nullptr) {
        m_highlight = newImage();
        m_highlight->setImage(m_highlightImage, true);
        const bool character = m_screen != nullptr &&
                               m_selectedBackground.get() == m_screen->hudImage(k_characterSelected).get();
        const FRefT<FImage> cellImage = image(k_cellImage);
        const int32_t w = character && cellImage.get() != nullptr ? cellImage->width() : width();
        m_highlight->setWidgetSize(w, height());
    }
    if (m_icon.get() != nullptr) m_icon->setWidgetColour(0xFFFFFFFFu);
    requestRedraw();
}

void HudPanelEntry::setActive(bool on)
{
    if (m_screen == nullptr) {
        m_active = on;
        return;
    }
    if (!m_screen->needsActiveEntry()) return;
    m_active = on;
    for (SearchableSprite* sprite : m_sprites) {
        sprite->setHitTestDisabled(!on);
        hudSetAlphaByte(*sprite, on ? 0xFF : 0x00);
        requestRedraw();
    }
    setVisible(on);
}

void HudPanelEntry::moveTo(int32_t x, int32_t y)
{
    setWidgetPosition(x, y);
    requestRedraw();
    onMoved();
    if (m_selected) {
        if (HudEntryPanel* own = panel()) own->selectEntry(this);
    }
}

void HudPanelEntry::finishSlide()
{
    if (m_slideTween.isActive()) m_slideTween.finish();
}

void HudPanelEntry::slideBy(int32_t dx)
{
    finishSlide();
    const FRectI& r = rect();
    m_slideTween.start({r.left - dx, r.top}, k_slideMs);
    FTween::Completion* done = makeMemberDelegate(this, &HudPanelEntry::onSlideFinished);
    m_slideTween.setCompletion(done);
    engineFree(done);
}

void HudPanelEntry::onSlideFinished()
{
    if (HudEntryPanel* own = panel()) own->refreshSelection();
}

void HudPanelEntry::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    FContainer::onPointerDown(pointer, button, point);
}

void HudPanelEntry::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    FContainer::onPointerUp(pointer, button, point);
    if (m_screen == nullptr) return;
    playSound(m_screen->hudSound(k_clickSound));
    const int32_t player = firstPlayer();
    if (m_screen->needsActiveEntry()) {
        if (m_screen->isInterruptRunning()) return;
        if (SearchableSprite* sprite = findFindableSprite()) m_screen->setHintTarget(sprite, player);
        return;
    }
    HudEntryPanel* own = m_screen->getPlayerPanel(player);
    if (own == nullptr || own->dragState() != 1) return;
    clickThroughPoints();
}

void HudPanelEntry::clickThroughPoints()
{
    const int32_t player = firstPlayer();
    FRefT<MapView> map = m_screen->getMapView(player);
    if (map.get() == nullptr) return;
    if (map->zoomLevels().size() > 2) map->setZoom(map->zoomLevels()[2]);
    // A removal below can empty the map; a click then has nothing to show.
    if (m_spritePoints.empty()) return;
    if (m_pointCursor == m_spritePoints.end()) m_pointCursor = m_spritePoints.begin();
    auto findable = [](SearchableSprite* sprite) {
        return sprite->item() != nullptr && sprite->item()->state() == SearchableObject::k_stateListed;
    };
    bool checkFindable = true;
    if (!findable(m_pointCursor->first)) {
        m_spritePoints.erase(m_pointCursor);
        m_pointCursor = m_spritePoints.begin();
        if (m_spritePoints.empty()) return;
        checkFindable = false;
    }
    FPointI& point = m_pointCursor->second;
    if (point.x == -1 && point.y == -1 && (!checkFindable || findable(m_pointCursor->first))) {
        point = map->spriteScreenPoint(m_pointCursor->first);
    } else if (!map->isAutoScrolling()) {
        map->cancelDrag();
        if (PlayFieldServices* play = PlayFieldServices::instance()) play->setDefaultCursor(player);
        map->autoScrollTo(false, point.x, point.y);
    }
    ++m_pointCursor;
    if (m_pointCursor == m_spritePoints.end()) m_pointCursor = m_spritePoints.begin();
}

void HudPanelEntry::revealItem()
{
    if (m_textLabel.get() != nullptr) m_textLabel->setVisible(false);
    if (m_screen != nullptr) {
        const FPointI at = getAbsolutePosition();
        // The feedback carries the character of the entry's first item, as
        // the found update sends it.
        const int32_t character = m_items.empty() ? 0 : m_items.front()->character();
        m_screen->sendTimerParticles({at.x + width() / 2, at.y + height() / 2}, character);
    }
    if (m_icon.get() != nullptr) {
        m_icon->setImage(m_itemImage, true);
        m_icon->setWidgetSize(width(), height());
    }
    if (m_screen != nullptr) playSound(m_screen->hudSound(k_revealSound));
}

bool storyHudHandleEntryEvent(HudPanelEntry& entry)
{
    if (entry.isCompleted()) return false;
    HudEntryHost* screen = entry.screen();
    if (screen == nullptr) return false;
    SearchableSprite* findable = entry.findFindableSprite();
    FRefT<MapView> map = screen->getMapView(0);
    if (map.get() != nullptr && (map->pendingSprite() != nullptr || map->isThrowEffectRunning())) return true;
    PlayFieldServices* play = PlayFieldServices::instance();
    GameSession* session = play != nullptr ? play->gameSession() : nullptr;
    SearchListGenerator* generator = session != nullptr ? session->getSearchListGenerator().get() : nullptr;
    bool taken = false;
    if (generator != nullptr && generator->hintCounter().hints >= 1) {
        --generator->hintCounter().hints;
        taken = true;
    }
    if (!taken) {
        if (play != nullptr)
            play->playSound(screen->hudSound(HudPanelEntry::k_refusalSound), HudPanelEntry::k_soundLevel);
        if (QueuedVideoSprite* cursor = screen->getCursorSprite()) {
            cursor->queueClip(screen->hudClip(HudPanelEntry::k_refusalClip), false, true);
        }
        return false;
    }
    if (play != nullptr) {
        const int32_t which = GameRandom::rand() % 3;
        play->playSound(screen->hudSound(HudPanelEntry::k_firstHintSound + which),
                        HudPanelEntry::k_soundLevel);
    }
    const std::deque<SearchableSprite*>& sprites = entry.sprites();
    if (!sprites.empty() && sprites.front()->item() != nullptr && sprites.front()->item()->kind() == 1 &&
        entry.iconShown() == 0) {
        entry.setIconShown(1);
        entry.revealItem();
        return true;
    }
    if (findable != nullptr) {
        screen->setHintCursorMode(true);
        if (map.get() != nullptr) map->setPendingSprite(findable);
        entry.setHighlighted(true);
    }
    return true;
}
