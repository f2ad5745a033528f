// Every recipe kind makes a file the engine's own loaders read, with the size,
// placement, loop points and frame count the recipe asked for.
#include "RecipeTestSupport.h"

#include "core/FApplication.h"
#include "image/FImageLoaderModule.h"
#include "tools/recipes/EmojiGlyphs.h"
#include "ui/FFont.h"
#include "ui/FFontModule.h"
#include "video/FGWVideo.h"
#include "video/FVideoStreamHost.h"
#include "video/FVideoTarget.h"
#include "video/FVideoTheora.h"

#include <gtest/gtest.h>

namespace {

TEST(RecipeMediaTest, PicturesDecodeAtTheirSizeInTheirFormat)
{
    struct Case
    {
        const char* lua;
        const char* extension;
        int32_t width, height;
    } cases[] = {
        {R"({ kind = "background", w = 640, h = 400, palette = "forest", seed = 3, format = "jpg" })", ".jpg",
         640, 400},
        {R"({ kind = "tile", w = 200, h = 160, scene_w = 2400, scene_h = 1600, x = 400, y = 800,
              palette = "world03" })",
         ".png", 200, 160},
        {R"({ kind = "panel", w = 300, h = 120, palette = "ocean", label = "Options" })", ".png", 300, 120},
        {R"({ kind = "button", w = 180, h = 48, state = "pressed", label = "Play", format = "j32" })", ".j32",
         180, 48},
        {R"({ kind = "frame", w = 220, h = 160, border = 14, palette = "castle" })", ".png", 220, 160},
        {R"({ kind = "map", w = 480, h = 320, spots = 12, palette = "world12" })", ".png", 480, 320},
        {R"({ kind = "item_panel", emoji = "umbrella", icon = 80 })", ".png", 80, 80},
    };
    for (const Case& c : cases) {
        const RecipeAsset asset = makeRecipeAsset(recipe(c.lua));
        EXPECT_EQ(asset.extension, c.extension) << c.lua;
        EXPECT_EQ(recipeExtension(recipe(c.lua)), c.extension) << c.lua;
        const auto image = loadPicture(asset);
        ASSERT_TRUE(image->hasPixels()) << c.lua;
        EXPECT_EQ(image->width(), c.width) << c.lua;
        EXPECT_EQ(image->height(), c.height) << c.lua;
        EXPECT_EQ(image->pixelRect().width(), c.width) << c.lua;
        EXPECT_EQ(image->pixelRect().height(), c.height) << c.lua;
    }
}

TEST(RecipeMediaTest, FramesKeepTheirCentreClearAndButtonStatesDiffer)
{
    const auto frame =
        loadPicture(makeRecipeAsset(recipe(R"({ kind = "frame", w = 100, h = 80, border = 10 })")));
    EXPECT_EQ(getImagePixel(*frame, {50, 40})[3], 0) << "centre";
    EXPECT_EQ(getImagePixel(*frame, {3, 40})[3], 255) << "border";
    std::vector<std::array<uint8_t, 4>> middles;
    for (const char* state : {"normal", "hover", "pressed", "disabled"}) {
        const std::string lua =
            std::string(R"({ kind = "button", w = 120, h = 40, state = ")") + state + "\" }";
        middles.push_back(getImagePixel(*loadPicture(makeRecipeAsset(recipe(lua))), {20, 20}));
    }
    for (std::size_t i = 1; i < middles.size(); ++i)
        EXPECT_NE(middles[i], middles[0]) << i;
}

// A panel's corners follow `corner`: a round face (which looks the same however
// it is turned) leaves them clear, a square one fills them.
TEST(RecipeMediaTest, APanelsCornersFollowItsCornerRadius)
{
    const auto round =
        loadPicture(makeRecipeAsset(recipe(R"({ kind = "panel", w = 100, h = 100, corner = 50 })")));
    const auto square =
        loadPicture(makeRecipeAsset(recipe(R"({ kind = "panel", w = 100, h = 100, corner = 0 })")));
    for (const FImagePoint corner :
         {FImagePoint{3, 3}, FImagePoint{96, 3}, FImagePoint{3, 96}, FImagePoint{96, 96}}) {
        EXPECT_EQ(getImagePixel(*round, corner)[3], 0) << corner.x << "," << corner.y;
        EXPECT_EQ(getImagePixel(*square, corner)[3], 255) << corner.x << "," << corner.y;
    }
    EXPECT_EQ(getImagePixel(*round, {50, 50})[3], 255);
}

