#include "engine/asset/AssetTestSupport.h"

#include "io/FFolderFileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

using namespace assettest;

namespace {

class AssetTest : public ::testing::Test
{
protected:
    // A new asset of the counting kind with the given entry flags and mode,
    // not yet attached.
    CountingAsset& make(uint8_t flags, int32_t mode = FAsset::k_modeDefault)
    {
        handle = FAsset::emptyHandle();
        FAsset* asset = engineNew<CountingAsset>(k_memObject);
        handle.setTarget(asset);
        asset->setEntryFlags(flags);
        asset->setLoadMode(mode);
        asset->setLoader(&loader);
        return *static_cast<CountingAsset*>(asset);
    }

    // A file in the scratch folder listed as the asset's only candidate.
    void giveCandidate(CountingAsset& asset, const std::string& text)
    {
        const std::filesystem::path path = scratch.path() / "000001_0.dat";
        std::ofstream(path, std::ios::binary) << text;
        FFileEntryMap found = m_plain.find(FString(path.string().c_str()));
        ASSERT_EQ(found.size(), 1u);
        asset.setCandidates({found.begin()->second});
    }

    RecordingErrorHandler handler;
    ScratchFolder scratch;
    CountingLoader loader;
    FRef handle;

private:
    FFolderFileSystem m_plain{FFolderFileSystem::k_folderNone};
};

TEST_F(AssetTest, WhenTheEntryDecidesTheDecodeHappens)
{
    struct Case
    {
        uint8_t flags;
        int loadsAtAttach;
    };
    const Case cases[] = {
        {0, 1},
        {FAsset::k_flagLoadOnUse, 0},
        {FAsset::k_flagUnloadWhenUnused, 0},
        {FAsset::k_flagPreload, 0}, // buffered at attach, decoded at the first user
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.flags));
        loader.loads = 0;
        CountingAsset& asset = make(c.flags);
        asset.setSource(memoryStream("abc"));
        EXPECT_EQ(loader.loads, c.loadsAtAttach);
        asset.addUser();
        asset.addUser(); // loaded already: no second decode
        EXPECT_EQ(loader.loads, 1);
        EXPECT_EQ(asset.content, "abc");
        EXPECT_EQ(asset.state(), FAsset::k_loaded);
    }
}

TEST_F(AssetTest, LastUserUnloadsByModeAndFlags)
{
    struct Case
    {
        uint8_t flags;
        int32_t mode;
        int32_t stateAfter;
    };
    const Case cases[] = {
        {0, FAsset::k_modeDefault, FAsset::k_loaded},
        {FAsset::k_flagLoadOnUse, FAsset::k_modeDefault, FAsset::k_loaded},
        {FAsset::k_flagPreload, FAsset::k_modeDefault, FAsset::k_buffered},
        {FAsset::k_flagPreload, FAsset::k_modeKeep, FAsset::k_loaded},
        {0, FAsset::k_modeRelease, FAsset::k_unloaded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.flags) << " mode " << c.mode);
        CountingAsset& asset = make(c.flags, c.mode);
        asset.setSource(memoryStream("abc"));
        asset.addUser();
        asset.dropUser();
        EXPECT_EQ(asset.state(), c.stateAfter);
        EXPECT_EQ(asset.content.empty(), c.stateAfter != FAsset::k_loaded);
    }
}

TEST_F(AssetTest, PreloadedAssetDecodesAgainFromItsMemoryCopy)
{
    CountingAsset& asset = make(FAsset::k_flagPreload);
    asset.setSource(memoryStream("first"));
    EXPECT_EQ(asset.state(), FAsset::k_buffered);
    asset.addUser();
    asset.dropUser();
    EXPECT_EQ(asset.state(), FAsset::k_buffered);
    asset.addUser();
    EXPECT_EQ(loader.loads, 2);
    EXPECT_EQ(asset.content, "first");
}

TEST_F(AssetTest, UnloadWhenUnusedDropsTheSourceAndReopensTheFirstCandidate)
{
    CountingAsset& asset = make(FAsset::k_flagUnloadWhenUnused);
    giveCandidate(asset, "on disk");
    asset.openFirstSource();
    EXPECT_EQ(asset.state(), FAsset::k_requested);
    asset.addUser();
    EXPECT_EQ(asset.content, "on disk");
    asset.dropUser();
    EXPECT_EQ(asset.state(), FAsset::k_unloaded);
    EXPECT_TRUE(asset.content.empty());
    asset.addUser();
    EXPECT_EQ(asset.content, "on disk");
    EXPECT_EQ(loader.loads, 2);
}

TEST_F(AssetTest, PinHoldsAnUnloadUntilTheLastUnpin)
{
    CountingAsset& asset = make(FAsset::k_flagUnloadWhenUnused, FAsset::k_modeRelease);
    asset.setSource(memoryStream("abc"));
    asset.addUser();
    asset.pin();
    asset.pin();
    asset.dropUser();
    EXPECT_EQ(asset.state(), FAsset::k_loaded);
    asset.unpin();
    EXPECT_EQ(asset.state(), FAsset::k_loaded);
    asset.unpin();
    EXPECT_EQ(asset.state(), FAsset::k_unloaded);
    EXPECT_EQ(asset.releases, 1);
}

