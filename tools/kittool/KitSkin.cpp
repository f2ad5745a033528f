#include "tools/kittool/KitSkin.h"

#include "tools/kittool/KitManifest.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

const char* const k_states[4] = {"normal", "hover", "pressed", "disabled"};
constexpr int16_t k_image = 3;
constexpr int16_t k_font = 1;
constexpr int16_t k_sample = 4;

[[noreturn]] void fault(const ScreenManifest& m, const ManifestAsset& a, const std::string& key,
                        const std::string& problem)
{
    throw std::runtime_error(m.where() + ", asset " + std::to_string(a.id) + ", key '" + key +
                             "': " + problem);
}

int16_t idOf(const Recipe& recipe, const char* key)
{
    return static_cast<int16_t>(recipe.integer(key, 0, 0x7FFF, 0));
}

} // namespace

SkinData kitSkinData(const ScreenManifest& m, const ManifestAsset& a)
{
    SkinData skin;
    if (!a.recipe) return skin;
    const Recipe& recipe = *a.recipe;
    if (recipe.text("kind", "") != "skin") fault(m, a, "kind", "a skin's recipe is of kind \"skin\"");
    for (const auto& [key, value] : recipe.values()) {
        static const std::string k_keys[] = {"kind", "normal", "hover",  "pressed", "disabled",
                                             "font", "sound",  "insets", "text"};
        if (std::find(std::begin(k_keys), std::end(k_keys), key) == std::end(k_keys))
            fault(m, a, key, "no key of a skin");
    }
    std::array<uint8_t, 4> text{0, 0, 0, 255};
    if (recipe.has("text")) {
        const std::vector<double> rgb = recipe.numbers("text");
        if (rgb.size() != 3) fault(m, a, "text", "three numbers (red, green, blue) expected");
        for (std::size_t i = 0; i < 3; ++i) {
            if (rgb[i] < 0 || rgb[i] > 255) fault(m, a, "text", "colour values lie in 0..255");
            text[i] = static_cast<uint8_t>(rgb[i]);
        }
    }
    for (std::size_t s = 0; s < 4; ++s) {
        SkinState& state = skin.states[s];
        state.imageId = idOf(recipe, k_states[s]);
        state.fontId = idOf(recipe, "font");
        state.soundId = idOf(recipe, "sound");
        state.textRgba = text;
    }
    if (recipe.has("insets")) {
        const std::vector<double> insets = recipe.numbers("insets");
        if (insets.size() != 4) fault(m, a, "insets", "four numbers (left, top, right, bottom) expected");
        for (std::size_t i = 0; i < 4; ++i) {
            if (insets[i] < 0 || insets[i] > 4096) fault(m, a, "insets", "insets lie in 0..4096 pixels");
            skin.insets[i] = static_cast<int16_t>(insets[i]);
        }
    }
    return skin;
}

void checkKitSkins(const ScreenManifest& m, const std::map<int32_t, const ScreenManifest*>& byFolder)
{
    auto kindOf = [&](int32_t id) -> int16_t {
        for (const ManifestAsset& a : m.assets)
            if (a.id == id) return a.kindCode;
        for (int32_t part : m.parts) {
            const auto found = byFolder.find(part);
            if (found == byFolder.end()) continue;
            for (const ManifestAsset& a : found->second->assets)
                if (a.id == id) return a.kindCode;
        }
        return -1;
    };
    // The size a recipe draws an image at, when it states one (w and h).
    auto recipeSizeOf = [&](int32_t id) -> std::optional<std::pair<int32_t, int32_t>> {
        for (const ManifestAsset& a : m.assets)
            if (a.id == id && a.recipe && a.recipe->has("w") && a.recipe->has("h"))
                return std::pair{a.recipe->integer("w", 0, 0x7FFF, 0), a.recipe->integer("h", 0, 0x7FFF, 0)};
        return std::nullopt;
    };
    for (const ManifestAsset& a : m.assets) {
        if (a.kindCode != 6) continue;
        const SkinData skin = kitSkinData(m, a);
        // A button measures its three-slice insets on the first face it
        // finds and draws every state with them, so a face of another size
        // comes out torn (a square key's face on a wide button).
        std::optional<std::pair<int32_t, int32_t>> firstSize;
        const char* firstState = nullptr;
        for (std::size_t s = 0; s < 4; ++s) {
            if (skin.states[s].imageId == 0) continue;
            const auto size = recipeSizeOf(skin.states[s].imageId);
            if (!size) continue;
            if (!firstSize) {
                firstSize = size;
                firstState = k_states[s];
            } else if (*size != *firstSize) {
                fault(m, a, k_states[s],
                      "face " + std::to_string(skin.states[s].imageId) + " is " +
                          std::to_string(size->first) + "x" + std::to_string(size->second) + " while the " +
                          firstState + " face is " + std::to_string(firstSize->first) + "x" +
                          std::to_string(firstSize->second) + "; every face of a skin has one size");
            }
        }
        auto check = [&](const char* key, int16_t id, int16_t kind, const char* kindName) {
            if (id == 0) return;
            const int16_t found = kindOf(id);
            if (found < 0) fault(m, a, key, std::to_string(id) + " is no asset of the folder or its parts");
            if (found != kind) fault(m, a, key, std::to_string(id) + " is no " + kindName + " asset");
        };
        for (std::size_t s = 0; s < 4; ++s)
            check(k_states[s], skin.states[s].imageId, k_image, "image");
        check("font", skin.states[0].fontId, k_font, "font");
        check("sound", skin.states[0].soundId, k_sample, "sample");
    }
}
