#pragma once

#include "core/FMemory.h"
#include "core/FRef.h"

#include <cstdint>

class FContainer;
class FWidget;

// Builds widgets of layout records by their type code. The engine registers
// its own kinds; the game adds its widgets before the first screen loads.
// A creator builds the widget as a child of the given container (appended
// to its children) and returns the handle that keeps it alive.
class FWidgetFactory
{
public:
    using Creator = FRefT<FWidget> (*)(FContainer& parent);

    static void registerType(uint32_t type, Creator creator);
    // Null when no creator knows the code.
    static Creator find(uint32_t type);
    // An empty handle for an unknown code.
    static FRefT<FWidget> createWidget(FContainer& parent, uint32_t type);
    // The engine's own kinds: container and marker, image, label, edit box
    // and button.
    static void registerEngineTypes();

    // The creator of a kind whose constructor takes (parent, addToParent).
    template <class T> static FRefT<FWidget> createChild(FContainer& parent)
    {
        return FRefT<FWidget>(makeRef<T>(engineNew<T>(k_memObject, &parent, true)));
    }
};
