#include "game/widgets/SearchableSprite.h"
#include "game/core/PowerUpKind.h"
#include "game/core/TaskType.h"

#include "core/FDelegate.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSession.h"
#include "game/core/SearchableObject.h"
#include "game/widgets/HudEntryPanel.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/ImageRectFlipped.h"
#include "game/widgets/MapView.h"
#include "game/widgets/PlayFieldServices.h"
#include "game/widgets/SearchableSpriteHost.h"
#include "ui/FContainer.h"
#include "ui/FScreen.h"

namespace {

// The power-up kinds the sprite knows: one that lasts until the next find,
// and one that covers the other player's items.
constexpr int32_t k_untilNextFindPowerUp = k_powerUpThrow;
constexpr int32_t k_coverPowerUp = k_powerUpCover;
// The owner of an item that has no panel entry.
constexpr int32_t k_ownerWithoutEntry = 2;
// Task types whose finds the screen's found effect (or, for 4, its staged
// sequence) takes over.
constexpr int32_t k_lastScreenHandledTask = k_taskFindZibboSecondForm;
constexpr int32_t k_stagedFoundTask = k_taskFindDrabb;
constexpr int32_t k_lostPhotoTask = k_taskFindPhotographs;
constexpr int32_t k_hiddenOnFoundTask = k_taskSpotDifferences;

bool isPlayerSlot(int32_t player)
{
    return player >= 0 && player < GameSession::k_slotCount;
}

} // namespace

SearchableSprite::SearchableSprite(FContainer* parent, bool addToParent) : FImageWidget(parent, addToParent)
{
    auto* callback = makeMemberDelegate(this, &SearchableSprite::onStateEvent);
    m_stateListener = StateListener::makeListener(callback);
    engineFree(callback);
    // Owns nothing: the handle only tells whether the sprite still lives.
    m_weakSelf = makeHolderRef(this, nullptr);
    if (parent != nullptr) m_bling = makeRef(engineNew<FImageWidget>(k_memObject, parent, true));
}

SearchableSprite::~SearchableSprite()
{
    // Later notifications of the item must reach nothing.
    FRef::destroyTarget(m_stateListener);
    m_weakSelf.setTarget(nullptr);
}

SearchableSpriteHost* SearchableSprite::host()
{
    return dynamic_cast<SearchableSpriteHost*>(getScreen());
}

PlayFieldServices* SearchableSprite::services()
{
    return PlayFieldServices::instance();
}

GameSession* SearchableSprite::session()
{
    PlayFieldServices* play = services();
    return play != nullptr ? play->gameSession() : nullptr;
}

FRectI SearchableSprite::mapRect() const
{
    return getImageRectFlipped(getImage().get());
}

bool SearchableSprite::otherSlotBlocks() const
{
    GameSession* current = session();
    if (current == nullptr || m_item == nullptr) return false;
    const ActivePowerUp* other = current->powerUpSlot(m_item->player() == 0 ? 1 : 0);
    return other != nullptr && other->kind() == k_coverPowerUp;
}

bool SearchableSprite::acceptsPointer() const
{
    if ((colour() >> 24) != 255 || isHitTestDisabled()) return false;
    if (m_item == nullptr || m_item->state() != SearchableObject::k_stateListed) return false;
    PlayFieldServices* play = services();
    if (play != nullptr && play->isGamePaused()) return false;
    return !otherSlotBlocks();
}

void SearchableSprite::onPointerDown(int32_t, int32_t, const FPointI& point)
{
    if (!isVisible() || !acceptsPointer()) return;
    m_pressing = true;
    m_pressTime = 0;
    m_pressPoint = point;
}

void SearchableSprite::onPointerUp(int32_t, int32_t, const FPointI&)
{
    // A refused release leaves the press open: its time keeps counting.
    if (!acceptsPointer()) return;
    m_pressing = false;
    bool refused = m_pressTime > k_clickMs || m_locked;
    SearchableSpriteHost* screen = host();
    if (!refused && !m_hintItem && screen != nullptr && screen->needsActiveEntry()) {
        const bool activeEntry = m_panelEntry != nullptr && m_panelEntry->isActive();
        const bool noEntryNeeded = m_panelEntry == nullptr && m_item->player() == k_ownerWithoutEntry;
        refused = !activeEntry && !noEntryNeeded;
    }
    if (!refused && !m_found) takeFind();
    m_pressTime = 0;
}

