#include "game/widgets/RecordingVideoPlayer.h"

#include "game/widgets/VideoFrameImage.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FContainer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class VideoSpriteTest : public ::testing::Test
{
protected:
    // A sprite showing a recorded video of `length` frames, its log emptied.
    VideoSprite& spriteOver(int32_t length, bool lengthKnown = true)
    {
        sprite.setVideo(recordedVideo("v", length, log, lengthKnown, &player), false);
        return sprite;
    }
    void countCallbacks()
    {
        auto* onFinish = makeObjectDelegate(this, &VideoSpriteTest::finished);
        auto* onLoop = makeObjectDelegate(this, &VideoSpriteTest::looped);
        sprite.setFinishCallback(onFinish);
        sprite.setLoopCallback(onLoop);
        engineFree(onFinish);
        engineFree(onLoop);
    }
    void finished(VideoSprite&) { ++finishes; }
    void looped(VideoSprite&) { ++loopRuns; }
    int32_t shows() const
    {
        return static_cast<int32_t>(std::count_if(
            log.begin(), log.end(), [](const std::string& e) { return e.find(":show") != e.npos; }));
    }

    std::vector<std::string> log;
    FContainer root;
    VideoSprite sprite{&root};
    RecordingVideoPlayer* player = nullptr;
    int32_t finishes = 0;
    int32_t loopRuns = 0;
};

TEST_F(VideoSpriteTest, PlayShowsFrameZeroAndALongStallAdvancesTwoFramesOnly)
{
    spriteOver(10).play(false);
    EXPECT_TRUE(sprite.isPlaying());
    EXPECT_EQ(sprite.currentFrame(), 0);
    EXPECT_EQ(sprite.endFrame(), 9);
    log.clear();
    sprite.update(1000);
    EXPECT_EQ(sprite.currentFrame(), 2);
    EXPECT_EQ(log, (std::vector<std::string>{"v:skip 1", "v:drop 0", "v:show 2", "v:drop 1"}));
    // Less than a frame time shows nothing new.
    log.clear();
    sprite.update(49);
    EXPECT_TRUE(log.empty());
}

TEST_F(VideoSpriteTest, LoopCountsDecideHowManyRunsPlay)
{
    struct Case
    {
        int32_t loops;
        int32_t updates;
        int32_t finishes;
        int32_t loopRuns;
        bool playing;
    };
    const Case cases[] = {
        {0, 9, 0, 0, true},   // frames 0 .. 9 shown
        {0, 10, 1, 0, false}, // the update after frame 9 ends the run
        {0, 40, 1, 0, false}, // and nothing plays afterwards
        // Three runs of ten frames; the update that ends a run also takes
        // one frame time off the clock, so later runs start a frame late.
        {2, 31, 0, 2, true},
        {2, 32, 1, 2, false},
        {-1, 10 + 11 * 17, 0, 18, true}, // never stops
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "loops " << c.loops << " updates " << c.updates);
        finishes = loopRuns = 0;
        sprite.setVideo({}, false);
        spriteOver(10);
        countCallbacks();
        sprite.setLoops(c.loops);
        sprite.play(false);
        for (int32_t n = 0; n < c.updates; ++n)
            sprite.update(50);
        EXPECT_EQ(finishes, c.finishes);
        EXPECT_EQ(loopRuns, c.loopRuns);
        EXPECT_EQ(sprite.isPlaying(), c.playing);
    }
}

TEST_F(VideoSpriteTest, ReversePlayRunsFromTheLastFrameToTheFirst)
{
    spriteOver(4).play(true);
    EXPECT_EQ(log, (std::vector<std::string>{"v:show 0", "v:skip 0", "v:skip 1", "v:skip 2", "v:show 3"}));
    countCallbacks();
    std::vector<int32_t> frames;
    for (int32_t n = 0; n < 4; ++n) {
        sprite.update(50);
        frames.push_back(sprite.currentFrame());
    }
    EXPECT_EQ(frames, (std::vector<int32_t>{2, 1, 0, 0}));
    EXPECT_EQ(finishes, 1);
}

