#include "ui/FMarkerWidget.h"

FMarkerWidget::FMarkerWidget(FContainer* parent) : FWidget(parent, true)
{
    storeVisible(false);
    setHitTestDisabled(true);
    requestRedraw();
}
