// A whole level on the map view, over a world scene bound from a generated
// folder: 96 background tiles and 100 item layers, each layer a picture of the
// full scene with only the item's pixels stored. Drawing the map records the
// tiles and the stored rectangles of the items, nothing of the empty rest.
#include "PlayFieldLevel.h"
#include "PlayFieldTestSupport.h"
#include "engine/graphics/RecordingDevice.h"
#include "support/ScratchFileModules.h"
#include "support/ScreenFiles.h"

#include "asset/FAsset.h"
#include "asset/FScreenModule.h"
#include "game/widgets/ImageRectFlipped.h"
#include "game/widgets/MapTileSprite.h"
#include "game/worlds/WorldScene.h"
#include "game/worlds/WorldSceneFactory.h"
#include "graphics/FDrawCommandBuffer.h"
#include "graphics/FDrawContext.h"
#include "graphics/FTextureRegistry.h"
#include "image/FImageLoaderModule.h"
#include "image/FPngLoader.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/imagewriters/ContainerWriters.h"
#include "tools/imagewriters/PngWriter.h"
#include "ui/FAssetKinds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace {

constexpr int32_t k_worldFolder = 36; // world 1
constexpr int32_t k_tileSize = 200;

class QuietAsset : public FAsset
{
};

FRef makeScreenObject(int16_t kind)
{
    if (kind == 2 || kind == 4) return FAsset::handleFor(engineNew<QuietAsset>(k_memObject));
    return FAssetKinds::create(kind);
}

struct ManifestImage
{
    int id;
    std::string table;
    std::string key;
};

std::vector<ManifestImage> manifestImages(int folder)
{
    char name[16];
    std::snprintf(name, sizeof name, "/%03d.lua", folder);
    std::ifstream in(std::string(WORLD_MANIFESTS) + name);
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    const std::regex entry(R"re(id = (\d+), kind = "image", table = "(\w+)", key = "(\w+)")re");
    std::vector<ManifestImage> images;
    for (auto it = std::sregex_iterator(all.begin(), all.end(), entry); it != std::sregex_iterator(); ++it)
        images.push_back({std::stoi((*it)[1]), (*it)[2], (*it)[3]});
    return images;
}

void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> solidPng(int32_t width, int32_t height, uint8_t red)
{
    std::vector<uint8_t> rgba;
    for (int32_t i = 0; i < width * height; ++i)
        rgba.insert(rgba.end(), {red, 90, 60, 255});
    return writePng(PngPicture::rgba(width, height, rgba));
}

// An item layer: the item's pixels and the trailer that places them in the
// full scene.
std::vector<uint8_t> layerPng(const FRectI& stored)
{
    std::vector<uint8_t> bytes = solidPng(stored.right - stored.left, stored.bottom - stored.top, 200);
    const std::vector<uint8_t> trailer =
        placementTrailer(stored.left, stored.top, MapView::k_sceneWidth, MapView::k_sceneHeight);
    bytes.insert(bytes.end(), trailer.begin(), trailer.end());
    return bytes;
}

bool isItemTable(const std::string& table)
{
    return table == "Picture" || table == "Creature" || table == "Hint" || table == "Watcher";
}

bool isCompanion(const std::string& key)
{
    return key.ends_with("Bling") || key.ends_with("Panel");
}

struct Box
{
    float left, top, right, bottom;
};

class MapLevelDrawTest : public ::testing::Test, protected ScratchFileModules
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(writeScreenFiles(WORLD_MANIFESTS "/036.lua", scratch.path()));
        // Our own pictures over the placeholders: 200 x 200 tiles and
        // trimmed item layers.
        int32_t layer = 0;
        for (const ManifestImage& image : manifestImages(k_worldFolder)) {
            const auto path = scratch.path() / assetFileName(k_worldFolder, image.id, ".png");
            if (image.table == "BG") {
                writeFile(path, solidPng(k_tileSize, k_tileSize, 40));
            } else if (isItemTable(image.table) && !isCompanion(image.key) && layer < 100) {
                writeFile(path, layerPng(playFieldItemRect(layer)));
                layerKeys.push_back(image);
                ++layer;
            }
        }
        ASSERT_EQ(layerKeys.size(), 100u);
        sceneHandle = makeWorldSceneHandle();
        createWorldScene(sceneHandle, 0);
        scene = sceneHandle.as<WorldScene>();
        ASSERT_NE(scene, nullptr);
    }

    const NamedAssetMap* tableOf(const std::string& table) const
    {
        if (table == "Picture") return scene->getPictures();
        if (table == "Creature") return scene->getCreatures();
        if (table == "Hint") return scene->getHints();
        return scene->getWatchers();
    }

    std::vector<FRefT<FImage>> layers() const
    {
        std::vector<FRefT<FImage>> result;
        for (const ManifestImage& image : layerKeys) {
            const FRef* found = tableOf(image.table)->find(image.key);
            result.push_back(found != nullptr ? FRefT<FImage>(*found) : FRefT<FImage>());
        }
        return result;
    }

    FScreenModule module{&makeScreenObject};
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    std::vector<ManifestImage> layerKeys;
    FRef sceneHandle;
    WorldScene* scene = nullptr;
};

