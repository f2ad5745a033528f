#include "engine/video/VideoTestSupport.h"

#include "image/FPngLoader.h"
#include "tools/videowriters/GwVideoWriter.h"
#include "video/FGWVideo.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using GwVideo = VideoUnderTest<FGWVideo>;

constexpr int32_t k_w = 8;
constexpr int32_t k_h = 6;

GwFrameRecord pngFrame(uint32_t seed)
{
    return GwFrameRecord::png(gwTestPngPicture(k_w, k_h, seed));
}

// A delta picture: a checkerboard of alpha 1 (keep the previous pixel) over
// a fresh picture.
PngPicture deltaPicture(uint32_t seed)
{
    PngPicture p = gwTestPngPicture(k_w, k_h, seed);
    for (int32_t i = 0; i < k_w * k_h; ++i)
        if ((i + i / k_w) % 2 == 0) p.samples[i * 4 + 3] = 1;
    return p;
}

GwFrameRecord deltaFrame(uint32_t seed)
{
    return GwFrameRecord::png(deltaPicture(seed), true);
}

// `count` PNG frames, key frames at the given frame numbers.
GwVideoFile pngVideo(int32_t count, std::vector<int32_t> keys)
{
    GwVideoFile file = gwPictureVideo(count, k_w, k_h, 100);
    file.keyFrames.clear();
    for (int32_t k : keys)
        file.keyFrames.push_back({k, -1});
    return file;
}

// Frames of every record kind: pictures, delta, repeat, empty, JPEG, J32, PVR.
GwVideoFile mixedVideo()
{
    GwVideoFile file = pngVideo(4, {0, 5});
    file.frames.push_back(deltaFrame(7));                                        // 4
    file.frames.push_back(pngFrame(8));                                          // 5 (key)
    file.frames.push_back(deltaFrame(9));                                        // 6
    file.frames.push_back(GwFrameRecord::repeatFrameZero());                     // 7
    file.frames.push_back(deltaFrame(10));                                       // 8: over frame 0's picture
    file.frames.push_back(GwFrameRecord::empty(0x05));                           // 9
    file.frames.push_back(GwFrameRecord::jpeg(TestPicture::make(k_w, k_h, 11))); // 10
    file.frames.push_back(
        GwFrameRecord::jpeg32(TestPicture::make(k_w, k_h, 12), gwTestPngPicture(k_w, k_h, 13)));
    file.frames.push_back(pngFrame(14)); // 12
    return file;
}

Bytes expectedPicture(const PngPicture& picture)
{
    FImage image;
    ByteStream s(writePng(picture));
    FPngLoader::load(s.stream(), image);
    return pictureOf(image);
}

Bytes expectedPng(uint32_t seed)
{
    return expectedPicture(gwTestPngPicture(k_w, k_h, seed));
}

} // namespace

