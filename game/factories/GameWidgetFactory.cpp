#include "game/factories/GameWidgetFactory.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"
#include "game/gameplay/HudPanel.h"
#include "game/gameplay/StoryPanel.h"
#include "game/widgets/AnimatedMenuButton.h"
#include "game/widgets/AutoGrowTextBox.h"
#include "game/widgets/AwardsViewport.h"
#include "game/widgets/CharacterVideoSprite.h"
#include "game/widgets/EffectSprite.h"
#include "game/widgets/FactoryContainerWidget.h"
#include "game/widgets/FadeSwapWidget.h"
#include "game/widgets/FlashSprite.h"
#include "game/widgets/GameEditBox.h"
#include "game/widgets/InvisibleButton.h"
#include "game/widgets/MapView.h"
#include "game/widgets/QueuedVideoSprite.h"
#include "game/widgets/StepSlider.h"
#include "game/widgets/VideoSprite.h"
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
    FWidgetFactory::registerType(k_gameEditBox, &FWidgetFactory::createChild<GameEditBox>);
    FWidgetFactory::registerType(k_videoSprite, &FWidgetFactory::createChild<VideoSprite>);
    FWidgetFactory::registerType(k_characterVideoSprite, &FWidgetFactory::createChild<CharacterVideoSprite>);
    FWidgetFactory::registerType(k_animatedMenuButton, &FWidgetFactory::createChild<AnimatedMenuButton>);
    FWidgetFactory::registerType(k_stepSlider, &FWidgetFactory::createChild<StepSlider>);
    FWidgetFactory::registerType(k_autoGrowTextBox, &FWidgetFactory::createChild<AutoGrowTextBox>);
    FWidgetFactory::registerType(k_invisibleButton, &FWidgetFactory::createChild<InvisibleButton>);
    FWidgetFactory::registerType(k_awardsViewport, &FWidgetFactory::createChild<AwardsViewport>);
    FWidgetFactory::registerType(k_fadeSwapWidget, &FWidgetFactory::createChild<FadeSwapWidget>);
    FWidgetFactory::registerType(k_queuedVideoSprite, &FWidgetFactory::createChild<QueuedVideoSprite>);
    FWidgetFactory::registerType(k_flashSprite, &FWidgetFactory::createChild<FlashSprite>);
    FWidgetFactory::registerType(k_effectSprite, &FWidgetFactory::createChild<EffectSprite>);
    FWidgetFactory::registerType(k_factoryContainer, &FWidgetFactory::createChild<FactoryContainerWidget>);
    FWidgetFactory::registerType(k_mapView, &FWidgetFactory::createChild<MapView>);
    FWidgetFactory::registerType(k_hudPanel, &FWidgetFactory::createChild<HudPanel>);
    // A story panel creator registered before the game's (a tool's stand-in) is kept.
    if (FWidgetFactory::find(k_storyPanel) == nullptr)
        FWidgetFactory::registerType(k_storyPanel, &FWidgetFactory::createChild<StoryPanel>);
    refuseUnlessRegistered<k_button>();
}

FRefT<FWidget> createWidget(std::uint32_t type, FContainer& parent)
{
    static std::once_flag registered;
    std::call_once(registered, &GameWidgetFactory::registerTypes);
    const FWidgetFactory::Creator creator = FWidgetFactory::find(type);
    if (creator == nullptr) ZIBBO_FAIL(msgIllegalOperation, "widget type " << hexCode(type) << " is unknown");
    return creator(parent);
}
