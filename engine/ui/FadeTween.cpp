#include "ui/FadeTween.h"

#include "ui/FLabel.h"
#include "ui/FWidget.h"

int32_t fadedAlpha(FLabel& label)
{
    return static_cast<int32_t>(label.colourTable()[0] >> 24);
}

void setFadedAlpha(FLabel& label, int32_t value)
{
    label.setAlpha(static_cast<uint8_t>(value));
}

int32_t fadedAlpha(FWidget& widget)
{
    return static_cast<int32_t>(widget.widgetColour() >> 24);
}

void setFadedAlpha(FWidget& widget, int32_t value)
{
    widget.setWidgetAlpha(static_cast<uint8_t>(value));
}
