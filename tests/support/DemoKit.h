#pragma once

// What the tests that draw screens from the demo kit share: whether the kit can
// be used here, unpacking it where the scratch file modules read, and the
// loaders its pictures, clips and fonts need.

#include "core/FServiceSlots.h"
#include "image/FImageLoaderModule.h"
#include "image/FJpegLoader.h"
#include "image/FPngLoader.h"
#include "ui/FFontModule.h"
#include "video/FVideoLoaderModule.h"

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

struct Loaders
{
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    FImageLoaderModule jpeg{k_slotJpegLoader, &FJpegLoader::load};
    FVideoLoaderModule gw{k_slotGwVideoLoader, ".gwvideo"};
    FFontModule fonts;
};

} // namespace demokit