TEST_F(AssetTest, EachPinHoldsTheUnloadAndTheCountDecides)
{
    // pins: how many; unpins: how many are given back before the check.
    struct Case
    {
        int pins, unpins;
        bool unloaded;
    } const cases[] = {{0, 0, true}, {1, 0, false}, {1, 1, true}, {2, 1, false}, {3, 2, false}, {3, 3, true}};
    for (const Case& c : cases) {
        CountingAsset& asset = make(FAsset::k_flagUnloadWhenUnused, FAsset::k_modeRelease);
        asset.setSource(memoryStream("abc"));
        asset.addUser();
        for (int i = 0; i < c.pins; ++i)
            asset.pin();
        asset.dropUser();
        for (int i = 0; i < c.unpins; ++i)
            asset.unpin();
        EXPECT_EQ(asset.state(), c.unloaded ? FAsset::k_unloaded : FAsset::k_loaded)
            << c.pins << " pins, " << c.unpins << " unpins";
        EXPECT_EQ(asset.releases, c.unloaded ? 1 : 0) << c.pins << " pins, " << c.unpins << " unpins";
    }
    // A pin taken and given back with no unload asked for unloads nothing,
    // and a pin taken after that holds the next unload again.
    CountingAsset& asset = make(FAsset::k_flagUnloadWhenUnused, FAsset::k_modeRelease);
    asset.setSource(memoryStream("abc"));
    asset.addUser();
    asset.pin();
    asset.unpin();
    EXPECT_EQ(asset.state(), FAsset::k_loaded);
    asset.pin();
    asset.dropUser();
    EXPECT_EQ(asset.state(), FAsset::k_loaded);
    asset.unpin();
    EXPECT_EQ(asset.state(), FAsset::k_unloaded);
}

TEST_F(AssetTest, ForcedUnloadOfAnUnloadedAssetChangesNothing)
{
    CountingAsset& asset = make(0, FAsset::k_modeRelease);
    asset.setSource(memoryStream("abc"));
    asset.unload(true);
    EXPECT_EQ(asset.releases, 1);
    asset.unload(true);
    EXPECT_EQ(asset.releases, 1);
    EXPECT_EQ(asset.state(), FAsset::k_unloaded);
}

TEST_F(AssetTest, OpenFirstSourceWithoutCandidatesDoesNothing)
{
    CountingAsset& asset = make(0);
    asset.openFirstSource();
    EXPECT_EQ(asset.state(), FAsset::k_initial);
    EXPECT_EQ(asset.sourceIndex(), -1);
}

TEST_F(AssetTest, FailedDecodeStaysFailedInsteadOfReadingAsLoaded)
{
    CountingAsset& asset = make(0);
    asset.setSource(memoryStream("Xbroken"));
    EXPECT_EQ(handler.texts.size(), 1u);
    EXPECT_TRUE(asset.hasFailed());
    EXPECT_FALSE(asset.isLoaded());
    EXPECT_NE(asset.state(), FAsset::k_loaded);
    asset.addUser();
    asset.complete();
    EXPECT_EQ(loader.loads, 1) << "a failed asset is not decoded again on every use";
    EXPECT_FALSE(asset.isCompleted());
    EXPECT_TRUE(asset.content.empty());

    // A new source gives it a new chance.
    asset.setSource(memoryStream("good"));
    EXPECT_TRUE(asset.isLoaded());
    EXPECT_EQ(asset.content, "good");
}

TEST_F(AssetTest, CreateFromStreamTwiceReusesTheAsset)
{
    FRef shared = FAsset::emptyHandle();
    FRef copy = shared;
    loader.createFromStream(shared, memoryStream("one"));
    FAsset* first = shared.as<FAsset>();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(copy.as<FAsset>(), first) << "every copy of the handle sees the new asset";
    loader.createFromStream(shared, memoryStream("two"));
    EXPECT_EQ(shared.as<FAsset>(), first);
    EXPECT_EQ(static_cast<CountingAsset*>(first)->content, "two");
}

TEST_F(AssetTest, AttachFileMakesThisTheLoader)
{
    CountingAsset& asset = make(0);
    CountingLoader other;
    asset.setLoader(&other);
    giveCandidate(asset, "bytes");
    loader.attachFile(asset, asset.candidates().front());
    EXPECT_EQ(asset.loader(), &loader);
    EXPECT_EQ(loader.loads, 1);
    EXPECT_EQ(other.loads, 0);
}

// A UI-like, a worker-like and a mixer-like thread add and drop users and
// pins on one asset that unloads on its last user; the content is never seen
// half-made and the counts return to zero.
TEST_F(AssetTest, UsersOnThreeThreads)
{
    CountingAsset& asset = make(FAsset::k_flagUnloadWhenUnused, FAsset::k_modeDefault);
    giveCandidate(asset, "shared content");
    asset.openFirstSource();
    std::atomic<int> torn{0};
    auto run = [&](int seed) {
        for (int i = 0; i < 300; ++i) {
            asset.addUser();
            if ((i + seed) % 3 == 0) asset.pin();
            {
                FMutexLock lock(asset.lock());
                if (asset.isLoaded() && asset.content != "shared content") ++torn;
            }
            if ((i + seed) % 3 == 0) asset.unpin();
            asset.dropUser();
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back(run, t);
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(asset.users(), 0);
    EXPECT_EQ(asset.pins(), 0);
    EXPECT_FALSE(asset.hasFailed());
    asset.addUser();
    EXPECT_EQ(asset.content, "shared content");
}

} // namespace
