#include "tools/kittool/KitManifest.h"

#include "tools/gamedata/LuaTable.h"
#include "tools/kittool/KitSkin.h"
#include "tools/recipes/RecipeLua.h"
#include "ui/FWidgetTypes.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// Layout records carry asset and text ids in 16 bits.
constexpr int32_t k_largestId = 0x7FFF;

std::string hexId(uint32_t id)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", id);
    return text;
}

[[noreturn]] void fault(const ScreenManifest& m, const std::string& what, const std::string& key,
                        const std::string& problem)
{
    throw std::runtime_error(m.where() + ", " + what + ", key '" + key + "': " + problem);
}

bool isIdentifier(const std::string& name)
{
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

std::string optionalText(const LuaTable& table, const char* key)
{
    return table.has(key) ? table.text(key) : std::string();
}

// Reads one entry of a list; a LuaTable failure is reported with the entry's
// id, which the caller names.
template <class Read> void readEntry(const ScreenManifest& m, const std::string& what, Read read)
{
    try {
        read();
    } catch (const std::runtime_error& e) {
        const std::string message = e.what();
        if (message.rfind(m.where(), 0) == 0) throw;
        const auto dot = message.rfind('.', message.find(':'));
        const std::string key = message.substr(dot + 1, message.find(':') - dot - 1);
        fault(m, what, key, message.substr(message.find(':') + 2));
    }
}

// Reads each entry of list `key` with `read`(entry, what); `what` names the
// entry by its id (`idKey`) for the messages, or by its position.
template <class Read>
void readList(const LuaTable& root, const char* key, const char* idKey, bool hexIds, const char* name,
              ScreenManifest& m, Read read)
{
    if (!root.has(key)) return;
    const LuaTable list = root.table(key);
    for (std::size_t i = 1; i <= list.size(); ++i) {
        const LuaTable entry = list.at(i);
        std::string what = std::string(name) + " #" + std::to_string(i);
        try {
            if (entry.has(idKey)) {
                const int32_t id = entry.integer(idKey);
                what = std::string(name) + " " +
                       (hexIds ? hexId(static_cast<uint32_t>(id)) : std::to_string(id));
            }
        } catch (const std::runtime_error&) {
            // the reading below reports the id that is not a number
        }
        readEntry(m, what, [&] { read(entry, what); });
    }
}

void readLists(const LuaTable& root, ScreenManifest& m)
{
    readList(root, "assets", "id", false, "asset", m, [&](const LuaTable& entry, const std::string& what) {
        ManifestAsset asset;
        asset.id = entry.integer("id");
        asset.kind = entry.text("kind");
        // A world scene's assets are named by their item key.
        asset.member = entry.has("key") ? entry.text("key") : entry.text("member");
        asset.role = optionalText(entry, "role");
        asset.chosen = entry.has("chosen") && entry.boolean("chosen");
        if (entry.has("recipe")) {
            // Named for its messages as every fault of a manifest is: file, folder, asset.
            const std::string name = m.where() + ", asset " + std::to_string(asset.id);
            entry.readField("recipe", [&](lua_State* lua) {
                try {
                    asset.recipe = recipeFromLua(lua, -1, name);
                } catch (const RecipeError& e) {
                    fault(m, what, "recipe", e.what());
                }
            });
        }
        asset.table = optionalText(entry, "table");
        asset.map = optionalText(entry, "map");
        asset.name = optionalText(entry, "name");
        asset.kindCode = manifestKindCode(asset.kind);
        if (asset.kindCode < 0) fault(m, what, "kind", "unknown kind '" + asset.kind + "'");
        m.assets.push_back(asset);
    });
    readList(root, "texts", "id", false, "text", m, [&](const LuaTable& entry, const std::string& what) {
        ManifestText text;
        text.id = entry.integer("id");
        text.member = entry.has("key") ? entry.text("key") : entry.text("member");
        text.strings = entry.texts("strings");
        text.map = optionalText(entry, "map");
        text.name = optionalText(entry, "name");
        if (text.strings.empty()) fault(m, what, "strings", "no English string");
        m.texts.push_back(text);
    });
    readList(root, "widgets", "id", true, "widget", m, [&](const LuaTable& entry, const std::string&) {
        ManifestWidget widget;
        widget.id = static_cast<uint32_t>(entry.integer("id"));
        widget.type = static_cast<uint32_t>(entry.integer("type"));
        widget.member = entry.text("member");
        widget.parent = static_cast<uint32_t>(entry.integer("parent", 0));
        const std::vector<int32_t> rect = entry.integers("rect");
        if (rect.size() != 4) throw std::runtime_error("x.rect: four numbers (x, y, width, height) expected");
        std::copy(rect.begin(), rect.end(), widget.rect);
        widget.visible = !entry.has("visible") || entry.boolean("visible");
        widget.text = entry.integer("text", 0);
        widget.font = entry.integer("font", 0);
        widget.image = entry.integer("image", 0);
        widget.skin = entry.integer("skin", 0);
        m.widgets.push_back(widget);
    });
    readList(root, "buttons", "widget", true, "button", m, [&](const LuaTable& entry, const std::string&) {
        ManifestButton button;
        button.widget = static_cast<uint32_t>(entry.integer("widget"));
        button.handler = entry.text("handler");
        m.buttons.push_back(button);
    });
    readList(root, "lists", "", false, "list", m, [&](const LuaTable& entry, const std::string&) {
        ManifestList list;
        list.member = entry.text("member");
        for (int32_t id : entry.integers("widgets"))
            list.widgets.push_back(static_cast<uint32_t>(id));
        m.lists.push_back(list);
    });
}

void checkIds(const ScreenManifest& m)
{
    std::set<std::string> members;
    auto member = [&](const std::string& what, const std::string& name) {
        if (!isIdentifier(name)) fault(m, what, "member", "'" + name + "' is no name for a member");
        if (!members.insert(name).second) fault(m, what, "member", "'" + name + "' is used twice");
    };
    std::set<int32_t> assets;
    std::set<std::pair<std::string, std::string>> filed;
    for (const ManifestAsset& a : m.assets) {
        const std::string what = "asset " + std::to_string(a.id);
        if (a.id <= 0 || a.id > k_largestId) fault(m, what, "id", "out of the range 1 to 32767");
        if (!assets.insert(a.id).second) fault(m, what, "id", "listed twice in the asset map");
        member(what, a.member);
        if (a.isFiled()) {
            if (std::find(m.nameMaps.begin(), m.nameMaps.end(), a.map) == m.nameMaps.end())
                fault(m, what, "map", "'" + a.map + "' is none of the manifest's nameMaps");
            if (a.kind != "sample") fault(m, what, "map", "only samples are filed by name");
            if (a.name.empty()) fault(m, what, "name", "a filed sample needs its name");
            if (!filed.insert({a.map, a.name}).second)
                fault(m, what, "name", "'" + a.name + "' is filed twice in " + a.map);
        } else if (!a.name.empty()) {
            fault(m, what, "name", "a name without a map");
        }
    }
    for (const std::string& map : m.nameMaps)
        member("name map " + map, map);
    std::set<int32_t> texts;
    for (const ManifestText& t : m.texts) {
        const std::string what = "text " + std::to_string(t.id);
        if (t.id <= 0 || t.id > k_largestId) fault(m, what, "id", "out of the range 1 to 32767");
        if (!texts.insert(t.id).second) fault(m, what, "id", "listed twice in the text map");
        member(what, t.member);
        if (t.isFiled()) {
            if (std::find(m.nameMaps.begin(), m.nameMaps.end(), t.map) == m.nameMaps.end())
                fault(m, what, "map", "'" + t.map + "' is none of the manifest's nameMaps");
            if (t.name.empty()) fault(m, what, "name", "a filed text needs its key");
            if (!filed.insert({t.map, t.name}).second)
                fault(m, what, "name", "'" + t.name + "' is filed twice in " + t.map);
            for (const ManifestAsset& a : m.assets)
                if (a.map == t.map)
                    fault(m, what, "map", "'" + t.map + "' files samples; texts need a map of their own");
        } else if (!t.name.empty()) {
            fault(m, what, "name", "a name without a map");
        }
    }
    std::map<uint32_t, const ManifestWidget*> widgets;
    for (const ManifestWidget& w : m.widgets) {
        const std::string what = "widget " + hexId(w.id);
        if (w.id == 0) fault(m, what, "id", "0 names no widget");
        if (!widgets.emplace(w.id, &w).second) fault(m, what, "id", "listed twice in the widget map");
        if (FWidgetTypes::className(w.type) == nullptr)
            fault(m, what, "type", "unknown type code " + hexId(w.type));
        if (w.parent != 0) {
            const auto parent = widgets.find(w.parent);
            if (parent == widgets.end() || parent->second == &w)
                fault(m, what, "parent", hexId(w.parent) + " is no widget listed before it");
            if (!isContainerType(parent->second->type))
                fault(m, what, "parent", hexId(w.parent) + " is no container");
        }
        if (w.text != 0 && texts.count(w.text) == 0)
            fault(m, what, "text", std::to_string(w.text) + " is no text of the manifest");
        for (auto [key, id] : {std::pair{"font", w.font}, {"image", w.image}, {"skin", w.skin}}) {
            if (id != 0 && assets.count(id) == 0)
                fault(m, what, key, std::to_string(id) + " is no asset of the manifest");
        }
        member(what, w.member);
    }
    std::set<uint32_t> wired;
    for (const ManifestButton& b : m.buttons) {
        const std::string what = "button " + hexId(b.widget);
        const auto widget = widgets.find(b.widget);
        if (widget == widgets.end()) fault(m, what, "widget", "no widget of the manifest");
        if (!isButtonType(widget->second->type)) fault(m, what, "widget", "not a button");
        if (!wired.insert(b.widget).second) fault(m, what, "widget", "wired twice");
        member(what, b.handler);
    }
    for (const ManifestList& l : m.lists) {
        const std::string what = "list " + l.member;
        member(what, l.member);
        for (uint32_t id : l.widgets) {
            if (widgets.count(id) == 0)
                fault(m, what, "widgets", hexId(id) + " is no widget of the manifest");
        }
    }
}

void checkShape(const ScreenManifest& m)
{
    if (m.folder < 0 || m.folder > 999) fault(m, "the folder", "folder", "out of the range 0 to 999");
    const std::size_t held = m.heldIds();
    if (m.world != 0) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "World%02dSceneLayout", static_cast<int>(m.world));
        if (m.className != expected)
            fault(m, "the class", "class", "a world scene's class is " + std::string(expected));
        if (!m.widgets.empty() || !m.buttons.empty() || !m.parts.empty())
            fault(m, "the class", "widgets", "a world scene holds no widgets, buttons or parts");
    } else if (!isIdentifier(m.className) ||
               (m.className.rfind("LayoutPart", 0) != 0 && m.className.rfind("ScreenLayout", 0) != 0)) {
        fault(m, "the class", "class", "'" + m.className + "' is neither LayoutPartNN nor ScreenLayoutNN");
    } else if (m.isPart()) {
        if (!m.widgets.empty() || !m.buttons.empty() || !m.parts.empty() || !m.lists.empty() ||
            !m.nameMaps.empty())
            fault(m, "the class", "widgets", "a layout part holds no widgets, buttons, parts or name maps");
        // A part reserves six entries beyond the ids it holds.
        if (m.hint != static_cast<int32_t>(held) + 6)
            fault(m, "the folder", "hint",
                  std::to_string(m.hint) + " is not six more than the " + std::to_string(held) + " ids held");
    } else {
        if (m.base.empty()) fault(m, "the class", "base", "a screen layout names its main base");
        if (m.base != "FScreen" && m.baseHeader.empty())
            fault(m, "the class", "baseHeader", "the main base " + m.base + " needs its header");
        if (m.hint < static_cast<int32_t>(held))
            fault(m, "the folder", "hint",
                  std::to_string(m.hint) + " is less than the " + std::to_string(held) + " ids held");
        for (std::size_t i = 1; i < m.parts.size(); ++i) {
            if (m.parts[i] <= m.parts[i - 1])
                fault(m, "the class", "parts", "layout parts go in ascending folder order");
        }
    }
    checkIds(m);
}

} // namespace

