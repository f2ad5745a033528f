// The player cursor effects of the common gameplay screen: the click marker,
// the found effect by kind and item character with its commit, the found
// report through the pop, the fly particles, the wrong-hit penalty with its
// three ends and the birds, shake and throw, and the map quake.
#include "game/gameplay/CursorEffectsTestSupport.h"

#include "game/core/ActivePowerUp.h"
#include "game/core/LevelTimer.h"
#include "game/core/PowerUpKind.h"
#include "game/widgets/FlashSprite.h"
#include "game/widgets/ParticleEmitter.h"

#include <gtest/gtest.h>

using namespace cursortest;

namespace {

class CursorEffectsTest : public CursorFixture<20>
{
protected:
    ActivePowerUp* placePowerUp(int32_t kind, int32_t slot)
    {
        GameSession& play = *module.getGameSession();
        ActivePowerUp* powerUp = play.addActivePowerUp(kind);
        powerUp->setSlot(slot);
        play.setPowerUpSlot(powerUp, true);
        return powerUp;
    }
    // Wrong clicks of player 0, one past the counter's limit.
    void tripWrongHits()
    {
        GameSession& play = *module.getGameSession();
        for (int32_t i = 0; i <= play.tuning().wrongHitCounter; ++i)
            play.registerWrongHit(0);
    }
};

} // namespace

TEST_F(CursorEffectsTest, TheClickMarkerPlaysCentredOnTheClickWhileTheLevelRuns)
{
    CursorScreen& s = screen();
    VideoSprite* marker = s.clickMarker(1);
    s.m_pauseClosed = false;
    s.placePlayerCursor(1, {301, 201});
    EXPECT_FALSE(marker->isVisible());
    s.m_pauseClosed = true;
    s.placePlayerCursor(1, {301, 201});
    EXPECT_TRUE(marker->isVisible());
    EXPECT_TRUE(marker->isPlaying());
    EXPECT_EQ(marker->rect().left, 301 - marker->width() / 2);
    EXPECT_EQ(marker->rect().top, 201 - marker->height() / 2);
    EXPECT_FALSE(s.clickMarker(0)->isVisible());
    runUntil([&] { return !marker->isPlaying(); });
    EXPECT_FALSE(marker->isVisible());
}

