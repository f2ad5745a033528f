// The story screen's two ways of cracking a Cover that sits in a player's
// slot: a press on the map above player 0's HUD panel, and the throw effect.
#include "game/gameplay/StoryScreenTestSupport.h"

#include "asset/FRawDataModule.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameSession.h"
#include "game/core/PowerUpKind.h"
#include "game/gameplay/CoverPowerUpView.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/widgets/HudEntryPanel.h"

#include <gtest/gtest.h>

namespace {

class StoryCoverCrackTest : public testing::Test, protected storytest::StoryScreenLevel<StoryModeScreen>
{
};

TEST_F(StoryCoverCrackTest, PressesOnTheMapAndTheThrowEffectCrackTheCoverInTheSlot)
{
    start({0});
    StoryModeScreen& s = screen();
    ActivePowerUp* record = session().addActivePowerUp(k_powerUpCover);
    s.addIndividualPowerUpView(*record);
    const int32_t id = record->uniqueId();
    record->setState(ActivePowerUp::k_stateUsed);
    session().setPowerUpSlot(record, false);
    auto* cover = dynamic_cast<CoverPowerUpView*>(s.getPowerUpViewByUniqueId(id));
    ASSERT_NE(cover, nullptr);
    HudEntryPanel* panel = s.getPlayerPanel(0);
    ASSERT_NE(panel, nullptr);
    const int32_t panelTop = panel->panelPosition().y;
    ASSERT_GT(panelTop, 10);

    s.onPointerDown(0, 1, {100, panelTop + 5});
    EXPECT_EQ(cover->crackCounter(), CoverPowerUpView::k_fullCounter) << "a press on the panel";
    s.onPointerDown(0, 1, {100, panelTop - 5});
    EXPECT_EQ(cover->crackCounter(), CoverPowerUpView::k_fullCounter - 2);
    s.playThrowEffect(0);
    EXPECT_EQ(cover->crackCounter(), CoverPowerUpView::k_fullCounter - 4);
    // Another kind in the slot: nothing to crack.
    ActivePowerUp* flip = session().addActivePowerUp(k_powerUpFlip);
    s.addIndividualPowerUpView(*flip);
    flip->setState(ActivePowerUp::k_stateUsed);
    session().setPowerUpSlot(flip, false);
    // The ended Cover's view stays until the next update, and is not cracked.
    s.onPointerDown(0, 1, {100, panelTop - 5});
    s.playThrowEffect(0);
    EXPECT_EQ(cover->crackCounter(), CoverPowerUpView::k_fullCounter - 4);
    session().cancelAllPowerUps();
}

} // namespace
