#include "tools/recipes/RecipePalette.h"

#include <cctype>
#include <stdexcept>
#include <string>

namespace {

constexpr RecipeColour rgb(int r, int g, int b)
{
    return {r / 255.0, g / 255.0, b / 255.0};
}

using Motif = RecipePalette::Motif;

// The twelve worlds in order (harbour, orchard, market, lagoon, canyon,
// glacier, jungle, castle, desert, reef, volcano, skyport), then the looks
// that no world takes, the menus' own last.
const RecipePalette k_palettes[] = {
    {"harbor", rgb(160, 200, 230), rgb(50, 96, 140), rgb(230, 200, 60), rgb(20, 30, 50), rgb(232, 228, 214),
     rgb(60, 50, 40), rgb(255, 255, 160), Motif::boats},
    {"meadow", rgb(172, 220, 250), rgb(110, 170, 70), rgb(220, 80, 120), rgb(40, 36, 50), rgb(248, 240, 220),
     rgb(90, 70, 60), rgb(255, 250, 150), Motif::fruitTrees},
    {"city", rgb(196, 214, 236), rgb(160, 126, 96), rgb(230, 60, 90), rgb(20, 24, 30), rgb(236, 236, 240),
     rgb(70, 56, 50), rgb(120, 255, 200), Motif::stalls},
    {"ocean", rgb(120, 206, 240), rgb(24, 170, 180), rgb(250, 190, 60), rgb(10, 30, 60), rgb(220, 236, 244),
     rgb(14, 70, 90), rgb(160, 255, 255), Motif::palms},
    {"canyon", rgb(246, 196, 140), rgb(176, 84, 44), rgb(60, 140, 170), rgb(50, 20, 10), rgb(250, 226, 200),
     rgb(110, 45, 20), rgb(255, 240, 160), Motif::mesas},
    {"snow", rgb(200, 222, 245), rgb(236, 242, 250), rgb(60, 110, 200), rgb(30, 40, 70), rgb(250, 252, 255),
     rgb(90, 110, 140), rgb(130, 220, 255), Motif::icebergs},
    {"jungle", rgb(130, 200, 170), rgb(20, 90, 50), rgb(240, 110, 30), rgb(16, 36, 20), rgb(224, 236, 200),
     rgb(30, 60, 30), rgb(255, 250, 100), Motif::leaves},
    {"castle", rgb(170, 180, 210), rgb(100, 100, 110), rgb(170, 40, 50), rgb(30, 30, 40), rgb(226, 222, 214),
     rgb(60, 56, 70), rgb(255, 220, 120), Motif::battlements},
    {"desert", rgb(250, 214, 150), rgb(222, 176, 100), rgb(40, 120, 160), rgb(60, 36, 20), rgb(250, 236, 206),
     rgb(120, 70, 40), rgb(255, 255, 200), Motif::cacti},
    {"reef", rgb(40, 140, 190), rgb(16, 60, 100), rgb(255, 120, 90), rgb(10, 20, 40), rgb(200, 235, 245),
     rgb(5, 30, 60), rgb(180, 255, 240), Motif::coral},
    {"volcano", rgb(120, 60, 60), rgb(60, 30, 26), rgb(250, 120, 20), rgb(20, 10, 8), rgb(240, 214, 190),
     rgb(40, 20, 16), rgb(255, 200, 60), Motif::cones},
    {"skyport", rgb(90, 150, 230), rgb(226, 236, 250), rgb(240, 150, 50), rgb(20, 30, 60), rgb(245, 248, 255),
     rgb(60, 80, 120), rgb(255, 240, 150), Motif::clouds},
    {"forest", rgb(150, 205, 235), rgb(52, 110, 48), rgb(214, 140, 40), rgb(34, 40, 28), rgb(236, 228, 198),
     rgb(60, 44, 30), rgb(255, 236, 110), Motif::trees},
    {"garden", rgb(200, 230, 250), rgb(80, 150, 80), rgb(180, 90, 200), rgb(40, 30, 50), rgb(246, 240, 246),
     rgb(70, 60, 80), rgb(255, 240, 140), Motif::flowers},
    {"space", rgb(14, 16, 50), rgb(40, 30, 80), rgb(120, 220, 250), rgb(230, 230, 250), rgb(60, 60, 110),
     rgb(10, 10, 30), rgb(200, 160, 255), Motif::stars},
    {"menu", rgb(60, 90, 150), rgb(30, 40, 80), rgb(240, 170, 40), rgb(20, 20, 30), rgb(240, 236, 226),
     rgb(30, 30, 50), rgb(255, 230, 120), Motif::stars},
};

} // namespace

RecipeColour RecipeColour::mix(const RecipeColour& other, double t) const
{
    return {r + (other.r - r) * t, g + (other.g - g) * t, b + (other.b - b) * t};
}

const RecipePalette& RecipePalette::of(const Recipe& recipe)
{
    const std::string name = recipe.text("palette", "menu");
    if (name.size() == 7 && name.compare(0, 5, "world") == 0 &&
        std::isdigit(static_cast<unsigned char>(name[5])) &&
        std::isdigit(static_cast<unsigned char>(name[6]))) {
        const int n = (name[5] - '0') * 10 + (name[6] - '0');
        if (n >= 1 && n <= 12) return ofWorld(n);
    }
    for (const RecipePalette& p : k_palettes)
        if (name == p.name) return p;
    recipe.fail("palette", "unknown palette '" + name + "'");
}

const RecipePalette& RecipePalette::ofWorld(int world)
{
    if (world < 1 || world > 12) throw std::out_of_range("no world " + std::to_string(world));
    return k_palettes[world - 1];
}

std::vector<std::string> RecipePalette::names()
{
    std::vector<std::string> out;
    for (const RecipePalette& p : k_palettes)
        out.emplace_back(p.name);
    return out;
}