// Header limits and broken headers: each case either loads or fails with the
// named check, and never reads out of bounds.
TEST(FGWVideoTest, HeaderLimits)
{
    struct Case
    {
        const char* name;
        void (*change)(GwVideoFile&);
        const char* failure; // empty: the header loads
    };
    const Case cases[] = {
        {"version 7", [](GwVideoFile& f) { f.version = 7; }, "version (7) == 8"},
        {"frame rate 0", [](GwVideoFile& f) { f.frameRate = 0; }, "m_framePerSecond (0) >= 1"},
        {"frame rate 100", [](GwVideoFile& f) { f.frameRate = 100; }, ""},
        {"frame rate 101", [](GwVideoFile& f) { f.frameRate = 101; }, "m_framePerSecond (101) >= 1"},
        {"negative frame count", [](GwVideoFile& f) { f.frameCountField = 0xFFFFFFFF; },
         "numberOfFrames (-1) >= 0"},
        {"frame count 100001", [](GwVideoFile& f) { f.frameCountField = 100001; }, "numberOfFrames (100001)"},
        {"250 key frames",
         [](GwVideoFile& f) {
             f.frames.assign(250, GwFrameRecord::empty(0x05));
             f.keyFrames.clear();
             for (int32_t i = 0; i < 250; ++i)
                 f.keyFrames.push_back({i, -1});
         },
         ""},
        {"251 key frames", [](GwVideoFile& f) { f.keyFrameCountField = 251; },
         "numberOfKeyFrames (251) >= 0"},
        {"key frame past the last frame",
         [](GwVideoFile& f) {
             f.keyFrames.push_back({3, 40});
         },
         "keyFrameFrame (3) >= 0 && keyFrameFrame < numberOfFrames (3)"},
        {"negative key frame",
         [](GwVideoFile& f) {
             f.keyFrames.push_back({-1, 40});
         },
         "keyFrameFrame (-1)"},
        {"key frame offset past the end",
         [](GwVideoFile& f) {
             f.keyFrames.push_back({1, 0x7FFFFFF0});
         },
         "keyFrameOffset (2147483632)"},
        {"key frame table longer than the file",
         [](GwVideoFile& f) {
             f.keyFrameCountField = 200;
             f.frames.clear();
         },
         "numberOfKeyFrames (200) <= bytes left"},
        {"sequence name of 1000 bytes",
         [](GwVideoFile& f) {
             f.sequenceBlock = true;
             f.sequences.push_back({std::string(1000, 'n'), 1, {}});
         },
         ""},
        {"sequence name of 1001 bytes",
         [](GwVideoFile& f) {
             f.sequenceBlock = true;
             f.sequences.push_back({std::string(1001, 'n'), 1, {}});
         },
         "sequence name length (1001) <= 1000"},
        {"sequence count beyond the file",
         [](GwVideoFile& f) {
             f.sequenceBlock = true;
             f.sequenceCountField = 0xFFFFFFFF - 1;
         },
         "sequences (4294967294) <= bytes left"},
        {"entry count beyond the file",
         [](GwVideoFile& f) {
             f.sequenceBlock = true;
             GwSequence s;
             s.name = "walk";
             s.entryCountField = 0x10000000;
             f.sequences.push_back(s);
         },
         "sequence entries (268435456) <= bytes left"},
        {"frame type 0x20", [](GwVideoFile& f) { f.frames[1] = GwFrameRecord::empty(0x20); },
         "Unsupported type (32) & 0xf0"},
        {"frame type 0x01 (no loader)", [](GwVideoFile& f) { f.frames[1] = GwFrameRecord::empty(0x01); },
         "Unsupported type (1) & 0xf0"},
        {"repeat record cut short",
         [](GwVideoFile& f) {
             f.frames.push_back(GwFrameRecord::repeatFrameZero());
             f.frames.back().body.resize(5);
         },
         "sizeRead (5) == sizeToRead (16)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GwVideoFile file = pngVideo(3, {0});
        c.change(file);
        GwVideo video(writeGwVideo(file), false);
        if (*c.failure == '\0') {
            video.player().readHeader();
            EXPECT_EQ(video.player().frameCount(), static_cast<int32_t>(file.frames.size()));
        } else {
            EXPECT_NE(failureOf([&] { video.player().readHeader(); }).find(c.failure), std::string::npos);
        }
    }
}

TEST(FGWVideoTest, HeaderGivesRateSizeKeyFramesAndSequences)
{
    GwVideoFile file = pngVideo(10, {0, 4, 7});
    file.frameRate = 12;
    file.sequenceBlock = true;
    GwSequence walk;
    walk.name = "walk";
    walk.loop = 1;
    GwSequenceEntry e;
    e.values[12] = 99;
    walk.entries = {e, e, e};
    walk.entries[2].startsGroup = true;
    GwSequence idle;
    idle.name = "idle";
    idle.loop = 2;
    file.sequences = {walk, idle};
    GwVideo video(writeGwVideo(file), true);
    FGWVideo& player = video.player();
    player.readHeader();

    EXPECT_EQ(video.host().frameRate(), 12u);
    EXPECT_EQ(video.host().width(), k_w);
    EXPECT_EQ(video.host().height(), k_h);
    EXPECT_EQ(player.frameCount(), 10);
    ASSERT_EQ(player.keyFrameCount(), 3);
    EXPECT_EQ(player.keyFrameFrame(1), 4);
    EXPECT_EQ(player.keyFrameLength(0), 4);
    EXPECT_EQ(player.keyFrameLength(2), 3); // the last one counts to the frame count
    ASSERT_EQ(player.sequences().size(), 2u);
    EXPECT_EQ(player.sequences()[0].m_name, "walk");
    EXPECT_TRUE(player.sequences()[0].m_loop);
    EXPECT_FALSE(player.sequences()[1].m_loop); // only the value 1 loops
    ASSERT_EQ(player.sequences()[0].m_groups.size(), 2u);
    EXPECT_EQ(player.sequences()[0].m_groups[0].size(), 2u);
    EXPECT_EQ(player.sequences()[0].m_groups[1][0].m_values[12], 99u);
    // Only frame 0 is decoded up front when the source is kept.
    EXPECT_EQ(player.decodeCount(), 1);
    EXPECT_TRUE(player.isFrameStored(0));
    EXPECT_FALSE(player.isFrameStored(1));
}

TEST(FGWVideoTest, FramesOfEveryRecordKind)
{
    GwVideo video(writeGwVideo(mixedVideo()), false);
    video.player().readHeader();
    FVideoTarget target;
    auto shown = [&](int32_t n) {
        video.show(target, n);
        return pictureOf(target);
    };
    EXPECT_EQ(shown(2), expectedPng(102));
    EXPECT_EQ(shown(12), expectedPng(14));

    // Delta: alpha-1 pixels keep the picture before it, the others are new.
    const Bytes before = shown(3);
    const Bytes own = expectedPicture(deltaPicture(7));
    const Bytes delta = shown(4);
    ASSERT_EQ(delta.size(), before.size());
    int kept = 0;
    for (std::size_t p = 0; p < delta.size(); p += 4) {
        const bool keptHere = own[p + 3] == 1;
        const Bytes& from = keptHere ? before : own;
        kept += keptHere;
        EXPECT_TRUE(std::equal(delta.begin() + p, delta.begin() + p + 4, from.begin() + p)) << "byte " << p;
    }
    EXPECT_EQ(kept, k_w * k_h / 2);

    // The repeat record shows frame 0's own picture.
    video.show(target, 7);
    video.show(target, 0);
    const FImage* frameZero = target.sourceImage().get();
    video.show(target, 7);
    EXPECT_EQ(target.sourceImage().get(), frameZero);

    // An empty record leaves an empty picture and the next record still reads.
    EXPECT_TRUE(shown(9).empty());
    EXPECT_EQ(shown(10).size(), static_cast<std::size_t>(k_w * k_h * 4));
    video.show(target, 11);
    EXPECT_EQ(getImagePixel(*target.sourceImage(), {0, 0})[3], expectedPng(13)[3]);
}

TEST(FGWVideoTest, PvrFramesLoadAsTheirOpaqueKind)
{
    GwVideoFile file = pngVideo(1, {0});
    PvrFile pvr;
    pvr.width = 8;
    pvr.height = 8;
    pvr.payload.assign(32, 0xA5);
    file.frames.push_back(GwFrameRecord::pvr(pvr));
    file.frames.push_back(pngFrame(3));
    GwVideo video(writeGwVideo(file), false);
    video.player().readHeader();
    FVideoTarget target;
    video.show(target, 1);
    EXPECT_EQ(target.sourceImage()->format(), k_pixelPvr4);
    EXPECT_EQ(target.sourceImage()->width(), 8);
    video.show(target, 2);
    EXPECT_EQ(pictureOf(target), expectedPng(3));
}

// Seeks in keep-source mode decode only what they must.
TEST(FGWVideoTest, SeekCostsFollowTheNearestStart)
{
    GwVideo video(writeGwVideo(pngVideo(12, {0, 8})), true);
    FGWVideo& player = video.player();
    player.readHeader();
    FVideoTarget target;
    for (int32_t n = 1; n <= 3; ++n)
        video.show(target, n);

    int64_t before = player.decodeCount();
    EXPECT_EQ(video.show(target, 4), 4);
    EXPECT_EQ(player.decodeCount() - before, 1);
    EXPECT_EQ(pictureOf(target), expectedPng(104));

    FVideoTarget other;
    video.show(other, 3);
    before = player.decodeCount();
    EXPECT_EQ(video.show(other, 10), 10);
    EXPECT_EQ(player.decodeCount() - before, 3); // key frame 8, then 9 and 10
    EXPECT_EQ(pictureOf(other), expectedPng(110));
    EXPECT_TRUE(player.isFrameStored(8));
    EXPECT_TRUE(player.isFrameStored(10));
    EXPECT_FALSE(player.isFrameStored(7));

    before = player.decodeCount();
    video.show(other, 10);
    video.show(other, 8);
    EXPECT_EQ(player.decodeCount(), before); // both kept
}

// Every frame, in any order, in keep-source mode shows the picture of the full
// decode, with or without key frames and after kept frames were dropped.
TEST(FGWVideoTest, KeepSourceMatchesFullDecode)
{
    struct Case
    {
        const char* name;
        std::vector<int32_t> keys;
        bool dropKept;
    };
    const Case cases[] = {
        {"key frames at 0 and 5", {0, 5}, false},
        {"first key frame after frame 0", {5}, false},
        {"empty key-frame table", {}, false},
        {"empty key-frame table, kept frames dropped", {}, true},
        {"key frames, kept frames dropped", {0, 5}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GwVideoFile file = mixedVideo();
        file.keyFrames.clear();
        for (int32_t k : c.keys)
            file.keyFrames.push_back({k, -1});
        const Bytes bytes = writeGwVideo(file);
        GwVideo full(bytes, false);
        full.player().readHeader();
        GwVideo streamed(bytes, true);
        streamed.player().readHeader();

        const int32_t count = full.player().frameCount();
        std::vector<Bytes> pictures;
        FVideoTarget reference;
        for (int32_t n = 0; n < count; ++n) {
            full.show(reference, n);
            pictures.push_back(pictureOf(reference));
        }
        std::mt19937 random(7);
        std::uniform_int_distribution<int32_t> pick(0, count - 1);
        FVideoTarget target;
        for (int step = 0; step < 60; ++step) {
            const int32_t n = pick(random);
            if (c.dropKept && step % 7 == 3) streamed.player().dropAllFrames();
            ASSERT_EQ(streamed.show(target, n), n);
            ASSERT_EQ(pictureOf(target), pictures[n]) << "frame " << n << " at step " << step;
        }
    }
}

TEST(FGWVideoTest, FrameNumbersOutsideTheVideoFail)
{
    GwVideo video(writeGwVideo(pngVideo(4, {0})), true);
    FGWVideo& player = video.player();
    player.readHeader();
    FVideoTarget target;
    for (int32_t n : {-1, 4, 1000}) {
        SCOPED_TRACE(n);
        EXPECT_NE(failureOf([&] { player.seekFrame(target, n); }).find("< numberOfFrames (4)"),
                  std::string::npos);
    }
    EXPECT_NE(failureOf([&] { player.showKeyFrame(target, 1); }).find("key (1)"), std::string::npos);
    EXPECT_NE(failureOf([&] { player.keyFrameLength(-1); }).find("key (-1)"), std::string::npos);
    EXPECT_NE(failureOf([&] { player.storeFrame(target, -1); }).find("frame (-1)"), std::string::npos);
    // Dropping clamps to the video.
    player.dropFrames(-5, 1000);
    EXPECT_FALSE(player.isFrameStored(0));
    EXPECT_EQ(video.show(target, 3), 3);
    EXPECT_EQ(pictureOf(target), expectedPng(103));
}

TEST(FGWVideoTest, VideoWithoutFramesLoadsEmpty)
{
    GwVideoFile file;
    GwVideo video(writeGwVideo(file), true);
    video.player().readHeader();
    EXPECT_EQ(video.player().frameCount(), 0);
    EXPECT_EQ(video.host().width(), 0);
    FVideoTarget target;
    EXPECT_NE(failureOf([&] { video.player().seekFrame(target, 0); }).find("frame (0)"), std::string::npos);
}

// A header that fails half way answers for no frames at all, and a target
// whose frame number came from elsewhere (the largest number) still seeks.
TEST(FGWVideoTest, FailedHeaderHoldsNoFramesAndStrangeTargetsSeek)
{
    GwVideoFile broken = pngVideo(4, {0});
    broken.keyFrames.push_back({9, 30});
    GwVideo video(writeGwVideo(broken), true);
    failureOf([&] { video.player().readHeader(); });
    EXPECT_EQ(video.player().frameCount(), 0);
    EXPECT_EQ(video.player().keyFrameCount(), 0);
    FVideoTarget target;
    EXPECT_NE(failureOf([&] { video.player().seekFrame(target, 1); }).find("frame (1)"), std::string::npos);

    GwVideo good(writeGwVideo(pngVideo(4, {0})), true);
    good.player().readHeader();
    target.setCurrentFrame(FVideoPlayer::k_endOfVideo);
    EXPECT_EQ(good.show(target, 2), 2);
    EXPECT_EQ(pictureOf(target), expectedPng(102));
}
