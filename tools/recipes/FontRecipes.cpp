// Fonts: a DejaVu face rendered at a pixel size into the engine's font file
// (glyph sheet, glyph table, extents and kerning) by the font writer.
#include "tools/recipes/RecipeKinds.h"

#include "core/FString.h"
#include "tools/contentwriters/FontFileWriter.h"
#include "tools/fontwriter/FontRenderer.h"

#include <algorithm>

namespace {

constexpr const char* k_dejaVu = "/usr/share/fonts/truetype/dejavu/";

struct Face
{
    const char* name;
    const char* file;
};

const Face k_faces[] = {
    {"sans", "DejaVuSans.ttf"},
    {"sans-bold", "DejaVuSans-Bold.ttf"},
    {"serif", "DejaVuSerif.ttf"},
    {"serif-bold", "DejaVuSerif-Bold.ttf"},
    {"mono", "DejaVuSansMono.ttf"},
    {"condensed", "DejaVuSansCondensed.ttf"},
    {"condensed-bold", "DejaVuSansCondensed-Bold.ttf"},
};

// Printable ASCII, Latin-1 and the few further characters French, German,
// Italian and Spanish texts use.
std::u16string defaultCharacters()
{
    std::u16string out;
    for (char16_t c = 0x20; c < 0x7F; ++c)
        out += c;
    for (char16_t c = 0xA0; c <= 0xFF; ++c)
        out += c;
    out += u"\u0152\u0153\u2018\u2019\u201C\u201D\u2026\u20AC\u2013\u2014";
    return out;
}

std::string extension(const Recipe&)
{
    return ".font";
}

RecipeAsset font(const Recipe& recipe)
{
    std::vector<std::string> faces;
    for (const Face& f : k_faces)
        faces.emplace_back(f.name);
    const std::string face = recipe.choice("face", faces);
    const auto it =
        std::find_if(std::begin(k_faces), std::end(k_faces), [&](const Face& f) { return face == f.name; });
    const int32_t size = recipe.integer("size", 6, 256);
    std::u16string characters = defaultCharacters();
    if (recipe.has("characters")) {
        const FString text(recipe.text("characters").c_str());
        characters.assign(text.view());
        if (characters.empty()) recipe.fail("characters", "no characters to render");
    }
    return {writeFontFile(renderFont(std::string(k_dejaVu) + it->file, size, characters)), extension(recipe)};
}

} // namespace

const std::vector<RecipeKind>& fontRecipeKinds()
{
    static const std::vector<RecipeKind> kinds = {{"font", extension, font}};
    return kinds;
}