void SearchableSprite::takeFind()
{
    m_found = true;
    const int32_t owner = m_item->player();
    SearchableSpriteHost* screen = host();
    FRefT<MapView> map = screen != nullptr ? screen->getMapView(owner) : FRefT<MapView>();
    GameSession* current = session();
    const int32_t taskType = current != nullptr ? current->getCurrentTaskType() : -1;
    setHitTestDisabled(true);
    const bool screenHandles = taskType >= 0 && taskType <= k_lastScreenHandledTask && !m_hintItem;
    if (m_item->isInterruptItem()) setVisible(false);
    if (map.get() != nullptr) map->noteItemFound();

    if (screenHandles && screen != nullptr) {
        if (taskType == k_stagedFoundTask) {
            screen->playStagedFoundSequence(*this);
        } else {
            screen->playFoundEffect(owner, taskType, *this);
        }
    } else if (map.get() != nullptr) {
        const bool interruptActive = screen != nullptr && screen->isInterruptActive();
        if (!m_hintItem && !interruptActive && m_panelEntry != nullptr)
            map->setFlyTarget(*m_panelEntry, owner);
        map->reportSpriteFound(*this);
    }

    if (current != nullptr && isPlayerSlot(owner)) {
        ActivePowerUp* own = current->powerUpSlot(owner);
        if (own != nullptr && own->kind() == k_untilNextFindPowerUp) current->cancelPowerUp(own, owner);
    }
    if (screen != nullptr && screen->isInterruptTaskActive() && m_item->isInterruptItem())
        screen->setInterruptActive(false);

    PlayFieldServices* play = services();
    if (m_hintItem) {
        const int32_t which = GameRandom::rand() % 3;
        if (play != nullptr && screen != nullptr)
            play->playSound(screen->hintFindSound(which), k_soundVolume);
    } else if (screen != nullptr) {
        if (play != nullptr) play->playSound(screen->foundSound(), k_soundVolume);
        if (taskType == k_lostPhotoTask) {
            screen->lostPhotoFound();
            screen->playFoundReaction();
        } else if (taskType == k_stagedFoundTask) {
            screen->startDelayedReaction();
        } else {
            screen->playFoundReaction();
        }
        if (owner != k_ownerWithoutEntry && !screen->needsActiveEntry() && m_panelEntry != nullptr) {
            if (HudEntryPanel* panel = screen->getPlayerPanel(owner)) panel->scrollToEntry(*m_panelEntry);
        }
    }
    if (map.get() != nullptr && map->pendingSprite() == this) map->clearPendingSprite();
}

void SearchableSprite::countPressTime(int32_t elapsedMs)
{
    if (m_pressing) m_pressTime += elapsedMs;
}

void SearchableSprite::update(int32_t elapsedMs)
{
    countPressTime(elapsedMs);
}

void SearchableSprite::prepare()
{
    FContainer* content = parent();
    if (content == nullptr || !content->isVisible()) return;
    setAlphaThreshold(1);
    SearchableSpriteHost* screen = host();
    if (m_bling.get() != nullptr) {
        m_bling->setVisible(false);
        GameSession* current = session();
        const int32_t taskType = current != nullptr ? current->getCurrentTaskType() : -1;
        const bool screenBling = !(taskType >= 0 && taskType <= 4) && taskType != 7;
        if (screenBling && screen != nullptr) m_bling->setImage(screen->getBlingImage(), true);
        const FRectI r = mapRect();
        const FPointI centre{r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
        m_bling->setWidgetPosition(centre.x - m_bling->width() / 2, centre.y - m_bling->height() / 2);
    }
    if (m_item == nullptr || m_item->player() == k_ownerWithoutEntry || screen == nullptr) return;
    if (HudEntryPanel* panel = screen->getPlayerPanel(m_item->player()))
        m_panelEntry =
            panel->createEntry(*m_item, *this, m_panelImage, m_secondPanelImage, m_count, m_panelText);
}

void SearchableSprite::onStateEvent(SearchableObject& item)
{
    item.setChanged(false);
    switch (item.state()) {
    case SearchableObject::k_stateMarked:
        setVisible(false);
        break;
    case SearchableObject::k_stateFound: {
        if (SearchableSpriteHost* screen = host()) screen->raiseStoryEvent(k_foundStoryEvent);
        setHitTestDisabled(true);
        GameSession* current = session();
        const bool hide = (current != nullptr && current->getCurrentTaskType() == k_hiddenOnFoundTask) ||
                          (m_item != nullptr && m_item->isInterruptItem());
        if (hide) {
            setVisible(false);
        } else if (m_bling.get() != nullptr && !item.isInterruptItem()) {
            m_bling->setVisible(true);
            m_bling->bringToFront();
        }
        break;
    }
    case SearchableObject::k_stateListed:
        setVisible(true);
        if (m_bling.get() != nullptr) m_bling->setVisible(false);
        break;
    default:
        break;
    }
}
