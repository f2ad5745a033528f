#pragma once

// Shared by the recipe tests: recipes written as Lua text, and the engine's
// loaders run over the bytes a recipe made.

#include "asset/FAssetStream.h"
#include "audio/FAudioGWSampleModule.h"
#include "audio/FAudioVorbisModule.h"
#include "audio/FSample.h"
#include "core/FMemory.h"
#include "image/FImage.h"
#include "image/FJpeg32Loader.h"
#include "image/FJpegLoader.h"
#include "image/FPngLoader.h"
#include "io/FInStream.h"
#include "io/FMemoryStreambuf.h"
#include "tools/recipes/RecipeLua.h"
#include "tools/recipes/RecipeMaker.h"

#include <lua.hpp>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// The recipe a Lua expression gives, e.g. `{ kind = "panel", w = 10, h = 10 }`.
inline Recipe recipe(const std::string& lua, const std::string& name = "test")
{
    std::unique_ptr<lua_State, void (*)(lua_State*)> state(luaL_newstate(), lua_close);
    if (luaL_dostring(state.get(), ("return " + lua).c_str()) != 0)
        throw std::runtime_error(lua_tostring(state.get(), -1));
    return recipeFromLua(state.get(), -1, name);
}

// The picture through the engine's loader for its file ending.
inline std::unique_ptr<FImage> loadPicture(const RecipeAsset& asset)
{
    auto image = std::make_unique<FImage>();
    std::vector<uint8_t> bytes = asset.bytes;
    FInStream stream(
        engineNew<FMemoryStreambuf>(k_memStream, bytes.data(), static_cast<int64_t>(bytes.size())));
    if (asset.extension == ".png")
        FPngLoader::load(stream, *image);
    else if (asset.extension == ".jpg")
        FJpegLoader::load(stream, *image);
    else if (asset.extension == ".j32")
        FJpeg32Loader::load(stream, *image);
    else
        throw std::runtime_error("not a picture: " + asset.extension);
    return image;
}

// The sound through the engine's loader for its file ending, decoded whole.
struct LoadedSound
{
    FAudioGWSampleModule gwSampleLoader;
    FAudioVorbisModule vorbisLoader;
    FRefT<FSample> sample;

    explicit LoadedSound(const RecipeAsset& asset)
    {
        auto* s = engineNew<FSample>(k_memObject);
        sample = FRefT<FSample>(FAsset::handleFor(s));
        s->setEntryFlags(FAsset::k_flagLoadOnUse);
        if (asset.extension == ".vorbis")
            s->setLoader(&vorbisLoader);
        else
            s->setLoader(&gwSampleLoader);
        s->setSource(FAssetStream::makeCopy(asset.bytes.data(), static_cast<int64_t>(asset.bytes.size())));
        s->complete();
    }
};