TEST_F(CursorEffectsTest, TheFoundEffectTakesItsClipPlaceAndRepeatsByKindAndCharacter)
{
    CursorScreen& s = screen();
    const FRectI a = s.m_foundAnchorA->rect();
    const FRectI b = s.m_foundAnchorB->rect();
    const FRectI c = s.m_foundAnchorC->rect();
    struct Case
    {
        int32_t kind;
        int32_t character;
        const FRef* clip; // null: an empty video
        FPointI at;
        bool mapSized;
        int32_t loops;
    };
    const Case cases[] = {
        {0, 3, &s.m_zibboFoundClip, {a.left, a.top}, false, 1},
        {0, 0, &s.m_zibboFoundClip, {a.left, a.top}, false, 1},
        {1, 1, &s.m_starmantleFoundClip, {a.left, a.top}, false, 1},
        {1, 0, &s.m_starmantleFoundClip, {0, 0}, true, 0},
        {2, 2, &s.m_vessaFoundClip, {b.left, b.top}, false, 0},
        {3, 3, &s.m_zibboFoundClip, {c.left, c.top}, false, 0},
        {5, 1, &s.m_zibboFoundClip, {a.left, a.top}, false, 1},
        {5, 2, &s.m_vessaFoundClip, {b.left, b.top}, false, 0},
        {5, 3, &s.m_starmantleFoundClip, {c.left, c.top}, false, 0},
        {5, 4, &s.m_drabbFoundClip, {0, 0}, true, 0},
        {5, 0, nullptr, {0, 0}, true, 0},
        {9, 2, nullptr, {b.left, b.top}, false, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE("kind " + std::to_string(k.kind) + " character " + std::to_string(k.character));
        SearchableObject item;
        FRefT<SearchableSprite> sprite = makeSprite(item, k.character);
        s.m_startWait = true;
        s.playFoundEffect(0, k.kind, *sprite);
        VideoSprite* effect = s.foundEffect(0);
        EXPECT_EQ(effect->video().get(), k.clip != nullptr ? k.clip->get() : nullptr);
        EXPECT_EQ(effect->loops(), k.loops);
        EXPECT_EQ(effect->rect().left, k.at.x);
        EXPECT_EQ(effect->rect().top, k.at.y);
        if (k.mapSized) {
            EXPECT_EQ(effect->width(), k_mapRect.right);
            EXPECT_EQ(effect->height(), k_mapRect.bottom);
        }
        EXPECT_EQ(s.m_startWait, k.kind != 0);
        if (k.clip != nullptr) {
            // Without a clip the find is marked at once.
            EXPECT_TRUE(effect->isVisible());
            EXPECT_TRUE(s.m_foundMarkers[0]->isVisible());
            EXPECT_EQ(s.lastFoundSprite(0), sprite.get());
            EXPECT_NE(item.state(), SearchableObject::k_stateFound);
        }
        runUntil([&] { return !effect->isVisible(); });
        EXPECT_EQ(item.state(), SearchableObject::k_stateFound);
        EXPECT_FALSE(s.m_foundMarkers[0]->isVisible());
        EXPECT_EQ(effect->loops(), 0);
        if (k.clip != nullptr) {
            EXPECT_TRUE(s.foundFlash(0)->isFlashing());
        }
        EXPECT_EQ(s.lastFoundSprite(0), nullptr);
        runUntil([&] { return !s.foundFlash(0)->isFlashing(); });
    }
}

TEST_F(CursorEffectsTest, ASecondFindCommitsTheFirstOfTheSamePlayerOnlyAndEachFindOnce)
{
    CursorScreen& s = screen();
    SearchableObject first;
    SearchableObject second;
    SearchableObject other;
    FRefT<SearchableSprite> a = makeSprite(first, 1);
    FRefT<SearchableSprite> b = makeSprite(second, 1);
    FRefT<SearchableSprite> c = makeSprite(other, 2);
    s.playFoundEffect(0, 1, *a);
    s.playFoundEffect(1, 2, *c);
    // Player 1's find leaves player 0's showing.
    EXPECT_NE(first.state(), SearchableObject::k_stateFound);
    EXPECT_EQ(s.lastFoundSprite(0), a.get());
    EXPECT_EQ(s.lastFoundSprite(1), c.get());
    s.playFoundEffect(0, 1, *b);
    EXPECT_EQ(first.state(), SearchableObject::k_stateFound);
    EXPECT_NE(second.state(), SearchableObject::k_stateFound);
    EXPECT_NE(other.state(), SearchableObject::k_stateFound);
    first.setState(SearchableObject::k_stateListed);
    runUntil([&] { return !s.foundEffect(0)->isVisible() && !s.foundEffect(1)->isVisible(); });
    EXPECT_EQ(second.state(), SearchableObject::k_stateFound);
    EXPECT_EQ(other.state(), SearchableObject::k_stateFound);
    // The first find was committed once, not again at the effect's end.
    EXPECT_EQ(first.state(), SearchableObject::k_stateListed);
}

TEST_F(CursorEffectsTest, ASpriteReleasedWhileItsEffectShowsIsNotTouchedAndItsItemIsStillFound)
{
    CursorScreen& s = screen();
    SearchableObject item;
    FRefT<SearchableSprite> sprite = makeSprite(item, 2);
    s.playFoundEffect(0, 2, *sprite);
    EXPECT_EQ(s.lastFoundSprite(0), sprite.get());
    sprite.release();
    EXPECT_EQ(s.lastFoundSprite(0), nullptr);
    runUntil([&] { return !s.foundEffect(0)->isVisible(); });
    EXPECT_EQ(item.state(), SearchableObject::k_stateFound);

    // The same through a second find while the released sprite's effect shows.
    SearchableObject first;
    SearchableObject second;
    FRefT<SearchableSprite> a = makeSprite(first, 2);
    FRefT<SearchableSprite> b = makeSprite(second, 2);
    s.playFoundEffect(0, 2, *a);
    a.release();
    s.playFoundEffect(0, 2, *b);
    EXPECT_EQ(first.state(), SearchableObject::k_stateFound);
}

TEST_F(CursorEffectsTest, KindFiveHoldsTheLevelTimeUntilItsClipEnds)
{
    CursorScreen& s = screen();
    setTask(5);
    LevelTimer* timer = module.getGameSession()->getLevelTimer();
    ASSERT_NE(timer, nullptr);
    SearchableObject item;
    FRefT<SearchableSprite> sprite = makeSprite(item, 2);
    s.playFoundEffect(0, 5, *sprite);
    EXPECT_FALSE(timer->resumed);
    s.update(20);
    EXPECT_FALSE(timer->resumed);
    runUntil([&] { return !s.foundEffect(0)->isVisible(); });
    EXPECT_TRUE(timer->resumed);
}

TEST_F(CursorEffectsTest, TheCommonFoundReportStartsThePlayersPopWithTheSpritesBling)
{
    CursorScreen& s = screen();
    SearchableObject item;
    FRefT<SearchableSprite> sprite = makeSprite(item);
    s.reportSpriteFound(1, *sprite);
    EXPECT_FALSE(s.foundItemPop(0)->isRunning());
    ASSERT_TRUE(s.foundItemPop(1)->isRunning());
    EXPECT_EQ(s.foundItemPop(1)->item(), &item);
    EXPECT_EQ(s.foundItemPop(1)->itemImage()->getImage().get(), sprite->getKindEffect().get());
}

TEST_F(CursorEffectsTest, FlyParticlesLeaveOnlyForASetTargetWhileThePopIsBright)
{
    CursorScreen& s = screen();
    SearchableObject item;
    FRefT<SearchableSprite> sprite = makeSprite(item);
    s.reportSpriteFound(0, *sprite);
    runUntil([&] { return s.foundItemPop(0)->isBright(); });
    ASSERT_TRUE(s.foundItemPop(0)->isBright());
    EXPECT_EQ(s.m_flyEmitters[0].get(), nullptr);
    s.m_flyTargets[0] = {700, 550};
    s.update(10);
    ParticleEmitter* fly = s.m_flyEmitters[0].get();
    ASSERT_NE(fly, nullptr);
    EXPECT_EQ(fly->startX, k_mapRect.right / 2);
    EXPECT_EQ(fly->startY, k_mapRect.bottom / 2);
    EXPECT_EQ(fly->endX, 700);
    EXPECT_EQ(fly->endY, 550);
    EXPECT_EQ(fly->emitDuration, CommonUIScreen::k_flyRunMs);
    EXPECT_EQ(s.m_flyTargets[0], (FPointI{-1, -1}));
    // Reset at once: the next bright frame launches no other.
    s.update(10);
    EXPECT_EQ(s.m_flyEmitters[0].get(), fly);
}

TEST_F(CursorEffectsTest, WrongHitsPastTheCounterStunThePlayerOnce)
{
    CursorScreen& s = screen();
    s.onPointerMove(0, {400, 300});
    GameSession& play = *module.getGameSession();
    for (int32_t i = 0; i < play.tuning().wrongHitCounter; ++i)
        play.registerWrongHit(0);
    EXPECT_FALSE(s.isStunned(0));
    play.registerWrongHit(0);
    ASSERT_TRUE(s.isStunned(0));
    EXPECT_EQ(s.calls, (std::vector<std::string>{"event 4"}));
    EXPECT_EQ(module.take(), (Lines{"sound penalty at 63"}));
    VideoSprite* cursor = s.m_penaltyCursors[0].get();
    EXPECT_TRUE(cursor->isVisible());
    EXPECT_EQ(cursor->getWidgetCenter(), (FPointI{400, 300}));
    EXPECT_TRUE(s.m_map->isInputBlocked());
    EXPECT_TRUE(s.m_penaltyFlags[0]);
    ASSERT_NE(s.m_penaltyEmitters[0].get(), nullptr);
    EXPECT_EQ(s.m_penaltyEmitters[0]->type(), ParticleEmitter::k_point);

    // A stunned player, or any player while the pause overlay is open: nothing.
    const ParticleEmitter* emitter = s.m_penaltyEmitters[0].get();
    s.playWrongHitPenalty(0);
    EXPECT_EQ(s.m_penaltyEmitters[0].get(), emitter);
    EXPECT_TRUE(module.take().empty());
    s.m_pauseClosed = false;
    s.playWrongHitPenalty(1);
    s.m_penaltyCursors[1] = s.m_penaltyCursors[0];
    s.playWrongHitPenalty(1);
    EXPECT_FALSE(s.m_penaltyFlags[1]);
    EXPECT_TRUE(module.take().empty());
    s.m_penaltyCursors[1] = {};
}

TEST_F(CursorEffectsTest, AShakeEndsThePenaltyAndTheBirdsFlyOffAndHide)
{
    CursorScreen& s = screen();
    s.onPointerMove(0, {400, 300});
    tripWrongHits();
    ASSERT_TRUE(s.isStunned(0));
    const FRectI cursorRect = s.m_penaltyCursors[0]->rect();
    s.playShakeEffect(0);
    EXPECT_FALSE(s.isStunned(0));
    EXPECT_FALSE(s.m_penaltyCursors[0]->isVisible());
    EXPECT_FALSE(s.m_map->isInputBlocked());
    EXPECT_FALSE(s.m_penaltyFlags[0]);
    for (const FRefT<VideoSprite>& piece : s.m_penaltyPieces[0]) {
        EXPECT_TRUE(piece->isVisible());
        EXPECT_EQ(piece->rect().left, cursorRect.left);
        EXPECT_EQ(piece->rect().top, cursorRect.top);
    }
    for (int32_t t = 0; t < 690; t += 10)
        s.update(10);
    EXPECT_TRUE(s.m_penaltyPieces[0][0]->isVisible());
    s.update(10);
    s.update(10);
    const int32_t w = s.width();
    const int32_t h = 600;
    const FPointI ends[] = {{w + 100, -100}, {-100, h / 2}, {w + 100, h + 100}};
    for (std::size_t n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        const VideoSprite* piece = s.m_penaltyPieces[0][n].get();
        EXPECT_EQ(piece->rect().left + piece->width() / 2, ends[n].x);
        EXPECT_EQ(piece->rect().top + piece->height() / 2, ends[n].y);
        EXPECT_FALSE(piece->isVisible());
        EXPECT_FALSE(piece->isPlaying());
    }
}

TEST_F(CursorEffectsTest, ThePenaltyTimerEndsAPenaltyOnlyWhenDizzyBirdMaxIsSet)
{
    CursorScreen& s = screen();
    // Without the automatic end a penalty lasts.
    s.setPenaltyAutoEnd(0);
    tripWrongHits();
    ASSERT_TRUE(s.isStunned(0));
    runUntil([] { return false; }, 100, 6000);
    EXPECT_TRUE(s.isStunned(0));
    s.playShakeEffect(0);
    ASSERT_FALSE(s.isStunned(0));

    // With it, 5000 ms after it began, but not while the forced click step holds the timers.
    s.setPenaltyAutoEnd(3);
    s.calls.clear();
    tripWrongHits();
    ASSERT_TRUE(s.isStunned(0));
    s.m_forcedClickStep = true;
    runUntil([] { return false; }, 100, 6000);
    EXPECT_TRUE(s.isStunned(0));
    s.m_forcedClickStep = false;
    runUntil([] { return false; }, 100, 4900);
    EXPECT_TRUE(s.isStunned(0));
    s.update(100);
    EXPECT_FALSE(s.isStunned(0));
    EXPECT_EQ(s.calls, (std::vector<std::string>{"event 4", "shake 0", "end penalty 0"}));
}

TEST_F(CursorEffectsTest, AShakeOfAStunnedPlayerHoldingAStunEndsThePowerUpNotThePenalty)
{
    CursorScreen& s = screen();
    tripWrongHits();
    ActivePowerUp* stun = placePowerUp(k_powerUpStun, 0);
    ASSERT_EQ(module.getGameSession()->powerUpSlot(0), stun);
    s.playShakeEffect(0);
    EXPECT_EQ(module.getGameSession()->powerUpSlot(0), nullptr);
    EXPECT_TRUE(s.isStunned(0));
    // The Stun's own end ends the penalty.
    s.endWrongHitPenalty(0);
    EXPECT_FALSE(s.isStunned(0));
}

TEST_F(CursorEffectsTest, TheQuakeShakesTheMapInTenStepsAndARestWhileAQuakeIsHeld)
{
    CursorScreen& s = screen();
    s.m_map->scrollTo(-400, -300);
    s.update(10);
    const FPointI rest = {s.m_map->content()->rect().left, s.m_map->content()->rect().top};
    s.setMapQuake(0, true);
    // No Quake in either slot: nothing, and the timer is not armed.
    EXPECT_FALSE(s.quakeTimer().isActive());
    placePowerUp(k_powerUpQuake, 1);
    s.setMapQuake(1, true);
    EXPECT_EQ(s.quakeOrigin(), rest);
    EXPECT_EQ(s.quakeStep(), 0);
    ASSERT_TRUE(s.quakeTimer().isActive());
    EXPECT_EQ(s.quakeTimer().remaining(), CommonUIScreen::k_quakeStepMs);
    const FPointI shaken = {s.m_map->content()->rect().left, s.m_map->content()->rect().top};
    EXPECT_NE(shaken, rest);
    std::vector<int32_t> delays;
    for (int32_t n = 0; n < 11; ++n) {
        runUntil([&] { return false; }, s.quakeTimer().remaining(), s.quakeTimer().remaining());
        delays.push_back(s.quakeTimer().remaining());
    }
    EXPECT_EQ(delays, (std::vector<int32_t>{100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 500}));
    s.setMapQuake(1, false);
    EXPECT_FALSE(s.quakeTimer().isActive());
}