// The map of the worlds lays each place on its own world's land: the two
// places differ from each other and from the bare parchment.
TEST(RecipeMediaTest, TheMapOfTheWorldsColoursEachPlaceWithItsWorld)
{
    const auto plain = loadPicture(makeRecipeAsset(
        recipe(R"({ kind = "map", w = 800, h = 400, places = { 0.25, 0.5, 0.75, 0.5 }, seed = 3 })")));
    const auto worlds = loadPicture(makeRecipeAsset(recipe(
        R"({ kind = "map", w = 800, h = 400, places = { 0.25, 0.5, 0.75, 0.5 }, worlds = 1, seed = 3 })")));
    // Just below each place's marker and the route, inside its patch of land.
    const FImagePoint first{200, 200 + 12}, second{600, 200 + 12};
    EXPECT_NE(getImagePixel(*worlds, first), getImagePixel(*worlds, second));
    EXPECT_NE(getImagePixel(*worlds, first), getImagePixel(*plain, first));
    EXPECT_NE(getImagePixel(*worlds, second), getImagePixel(*plain, second));
}

// An item sits trimmed at its place in the scene; its bling covers it with a
// glow around it; its panel is a square icon.
TEST(RecipeMediaTest, ItemsAreTrimmedAndPlacedInTheirScene)
{
    const std::string keys =
        R"(emoji = "apple", x = 700, y = 500, size = 120, angle = 30, palette = "meadow" })";
    const auto item = loadPicture(makeRecipeAsset(recipe(R"({ kind = "item", )" + keys)));
    const auto bling = loadPicture(makeRecipeAsset(recipe(R"({ kind = "item_bling", glow = 10, )" + keys)));
    for (const FImage* image : {item.get(), bling.get()}) {
        EXPECT_EQ(image->width(), 2400);
        EXPECT_EQ(image->height(), 1600);
    }
    const FImageRect& r = item->pixelRect(); // y upward from the bottom edge
    EXPECT_LT(r.width(), 200);
    EXPECT_GT(r.width(), 60);
    EXPECT_NEAR((r.left + r.right) / 2.0, 700, 12);
    EXPECT_NEAR(1600 - (r.bottom + r.top) / 2.0, 500, 12);
    EXPECT_EQ(getImagePixel(*item, {700, 1100})[3], 255) << "the apple's middle is opaque";
    EXPECT_EQ(getImagePixel(*item, {100, 100})[3], 0);

    const FImageRect& b = bling->pixelRect();
    EXPECT_LT(b.left, r.left);
    EXPECT_GT(b.right, r.right);
    EXPECT_LT(b.bottom, r.bottom);
    EXPECT_GT(b.top, r.top);
    // Just outside the item's own pixels the bling shows its glow.
    EXPECT_GT(getImagePixel(*bling, {r.left - 3, (r.bottom + r.top) / 2})[3] +
                  getImagePixel(*bling, {r.right + 2, (r.bottom + r.top) / 2})[3],
              0);
}

TEST(RecipeMediaTest, ItemsAtTheSceneEdgeAreClippedToIt)
{
    const auto item = loadPicture(makeRecipeAsset(recipe(
        R"({ kind = "item", emoji = "cat", x = 10, y = 1590, size = 100, scene_w = 1200, scene_h = 1600 })")));
    EXPECT_EQ(item->width(), 1200);
    EXPECT_EQ(item->pixelRect().left, 0);
    EXPECT_EQ(item->pixelRect().bottom, 0);
    EXPECT_LT(item->pixelRect().width(), 70);
}

TEST(RecipeMediaTest, EveryEmojiNameHasAColourGlyph)
{
    for (const std::string& name : EmojiGlyphs::names()) {
        const EmojiGlyph& glyph = EmojiGlyphs::of(recipe("{ emoji = \"" + name + "\" }"));
        EXPECT_GT(glyph.width, 100) << name;
        EXPECT_GT(glyph.height, 100) << name;
    }
    EXPECT_GE(EmojiGlyphs::names().size(), 100u);
}

TEST(RecipeMediaTest, FontsLoadThroughTheFontLoader)
{
    FApplication application;
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    FFontModule fonts;
    FRef handle = FAsset::emptyHandle();
    const RecipeAsset asset = makeRecipeAsset(recipe(R"({ kind = "font", face = "serif", size = 20 })"));
    EXPECT_EQ(asset.extension, ".font");
    fonts.createFromStream(
        handle, FAssetStream::makeCopy(asset.bytes.data(), static_cast<int64_t>(asset.bytes.size())));
    FFont& font = *handle.as<FFont>();
    ASSERT_TRUE(font.isLoaded());
    EXPECT_GT(font.measureString(FString("Wide words")).x, font.measureString(FString("Wide")).x);
    EXPECT_GT(font.measureString(FString(u"\u00e9t\u00e9 \u20ac")).x, 20);
}

