#pragma once

// What the tests that draw screens from the demo kit share: whether the kit can
// be used here, unpacking it where the scratch file modules read, and the
// loaders its pictures, clips and fonts need.

#include "asset/FAsset.h"
#include "core/FLocalizedMessages.h"
#include "core/FMemory.h"
#include "core/FServiceSlots.h"
#include "graphics/FGraph.h"
#include "image/FImageLoaderModule.h"
#include "image/FJpegLoader.h"
#include "image/FPngLoader.h"
#include "ui/FAssetKinds.h"
#include "ui/FFontModule.h"
#include "video/FVideoLoaderModule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace demokit {

// Why the kit cannot be used on this machine; empty when it can.
inline std::string missing(const std::string& kit)
{
    if (!std::filesystem::exists(kit)) return "no demo kit at " + kit + " (make kit)";
    if (std::system("command -v unzip > /dev/null 2>&1") != 0) return "unzip is not installed";
    return {};
}

// Unpacks the kit into folder; unzip's exit status.
inline int unpack(const std::string& kit, const std::filesystem::path& folder)
{
    const std::string unzip = "unzip -q -o '" + kit + "' -d '" + folder.string() + "'";
    return std::system(unzip.c_str());
}

// Unpacks the kit into `folder` and opens an 800 x 600 offscreen window with
// its OpenGL device, the texts in English: what every drawing from the kit
// needs first.
template <class Graph>
void openForDrawing(const std::string& kit, const std::filesystem::path& folder, Graph& graph)
{
    FLocalizedMessages::setLanguage(0);
    ASSERT_EQ(unpack(kit, folder), 0);
    graph.createWindowAndDevice({800, 600}, {800, 600}, FGraph::k_modeFixedWindow);
    ASSERT_TRUE(graph.hasWindow()) << graph.lastError();
}

// Music and samples stay silent assets: the tests open no sound device.
class SilentAsset : public FAsset
{
};

// The screen module's object maker for such tests.
inline FRef makeSilentSoundObject(int16_t kind)
{
    if (kind == 2 || kind == 4) return FAsset::handleFor(engineNew<SilentAsset>(k_memObject));
    return FAssetKinds::create(kind);
}

struct Loaders
{
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    FImageLoaderModule jpeg{k_slotJpegLoader, &FJpegLoader::load};
    FVideoLoaderModule gw{k_slotGwVideoLoader, ".gwvideo"};
    FFontModule fonts;
};

} // namespace demokit
