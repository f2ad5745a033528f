#include "tools/kittool/KitWidgetTree.h"

#include "asset/FScreenRegistry.h"
#include "core/FDebug.h"
#include "image/FImage.h"
#include "io/FInStream.h"
#include "ui/FButton.h"
#include "ui/FImageWidget.h"
#include "ui/FScreen.h"
#include "ui/FWidgetFactory.h"
#include "ui/FWidgetTypes.h"

#include <cstdio>
#include <map>
#include <sstream>

namespace {

// The type code each built widget came from.
std::map<const FWidget*, uint32_t> s_types;

template <uint32_t Type> FRefT<FWidget> recordType(FContainer& parent);

// The engine's creators, wrapped to remember the code.
std::map<uint32_t, FWidgetFactory::Creator>& engineCreators()
{
    static std::map<uint32_t, FWidgetFactory::Creator> creators;
    return creators;
}

template <uint32_t Type> FRefT<FWidget> recordType(FContainer& parent)
{
    FRefT<FWidget> widget = engineCreators()[Type](parent);
    s_types[widget.get()] = Type;
    return widget;
}

template <uint32_t Type> void wrap()
{
    // A tree read before may have left the wrapper registered: wrapping it
    // again would make it call itself.
    FWidgetFactory::Creator creator = FWidgetFactory::find(Type);
    if (creator != nullptr && creator != &recordType<Type>) {
        engineCreators()[Type] = creator;
        FWidgetFactory::registerType(Type, &recordType<Type>);
    }
}

// Reads a button record (the widget part, then 44 bytes of skin, caption,
// placement and neighbours) where no button class is registered, so that
// trees with buttons can be looked into.
class StandInButton : public FWidget
{
public:
    StandInButton(FContainer* parent) : FWidget(parent, true) {}
    void draw(FDrawContext&) override {}
    void load(FInStream& stream, FScreenRegistry& registry, std::vector<int32_t>& ids) override
    {
        FWidget::load(stream, registry, ids);
        for (int i = 0; i < 44; ++i)
            stream.readUInt8();
    }
};

FRefT<FWidget> createStandInButton(FContainer& parent)
{
    return FRefT<FWidget>(makeRef<StandInButton>(engineNew<StandInButton>(k_memObject, &parent)));
}

// A video or flash sprite's record is an image widget's: where the game's
// class is not registered, an image widget reads it.
FRefT<FWidget> createStandInVideoSprite(FContainer& parent)
{
    return FRefT<FWidget>(makeRef<FImageWidget>(engineNew<FImageWidget>(k_memObject, &parent, true)));
}

class TreeScreen : public FScreen
{
public:
    void reloadTexts(int32_t) override {}
};

std::string typeName(uint32_t type)
{
    if (const char* name = FWidgetTypes::className(type)) return name;
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", type);
    return hex;
}

KitWidgetTree::Node describe(FWidget& widget, uint32_t type, const std::map<const FWidget*, int32_t>& ids)
{
    KitWidgetTree::Node node;
    const auto id = ids.find(&widget);
    node.id = id != ids.end() ? id->second : 0;
    node.type = type;
    node.x = widget.rect().left;
    node.y = widget.rect().top;
    node.width = widget.width();
    node.height = widget.height();
    node.visible = widget.isVisible();
    std::ostringstream json;
    std::ostringstream text;
    if (auto* container = dynamic_cast<FContainer*>(&widget)) {
        json << ", \"scroll\": [" << container->scrollOffset().x << ", " << container->scrollOffset().y
             << "], \"depth\": " << container->depth() << ", \"scale\": [" << container->scale().x << ", "
             << container->scale().y << "]";
        text << " scroll " << container->scrollOffset().x << "," << container->scrollOffset().y << " depth "
             << container->depth() << " scale " << container->scale().x << "," << container->scale().y;
        for (FWidget* child : container->children()) {
            const auto code = s_types.find(child);
            node.children.push_back(describe(*child, code != s_types.end() ? code->second : 0, ids));
        }
    } else if (auto* image = dynamic_cast<FImageWidget*>(&widget)) {
        const int32_t asset = image->getImage().get() != nullptr ? image->getImage()->id() : 0;
        json << ", \"image\": " << asset;
        text << " image " << asset;
    } else if (auto* button = dynamic_cast<FButton*>(&widget)) {
        const int32_t skin = button->skin().get() != nullptr ? button->skin()->id() : 0;
        const char* enabled = button->isEnabled() ? "true" : "false";
        json << ", \"skin\": " << skin << ", \"placement\": " << button->imagePlacement()
             << ", \"scale\": " << button->imageScale() << ", \"enabled\": " << enabled;
        text << " skin " << skin << " placement " << button->imagePlacement() << " scale "
             << button->imageScale() << (button->isEnabled() ? " enabled" : " disabled");
    }
    node.jsonFields = json.str();
    node.textFields = text.str();
    return node;
}

void printJson(std::ostringstream& out, const KitWidgetTree::Node& node)
{
    out << "{\"id\": " << node.id << ", \"type\": \"" << typeName(node.type) << "\", \"rect\": [" << node.x
        << ", " << node.y << ", " << node.width << ", " << node.height
        << "], \"visible\": " << (node.visible ? "true" : "false") << node.jsonFields << ", \"children\": [";
    for (size_t i = 0; i < node.children.size(); ++i) {
        if (i != 0) out << ", ";
        printJson(out, node.children[i]);
    }
    out << "]}";
}

void printText(std::ostringstream& out, const KitWidgetTree::Node& node, int depth)
{
    out << std::string(size_t(depth) * 2 + 2, ' ') << node.id << " " << typeName(node.type) << " " << node.x
        << "," << node.y << " " << node.width << "x" << node.height << (node.visible ? " visible" : " hidden")
        << node.textFields << "\n";
    for (const auto& child : node.children)
        printText(out, child, depth + 1);
}

} // namespace