// The rectangle of a content rectangle on an 800 x 600 window, in the
// recorded vertices' y-up space, clipped to the window; empty when outside.
bool expectedBox(const FRectI& r, float zoom, Box& box)
{
    const float left = std::max(0.0f, r.left * zoom);
    const float right = std::min(800.0f, r.right * zoom);
    const float top = std::max(0.0f, r.top * zoom);
    const float bottom = std::min(600.0f, r.bottom * zoom);
    if (left >= right || top >= bottom) return false;
    box = {left, 600.0f - bottom, right, 600.0f - top};
    return true;
}

Box boundsOf(const RecordingDevice::Draw& draw)
{
    Box box{1e9f, 1e9f, -1e9f, -1e9f};
    for (const FTexturedVertex& v : draw.textured) {
        box.left = std::min(box.left, v.x);
        box.top = std::min(box.top, v.y);
        box.right = std::max(box.right, v.x);
        box.bottom = std::max(box.bottom, v.y);
    }
    return box;
}

bool near(const Box& a, const Box& b)
{
    constexpr float k_tolerance = 1.01f;
    return std::abs(a.left - b.left) < k_tolerance && std::abs(a.top - b.top) < k_tolerance &&
           std::abs(a.right - b.right) < k_tolerance && std::abs(a.bottom - b.bottom) < k_tolerance;
}

TEST_F(MapLevelDrawTest, ALevelFrameDrawsTheTilesAndOnlyTheStoredRectanglesOfTheItems)
{
    PlayScreen screen;
    screen.setWidgetRect({0, 0, 800, 600});
    screen.map = makeRef(engineNew<MapView>(k_memObject, &screen, true));
    MapView& map = *screen.map;
    map.setWidgetRect({0, 0, 800, 600});
    PlayFieldLevel level;
    level.build(map, 0, *scene->getBackgroundTiles(), layers());
    ASSERT_EQ(map.tiles().size(), 96u);
    ASSERT_EQ(level.sprites.size(), 100u);
    for (std::size_t i = 0; i < level.sprites.size(); ++i) {
        EXPECT_EQ(level.sprites[i]->getWidgetSize(), (FPointI{2400, 1600})) << i;
        EXPECT_EQ(level.sprites[i]->mapRect(), playFieldItemRect(int32_t(i))) << i;
    }

    for (float zoom : {0.75f, 1.0f}) {
        SCOPED_TRACE(zoom);
        map.setZoom(zoom);
        RecordingDevice device;
        auto textures = std::make_shared<FTextureRegistry>(&device);
        FDrawCommandBuffer buffer;
        FDrawContext context({800, 600});
        context.beginFrame(buffer);
        map.draw(context);
        buffer.replay(device, *textures);

        std::vector<Box> tiles;
        for (const auto& tile : map.tiles()) {
            Box box{};
            if (expectedBox(tile->rect(), zoom, box)) tiles.push_back(box);
        }
        std::vector<Box> items;
        for (std::size_t i = 0; i < level.sprites.size(); ++i) {
            Box box{};
            if (expectedBox(playFieldItemRect(int32_t(i)), zoom, box)) items.push_back(box);
        }
        ASSERT_FALSE(items.empty());
        ASSERT_EQ(device.draws.size(), tiles.size() + items.size());
        // Tiles first (they were laid first), then every visible item's own
        // rectangle, in the order of the sprites.
        for (std::size_t i = 0; i < device.draws.size(); ++i) {
            const Box drawn = boundsOf(device.draws[i]);
            const Box& expected = i < tiles.size() ? tiles[i] : items[i - tiles.size()];
            EXPECT_TRUE(near(drawn, expected))
                << i << ": drawn " << drawn.left << "," << drawn.top << " - " << drawn.right << ","
                << drawn.bottom << " expected " << expected.left << "," << expected.top << " - "
                << expected.right << "," << expected.bottom;
        }
    }
}

} // namespace
