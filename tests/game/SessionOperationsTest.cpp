#include "game/core/SessionOperations.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameSession.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(SessionOperationsTest, CancellingAPowerUpEndsItAndEmptiesOnlyItsSlot)
{
    GameSession session(nullptr, {});
    ActivePowerUp* first = session.addActivePowerUp(4);
    ActivePowerUp* second = session.addActivePowerUp(5);
    second->setSlot(1);
    session.setPowerUpSlot(first, true);
    session.setPowerUpSlot(second, true);
    ASSERT_EQ(session.powerUpSlot(0), first);
    ASSERT_EQ(session.powerUpSlot(1), second);

    EXPECT_TRUE(cancelSessionPowerUp(session, 0));
    EXPECT_EQ(session.powerUpSlot(0), nullptr);
    EXPECT_EQ(session.powerUpSlot(1), second);
    std::vector<ActivePowerUp*> listed;
    session.copyActivePowerUps(listed);
    EXPECT_EQ(listed, std::vector<ActivePowerUp*>{second});
    // The slot is empty now: nothing changes.
    EXPECT_FALSE(cancelSessionPowerUp(session, 0));
    session.copyActivePowerUps(listed);
    EXPECT_EQ(listed.size(), 1u);
}

TEST(SessionOperationsTest, ASlotIndexOutsideTheTableIsRefusedWithoutReadingIt)
{
    GameSession session(nullptr, {});
    ActivePowerUp* placed = session.addActivePowerUp(4);
    session.setPowerUpSlot(placed, true);
    for (std::int32_t slot : {-1, GameSession::k_slotCount, 1000, -2147483647 - 1})
        EXPECT_FALSE(cancelSessionPowerUp(session, slot)) << slot;
    EXPECT_EQ(session.powerUpSlot(0), placed);
    std::vector<ActivePowerUp*> listed;
    session.copyActivePowerUps(listed);
    EXPECT_EQ(listed, std::vector<ActivePowerUp*>{placed});
}

struct SpriteFlags
{
    bool playing;
    bool paused;
    bool isPlaying() const { return playing; }
    bool isPaused() const { return paused; }
};

TEST(SessionOperationsTest, AClipCountsAsRunningWhilePlayingAndNotPaused)
{
    struct Case
    {
        SpriteFlags sprite;
        bool expected;
    } const cases[] = {
        {{false, false}, false}, // never played
        {{true, false}, true},
        {{true, true}, false},
        {{false, true}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isFlagSetAndNotCleared(c.sprite), c.expected) << c.sprite.playing << c.sprite.paused;
}

} // namespace
