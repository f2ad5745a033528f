// The quest chooser of the selected world (up to three quest buttons with
// the stars earned) and the quest scroll that unrolls with the chosen
// quest's title, description and voice, the play and close buttons.
#include "game/worldmap/WorldMapScreen.h"

#include "game/worldmap/WorldMapNode.h"
#include "game/worldmap/WorldMapServices.h"

#include "asset/FScreenRegistry.h"
#include "game/core/GameSession.h"
#include "game/core/PlayerProfile.h"
#include "game/core/Quest.h"
#include "game/core/World.h"
#include "game/widgets/ImageRectFlipped.h"
#include "image/FImage.h"
#include "ui/FContainer.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t k_chooserDimmed = 128;
constexpr int32_t k_chooserFadeMs = 150;
constexpr float k_chooserFadeFactor = 256.0f / 150.0f;
constexpr float k_questHitGrowth = 1.1f;
constexpr float k_questHighlight = 1.3f;
constexpr float k_highlightShift = 0.15f;
constexpr int32_t k_rollerMs = 560;
constexpr uint32_t k_scrollInk = 0xFF3A2410u;
constexpr int32_t k_reopenedWorldLine = 0x1087;
constexpr int32_t k_fullStar = 0x10DD;
constexpr int32_t k_emptyStar = 0x10DE;
constexpr int32_t k_questIcon1 = 0x10B4;
constexpr int32_t k_questIcon3 = 0x10B2;
constexpr int32_t k_chooserCancelSound = 6634;
constexpr int32_t k_chooserConfirmSound = 6635;
// Title images of quests 0..3 (the shared part's).
constexpr int32_t k_questTitles[4] = {0x1641, 0x1642, 0x1644, 0x1640};
// The first quest voice line of each world; quest q speaks base + q.
constexpr int32_t k_questVoiceBases[12] = {0x10E6, 0x10EB, 0x10F0, 0x10F5, 0x10FB, 0x1100,
                                           0x1105, 0x110A, 0x110F, 0x1115, 0x111A, 0x111F};
// The description text of quest q in world 0; the other worlds follow.
constexpr int32_t k_descriptionBases[4] = {0x132, 0x148, 0x16C, 0x122};

uint8_t chooserAlphaOf(const FWidget* widget)
{
    return widget != nullptr ? static_cast<uint8_t>(widget->widgetColour() >> 24) : 0;
}

} // namespace

void WorldMapScreen::buildQuestDescriptions()
{
    for (int32_t q = 0; q < 4; ++q) {
        m_questDescriptions[q].clear();
        const int32_t base = k_descriptionBases[q];
        for (int32_t w = 0; w < k_worldCount; ++w) {
            // World 0 has the base; worlds 1..8 follow after the three of
            // worlds 9..11.
            const int32_t id = w == 0 ? base : w <= 8 ? base + 3 + w : base + w - 8;
            m_questDescriptions[q].push_back(m_binding.fetchText(FLayoutBinding::registry(), id));
        }
    }
}

std::array<FWidget*, 3> WorldMapScreen::questButtons() const
{
    return {m_questButton0.get(), m_questButtonMiddle.get(), m_questButton2.get()};
}

void WorldMapScreen::prepareQuestChooser()
{
    m_chooserDimmerFade.target = m_chooserDimmer.get();
    hideQuestChooser();
}

void WorldMapScreen::hideQuestChooser()
{
    std::vector<FWidget*> faded = {m_chooserDimmer.get(),         m_questButton0Hit.get(),
                                   m_questButton0Icon.get(),      m_questButtonMiddleHit.get(),
                                   m_questButtonMiddleIcon.get(), m_questButton2Hit.get(),
                                   m_questButton2Icon.get()};
    for (const auto* stars : {&m_questStars0, &m_questStars1, &m_questStars2}) {
        for (const FRefT<FWidget>& star : *stars)
            faded.push_back(star.get());
    }
    for (FWidget* widget : faded) {
        if (widget == nullptr) continue;
        widget->setWidgetAlpha(0);
        widget->requestRedraw();
    }
    setFocus(m_menuButton.get());
    m_mode = k_modeBrowse;
}

void WorldMapScreen::openQuestChooser()
{
    ++m_chooserOpenings;
    m_mode = k_modeQuestChooser;
    m_dragEnabled = false;
    hideSpeakerPanel(k_speakerB);
    hideSpeakerPanel(k_speakerA);
    WorldMapServices* host = services();
    PlayerProfile* profile = host != nullptr ? host->currentProfile() : nullptr;
    if (profile != nullptr && !profile->flag(PlayerProfile::k_reopenedWorld)) {
        profile->setFlag(PlayerProfile::k_reopenedWorld, true);
        profile->setChanged();
        host->saveProfile();
        showSpeakerPanel(k_speakerB);
        speakAs(k_speakerB, asset(k_reopenedWorldLine));
    }
    startAlphaFade(m_chooserDimmerFade, k_chooserDimmed, k_chooserFadeMs);
    m_questChooserPanel->setVisible(true);
    m_questChooserPanel->bringToFront();
    if (m_chooserFront.get() != nullptr) m_chooserFront->bringToFront();
    fillQuestChooser();
}