std::size_t ScreenManifest::heldIds() const
{
    const auto filed =
        std::count_if(assets.begin(), assets.end(), [](const ManifestAsset& a) { return a.isFiled(); });
    const auto filedTexts =
        std::count_if(texts.begin(), texts.end(), [](const ManifestText& t) { return t.isFiled(); });
    return assets.size() - static_cast<std::size_t>(filed) + texts.size() -
           static_cast<std::size_t>(filedTexts) + widgets.size();
}

std::string ScreenManifest::where() const
{
    return "manifest " + fs::path(path).filename().string() + ", folder " + std::to_string(folder);
}

bool isContainerType(uint32_t type)
{
    using namespace FWidgetTypes;
    switch (type) {
    case k_container:
    case k_animatedMenuButton:
    case k_mapView:
    case k_hudPanel:
    case k_storyPanel:
    case k_awardsViewport:
    case k_factoryContainer:
        return true;
    default:
        return false;
    }
}

int16_t manifestKindCode(const std::string& kind)
{
    static const std::map<std::string, int16_t> k_codes = {
        {"raw", 0}, {"font", 1}, {"music", 2}, {"image", 3}, {"sample", 4}, {"skin", 6}, {"video", 7}};
    const auto found = k_codes.find(kind);
    return found != k_codes.end() ? found->second : int16_t(-1);
}

