// What the story screen answers its widgets through their host interfaces:
// the cursor sprite's clip table, the pending sprite and the strip's entries
// (QueuedVideoHost); the throw's and the press's crack of a Cover; the
// story's cue.
#include "game/gameplay/StoryScreenTestSupport.h"

#include "core/FMemory.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameSession.h"
#include "game/core/LevelTimer.h"
#include "game/core/PowerUpKind.h"
#include "game/core/SearchableObject.h"
#include "game/gameplay/HudPanel.h"
#include "game/gameplay/PowerUpView.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/MapView.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/QueuedVideoSprite.h"
#include "game/widgets/SearchableSprite.h"
#include "image/FImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>

using namespace gameplaytest;

namespace {

// A view that counts the cracks it is asked for.
class CrackCountView : public PowerUpView
{
public:
    CrackCountView(int32_t kind, int32_t& cracks) : PowerUpView(nullptr, kind), m_cracks(cracks) {}
    void onLaunchFinished() override {}
    void crack() override { ++m_cracks; }

private:
    int32_t& m_cracks;
};

class HostsScreen : public StoryModeScreen
{
public:
    using StoryModeScreen::refreshPanel;

    int32_t cracks = 0;

protected:
    PowerUpView* createPowerUpView(int32_t kind, HudEntryPanel*) override
    {
        return engineNew<CrackCountView>(k_memObject, kind, cracks);
    }
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
    GameSession& session() { return *module.getGameSession(); }

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

TEST_F(StoryHostsTest, AThrowAndAPressOnTheMapCrackACoverInTheSlot)
{
    startSearch();
    HostsScreen& s = screen();
    ActivePowerUp cover(21, k_powerUpCover);
    cover.setSlot(0);
    session().setPowerUpSlot(&cover, true);
    s.addIndividualPowerUpView(cover);
    ASSERT_NE(s.getPowerUpViewByUniqueId(21), nullptr);

    s.playThrowEffect(0);
    EXPECT_EQ(s.cracks, 1);
    // Another player's slot holds none.
    s.playThrowEffect(1);
    EXPECT_EQ(s.cracks, 1);
    ASSERT_NE(s.hudPanel(), nullptr);
    const int32_t panelTop = s.hudPanel()->getAbsolutePosition().y;
    ASSERT_GT(panelTop, 10);
    s.onPointerDown(0, 8, {100, panelTop - 10});
    EXPECT_EQ(s.cracks, 2);
    // A press on the strip, or one of the dropped buttons, cracks nothing.
    s.onPointerDown(0, 8, {100, panelTop + 1});
    s.onPointerDown(0, StoryModeScreen::k_ignoredButtonA, {100, panelTop - 10});
    EXPECT_EQ(s.cracks, 2);

    session().cancelPowerUp(&cover, 0);
    s.onPointerDown(0, 8, {100, panelTop - 10});
    s.playThrowEffect(0);
    EXPECT_EQ(s.cracks, 2);
    s.clearOwnedItemQueue();
}

TEST_F(StoryHostsTest, TheStripsSweepTakesTheSparkleOfTheParticleLayout)
{
    startSearch();
    HostsScreen& s = screen();
    const FRefT<FImage> sparkle = s.sweepSparkleImage();
    ASSERT_NE(sparkle.get(), nullptr);
    EXPECT_EQ(sparkle.get(), s.m_timerSparkle.get());
    panel->startSweep();
    ASSERT_NE(panel->sweep(), nullptr);
    EXPECT_TRUE(panel->sweep()->isEnabled());
}

TEST_F(StoryHostsTest, TheStoryCueSoundsOnlyWhileTheTimersStateIsOne)
{
    startSearch();
    HostsScreen& s = screen();
    module.soundNames.push_back({"cue", s.m_storyCueSound.get()});
    auto cues = [&] {
        return std::count_if(module.calls.begin(), module.calls.end(),
                             [](const std::string& c) { return c.rfind("sound cue at 63", 0) == 0; });
    };
    LevelTimer& timer = *session().getLevelTimer();
    ASSERT_EQ(timer.comboLevel(), 1);
    s.playStoryCue();
    EXPECT_EQ(cues(), 1);
    timer.addComboStep();
    s.playStoryCue();
    EXPECT_EQ(cues(), 1);
}

} // namespace