TEST_F(VideoSpriteTest, SeeksDecodeWhatTheTargetNeeds)
{
    spriteOver(10).play(false);
    log.clear();
    sprite.seekFrame(0);
    EXPECT_TRUE(log.empty());
    sprite.seekAndShow(3); // forwards: from the current frame
    EXPECT_EQ(log, (std::vector<std::string>{"v:skip 0", "v:skip 1", "v:skip 2", "v:show 3"}));
    log.clear();
    sprite.seekAndShow(2); // backwards: from frame 0
    EXPECT_EQ(log, (std::vector<std::string>{"v:skip 0", "v:skip 1", "v:show 2"}));
    log.clear();
    sprite.seekAndShow(500); // past the end: the last frame
    EXPECT_EQ(sprite.currentFrame(), 9);
    EXPECT_EQ(shows(), 1);
}

TEST_F(VideoSpriteTest, UnknownLengthIsNeverSeekedToItsEnd)
{
    // Reversed play has no last frame to start from: the clip plays forwards.
    spriteOver(5, false).play(true);
    EXPECT_TRUE(sprite.isLengthUnknown());
    EXPECT_FALSE(sprite.isReversed());
    EXPECT_EQ(sprite.currentFrame(), 0);
    EXPECT_LT(player->decodes, 3);
    countCallbacks();
    for (int32_t n = 0; n < 10; ++n)
        sprite.update(50);
    EXPECT_EQ(finishes, 1); // the player's end marker ends the run
    // A seek to the largest frame stops where the player reports its end.
    log.clear();
    sprite.seekAndShow(FVideoPlayer::k_endOfVideo - 1);
    EXPECT_LT(log.size(), 10u);
}

TEST_F(VideoSpriteTest, VideoWithoutFramesEndsAtOnce)
{
    spriteOver(0).play(false);
    countCallbacks();
    sprite.setLoops(-1);
    sprite.update(1);
    EXPECT_FALSE(sprite.isPlaying());
    EXPECT_EQ(finishes, 1);
    EXPECT_EQ(player->decodes, 0);
    sprite.seekAndShow(3);
    EXPECT_EQ(player->decodes, 0);
}

TEST_F(VideoSpriteTest, SameVideoChangesNothingAndPausedSpritesWait)
{
    spriteOver(10).play(false);
    const FRefT<FVideo> shown = sprite.video();
    sprite.setVideo(shown, true);
    EXPECT_TRUE(sprite.isPlaying());
    sprite.setPaused(true);
    sprite.update(50);
    EXPECT_EQ(sprite.currentFrame(), 0);
    sprite.setVideo(recordedVideo("w", 3, log), false);
    EXPECT_FALSE(sprite.isPlaying());
    sprite.setAnimationFrameRate(0); // no division by zero: the time stays
    EXPECT_EQ(sprite.frameTime(), 50);
    sprite.setAnimationFrameRate(12);
    EXPECT_EQ(sprite.frameTime(), 83);
}

TEST_F(VideoSpriteTest, FrameImageMirrorsItsCountsOntoTheVideo)
{
    spriteOver(3);
    FVideo* video = sprite.video().get();
    ASSERT_NE(video, nullptr);
    // The visible sprite is the image's user, its handle a reference.
    EXPECT_EQ(video->users(), 1);
    EXPECT_EQ(video->references(), 1);
    sprite.setVisible(false);
    EXPECT_EQ(video->users(), 0);
    EXPECT_EQ(player->releases, 1);
    const int32_t decoded = player->decodes;
    sprite.setVisible(true);
    EXPECT_EQ(video->users(), 1);
    EXPECT_EQ(player->decodes, decoded + 1); // the next finish decoded frame 0 again
    const FRefT<FVideo> kept = sprite.video();
    sprite.setVideo({}, false);
    EXPECT_EQ(kept->users(), 0);
    EXPECT_EQ(kept->references(), 0);
    EXPECT_EQ(sprite.getImage().get(), nullptr);
}

} // namespace
