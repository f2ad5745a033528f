#pragma once

// The body of the widget-tree harnesses: reads the bytes as a container's
// layout record under a quiet error handler, checks that every built widget
// is in the registry and hands each to `visit`. Failure reports end the run.

#include "asset/FScreenRegistry.h"
#include "core/FDebug.h"
#include "core/FErrorHandler.h"
#include "io/FInStream.h"
#include "io/FMemoryStreambuf.h"
#include "support/QuietErrorHandler.h"
#include "ui/FContainer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

template <class Visit> void loadWidgetTree(const uint8_t* data, size_t size, Visit visit)
{
    static QuietErrorHandler quiet;
    static FErrorHandler* const previous = FErrorHandler::install(&quiet);
    (void)previous;
    std::vector<uint8_t> bytes(data, data + size);
    FInStream stream(
        engineNew<FMemoryStreambuf>(k_memStream, bytes.data(), static_cast<int64_t>(bytes.size())));
    FScreenRegistry registry;
    std::vector<int32_t> ids;
    FContainer root;
    try {
        root.load(stream, registry, ids);
        for (int32_t id : ids) {
            FWidget* widget = registry.findInFirst(id).as<FWidget>();
            if (widget == nullptr) __builtin_trap();
            visit(widget);
        }
    } catch (const FDebug::VellumcoreException&) {
    } catch (const FDebug::TreatedException&) {
    }
}
