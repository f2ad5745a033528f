#pragma once

#include <cstdint>

class FWidget;

// Placing helpers that the game's effects share. Each moves the widget
// through FWidget's own geometry setters, so it asks for a redraw and the
// widget hears onMoved.

// Centres `widget` on the centre of `other`'s rectangle (halves truncated
// toward zero). Both rectangles are taken as they stand: no conversion
// between spaces.
void centerWidgetOnWidget(FWidget& widget, const FWidget& other);
// Puts the widget's right edge at x, its width kept.
void setWidgetRight(FWidget& widget, int32_t x);
// Makes the widget the first child of its parent, drawn below its siblings
// (nothing without a parent).
void sendToBack(FWidget& widget);
