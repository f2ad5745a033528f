// A container record whose children are the game's video sprites, menu and
// text widgets: damaged records must end in a failure report (or a tree),
// never in a fault, and the built widgets must survive their first updates.
#include "game/widgets/AnimatedMenuButton.h"
#include "game/widgets/AutoGrowTextBox.h"
#include "game/widgets/CharacterVideoSprite.h"
#include "game/widgets/InvisibleButton.h"
#include "game/widgets/StepSlider.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FWidgetFactory.h"
#include "ui/FWidgetTypes.h"
#include "ui/WidgetTreeLoading.h"

#include <cstddef>
#include <cstdint>

namespace {

void registerGameWidgets()
{
    FWidgetFactory::registerEngineTypes();
    FWidgetFactory::registerType(FWidgetTypes::k_videoSprite, &FWidgetFactory::createChild<VideoSprite>);
    FWidgetFactory::registerType(FWidgetTypes::k_characterVideoSprite,
                                 &FWidgetFactory::createChild<CharacterVideoSprite>);
    FWidgetFactory::registerType(FWidgetTypes::k_animatedMenuButton,
                                 &FWidgetFactory::createChild<AnimatedMenuButton>);
    FWidgetFactory::registerType(FWidgetTypes::k_stepSlider, &FWidgetFactory::createChild<StepSlider>);
    FWidgetFactory::registerType(FWidgetTypes::k_autoGrowTextBox,
                                 &FWidgetFactory::createChild<AutoGrowTextBox>);
#if __has_include("ui/FButton.h")
    FWidgetFactory::registerType(FWidgetTypes::k_invisibleButton,
                                 &FWidgetFactory::createChild<InvisibleButton>);
#endif
}

// What a host does first with each kind, without the parts it would give.
void exercise(FWidget* widget)
{
    if (auto* sprite = dynamic_cast<VideoSprite*>(widget)) {
        sprite->play(true);
        sprite->update(1000);
        sprite->seekAndShow(5);
    } else if (auto* slider = dynamic_cast<StepSlider*>(widget)) {
        slider->setStepCount(0);
        slider->onStepCountChanged();
        slider->setStep(3);
        (void)slider->isOnTrack({1, 1});
        slider->onPointerMove(0, {1, 1});
    } else if (auto* button = dynamic_cast<AnimatedMenuButton*>(widget)) {
        button->setClipKind(4);
        button->updateWiggle(100);
        button->onPointerLeave(0);
    } else if (auto* box = dynamic_cast<AutoGrowTextBox*>(widget)) {
        box->update(60);
        box->onPointerDown(0, 1, {0, 0});
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool registered = (registerGameWidgets(), true);
    (void)registered;
    loadWidgetTree(data, size, &exercise);
    return 0;
}
