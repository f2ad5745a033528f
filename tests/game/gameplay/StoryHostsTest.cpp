// What the story screen answers its widgets through their host interfaces:
// the cursor sprite's clip table, the pending sprite and the strip's entries
// (QueuedVideoHost).
#include "game/gameplay/StoryScreenTestSupport.h"

#include "game/core/GameSession.h"
#include "game/core/SearchableObject.h"
#include "game/gameplay/HudPanel.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/MapView.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/QueuedVideoSprite.h"
#include "game/widgets/SearchableSprite.h"

#include <gtest/gtest.h>

#include <deque>

using namespace gameplaytest;

namespace {

class HostsScreen : public StoryModeScreen
{
public:
    using StoryModeScreen::refreshPanel;
};

class StoryHostsTest : public testing::Test, protected storytest::StoryScreenLevel<HostsScreen>
{
protected:
    // A picture search with its items on the map and in the strip.
    void startSearch()
    {
        start({6}, 1, true, 0);
        panel = screen().refreshPanel();
        ASSERT_NE(panel, nullptr);
        panel->setUp();
        screen().levelItems().createSearchableSprites();
        module.getGameSession()->getSearchListState(items);
        ASSERT_FALSE(items.empty());
    }
    QueuedVideoHost& host() { return screen(); }

    HudPanel* panel = nullptr;
    std::deque<SearchableObject*> items;
};

TEST_F(StoryHostsTest, TheCursorSpriteTakesItsClipsAndSoundsFromTheStoryLayout)
{
    startSearch();
    HostsScreen& s = screen();
    const QueuedVideoHost::AssetTable* table = host().getQueuedVideoAssetTable();
    ASSERT_NE(table, nullptr);
    EXPECT_NE(table->idleClip.get(), nullptr);
    EXPECT_EQ(table->idleClip.get(), s.m_idleClip.get());
    EXPECT_EQ(table->rareIdleClipA.get(), s.m_rareIdleClip1.get());
    EXPECT_EQ(table->rareIdleClipB.get(), s.m_rareIdleClip2.get());
    EXPECT_EQ(table->specialClip.get(), s.m_specialClip.get());
    EXPECT_EQ(table->specialSoundA.get(), s.m_cadenceSound1.get());
    EXPECT_EQ(table->specialSoundB.get(), s.m_cadenceSound2.get());
    // The set-up found its host: the sprite plays the idle clip.
    QueuedVideoSprite* cursor = s.getCursorSprite();
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->video().get(), s.m_idleClip.get());
}

TEST_F(StoryHostsTest, ThePendingSpriteAndTheStripEntriesAreTheMapsAndThePanels)
{
    startSearch();
    HostsScreen& s = screen();
    EXPECT_FALSE(host().getPendingSprite().exists);
    EXPECT_EQ(host().panelEntryCount(0), panel->entryCount());
    ASSERT_GT(panel->entryCount(), 0);
    EXPECT_EQ(host().panelEntryAt(0, 0).get(), panel->entryAt(0).get());
    EXPECT_EQ(host().panelEntryAt(0, panel->entryCount()).get(), nullptr);
    EXPECT_FALSE(host().storyHudHandleEntryEvent(FRef()));

    SearchableSprite* sprite = s.getTaskSprites()->front().get();
    ASSERT_NE(sprite, nullptr);
    ASSERT_NE(s.mapView(), nullptr);
    s.mapView()->setPendingSprite(sprite);
    const QueuedVideoHost::PendingSprite pending = host().getPendingSprite();
    EXPECT_TRUE(pending.exists);
    EXPECT_TRUE(pending.hasItem);
    EXPECT_FALSE(pending.found);
    ASSERT_NE(pending.panelEntry.get(), nullptr);
    EXPECT_EQ(pending.panelEntry.get(), panel->findEntryByKey(sprite->item()));
    s.mapView()->setPendingSprite(nullptr);
}

TEST_F(StoryHostsTest, AHeldPressIsRememberedAndEndsTheTierParticle)
{
    startSearch();
    HostsScreen& s = screen();
    ASSERT_NE(s.m_tierPool.get(), nullptr);
    ParticleRecord* particle = s.m_tierPool->take();
    ASSERT_NE(particle, nullptr);
    s.setTierParticle(particle);
    host().onCharacterHeld(true);
    EXPECT_TRUE(s.isCharacterHeld());
    EXPECT_EQ(s.liveTierParticle(), nullptr);
    host().onCharacterHeld(false);
    EXPECT_FALSE(s.isCharacterHeld());
}

} // namespace