void WorldMapScreen::fillQuestStars(const std::vector<FRefT<FWidget>>& stars, int32_t quest)
{
    for (const FRefT<FWidget>& star : stars) {
        if (auto* image = dynamic_cast<FImageWidget*>(star.get()); image != nullptr)
            image->setImage(FRefT<FImage>(asset(k_emptyStar)), false);
    }
    GameSession* game = session();
    PlayerProfile* profile = services() != nullptr ? services()->currentProfile() : nullptr;
    if (game == nullptr || profile == nullptr || game->currentWorld() == nullptr) return;
    const Quest* record = game->currentWorld()->findQuestByType(quest);
    if (record == nullptr) return;
    const int32_t state = profile->getQuestState(record->questId());
    // A damaged profile may hold a state above six: never more than five.
    const int32_t full = std::clamp(state - 1, 0, static_cast<int32_t>(stars.size()));
    for (int32_t i = 0; i < full; ++i) {
        if (auto* image = dynamic_cast<FImageWidget*>(stars[static_cast<std::size_t>(i)].get());
            image != nullptr)
            image->setImage(FRefT<FImage>(asset(k_fullStar)), false);
    }
}

void WorldMapScreen::fillQuestChooser()
{
    GameSession* game = session();
    // No current world (none selected yet): no quest buttons.
    const bool world = game != nullptr && game->currentWorldIndex() >= 0 &&
                       game->currentWorldIndex() < static_cast<int32_t>(game->structure().worlds().size());
    auto has = [game, world](int32_t quest) { return world && game->getQuestFlagOfWorld(quest); };
    m_questButton0->setVisible(has(0));
    if (has(0)) fillQuestStars(m_questStars0, 0);
    m_questButton2->setVisible(has(2));
    if (has(2)) fillQuestStars(m_questStars2, 2);
    m_middleQuest = has(1) ? 1 : has(3) ? 3 : -1;
    m_questButtonMiddle->setVisible(m_middleQuest != -1);
    if (m_middleQuest != -1) {
        m_questButtonMiddleIcon->setImage(
            FRefT<FImage>(asset(m_middleQuest == 1 ? k_questIcon1 : k_questIcon3)), false);
        fillQuestStars(m_questStars1, m_middleQuest);
    }
    // The quest icons sit over the button faces.
    for (FImageWidget* icon :
         {m_questButton0Icon.get(), m_questButtonMiddleIcon.get(), m_questButton2Icon.get()})
        icon->bringToFront();
    m_questButton2Hit->setAngle(30.0f);
    m_questButtonMiddleHit->setAngle(-30.0f);
    m_questButton2Hit->requestRedraw();
    m_questButtonMiddleHit->requestRedraw();
}

void WorldMapScreen::fadeInQuestChooser(int32_t elapsed)
{
    updateParticleLayers(elapsed);
    int32_t a = chooserAlphaOf(m_questButton0Hit.get());
    if (a == 255) return;
    a = std::min(255,
                 static_cast<int32_t>(std::trunc(static_cast<float>(a) + elapsed * k_chooserFadeFactor)));
    const std::pair<FWidget*, FWidget*> images[3] = {
        {m_questButton0Hit.get(), m_questButton0Icon.get()},
        {m_questButtonMiddleHit.get(), m_questButtonMiddleIcon.get()},
        {m_questButton2Hit.get(), m_questButton2Icon.get()}};
    const std::vector<FRefT<FWidget>>* stars[3] = {&m_questStars0, &m_questStars1, &m_questStars2};
    for (int32_t b = 0; b < 3; ++b) {
        images[b].first->setWidgetAlpha(static_cast<uint8_t>(a));
        images[b].second->setWidgetAlpha(static_cast<uint8_t>(a));
        for (const FRefT<FWidget>& star : *stars[b])
            star->setWidgetAlpha(static_cast<uint8_t>(a));
    }
}

