#pragma once

#include "core/FErrorMessage.h"
#include "core/FRef.h"
#include "ui/FWidget.h"

#include <cstdint>

// Typed access to the widgets of a screen's layout whose class the layout
// holds as a plain widget: a widget of another class than the screen file
// promised is a failure report naming the folder.
template <class Widget> Widget* frontEndWidgetOf(const FRef& widget, int32_t folder, const char* what)
{
    auto* typed = dynamic_cast<Widget*>(static_cast<FWidget*>(widget.get()));
    if (typed == nullptr)
        ZIBBO_FAIL(msgIllegalOperation, what << " of folder " << folder << " is of another class");
    return typed;
}

// The same as a counted handle.
template <class Widget> FRefT<Widget> frontEndHandleOf(const FRef& widget, int32_t folder, const char* what)
{
    frontEndWidgetOf<Widget>(widget, folder, what);
    return FRefT<Widget>(widget);
}

// Shows or hides a widget of the layout (nothing for an empty handle).
inline void showFrontEndWidget(const FRef& widget, bool shown)
{
    if (auto* w = static_cast<FWidget*>(widget.get())) w->setVisible(shown);
}