bool isButtonType(uint32_t type)
{
    return type == FWidgetTypes::k_button || type == FWidgetTypes::k_invisibleButton ||
           type == FWidgetTypes::k_animatedMenuButton;
}

ScreenManifest readScreenManifest(const std::string& path)
{
    ScreenManifest m;
    m.path = path;
    const LuaTable root = LuaTable::load(path);
    try {
        m.folder = root.integer("folder", -1); // for the messages of the checks below
    } catch (const std::runtime_error&) {
    }
    readEntry(m, "the folder", [&] {
        m.folder = root.integer("folder");
        m.hint = root.integer("hint");
        m.className = root.text("class");
        m.world = root.integer("world", 0);
        m.base = optionalText(root, "base");
        m.baseHeader = optionalText(root, "baseHeader");
        m.constructorParameters = optionalText(root, "constructor");
        m.baseArguments = optionalText(root, "baseArguments");
        if (root.has("parts")) m.parts = root.integers("parts");
        if (root.has("nameMaps")) m.nameMaps = root.texts("nameMaps");
        if (root.has("size")) {
            const std::vector<int32_t> size = root.integers("size");
            if (size.size() != 2) throw std::runtime_error("x.size: two numbers (width, height) expected");
            m.width = size[0];
            m.height = size[1];
        }
    });
    readLists(root, m);
    checkShape(m);
    return m;
}

