#include "game/worldcontent/WorldKeys.h"

#include <algorithm>
#include <cstdio>

namespace {
std::string two(int32_t n)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d", static_cast<int>(n));
    return text;
}

bool contains(const std::vector<int32_t>& list, int32_t value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

class ItemList
{
public:
    explicit ItemList(const WorldContent& world) : m_prefix(worldKeyPrefix(world)) {}

    void single(WorldTable table) { m_items.push_back({table, std::string()}); }
    void add(WorldTable table, const std::string& word, int32_t number, const char* suffix = "")
    {
        m_items.push_back({table, m_prefix + word + two(number) + suffix});
    }
    void companions(WorldTable table, const std::string& word, int32_t number)
    {
        add(table, word, number, "Bling");
        add(table, word, number, "Panel");
    }
    // Each item on its own, then its two companions.
    void findables(WorldTable table, const std::string& word, int32_t count)
    {
        for (int32_t i = 1; i <= count; ++i) {
            add(table, word, i);
            companions(table, word, i);
        }
    }
    void numbered(WorldTable table, const std::string& word, int32_t count)
    {
        for (int32_t i = 1; i <= count; ++i)
            add(table, word, i);
    }
    void multiple(WorldTable table, const std::string& word, int32_t number)
    {
        for (int32_t copy = 1; copy <= k_copiesPerMultiple; ++copy)
            m_items.push_back({table, m_prefix + word + two(number) + "Multiple" + two(copy)});
    }
    std::vector<WorldItem> take() { return std::move(m_items); }

private:
    std::string m_prefix;
    std::vector<WorldItem> m_items;
};
} // namespace

const char* worldTableName(WorldTable table)
{
    static const char* const names[k_worldTableCount] = {
        "BaseImage",         "BG",          "Creature",     "Difference",    "Hint",         "Photographs",
        "Picture",           "SpecialBone", "SpecialDrabb", "SpecialScroll", "SpecialZibbo", "SpecialVessa",
        "SpecialStarmantle", "SpecialTuff", "Travelers",    "Watcher",       "Music",        "AmbientSound",
        "ExtraAsset",        "HotSpot",     "Anim",
    };
    return names[static_cast<int>(table)];
}

std::string worldKeyPrefix(const WorldContent& world)
{
    return "World" + two(world.number);
}

std::vector<WorldItem> worldItems(const WorldContent& world)
{
    ItemList items(world);
    items.single(WorldTable::BaseImage);
    items.numbered(WorldTable::Background, "BG", k_backgroundTiles);
    if (world.creatures) {
        for (int32_t c = 1; c <= k_worldCreatures; ++c) {
            items.multiple(WorldTable::Creature, "Creature", c);
            items.companions(WorldTable::Creature, "Creature", c);
        }
    }
    items.numbered(WorldTable::Difference, world.differenceWord, k_worldDifferences);
    items.numbered(WorldTable::Hint, "Hint", k_worldHints);
    if (!world.creatures) items.findables(WorldTable::Photographs, "Photographs", k_worldPhotographs);
    for (const WorldNumberRun& run : world.pictures) {
        for (int32_t p = run.first; p <= run.last; ++p) {
            if (p >= world.multiples.first && p <= world.multiples.last)
                items.multiple(WorldTable::Picture, "Picture", p);
            else
                items.add(WorldTable::Picture, "Picture", p);
            if (!contains(world.picturesWithoutCompanions, p))
                items.companions(WorldTable::Picture, "Picture", p);
        }
    }
    items.findables(WorldTable::Picture, "Vignette", world.vignettes);
    items.numbered(WorldTable::SpecialBone, "SpecialBone", world.specialBones);
    items.numbered(WorldTable::SpecialDrabb, "SpecialDrabb", k_specialDrabbs);
    items.findables(WorldTable::SpecialScroll, "SpecialScroll", 1);
    items.numbered(WorldTable::SpecialZibbo, "SpecialZibbo", k_specialZibbos);
    items.numbered(WorldTable::SpecialVessa, "SpecialVessa", world.vessas);
    items.numbered(WorldTable::SpecialStarmantle, "SpecialStarmantle", k_specialStarmantles);
    items.numbered(WorldTable::SpecialTuff, "SpecialTuff", k_specialTuffs);
    items.numbered(WorldTable::Travelers, "Travelers", world.travelers);
    items.findables(WorldTable::Watcher, "Watcher", world.watchers);
    if (world.extraAsset) {
        items.single(WorldTable::AmbientSound);
        items.single(WorldTable::ExtraAsset);
        items.single(WorldTable::Music);
    } else {
        items.single(WorldTable::Music);
        items.single(WorldTable::AmbientSound);
    }
    std::vector<WorldItem> result = items.take();
    for (const char* spot : world.hotSpots)
        result.push_back({WorldTable::HotSpot, "HotSpot" + std::to_string(world.number) + "_" + spot});
    ItemList anims(world);
    for (const WorldNumberRun& run : world.anims)
        for (int32_t a = run.first; a <= run.last; ++a)
            anims.add(WorldTable::Anim, "Anim", a);
    for (WorldItem& item : anims.take())
        result.push_back(std::move(item));
    return result;
}

std::vector<std::string> worldCaptionKeys(const WorldContent& world)
{
    std::vector<std::string> keys;
    if (world.allCaptionsUnkeyed) return keys;
    for (int32_t v = 1; v <= world.vignettes; ++v)
        if (!contains(world.unkeyedCaptions, v))
            keys.push_back(std::string("InGame_Carousel_VignetteText_") + world.captionTheme + two(v));
    return keys;
}

std::vector<int32_t> worldPlainCaptionVignettes(const WorldContent& world)
{
    if (!world.allCaptionsUnkeyed) return world.unkeyedCaptions;
    std::vector<int32_t> all;
    for (int32_t v = 1; v <= world.vignettes; ++v)
        all.push_back(v);
    return all;
}
