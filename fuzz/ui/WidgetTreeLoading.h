#pragma once

// The body of the widget-tree harnesses: reads the bytes as a container's
// layout record under a quiet error handler, checks that every built widget
// is in the registry and hands each to `visit`. Failure reports end the run.

#include "FuzzStream.h"
#include "asset/FScreenRegistry.h"
#include "ui/FContainer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

template <class Visit> void loadWidgetTree(const uint8_t* data, size_t size, Visit visit)
{
    readFuzzInput(data, size, [&](FInStream& stream) {
        FScreenRegistry registry;
        std::vector<int32_t> ids;
        FContainer root;
        root.load(stream, registry, ids);
        for (int32_t id : ids) {
            FWidget* widget = registry.findInFirst(id).as<FWidget>();
            if (widget == nullptr) __builtin_trap();
            visit(widget);
        }
    });
}
