#include "engine/video/VideoTestSupport.h"
#include "tools/kittooldecode/KitDecodeSupport.h"

#include "image/FPngLoader.h"
#include "tools/imagewriters/ContainerWriters.h"
#include "tools/videowriters/GwVideoWriter.h"
#include "tools/videowriters/TheoraWriter.h"
#include "video/FGWVideo.h"
#include "video/FVideoTheora.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The written PNG through the engine's loader, as bottom-up B, G, R, A.
Bytes writtenPicture(const std::string& path)
{
    const std::string text = slurp(path);
    ByteStream stream(Bytes(text.begin(), text.end()));
    FImage image;
    FPngLoader::load(stream.stream(), image);
    return pictureOf(image);
}

template <class P> Bytes playerPicture(const Bytes& file, int32_t frame)
{
    VideoUnderTest<P> video(file, true);
    video.player().readHeader();
    FVideoTarget target;
    for (int32_t n = 0; n <= frame; ++n)
        video.show(target, n);
    return pictureOf(target);
}

Bytes gwVideo()
{
    GwVideoFile file = gwPictureVideo(6, 10, 7, 40);
    file.frameRate = 15;
    file.keyFrames.push_back({4, -1});
    return writeGwVideo(file);
}

Bytes theoraVideo()
{
    TheoraClip clip = movingClip(32, 16, 5, 3);
    clip.fpsNumerator = 12;
    return writeTheora(clip);
}

class KitDecodeVideoTest : public ::testing::Test
{
protected:
    ScratchFolder m_scratch;
};

} // namespace

TEST_F(KitDecodeVideoTest, FramesComeOutAsThePlayersShowThem)
{
    spill("walk.gwvideo", gwVideo());
    spill("clip.theora", theoraVideo());
    struct Case
    {
        const char* arguments;
        const char* output;
        Bytes expected;
    };
    const Case cases[] = {
        {"walk.gwvideo first.png", "first.png", playerPicture<FGWVideo>(gwVideo(), 0)},
        {"walk.gwvideo fifth.png --frame 5", "fifth.png", playerPicture<FGWVideo>(gwVideo(), 5)},
        {"clip.theora --frame 3 third.png", "third.png", playerPicture<FVideoTheora>(theoraVideo(), 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        ASSERT_EQ(decode(c.arguments), 0) << slurp("err.txt");
        EXPECT_EQ(writtenPicture(c.output), c.expected);
    }
}

TEST_F(KitDecodeVideoTest, InfoGivesCountRateAndSize)
{
    spill("walk.gwvideo", gwVideo());
    spill("clip.theora", theoraVideo());
    ASSERT_EQ(decode("walk.gwvideo --info"), 0) << slurp("err.txt");
    EXPECT_NE(slurp("out.txt").find("6 frames, 15 fps, 10 x 7"), std::string::npos) << slurp("out.txt");
    ASSERT_EQ(decode("clip.theora --info"), 0) << slurp("err.txt");
    EXPECT_NE(slurp("out.txt").find("5 frames, 12 fps, 32 x 16"), std::string::npos) << slurp("out.txt");
}

TEST_F(KitDecodeVideoTest, WrongRequestsFail)
{
    spill("walk.gwvideo", gwVideo());
    spill("clip.theora", theoraVideo());
    spill("broken.gwvideo", Bytes{0, 0, 0, 7});
    struct Case
    {
        const char* arguments;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"walk.gwvideo out.png --frame 6", 1, "past the last frame"},
        {"clip.theora out.png --frame 5", 1, "ends before frame 5"},
        {"broken.gwvideo out.png", 1, "version"},
        {"walk.gwvideo out.png --frame -1", 2, "usage"},
        {"walk.gwvideo", 2, "usage"},
        {"walk.gwvideo out.png --info", 2, "usage"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        EXPECT_EQ(decode(c.arguments), c.status);
        EXPECT_NE(slurp("err.txt").find(c.message), std::string::npos) << slurp("err.txt");
    }
}

namespace {

int videowriter(const std::string& arguments)
{
    return exitCodeOf(std::string(VIDEOWRITER_PATH) + " " + arguments + " >out.txt 2>err.txt");
}

Bytes loadedPicture(const Bytes& png)
{
    ByteStream stream(png);
    FImage image;
    FPngLoader::load(stream.stream(), image);
    return pictureOf(image);
}

} // namespace

// Files of the videowriter tool decode back to the pictures they were made of.
TEST_F(KitDecodeVideoTest, WrittenVideosRoundTrip)
{
    std::vector<PngPicture> pictures;
    for (uint32_t i = 0; i < 3; ++i)
        pictures.push_back(gwTestPngPicture(16, 16, 60 + i));
    // The third picture is a delta: its top-left pixel keeps the second's.
    pictures[2].samples[3] = 1;
    for (std::size_t i = 0; i < pictures.size(); ++i)
        spill("frame" + std::to_string(i) + ".png", writePng(pictures[i]));
    // One picture with its own trailer, which the writer keeps.
    Bytes trailed = writePng(pictures[1]);
    const Bytes trailer = placementTrailer(0, 0, 16, 16);
    trailed.insert(trailed.end(), trailer.begin(), trailer.end());
    spill("frame1.png", trailed);

    ASSERT_EQ(
        videowriter("gw walk.gwvideo --fps 10 --key 0 --key 2 --repeat 1 --delta 3 frame0.png frame1.png "
                    "frame2.png"),
        0)
        << slurp("err.txt");
    ASSERT_EQ(decode("walk.gwvideo --info"), 0) << slurp("err.txt");
    EXPECT_NE(slurp("out.txt").find("4 frames, 10 fps, 16 x 16"), std::string::npos) << slurp("out.txt");
    Bytes expectedDelta = loadedPicture(writePng(pictures[2]));
    const Bytes second = loadedPicture(writePng(pictures[1]));
    // The top-left pixel is the last one of bottom-up rows' top row start.
    const std::size_t topLeft = static_cast<std::size_t>(15) * 16 * 4;
    std::copy(second.begin() + topLeft, second.begin() + topLeft + 4, expectedDelta.begin() + topLeft);
    const Bytes expected[] = {loadedPicture(writePng(pictures[0])), loadedPicture(writePng(pictures[0])),
                              second, expectedDelta};
    for (int32_t n = 0; n < 4; ++n) {
        SCOPED_TRACE(n);
        ASSERT_EQ(decode("walk.gwvideo frame.png --frame " + std::to_string(n)), 0) << slurp("err.txt");
        EXPECT_EQ(writtenPicture("frame.png"), expected[n]);
    }

    ASSERT_EQ(
        videowriter("theora clip.theora --fps 30000/1001 --sampling 444 --quality 63 frame0.png frame1.png"),
        0)
        << slurp("err.txt");
    ASSERT_EQ(decode("clip.theora --info"), 0) << slurp("err.txt");
    EXPECT_NE(slurp("out.txt").find("2 frames, 29 fps, 16 x 16"), std::string::npos) << slurp("out.txt");

    EXPECT_EQ(videowriter("gw bad.gwvideo --key 5 frame0.png"), 1);
    EXPECT_NE(slurp("err.txt").find("key frame past the last frame"), std::string::npos);
    EXPECT_EQ(videowriter("gw bad.gwvideo --fps 0 frame0.png"), 2);
}