bool WorldMapScreen::hitsQuestButton(int32_t which, const FPointI& point) const
{
    FContainer* button = dynamic_cast<FContainer*>(questButtons()[static_cast<std::size_t>(which)]);
    FImageWidget* hit = which == 0   ? m_questButton0Hit.get()
                        : which == 1 ? m_questButtonMiddleHit.get()
                                     : m_questButton2Hit.get();
    if (button == nullptr || hit == nullptr || !button->isVisible() || hit->getImage().get() == nullptr)
        return false;
    const FRectI r = getImageRectFlipped(hit->getImage().get());
    const FPointF s = button->scale();
    // The button's corner on the screen.
    const FPointI corner = button->parent() != nullptr
                               ? FPointI{button->rect().left + button->parent()->rect().left,
                                         button->rect().top + button->parent()->rect().top}
                               : FPointI{button->rect().left, button->rect().top};
    const auto w = static_cast<int32_t>(k_questHitGrowth * s.x * static_cast<float>(r.right - r.left));
    const auto h = static_cast<int32_t>(k_questHitGrowth * s.y * static_cast<float>(r.bottom - r.top));
    return corner.x + r.left <= point.x && point.x < corner.x + r.left + w && corner.y + r.top <= point.y &&
           point.y < corner.y + r.top + h;
}

void WorldMapScreen::highlightQuestButton(int32_t quest)
{
    FContainer* button = nullptr;
    if (quest == 0) button = m_questButton0.get();
    if (quest == 1 || quest == 3) button = m_questButtonMiddle.get();
    if (quest == 2) button = m_questButton2.get();
    if (button == nullptr) return;
    button->setScale({k_questHighlight, k_questHighlight});
    const FPointI size = m_questButton0->getWidgetSize();
    button->setWidgetPosition(button->rect().left + static_cast<int32_t>(-k_highlightShift * size.x),
                              button->rect().top + static_cast<int32_t>(-k_highlightShift * size.y));
}

void WorldMapScreen::clearQuestButtonHighlights()
{
    const FPointI size = m_questButton0->getWidgetSize();
    for (FContainer* button : {m_questButton0.get(), m_questButton2.get(), m_questButtonMiddle.get()}) {
        if (button->scale().x == k_questHighlight)
            button->setWidgetPosition(button->rect().left + static_cast<int32_t>(k_highlightShift * size.x),
                                      button->rect().top + static_cast<int32_t>(k_highlightShift * size.y));
        button->setScale({1.0f, 1.0f});
    }
}

void WorldMapScreen::onChooserHover(const FPointI& point)
{
    clearQuestButtonHighlights();
    if (hitsQuestButton(0, point))
        highlightQuestButton(0);
    else if (hitsQuestButton(2, point))
        highlightQuestButton(2);
    else if (hitsQuestButton(1, point))
        highlightQuestButton(m_middleQuest);
}

void WorldMapScreen::onChooserRelease(const FPointI& point)
{
    if (hitsQuestButton(0, point)) {
        pickQuest(0);
    } else if (hitsQuestButton(2, point)) {
        pickQuest(2);
    } else if (hitsQuestButton(1, point)) {
        if (m_middleQuest == 1 || m_middleQuest == 3) pickQuest(m_middleQuest);
    } else {
        const FPointI local = m_mapContainer->toChildSpace(point, this);
        GameSession* game = session();
        const int32_t world = game != nullptr ? game->currentWorldIndex() : -1;
        if (world < 0 || world >= k_worldCount ||
            !node(world, "the chooser's world").containsPoint(local.x, local.y))
            closeQuestChooser();
    }
}

void WorldMapScreen::closeQuestChooser()
{
    m_scrollPanel->setVisible(false);
    setFocus(this);
    m_dragEnabled = true;
    hideQuestChooser();
    playSound(FLayoutBinding::registry().findInSecond(k_chooserCancelSound));
}

void WorldMapScreen::pickQuest(int32_t quest)
{
    GameSession* game = session();
    if (game != nullptr) game->setSpecialQuest(false);
    playSound(FLayoutBinding::registry().findInSecond(k_chooserConfirmSound));
    m_mode = k_modeQuestScroll;
    if (game != nullptr) game->selectQuest(quest);
    openQuestScroll();
}

void WorldMapScreen::prepareQuestScroll()
{
    m_rollerOpen = {FPointI{m_scrollRollerA->rect().left, m_scrollRollerA->rect().top},
                    FPointI{m_scrollRollerB->rect().left, m_scrollRollerB->rect().top}};
    const int32_t c = m_questChooserPanel->rect().top + m_questChooserPanel->height() / 2;
    m_rollerClosed = {FPointI{0, c - m_scrollRollerA->height() / 2},
                      FPointI{0, c + m_scrollRollerB->height() / 2}};
    m_scrollRollerA->setWidgetPosition(m_rollerClosed[0].x, m_rollerClosed[0].y);
    m_scrollRollerB->setWidgetPosition(m_rollerClosed[1].x, m_rollerClosed[1].y);
    const int32_t bandTop = m_scrollRollerA->rect().top + m_scrollRollerA->height() / 2;
    m_scrollBand->setWidgetRect({0, bandTop, m_scrollBand->width(), bandTop + m_scrollRollerB->height()});
    m_rollerMoves[0].setTarget(m_scrollRollerA.get());
    m_rollerMoves[1].setTarget(m_scrollRollerB.get());
}

