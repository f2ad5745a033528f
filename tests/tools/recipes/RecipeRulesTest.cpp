// What holds for every recipe: the same recipe gives the same bytes, the
// cache makes an unchanged asset only once, a broken recipe fails naming the
// recipe and the key, and `kittool recipe` makes a file from a recipe file.
#include "RecipeTestSupport.h"

#include "engine/core/KernelTestSupport.h"
#include "tools/kittool/KittoolRunSupport.h"
#include "tools/recipes/RecipeCache.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const char* const k_everyKind[] = {
    R"({ kind = "background", w = 320, h = 200, seed = 9, palette = "jungle" })",
    R"({ kind = "tile", w = 100, h = 100, scene_w = 400, scene_h = 300, x = 100, y = 100, format = "jpg" })",
    R"({ kind = "panel", w = 120, h = 60, label = "Hi" })",
    R"({ kind = "button", w = 120, h = 40, label = "Go", format = "j32" })",
    R"({ kind = "frame", w = 90, h = 70 })",
    R"({ kind = "map", w = 200, h = 150, seed = 5 })",
    R"({ kind = "item", emoji = "owl", x = 300, y = 200, size = 90, angle = -20 })",
    R"({ kind = "item_bling", emoji = "owl", x = 300, y = 200, size = 90, angle = -20 })",
    R"({ kind = "item_panel", emoji = "owl" })",
    R"({ kind = "font", face = "mono", size = 14, characters = "0123456789" })",
    R"({ kind = "speech", text = "Well done!" })",
    R"({ kind = "effect", effect = "chime", seed = 7 })",
    R"({ kind = "effect", effect = "pop", format = "gwsample" })",
    R"({ kind = "music", bars = 1, tempo = 200, seed = 5 })",
    R"({ kind = "clip", w = 64, h = 48, frames = 3 })",
    R"({ kind = "clip", w = 64, h = 48, frames = 3, format = "theora" })",
};

TEST(RecipeRulesTest, EveryKindMakesTheSameBytesTwice)
{
    std::vector<std::string> kinds;
    for (const char* lua : k_everyKind) {
        const Recipe r = recipe(lua);
        const RecipeAsset first = makeRecipeAsset(r);
        const RecipeAsset second = makeRecipeAsset(recipe(lua));
        EXPECT_FALSE(first.bytes.empty()) << lua;
        EXPECT_TRUE(first.bytes == second.bytes) << lua;
        EXPECT_EQ(first.extension, recipeExtension(r)) << lua;
        kinds.push_back(r.kind());
    }
    // The table above covers every kind there is.
    for (const std::string& kind : recipeKinds())
        EXPECT_NE(std::find(kinds.begin(), kinds.end(), kind), kinds.end()) << kind;
}

TEST(RecipeRulesTest, SeedsAndTextsChangeWhatIsMade)
{
    const auto bytes = [](const char* lua) { return makeRecipeAsset(recipe(lua)).bytes; };
    EXPECT_NE(bytes(R"({ kind = "map", w = 80, h = 60, seed = 1 })"),
              bytes(R"({ kind = "map", w = 80, h = 60, seed = 2 })"));
    EXPECT_NE(bytes(R"({ kind = "speech", text = "One." })"), bytes(R"({ kind = "speech", text = "Two." })"));
    EXPECT_NE(bytes(R"({ kind = "panel", w = 80, h = 60, palette = "snow" })"),
              bytes(R"({ kind = "panel", w = 80, h = 60, palette = "volcano" })"));
    // The optional keys of the world map's media are read, not ignored.
    EXPECT_NE(bytes(R"({ kind = "map", w = 80, h = 60, places = { 0.3, 0.5, 0.7, 0.5 } })"),
              bytes(R"({ kind = "map", w = 80, h = 60, places = { 0.3, 0.5, 0.7, 0.5 }, worlds = 1 })"));
    EXPECT_NE(bytes(R"({ kind = "clip", w = 48, h = 48, frames = 3 })"),
              bytes(R"({ kind = "clip", w = 48, h = 48, frames = 3, emoji = "owl" })"));
    EXPECT_NE(bytes(R"({ kind = "clip", w = 48, h = 48, frames = 3, emoji = "owl" })"),
              bytes(R"({ kind = "clip", w = 48, h = 48, frames = 3, emoji = "owl", bob = 6 })"));
}

TEST(RecipeRulesTest, TheCacheMakesAnUnchangedAssetOnce)
{
    ScratchFolder scratch;
    const Recipe panel = recipe(R"({ kind = "panel", w = 64, h = 32, label = "A" })");
    RecipeCache cache("cache");
    const RecipeAsset made = cache.make(panel);
    EXPECT_EQ(cache.made(), 1);
    EXPECT_TRUE(std::filesystem::is_regular_file(cache.entryPath(panel)));
    EXPECT_EQ(cache.entryPath(panel).extension(), ".png");

    // Keys in another order read alike; a new cache on the folder finds it.
    RecipeCache again("cache");
    const RecipeAsset reused = again.make(recipe(R"({ label = "A", h = 32, w = 64, kind = "panel" })"));
    EXPECT_EQ(again.made(), 0);
    EXPECT_EQ(again.reused(), 1);
    EXPECT_EQ(reused.bytes, made.bytes);
    EXPECT_EQ(reused.extension, ".png");

    // Any change of a value makes the asset again under a new key.
    const Recipe changed = recipe(R"({ kind = "panel", w = 64, h = 32, label = "B" })");
    EXPECT_NE(RecipeCache::key(changed), RecipeCache::key(panel));
    again.make(changed);
    EXPECT_EQ(again.made(), 1);
    EXPECT_EQ(RecipeCache::key(panel).size(), 40u);
}

