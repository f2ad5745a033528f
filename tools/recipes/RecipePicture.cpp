#include "tools/recipes/RecipePicture.h"

#include "tools/imagewriters/ContainerWriters.h"
#include "tools/imagewriters/JpegWriter.h"
#include "tools/imagewriters/PngWriter.h"

namespace {

const std::vector<std::string> k_formats = {"png", "jpg", "j32"};

RecipeAsset encode(const Recipe& recipe, const RecipeCanvas& canvas, const RecipeRect& area,
                   const std::vector<uint8_t>& trailer)
{
    const std::string format = recipe.choice("format", k_formats);
    std::vector<uint8_t> rgba = canvas.rgba(area);
    RecipeAsset asset;
    asset.extension = "." + format;
    if (format == "png") {
        asset.bytes = writePng(PngPicture::rgba(area.w, area.h, std::move(rgba)));
        asset.bytes.insert(asset.bytes.end(), trailer.begin(), trailer.end());
        return asset;
    }
    TestPicture colour;
    colour.width = area.w;
    colour.height = area.h;
    colour.rgb.reserve(rgba.size() / 4 * 3);
    PngPicture alpha;
    alpha.width = area.w;
    alpha.height = area.h;
    alpha.colorType = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        colour.rgb.insert(colour.rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
        alpha.samples.push_back(rgba[i + 3]);
    }
    JpegOptions options;
    options.quality = recipe.integer("quality", 1, 100, 88);
    const std::vector<uint8_t> jpeg = writeJpeg(colour, options);
    if (format == "jpg") {
        asset.bytes = jpeg;
        asset.bytes.insert(asset.bytes.end(), trailer.begin(), trailer.end());
    } else {
        asset.bytes = writeJ32(jpeg, writePng(alpha), trailer);
    }
    return asset;
}

} // namespace

std::string recipePictureExtension(const Recipe& recipe)
{
    return "." + recipe.choice("format", k_formats);
}

RecipeAsset encodeRecipePicture(const Recipe& recipe, const RecipeCanvas& canvas)
{
    return encode(recipe, canvas, {0, 0, canvas.width(), canvas.height()}, {});
}

RecipeAsset encodeRecipePicture(const Recipe& recipe, const RecipeCanvas& canvas, const RecipeRect& area,
                                const RecipePlacement& placement)
{
    return encode(
        recipe, canvas, area,
        placementTrailer(placement.offsetX, placement.offsetY, placement.fullWidth, placement.fullHeight));
}
