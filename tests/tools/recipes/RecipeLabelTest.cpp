// A picture's label stays within the picture: a text too wide for it is
// drawn smaller instead of being cut at both sides.
#include "RecipeTestSupport.h"

#include "image/FImage.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// The first and last columns where the labelled picture differs from the
// same picture without its label; {-1, -1} when none does.
std::pair<int32_t, int32_t> labelColumns(const std::string& labelled, const std::string& plain)
{
    const auto with = loadPicture(makeRecipeAsset(recipe(labelled)));
    const auto without = loadPicture(makeRecipeAsset(recipe(plain)));
    std::pair<int32_t, int32_t> columns{-1, -1};
    for (int32_t x = 0; x < with->width(); ++x)
        for (int32_t y = 0; y < with->height(); ++y)
            if (getImagePixel(*with, {x, y}) != getImagePixel(*without, {x, y})) {
                if (columns.first < 0) columns.first = x;
                columns.second = x;
                break;
            }
    return columns;
}

TEST(RecipeLabelTest, ALabelTooWideForItsPictureIsDrawnSmallerWithinIt)
{
    const struct
    {
        const char* what;
        const char* labelled;
        const char* plain;
    } cases[] = {
        {"a title card",
         R"({ kind = "panel", w = 400, h = 300, palette = "harbor", label = "Zibbo Far Afield" })",
         R"({ kind = "panel", w = 400, h = 300, palette = "harbor" })"},
        {"a slide", R"({ kind = "background", w = 400, h = 300, palette = "harbor", seed = 10, format = "png",
                         label = "Search twelve worlds for hidden things" })",
         R"({ kind = "background", w = 400, h = 300, palette = "harbor", seed = 10, format = "png" })"},
        {"a short word keeps its size", R"({ kind = "panel", w = 400, h = 300, label = "Hi" })",
         R"({ kind = "panel", w = 400, h = 300 })"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto [first, last] = labelColumns(c.labelled, c.plain);
        ASSERT_GE(first, 0) << "the label shows";
        EXPECT_GE(first, 400 / 20);
        EXPECT_LE(last, 400 - 400 / 20);
    }
}

} // namespace