void WorldMapScreen::onScrollRollerAArrived()
{
    m_rollerArrived[0] = true;
}

void WorldMapScreen::onScrollRollerBArrived()
{
    m_rollerArrived[1] = true;
}

void WorldMapScreen::moveScrollRollers(const std::array<FPointI, 2>& to)
{
    m_rollerArrived = {false, false};
    for (std::size_t r = 0; r < 2; ++r)
        m_rollerMoves[r].start(to[r], k_rollerMs);
}

void WorldMapScreen::openQuestScroll()
{
    m_scrollPanel->setVisible(true);
    m_scrollPanel->bringToFront();
    setFocus(m_scrollPanel.get());
    m_scrollContent->setVisible(false);
    m_mode = k_modeQuestScroll;
    moveScrollRollers(m_rollerOpen);
}

void WorldMapScreen::updateQuestScroll(int32_t elapsed)
{
    const bool arrived = m_rollerArrived[0] && m_rollerArrived[1];
    for (FMoveTween& move : m_rollerMoves) {
        if (move.isActive()) move.update(elapsed);
    }
    // The band stretches between the rollers.
    const int32_t top = m_scrollRollerB->rect().top + m_scrollRollerB->height() / 2;
    const int32_t length = std::max(0, m_scrollRollerA->rect().top - m_scrollRollerB->rect().top);
    m_scrollBand->setWidgetRect({0, top, m_scrollBand->width(), top + length});
    if (!arrived) return;
    const FPointI at{m_scrollRollerA->rect().left, m_scrollRollerA->rect().top};
    if (at.x == m_rollerOpen[0].x && at.y == m_rollerOpen[0].y) {
        if (!m_scrollContent->isVisible()) showQuestScrollContent();
    } else if (at.x == m_rollerClosed[0].x && at.y == m_rollerClosed[0].y) {
        m_scrollPanel->setVisible(false);
        const bool reminder = m_activeNode.get() != nullptr && m_activeNode->m_hasQuestReminder;
        m_mode = reminder ? k_modeBrowse : k_modeQuestChooser;
        if (m_mode == k_modeBrowse) m_dragEnabled = true;
    }
}

void WorldMapScreen::showQuestScrollContent()
{
    hideSpeakerPanel(k_speakerB);
    m_questScrollShown = true;
    WorldMapServices* host = services();
    if (host != nullptr) {
        host->stopVoice();
        host->stopAmbientSound();
    }
    m_scrollContent->setVisible(true);
    m_scrollContent->bringToFront();
    if (m_scrollCover.get() != nullptr) m_scrollCover->setVisible(false);
    GameSession* game = session();
    const int32_t quest = game != nullptr ? game->currentQuestType() : 0;
    const int32_t world = game != nullptr ? game->currentWorldIndex() : 0;
    const bool known = quest >= 0 && quest <= 3;
    if (m_scrollTitle.get() != nullptr)
        m_scrollTitle->setImage(
            FRefT<FImage>(FLayoutBinding::registry().findInSecond(k_questTitles[known ? quest : 0])), false);
    if (known && world >= 0 && world < k_worldCount && host != nullptr)
        host->playVoice(asset(k_questVoiceBases[world] + quest));
    const std::deque<FRef>& descriptions = m_questDescriptions[known ? quest : 0];
    if (!descriptions.empty() && world >= 0 && world < static_cast<int32_t>(descriptions.size()) &&
        m_scrollDescription.get() != nullptr)
        if (const FString* text = descriptions[static_cast<std::size_t>(world)].as<FString>();
            text != nullptr) {
            // Dark ink on the scroll's paper, wrapped inside its box.
            m_scrollDescription->setColor(k_scrollInk);
            m_scrollDescription->enableWordWrap();
            m_scrollDescription->setText(*text);
        }
}

void WorldMapScreen::onCloseScrollClicked(FLayoutButton&)
{
    playSound(FLayoutBinding::registry().findInSecond(k_chooserCancelSound));
    m_scrollContent->setVisible(false);
    moveScrollRollers(m_rollerClosed);
    if (WorldMapServices* host = services(); host != nullptr) host->stopVoice();
    playSound(FLayoutBinding::registry().findInSecond(k_chooserConfirmSound));
}
