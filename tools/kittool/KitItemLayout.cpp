#include "tools/kittool/KitItemLayout.h"

#include "tools/kittool/KitManifest.h"
#include "tools/recipes/EmojiGlyphs.h"
#include "tools/recipes/RecipeRandom.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr double k_sceneWidth = 2400;
constexpr double k_sceneHeight = 1600;
constexpr double k_margin = 70;

// The tables whose assets are no hidden items.
bool isScenery(const std::string& table)
{
    static const std::set<std::string> k_scenery = {"BaseImage",    "BG",      "Anim",      "Music",
                                                    "AmbientSound", "HotSpot", "ExtraAsset"};
    return table.empty() || k_scenery.count(table) != 0;
}

std::string withoutCompanion(const std::string& key)
{
    for (const char* suffix : {"Bling", "Panel"})
        if (key.ends_with(suffix)) return key.substr(0, key.size() - 5);
    return key;
}

std::string itemOf(const std::string& key)
{
    const std::size_t multiple = key.find("Multiple");
    return multiple == std::string::npos ? key : key.substr(0, multiple);
}

template <class T> void shuffle(std::vector<T>& items, RecipeRandom& random)
{
    for (std::size_t i = items.size(); i > 1; --i)
        std::swap(items[i - 1], items[static_cast<std::size_t>(random.below(0, static_cast<int32_t>(i)))]);
}

} // namespace

KitItemLayout::KitItemLayout(const ScreenManifest& world)
{
    // The placed keys of each table and the distinct items, in manifest order
    // with the Picture table's first.
    std::map<std::string, std::vector<std::string>> keysByTable;
    std::vector<std::string> items;
    std::set<std::string> seenKeys, seenItems;
    for (const bool pictures : {true, false}) {
        for (const ManifestAsset& a : world.assets) {
            if (isScenery(a.table) || (a.table == "Picture") != pictures) continue;
            const std::string key = withoutCompanion(a.member);
            if (seenKeys.insert(key).second) keysByTable[a.table].push_back(key);
            if (seenItems.insert(itemOf(key)).second) items.push_back(itemOf(key));
        }
    }
    RecipeRandom random(static_cast<uint32_t>(world.world) * 7919u + 17u);
    std::vector<std::string> glyphs = EmojiGlyphs::names();
    shuffle(glyphs, random);
    std::map<std::string, std::string> emojiOf;
    for (std::size_t i = 0; i < items.size(); ++i)
        emojiOf[items[i]] = glyphs[i % glyphs.size()];

    for (const auto& [table, keys] : keysByTable) {
        const std::size_t count = keys.size();
        const auto columns = static_cast<std::size_t>(std::ceil(std::sqrt(count * 1.5)));
        const std::size_t rows = (count + columns - 1) / columns;
        const double cellW = (k_sceneWidth - 2 * k_margin) / static_cast<double>(columns);
        const double cellH = (k_sceneHeight - 2 * k_margin) / static_cast<double>(rows);
        std::vector<std::size_t> cells(columns * rows);
        for (std::size_t c = 0; c < cells.size(); ++c)
            cells[c] = c;
        shuffle(cells, random);
        for (std::size_t i = 0; i < count; ++i) {
            Place place;
            place.emoji = emojiOf.at(itemOf(keys[i]));
            place.angle = std::round(random.uniform(-30, 30));
            // The turned glyph's box (glyphs are about square, a little wider
            // at most) stays inside its cell.
            const double turn =
                std::abs(std::cos(place.angle * M_PI / 180)) + std::abs(std::sin(place.angle * M_PI / 180));
            place.size =
                std::round(std::min(random.uniform(80, 150), std::min(cellW, cellH) * 0.8 / (turn * 1.1)));
            const double reach = place.size * turn * 1.1;
            const double slackX = std::max(0.0, (cellW - reach) / 2 - 1);
            const double slackY = std::max(0.0, (cellH - reach) / 2 - 1);
            place.x = k_margin + (static_cast<double>(cells[i] % columns) + 0.5) * cellW +
                      random.uniform(-slackX, slackX);
            place.y = k_margin + (static_cast<double>(cells[i] / columns) + 0.5) * cellH +
                      random.uniform(-slackY, slackY);
            place.x = std::round(place.x);
            place.y = std::round(place.y);
            m_places.emplace(keys[i], std::move(place));
        }
    }
}

const KitItemLayout::Place* KitItemLayout::find(const std::string& key) const
{
    const auto found = m_places.find(key);
    return found == m_places.end() ? nullptr : &found->second;
}

const KitItemLayout& KitItemLayout::of(const ScreenManifest& world)
{
    static std::mutex lock;
    static std::map<std::string, std::unique_ptr<KitItemLayout>> layouts;
    std::lock_guard<std::mutex> hold(lock);
    std::unique_ptr<KitItemLayout>& layout = layouts[world.path];
    if (!layout) layout = std::make_unique<KitItemLayout>(world);
    return *layout;
}