KitWidgetTree::KitWidgetTree() = default;
KitWidgetTree::~KitWidgetTree() = default;

void KitWidgetTree::loadWidgetTree(FInStream& reader, FScreenRegistry& registry, std::vector<int32_t>& ids)
{
    FWidgetFactory::registerEngineTypes();
    for (uint32_t button : {FWidgetTypes::k_button, FWidgetTypes::k_invisibleButton}) {
        if (FWidgetFactory::find(button) == nullptr)
            FWidgetFactory::registerType(button, &createStandInButton);
    }
    // Step sliders, fade-swap widgets, animated menu buttons and the game's
    // container kinds of the story screen read a container record; the game's
    // classes are not linked here.
    for (uint32_t container :
         {FWidgetTypes::k_stepSlider, FWidgetTypes::k_fadeSwapWidget, FWidgetTypes::k_animatedMenuButton,
          FWidgetTypes::k_mapView, FWidgetTypes::k_hudPanel, FWidgetTypes::k_storyPanel,
          FWidgetTypes::k_awardsViewport, FWidgetTypes::k_factoryContainer}) {
        if (FWidgetFactory::find(container) == nullptr)
            FWidgetFactory::registerType(container, &FWidgetFactory::createChild<FContainer>);
    }
    for (uint32_t video : {FWidgetTypes::k_videoSprite, FWidgetTypes::k_characterVideoSprite,
                           FWidgetTypes::k_queuedVideoSprite, FWidgetTypes::k_flashSprite}) {
        if (FWidgetFactory::find(video) == nullptr)
            FWidgetFactory::registerType(video, &createStandInVideoSprite);
    }
    wrap<FWidgetTypes::k_container>();
    wrap<FWidgetTypes::k_stepSlider>();
    wrap<FWidgetTypes::k_fadeSwapWidget>();
    wrap<FWidgetTypes::k_animatedMenuButton>();
    wrap<FWidgetTypes::k_image>();
    wrap<FWidgetTypes::k_videoSprite>();
    wrap<FWidgetTypes::k_characterVideoSprite>();
    wrap<FWidgetTypes::k_queuedVideoSprite>();
    wrap<FWidgetTypes::k_mapView>();
    wrap<FWidgetTypes::k_hudPanel>();
    wrap<FWidgetTypes::k_storyPanel>();
    wrap<FWidgetTypes::k_awardsViewport>();
    wrap<FWidgetTypes::k_factoryContainer>();
    wrap<FWidgetTypes::k_flashSprite>();
    wrap<FWidgetTypes::k_marker>();
    wrap<FWidgetTypes::k_label>();
    wrap<FWidgetTypes::k_button>();
    wrap<FWidgetTypes::k_invisibleButton>();
    wrap<FWidgetTypes::k_editBox>();
    TreeScreen screen;
    const size_t first = ids.size();
    try {
        screen.load(reader, registry, ids);
    } catch (const FDebug::VellumcoreException&) {
        failure = "the widget tree could not be read (see the report above)";
    } catch (const FDebug::TreatedException&) {
        failure = "the widget tree could not be read (see the report above)";
    }
    std::map<const FWidget*, int32_t> widgetIds;
    for (size_t i = first; i < ids.size(); ++i) {
        if (auto* widget = registry.findInFirst(ids[i]).as<FWidget>()) widgetIds[widget] = ids[i];
    }
    root = describe(screen, FWidgetTypes::k_container, widgetIds);
    // The screen's children die with the registry's handles; forget them.
    s_types.clear();
    for (int32_t id : std::vector<int32_t>(ids.begin() + long(first), ids.end()))
        registry.erase(id);
}

std::string KitWidgetTree::json() const
{
    std::ostringstream out;
    printJson(out, root);
    return out.str();
}

std::string KitWidgetTree::text() const
{
    std::ostringstream out;
    printText(out, root, 0);
    return out.str();
}
