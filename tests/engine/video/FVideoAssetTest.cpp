#include "engine/video/VideoTestSupport.h"

#include "asset/FAssetStream.h"
#include "core/FApplication.h"
#include "core/FServiceSlots.h"
#include "io/FFolderFileSystem.h"
#include "tools/videowriters/GwVideoWriter.h"
#include "tools/videowriters/TheoraWriter.h"
#include "ui/FAssetKinds.h"
#include "video/FGWVideo.h"
#include "video/FVideo.h"
#include "video/FVideoLoaderModule.h"
#include "video/FVideoTheora.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

FRefT<FInStream> streamOver(const Bytes& bytes)
{
    void* block = engineAlloc(k_memData, bytes.size() + 1);
    std::memcpy(block, bytes.data(), bytes.size());
    return FAssetStream::makeOver(makeRefHolder(block), block, static_cast<int64_t>(bytes.size()));
}

Bytes gwFile(int32_t frames)
{
    GwVideoFile file = gwPictureVideo(frames, 6, 4, 30);
    file.frameRate = 20;
    return writeGwVideo(file);
}

Bytes theoraFile()
{
    TheoraClip clip = movingClip(32, 16, 3, 8);
    clip.fpsNumerator = 15;
    return writeTheora(clip);
}

class VideoAssetTest : public ::testing::Test
{
protected:
    FRefT<FFileEntry> fileWith(const std::string& name, const Bytes& bytes)
    {
        const std::filesystem::path path = scratch.path() / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        FFileEntryMap found = m_plain.find(FString(path.string().c_str()));
        return found.begin()->second;
    }

    FApplication application;
    FVideoLoaderModule gwModule{k_slotGwVideoLoader, ".gwvideo"};
    FVideoLoaderModule theoraModule{k_slotTheoraLoader, ".theora"};
    RecordingErrorHandler handler;
    ScratchFolder scratch;

private:
    FFolderFileSystem m_plain{FFolderFileSystem::k_folderNone};
};

} // namespace

TEST_F(VideoAssetTest, KindDataPicksPlayerAndLoaderByExactExtension)
{
    struct Case
    {
        const char* name;
        uint8_t loopByte;
        FAssetLoader* loader;
        bool gw;
        bool theora;
    };
    const Case cases[] = {
        {"a_0.gwvideo", 1, &gwModule, true, false},
        {"b_0.theora", 2, &theoraModule, false, true},
        {"c_0.GWVIDEO", 1, nullptr, false, false},
        {"d_0.ogv", 0, nullptr, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FVideo video;
        video.setCandidates({fileWith(c.name, {})});
        video.readKindData(*streamOver({c.loopByte}).get());
        EXPECT_EQ(video.loader(), c.loader);
        EXPECT_EQ(dynamic_cast<FGWVideo*>(video.player()) != nullptr, c.gw);
        EXPECT_EQ(dynamic_cast<FVideoTheora*>(video.player()) != nullptr, c.theora);
        EXPECT_EQ(video.loops(), c.loopByte == 1);
    }
    EXPECT_EQ(gwModule.priority(), 10);
    // Screen-file objects of kind 7 are videos.
    const FRef made = FAssetKinds::create(7);
    EXPECT_NE(dynamic_cast<FVideo*>(made.as<FAsset>()), nullptr);
}

TEST_F(VideoAssetTest, GwVideoLoadsWhenOpenedAndUnloadsWithItsLastUser)
{
    FVideo video;
    video.setCandidates({fileWith("000007_0.gwvideo", gwFile(5))});
    video.readKindData(*streamOver({1}).get());
    video.openFirstSource();
    ASSERT_TRUE(video.isLoaded());
    EXPECT_EQ(video.framePerSecond(), 20u);
    EXPECT_EQ(video.width(), 6);
    EXPECT_EQ(video.height(), 4);
    auto* player = dynamic_cast<FGWVideo*>(video.player());
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(player->isFrameStored(4)); // every frame decoded at load

    video.setLoadMode(FAsset::k_modeRelease);
    video.addUser();
    video.dropUser();
    EXPECT_FALSE(player->isFrameStored(4));
    video.addUser();
    EXPECT_EQ(player->frameCount(), 5);
    FVideoTarget target;
    EXPECT_EQ(player->seekFrame(target, 3), 3);
    EXPECT_EQ(target.sourceImage()->width(), 6);
}

TEST_F(VideoAssetTest, KeptSourceDecodesFramesOnDemand)
{
    FVideo video;
    video.setEntryFlags(FAsset::k_flagKeepSource);
    video.choosePlayer(FString(".gwvideo"));
    video.setSource(streamOver(gwFile(6)));
    ASSERT_TRUE(video.isLoaded());
    auto* player = dynamic_cast<FGWVideo*>(video.player());
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->decodeCount(), 1);
    FVideoTarget target;
    EXPECT_EQ(player->seekFrame(target, 5), 5);
    EXPECT_EQ(player->decodeCount(), 6);
    EXPECT_EQ(target.sourceImage()->height(), 4);
}

TEST_F(VideoAssetTest, TheoraVideoFromItsLoaderPlays)
{
    FRef handle = FAsset::emptyHandle();
    theoraModule.createFromStream(handle, streamOver(theoraFile()));
    auto* video = handle.as<FVideo>();
    ASSERT_NE(video, nullptr);
    EXPECT_TRUE(video->isLoaded());
    EXPECT_EQ(video->framePerSecond(), 15u);
    EXPECT_EQ(video->width(), 32);
    FVideoTarget target;
    for (int32_t n = 0; n < 3; ++n)
        EXPECT_EQ(video->player()->seekFrame(target, n), n);
    EXPECT_EQ(video->player()->seekFrame(target, 3), FVideoPlayer::k_endOfVideo);
}

TEST_F(VideoAssetTest, DamagedVideoStaysFailed)
{
    Bytes broken = gwFile(3);
    broken.resize(broken.size() - 40);
    FRef handle = FAsset::emptyHandle();
    gwModule.createFromStream(handle, streamOver(broken));
    auto* video = handle.as<FVideo>();
    ASSERT_NE(video, nullptr);
    EXPECT_TRUE(video->hasFailed());
    EXPECT_FALSE(handler.texts.empty());
}