std::vector<ScreenManifest> readScreenManifests(const std::string& folder)
{
    std::vector<std::string> paths;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.size() == 7 && name.substr(3) == ".lua" &&
            std::all_of(name.begin(), name.begin() + 3,
                        [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
            paths.push_back(entry.path().string());
    }
    std::sort(paths.begin(), paths.end());
    std::vector<ScreenManifest> manifests;
    std::map<int32_t, const ScreenManifest*> byFolder;
    for (const std::string& path : paths) {
        manifests.push_back(readScreenManifest(path));
        const ScreenManifest& m = manifests.back();
        if (std::stoi(fs::path(path).filename().string().substr(0, 3)) != m.folder)
            fault(m, "the folder", "folder", "the file is named after another folder");
    }
    for (const ScreenManifest& m : manifests)
        byFolder[m.folder] = &m;
    for (const ScreenManifest& m : manifests) {
        for (int32_t part : m.parts) {
            const auto found = byFolder.find(part);
            if (found == byFolder.end())
                fault(m, "the class", "parts", "folder " + std::to_string(part) + " has no manifest");
            if (!found->second->isPart())
                fault(m, "the class", "parts", "folder " + std::to_string(part) + " is no layout part");
        }
    }
    for (const ScreenManifest& m : manifests)
        checkKitSkins(m, byFolder);
    return manifests;
}
