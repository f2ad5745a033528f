#include "game/factories/GameWidgetFactory.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"
#include "game/widgets/GameEditBox.h"
#include "ui/FContainer.h"
#include "ui/FWidgetFactory.h"
#include "ui/FWidgetTypes.h"

#include <iomanip>
#include <mutex>
#include <sstream>

namespace {

std::string hexCode(std::uint32_t type)
{
    std::ostringstream code;
    code << "0x" << std::hex << std::uppercase << std::setw(8) << std::setfill('0') << type;
    return code.str();
}

FRefT<FWidget> createGameEditBox(FContainer& parent)
{
    return FRefT<FWidget>(makeRef<GameEditBox>(engineNew<GameEditBox>(k_memObject, &parent, true)));
}

template <std::uint32_t Type> FRefT<FWidget> refuseNotBuilt(FContainer&)
{
    ZIBBO_FAIL(msgIllegalOperation, "widget type " << hexCode(Type) << " (" << FWidgetTypes::className(Type)
                                                   << ") is not built yet");
}

template <std::uint32_t Type> void refuseUnlessRegistered()
{
    if (FWidgetFactory::find(Type) == nullptr) FWidgetFactory::registerType(Type, &refuseNotBuilt<Type>);
}

} // namespace

void GameWidgetFactory::registerTypes()
{
    using namespace FWidgetTypes;
    FWidgetFactory::registerEngineTypes();
    FWidgetFactory::registerType(k_gameEditBox, &createGameEditBox);
    refuseUnlessRegistered<k_factoryContainer>();
    refuseUnlessRegistered<k_autoGrowTextBox>();
    refuseUnlessRegistered<k_characterVideoSprite>();
    refuseUnlessRegistered<k_awardsViewport>();
    refuseUnlessRegistered<k_button>();
    refuseUnlessRegistered<k_mapView>();
    refuseUnlessRegistered<k_stepSlider>();
    refuseUnlessRegistered<k_fadeSwapWidget>();
    refuseUnlessRegistered<k_animatedMenuButton>();
    refuseUnlessRegistered<k_queuedVideoSprite>();
    refuseUnlessRegistered<k_invisibleButton>();
    refuseUnlessRegistered<k_videoSprite>();
    refuseUnlessRegistered<k_flashSprite>();
    refuseUnlessRegistered<k_effectSprite>();
    refuseUnlessRegistered<k_hudPanel>();
    refuseUnlessRegistered<k_storyPanel>();
}

FRefT<FWidget> createWidget(std::uint32_t type, FContainer& parent)
{
    static std::once_flag registered;
    std::call_once(registered, &GameWidgetFactory::registerTypes);
    const FWidgetFactory::Creator creator = FWidgetFactory::find(type);
    if (creator == nullptr) ZIBBO_FAIL(msgIllegalOperation, "widget type " << hexCode(type) << " is unknown");
    return creator(parent);
}
