#include "tools/recipes/EmojiGlyphs.h"

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace {

// Things one can hide in a scene: single code points only (no sequences), so
// that no text shaping is needed to find the glyph.
const std::map<std::string, char32_t> k_emoji = {
    {"key", 0x1F511},        {"old_key", 0x1F5DD},      {"apple", 0x1F34E},     {"green_apple", 0x1F34F},
    {"pear", 0x1F350},       {"banana", 0x1F34C},       {"cherries", 0x1F352},  {"grapes", 0x1F347},
    {"lemon", 0x1F34B},      {"strawberry", 0x1F353},   {"carrot", 0x1F955},    {"mushroom", 0x1F344},
    {"umbrella", 0x1F302},   {"cat", 0x1F408},          {"dog", 0x1F415},       {"mouse", 0x1F401},
    {"rabbit", 0x1F407},     {"snail", 0x1F40C},        {"butterfly", 0x1F98B}, {"bird", 0x1F426},
    {"owl", 0x1F989},        {"fish", 0x1F41F},         {"turtle", 0x1F422},    {"frog", 0x1F438},
    {"crab", 0x1F980},       {"shell", 0x1F41A},        {"bone", 0x1F9B4},      {"feather", 0x1FAB6},
    {"clock", 0x23F0},       {"hourglass", 0x231B},     {"bell", 0x1F514},      {"candle", 0x1F56F},
    {"lamp", 0x1FA94},       {"book", 0x1F4D5},         {"scroll", 0x1F4DC},    {"envelope", 0x2709},
    {"pencil", 0x270F},      {"scissors", 0x2702},      {"hammer", 0x1F528},    {"wrench", 0x1F527},
    {"magnifier", 0x1F50D},  {"lock", 0x1F512},         {"crown", 0x1F451},     {"ring", 0x1F48D},
    {"gem", 0x1F48E},        {"coin", 0x1FA99},         {"hat", 0x1F3A9},       {"boot", 0x1F462},
    {"glasses", 0x1F453},    {"teapot", 0x1FAD6},       {"cup", 0x2615},        {"violin", 0x1F3BB},
    {"guitar", 0x1F3B8},     {"trumpet", 0x1F3BA},      {"drum", 0x1F941},      {"anchor", 0x2693},
    {"compass", 0x1F9ED},    {"globe", 0x1F310},        {"balloon", 0x1F388},   {"gift", 0x1F381},
    {"kite", 0x1FA81},       {"ball", 0x26BD},          {"dice", 0x1F3B2},      {"puzzle", 0x1F9E9},
    {"teddy_bear", 0x1F9F8}, {"candy", 0x1F36C},        {"cake", 0x1F370},      {"bread", 0x1F35E},
    {"cheese", 0x1F9C0},     {"egg", 0x1F95A},          {"flower", 0x1F33C},    {"rose", 0x1F339},
    {"tulip", 0x1F337},      {"sunflower", 0x1F33B},    {"cactus", 0x1F335},    {"leaf", 0x1F341},
    {"tree", 0x1F333},       {"palm_tree", 0x1F334},    {"acorn", 0x1F330},     {"star", 0x2B50},
    {"moon", 0x1F319},       {"sun", 0x2600},           {"snowflake", 0x2744},  {"snowman", 0x26C4},
    {"fire", 0x1F525},       {"rocket", 0x1F680},       {"sailboat", 0x26F5},   {"bicycle", 0x1F6B2},
    {"car", 0x1F697},        {"camera", 0x1F4F7},       {"telephone", 0x260E},  {"light_bulb", 0x1F4A1},
    {"map", 0x1F5FA},        {"axe", 0x1FA93},          {"bucket", 0x1FAA3},    {"basket", 0x1F9FA},
    {"sock", 0x1F9E6},       {"scarf", 0x1F9E3},        {"glove", 0x1F9E4},     {"bag", 0x1F45C},
    {"lipstick", 0x1F484},   {"shield", 0x1F6E1},       {"sword", 0x1F5E1},     {"bow", 0x1F3F9},
    {"potion", 0x1F9EA},     {"crystal_ball", 0x1F52E}, {"magnet", 0x1F9F2},    {"paintbrush", 0x1F58C},
    {"palette", 0x1F3A8},    {"thread", 0x1F9F5},       {"button", 0x1F518},    {"spider", 0x1F577},
    {"bee", 0x1F41D},        {"ladybug", 0x1F41E},      {"octopus", 0x1F419},   {"whale", 0x1F433},
    {"penguin", 0x1F427},    {"fox", 0x1F98A},          {"hedgehog", 0x1F994},  {"pumpkin", 0x1F383},
    {"watermelon", 0x1F349}, {"pineapple", 0x1F34D},    {"corn", 0x1F33D},      {"pepper", 0x1F336},
    {"ice_cream", 0x1F366},  {"lollipop", 0x1F36D},     {"trophy", 0x1F3C6},    {"medal", 0x1F3C5},
    {"flag", 0x1F6A9},       {"tent", 0x26FA},          {"house", 0x1F3E0},     {"mailbox", 0x1F4EB},
    {"bottle", 0x1F37C},     {"teacup", 0x1F375},       {"spoon", 0x1F944},     {"ghost", 0x1F47B},
    {"skull", 0x1F480},      {"mask", 0x1F3AD},
};

struct FontState
{
    std::mutex lock;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::map<char32_t, std::unique_ptr<EmojiGlyph>> glyphs;

    ~FontState()
    {
        if (face != nullptr) FT_Done_Face(face);
        if (library != nullptr) FT_Done_FreeType(library);
    }

    void open()
    {
        if (face != nullptr) return;
        if (FT_Init_FreeType(&library) != 0) throw std::runtime_error("FreeType cannot start");
        if (FT_New_Face(library, EmojiGlyphs::k_fontPath, 0, &face) != 0)
            throw std::runtime_error(std::string("cannot read the emoji font ") + EmojiGlyphs::k_fontPath);
        // Colour bitmap fonts have fixed strikes only: take the 109-pixel one.
        int strike = 0;
        for (int i = 0; i < face->num_fixed_sizes; ++i)
            if (face->available_sizes[i].y_ppem / 64 == 109) strike = i;
        if (face->num_fixed_sizes == 0 || FT_Select_Size(face, strike) != 0)
            throw std::runtime_error("the emoji font has no colour strike");
    }

    const EmojiGlyph& load(char32_t code, const Recipe& recipe)
    {
        std::lock_guard<std::mutex> guard(lock);
        auto& slot = glyphs[code];
        if (slot) return *slot;
        open();
        const FT_UInt index = FT_Get_Char_Index(face, code);
        if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_COLOR) != 0 ||
            face->glyph->bitmap.pixel_mode != FT_PIXEL_MODE_BGRA) {
            glyphs.erase(code);
            recipe.fail("emoji", "the emoji font has no colour glyph for '" + recipe.text("emoji") + "'");
        }
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        auto glyph = std::make_unique<EmojiGlyph>();
        glyph->width = static_cast<int32_t>(bitmap.width);
        glyph->height = static_cast<int32_t>(bitmap.rows);
        glyph->stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, glyph->width);
        glyph->argb.resize(static_cast<std::size_t>(glyph->stride) * glyph->height);
        // FreeType's BGRA is premultiplied B, G, R, A bytes: Cairo's ARGB32
        // words on a little-endian machine.
        for (int32_t y = 0; y < glyph->height; ++y)
            std::memcpy(glyph->argb.data() + static_cast<std::size_t>(y) * glyph->stride,
                        bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch,
                        static_cast<std::size_t>(glyph->width) * 4);
        slot = std::move(glyph);
        return *slot;
    }
};

FontState& fontState()
{
    static FontState state;
    return state;
}

} // namespace

cairo_surface_t* EmojiGlyph::surface() const
{
    return cairo_image_surface_create_for_data(const_cast<uint8_t*>(argb.data()), CAIRO_FORMAT_ARGB32, width,
                                               height, stride);
}

void EmojiGlyph::paint(cairo_t* cr, double scale) const
{
    cairo_surface_t* glyph = surface();
    cairo_save(cr);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, glyph, -width / 2.0, -height / 2.0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BEST);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(glyph);
}

const EmojiGlyph& EmojiGlyphs::of(const Recipe& recipe)
{
    const std::string name = recipe.text("emoji");
    const auto it = k_emoji.find(name);
    if (it == k_emoji.end()) recipe.fail("emoji", "unknown emoji name '" + name + "'");
    return fontState().load(it->second, recipe);
}

std::vector<std::string> EmojiGlyphs::names()
{
    std::vector<std::string> out;
    for (const auto& entry : k_emoji)
        out.push_back(entry.first);
    return out;
}
