#include "ui/FWidgetFactory.h"

#include "core/FMutex.h"
#include "ui/FButton.h"
#include "ui/FContainer.h"
#include "ui/FEditBox.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "ui/FMarkerWidget.h"
#include "ui/FWidget.h"
#include "ui/FWidgetTypes.h"

#include <map>

namespace {

// Registration happens at start-up; screens are read on worker threads.
FMutex& factoryLock()
{
    static FMutex lock;
    return lock;
}

std::map<uint32_t, FWidgetFactory::Creator>& creators()
{
    static std::map<uint32_t, FWidgetFactory::Creator> table;
    return table;
}

FRefT<FWidget> createMarker(FContainer& parent)
{
    return FRefT<FWidget>(makeRef<FMarkerWidget>(engineNew<FMarkerWidget>(k_memObject, &parent)));
}

} // namespace

void FWidgetFactory::registerType(uint32_t type, Creator creator)
{
    FMutexLock lock(factoryLock());
    creators()[type] = creator;
}

FWidgetFactory::Creator FWidgetFactory::find(uint32_t type)
{
    FMutexLock lock(factoryLock());
    const auto found = creators().find(type);
    return found == creators().end() ? nullptr : found->second;
}

FRefT<FWidget> FWidgetFactory::createWidget(FContainer& parent, uint32_t type)
{
    const Creator creator = find(type);
    return creator != nullptr ? creator(parent) : FRefT<FWidget>();
}

void FWidgetFactory::registerEngineTypes()
{
    registerType(FWidgetTypes::k_container, &createChild<FContainer>);
    registerType(FWidgetTypes::k_marker, &createMarker);
    registerType(FWidgetTypes::k_image, &createChild<FImageWidget>);
    registerType(FWidgetTypes::k_label, &createChild<FLabel>);
    registerType(FWidgetTypes::k_editBox, &createChild<FEditBox>);
    registerType(FWidgetTypes::k_button, &createChild<FButton>);
}
