#include "engine/video/VideoTestSupport.h"

#include "asset/FAssetStream.h"
#include "core/FApplication.h"
#include "core/FServiceSlots.h"
#include "game/widgets/VideoFrameImage.h"
#include "game/widgets/VideoSprite.h"
#include "tools/videowriters/GwVideoWriter.h"
#include "ui/FContainer.h"
#include "video/FVideo.h"
#include "video/FVideoLoaderModule.h"
#include "video/FVideoPlayer.h"

#include <gtest/gtest.h>

namespace {

// A GW clip made by our writer, played by a sprite through the real player.
TEST(VideoSpriteClipTest, GwClipPlaysItsFramesAndEnds)
{
    FApplication application;
    FVideoLoaderModule gwModule{k_slotGwVideoLoader, ".gwvideo"};
    GwVideoFile file = gwPictureVideo(4, 6, 4, 11);
    const Bytes bytes = writeGwVideo(file);
    FRef handle = FAsset::emptyHandle();
    gwModule.createFromStream(handle,
                              FAssetStream::makeCopy(bytes.data(), static_cast<int64_t>(bytes.size())));
    FRefT<FVideo> video(handle);
    ASSERT_NE(video.get(), nullptr);
    ASSERT_TRUE(video->isLoaded());

    // The pictures a player shows for each frame, for comparison.
    std::vector<Bytes> expected;
    for (int32_t frame = 0; frame < 4; ++frame) {
        FVideoTarget target;
        video->player()->seekFrame(target, frame);
        expected.push_back(pictureOf(target));
    }
    ASSERT_NE(expected[0], expected[1]);

    FContainer root;
    VideoSprite sprite(&root);
    sprite.setVideo(video, true);
    EXPECT_EQ(sprite.width(), 6);
    EXPECT_EQ(sprite.height(), 4);
    sprite.play(false);
    EXPECT_EQ(pictureOf(*sprite.frameImage()), expected[0]);
    sprite.update(50);
    EXPECT_EQ(pictureOf(*sprite.frameImage()), expected[1]);
    sprite.update(100); // two frames: the last one is shown
    EXPECT_EQ(sprite.currentFrame(), 3);
    EXPECT_EQ(pictureOf(*sprite.frameImage()), expected[3]);
    sprite.update(50);
    EXPECT_FALSE(sprite.isPlaying());

    // Backwards from the last frame.
    sprite.play(true);
    EXPECT_EQ(pictureOf(*sprite.frameImage()), expected[3]);
    sprite.update(50);
    EXPECT_EQ(pictureOf(*sprite.frameImage()), expected[2]);
}

} // namespace