TEST(RecipeRulesTest, BrokenRecipesNameTheRecipeAndTheKey)
{
    struct Case
    {
        const char* lua;
        const char* message; // what the failure must say after "recipe 33/1041: "
    } cases[] = {
        {R"({ kind = "sculpture" })", "key 'kind': unknown kind 'sculpture'"},
        {R"({ w = 10, h = 10 })", "key 'kind': missing"},
        {R"({ kind = "panel", h = 10 })", "key 'w': missing"},
        {R"({ kind = "panel", w = "wide", h = 10 })", "key 'w': a number expected"},
        {R"({ kind = "panel", w = 0, h = 10 })", "key 'w': 0 is outside 1..8192"},
        {R"({ kind = "panel", w = 10.5, h = 10 })", "key 'w': a whole number expected"},
        {R"({ kind = "panel", w = 10, h = 10, palette = "mars" })", "key 'palette': unknown palette 'mars'"},
        {R"({ kind = "panel", w = 10, h = 10, format = "gif" })",
         "key 'format': 'gif' is not one of png, jpg, j32"},
        {R"({ kind = "item", emoji = "unicorn_spaceship", x = 1, y = 1, size = 50 })",
         "key 'emoji': unknown emoji name 'unicorn_spaceship'"},
        {R"({ kind = "item", emoji = "key", x = 1, y = 1 })", "key 'size': missing"},
        {R"({ kind = "item", emoji = "key", x = 5000, y = 100, size = 50 })",
         "key 'x': the item lies outside"},
        {R"({ kind = "effect", effect = "boom" })", "key 'effect': 'boom' is not one of"},
        {R"({ kind = "effect" })", "key 'effect': missing"},
        {R"({ kind = "speech", text = "" })", "key 'text': nothing to say"},
        {R"({ kind = "speech", text = "Hi", voice = "klingon-xx" })", "key 'voice': espeak-ng has no voice"},
        {R"({ kind = "font", face = "comic", size = 10 })", "key 'face': 'comic' is not one of"},
        {R"({ kind = "clip", w = 64, h = 48 })", "key 'frames': missing"},
        {R"({ kind = "clip", w = 64, h = 48, frames = 2, emoji = "unicorn_spaceship" })",
         "key 'emoji': unknown emoji name 'unicorn_spaceship'"},
        {R"({ kind = "panel", w = 10, h = 10, corner = 60 })", "key 'corner': 60 is outside 0..50"},
        {R"({ kind = "map", w = 80, h = 60, worlds = 1,
              places = { 0.1, 0.1, 0.2, 0.2, 0.3, 0.3, 0.4, 0.4, 0.5, 0.5, 0.6, 0.6, 0.7, 0.7,
                         0.8, 0.8, 0.9, 0.9, 0.1, 0.9, 0.2, 0.8, 0.3, 0.7, 0.4, 0.6 } })",
         "key 'worlds': wants at most 12 places"},
        {R"({ kind = "panel", w = 10, h = 10, tags = { 1, "x" } })", "key 'tags': entry 2 is not a number"},
        {R"({ kind = "panel", w = 10, h = 10, on = function() end })",
         "key 'on': a function cannot be a recipe value"},
    };
    for (const Case& c : cases) {
        try {
            makeRecipeAsset(recipe(c.lua, "33/1041"));
            ADD_FAILURE() << c.lua << " was made";
        } catch (const RecipeError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(std::string("recipe 33/1041: ") + c.message, 0), 0u)
                << c.lua << " said: " << e.what();
        }
    }
}

TEST(RecipeRulesTest, KittoolRecipeMakesOneAssetFromARecipeFile)
{
    ScratchFolder scratch;
    const std::string kittool = KITTOOL_PATH;
    const auto write = [](const char* path, const std::string& text) {
        spill(path, std::vector<uint8_t>(text.begin(), text.end()));
    };
    write("key.lua", R"(return { kind = "item_panel", emoji = "key", icon = 64 })");
    ASSERT_EQ(exitCodeOf(kittool + " recipe key.lua out/key --cache cache >out.txt 2>err.txt"), 0)
        << slurp("err.txt");
    ASSERT_TRUE(std::filesystem::is_regular_file("out/key.png")) << "the file ending is added";
    EXPECT_EQ(exitCodeOf(kittool + " decode out/key.png plain.png >out.txt 2>err.txt"), 0)
        << slurp("err.txt");
    EXPECT_NE(slurp("out.txt").find("64 x 64"), std::string::npos) << slurp("out.txt");

    ASSERT_EQ(exitCodeOf(kittool + " recipe key.lua again.png --cache cache >out.txt 2>err.txt"), 0);
    EXPECT_NE(slurp("out.txt").find("(from the cache)"), std::string::npos) << slurp("out.txt");
    EXPECT_EQ(slurp("again.png"), slurp("out/key.png"));

    EXPECT_EQ(exitCodeOf(kittool + " recipe key.lua wrong.jpg >out.txt 2>err.txt"), 1);
    EXPECT_NE(slurp("err.txt").find("makes a .png file, not .jpg"), std::string::npos) << slurp("err.txt");
    write("bad.lua", R"(return { kind = "item", emoji = "dragon_egg" })");
    EXPECT_EQ(exitCodeOf(kittool + " recipe bad.lua bad.png >out.txt 2>err.txt"), 1);
    EXPECT_NE(slurp("err.txt").find("recipe bad.lua: key 'emoji'"), std::string::npos) << slurp("err.txt");
    EXPECT_EQ(exitCodeOf(kittool + " recipe key.lua >out.txt 2>err.txt"), 2);
}

} // namespace
