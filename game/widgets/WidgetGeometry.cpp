#include "game/widgets/WidgetGeometry.h"

#include "ui/FContainer.h"

void centerWidgetOnWidget(FWidget& widget, const FWidget& other)
{
    widget.centerWidgetOnPoint(other.getWidgetCenter());
}

void setWidgetRight(FWidget& widget, int32_t x)
{
    widget.setWidgetLeft(x - widget.width());
}

void sendToBack(FWidget& widget)
{
    FContainer* parent = widget.parent();
    if (parent == nullptr || parent->children().empty()) return;
    if (parent->children().front() == &widget) return;
    parent->placeChildBefore(&widget, parent->children().front());
}
