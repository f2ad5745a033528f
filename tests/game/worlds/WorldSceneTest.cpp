// The world scenes bound against screen files that kittool writes from the
// worlds' checked-in manifests: the tables each world answers, replacing a
// scene behind its handle, handles that outlive the scene, and a folder that
// lacks an id its layout fetches.
#include "engine/core/KernelTestSupport.h"
#include "support/ScratchFileModules.h"
#include "support/ScreenFiles.h"

#include "game/worlds/WorldScene.h"
#include "game/worlds/WorldSceneFactory.h"

#include "asset/FAsset.h"
#include "asset/FScreenModule.h"
#include "asset/FScreenRegistry.h"
#include "core/FApplication.h"
#include "core/FDebug.h"
#include "core/FLocalizedMessages.h"
#include "core/FThreadPoolModule.h"
#include "io/FFileSystemModule.h"
#include "io/FZLibModule.h"
#include "io/FZipModule.h"
#include "ui/FAssetKinds.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {
// Nothing here decodes; sounds and music need no loader.
class QuietAsset : public FAsset
{
};

FRef makeScreenObject(int16_t kind)
{
    if (kind == 2 || kind == 4) return FAsset::handleFor(engineNew<QuietAsset>(k_memObject));
    return FAssetKinds::create(kind);
}

std::string manifestPath(int folder)
{
    char name[16];
    std::snprintf(name, sizeof name, "/%03d.lua", folder);
    return std::string(WORLD_MANIFESTS) + name;
}

class WorldSceneTest : public ::testing::Test, protected ScratchFileModules
{
protected:
    void SetUp() override { FLocalizedMessages::setLanguage(0); }

    void writeScreenFile(const std::string& manifest)
    {
        ASSERT_TRUE(writeScreenFiles(manifest, scratch.path()));
    }
    void writeWorld(int folder) { writeScreenFile(manifestPath(folder)); }

    WorldScene* build(FRef& handle, int index)
    {
        createWorldScene(handle, index);
        return handle.as<WorldScene>();
    }

    RecordingErrorHandler handler;
    FScreenModule module{&makeScreenObject};
};

TEST_F(WorldSceneTest, WorldOneHasCreaturesAndWatchersButNoPhotographsTravelersOrCaptions)
{
    writeWorld(36);
    FRef handle = makeWorldSceneHandle();
    const WorldScene* scene = build(handle, 0);
    ASSERT_NE(scene, nullptr);
    ASSERT_NE(scene->getCreatures(), nullptr);
    EXPECT_EQ(scene->getCreatures()->size(), 21u);
    ASSERT_NE(scene->getWatchers(), nullptr);
    EXPECT_EQ(scene->getPhotographs(), nullptr);
    EXPECT_EQ(scene->getTravelers(), nullptr);
    EXPECT_EQ(scene->getVignetteCaptions(), nullptr);
    EXPECT_EQ(scene->getReservedTable(), nullptr);
    EXPECT_EQ(scene->getReservedAsset1().get(), nullptr);
    EXPECT_EQ(scene->getReservedAsset2().get(), nullptr);
    EXPECT_EQ(scene->getExtraAsset().get(), nullptr);
    EXPECT_NE(scene->getBaseImage().get(), nullptr);

    const NamedAssetMap* tiles = scene->getBackgroundTiles();
    ASSERT_NE(tiles, nullptr);
    EXPECT_EQ(tiles->size(), 96u);
    ASSERT_NE(tiles->find("World01BG01"), nullptr);
    EXPECT_NE(tiles->find("World01BG01")->get(), nullptr);
    EXPECT_EQ(tiles->find("world01bg01"), nullptr);
    EXPECT_NE(scene->getPictures()->find("World01Picture17Multiple01"), nullptr);
    EXPECT_EQ(scene->getPictures()->find("World01Picture17"), nullptr);
    EXPECT_NE(scene->getHotSpots()->find("HotSpot1_Lighthouse"), nullptr);
}

