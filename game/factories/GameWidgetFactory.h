#pragma once

#include "core/FRef.h"

#include <cstdint>

class FContainer;
class FWidget;

// The classes behind the widget type codes of the game's layout records.
// `registerTypes` hands them to the engine's widget factory, through which the
// container loader builds every child; a code whose widget class is not built
// yet is registered with a creator that refuses it with a failure report
// naming the code.
struct GameWidgetFactory
{
    // Registers the engine's kinds, the game's and the refusals; a code that
    // another part of the program registered keeps its creator.
    static void registerTypes();
};

// The widget of `type` as a new child of `parent`. A code that names no widget
// and a code whose widget is not built yet raise a failure report naming the
// code (and adds nothing to `parent`).
FRefT<FWidget> createWidget(std::uint32_t type, FContainer& parent);