TEST(RecipeMediaTest, SoundsDecodeWithTheirLoopPoints)
{
    struct Case
    {
        const char* lua;
        int channels;
        bool loops;
        int loopStart, loopLength; // frames
    } cases[] = {
        {R"({ kind = "speech", text = "Find the key.", format = "gwsample" })", 1, false, 0, 0},
        {R"({ kind = "speech", text = "Trouvez la clé.", voice = "fr", speed = 140 })", 1, false, 0, 0},
        {R"({ kind = "effect", effect = "click" })", 1, false, 0, 0},
        {R"({ kind = "effect", effect = "whoosh", seed = 4, format = "gwsample" })", 1, false, 0, 0},
        {R"({ kind = "effect", effect = "fanfare", rate = 44100 })", 1, false, 0, 0},
        // 96 beats a minute at 32000 Hz: 20000 frames a beat, 80000 a bar.
        {R"({ kind = "music", seed = 2, bars = 2, intro_bars = 1 })", 2, true, 80000, 160000},
        {R"({ kind = "music", seed = 3, bars = 1, tempo = 120, rate = 22050, format = "gwsample" })", 2, true,
         0, 44100},
    };
    for (const Case& c : cases) {
        const RecipeAsset asset = makeRecipeAsset(recipe(c.lua));
        LoadedSound sound(asset);
        ASSERT_TRUE(sound.sample->isLoaded()) << c.lua;
        ASSERT_NE(sound.sample->data(), nullptr) << c.lua;
        EXPECT_EQ(sound.sample->data()->channels(), c.channels) << c.lua;
        EXPECT_GT(sound.sample->data()->frames(), 400) << c.lua;
        EXPECT_EQ(sound.sample->loops(), c.loops) << c.lua;
        if (c.loops) {
            EXPECT_EQ(sound.sample->loopStart(), c.loopStart) << c.lua;
            EXPECT_EQ(sound.sample->loopLength(), c.loopLength) << c.lua;
            EXPECT_GE(sound.sample->data()->frames(), c.loopStart + c.loopLength) << c.lua;
        }
    }
}

TEST(RecipeMediaTest, SpeechLastsAsLongAsItsText)
{
    const auto frames = [](const char* text) {
        LoadedSound sound(
            makeRecipeAsset(recipe(std::string(R"({ kind = "speech", text = ")") + text + "\" }")));
        return sound.sample->data() ? sound.sample->data()->frames() : 0;
    };
    const int32_t shortLine = frames("Hello.");
    const int32_t longLine = frames("Hello. Look behind the old clock for the silver key.");
    EXPECT_GT(shortLine, 22050 / 5);
    EXPECT_GT(longLine, shortLine * 3);
}

TEST(RecipeMediaTest, ClipsPlayTheirFramesThroughTheEnginePlayers)
{
    for (const char* format : {"gwvideo", "theora"}) {
        const std::string lua =
            std::string(R"({ kind = "clip", w = 96, h = 64, frames = 12, fps = 20, format = ")") + format +
            R"(", pictures = "jpg", label = "Hi" })";
        RecipeAsset asset = makeRecipeAsset(recipe(lua));
        EXPECT_EQ(asset.extension, std::string(".") + format);
        FVideoStreamHost host(FInStream::make(engineNew<FMemoryStreambuf>(
                                  k_memStream, asset.bytes.data(), static_cast<int64_t>(asset.bytes.size()))),
                              true);
        std::unique_ptr<FVideoPlayer> player;
        if (std::string(format) == "gwvideo")
            player = std::make_unique<FGWVideo>(host);
        else
            player = std::make_unique<FVideoTheora>(host);
        player->readHeader();
        FVideoTarget target;
        // GW video knows its length (and refuses frames past it); Theora is
        // played until it ends.
        const bool gw = std::string(format) == "gwvideo";
        const int32_t limit = gw ? player->frameCount() : 100;
        int32_t shown = 0;
        while (shown < limit && player->seekFrame(target, shown, false) == shown) {
            target.setCurrentFrame(shown);
            ++shown;
        }
        EXPECT_EQ(shown, 12) << format;
    }
}

} // namespace