TEST_F(WorldSceneTest, TheIrregularWorldsAnswerTheirOwnTables)
{
    struct Case
    {
        int index;
        int folder;
        std::size_t travelers;
        bool extraAsset;
        std::size_t captions;
    };
    const Case cases[] = {
        {11, 35, 11, false, 7}, {7, 43, 7, true, 11}, {2, 38, 2, false, 17}, {9, 33, 9, false, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        writeWorld(c.folder);
        FRef handle = makeWorldSceneHandle();
        const WorldScene* scene = build(handle, c.index);
        ASSERT_NE(scene, nullptr);
        ASSERT_NE(scene->getTravelers(), nullptr);
        EXPECT_EQ(scene->getTravelers()->size(), c.travelers);
        EXPECT_EQ(scene->getExtraAsset().get() != nullptr, c.extraAsset);
        ASSERT_NE(scene->getVignetteCaptions(), nullptr);
        EXPECT_EQ(scene->getVignetteCaptions()->size(), c.captions);
        EXPECT_NE(scene->getMusic().get(), nullptr);
        EXPECT_NE(scene->getAmbientSound().get(), nullptr);
    }
    FRef handle = makeWorldSceneHandle();
    const NamedAssetMap* anims = build(handle, 9)->getAnimations();
    EXPECT_NE(anims->find("World10Anim28"), nullptr);
    EXPECT_EQ(anims->find("World10Anim29"), nullptr);
    EXPECT_NE(anims->find("World10Anim30"), nullptr);
}

TEST_F(WorldSceneTest, ASecondSceneReplacesTheFirstForEveryHandleAndHeldAssetsOutliveIt)
{
    writeWorld(36);
    writeWorld(37);
    FRef handle = makeWorldSceneHandle();
    build(handle, 0);
    FRef music = handle.as<WorldScene>()->getMusic();
    FAsset* musicAsset = music.as<FAsset>();
    FRef copy = handle;
    EXPECT_EQ(module.useCount(36), 1);

    build(handle, 1);
    EXPECT_EQ(module.useCount(36), 0) << "the first scene was destroyed and gave its folder back";
    EXPECT_EQ(module.useCount(37), 1);
    ASSERT_NE(copy.as<WorldScene>(), nullptr);
    EXPECT_NE(copy.as<WorldScene>()->getPhotographs(), nullptr) << "a copied handle sees the second scene";
    EXPECT_EQ(music.as<FAsset>(), musicAsset) << "the caller's copy of the music keeps its asset";

    copy.release();
    handle.release();
    EXPECT_EQ(module.useCount(37), 0);
    EXPECT_EQ(module.registry().assetCount(), 0u);
}

TEST_F(WorldSceneTest, AnIndexOutsideTheTwelveWorldsIsRefusedAndChangesNothing)
{
    writeWorld(36);
    FRef handle = makeWorldSceneHandle();
    const WorldScene* first = build(handle, 0);
    for (int index : {-1, 12}) {
        EXPECT_THROW(createWorldScene(handle, index), FDebug::VellumcoreException) << index;
        EXPECT_EQ(handle.as<WorldScene>(), first);
    }
    ASSERT_EQ(handler.texts.size(), 2u);
    EXPECT_NE(handler.texts[1].toNarrow().find("world index (12)"), std::string::npos)
        << handler.texts[1].toNarrow();
}

TEST_F(WorldSceneTest, AFolderMissingAnIdFailsNamingFolderIdAndKeyAndRollsBack)
{
    // World 2's manifest without one picture's line.
    std::ifstream in(manifestPath(37));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t line = text.find("key = \"World02Picture05\"");
    ASSERT_NE(line, std::string::npos);
    const std::size_t start = text.rfind('\n', line) + 1;
    text.erase(start, text.find('\n', line) + 1 - start);
    const std::string broken = (scratch.path() / "037.lua").string();
    std::ofstream(broken) << text;
    writeScreenFile(broken);

    FRef handle = makeWorldSceneHandle();
    EXPECT_THROW(createWorldScene(handle, 1), FDebug::VellumcoreException);
    EXPECT_EQ(handle.get(), nullptr);
    ASSERT_EQ(handler.texts.size(), 1u);
    const std::string report = handler.texts[0].toNarrow();
    EXPECT_NE(report.find("folder 37"), std::string::npos) << report;
    EXPECT_NE(report.find("World02Picture05"), std::string::npos) << report;
    EXPECT_EQ(module.useCount(37), 0) << "the failed construction gave its folder back";
    EXPECT_EQ(module.registry().assetCount(), 0u);
}
} // namespace
