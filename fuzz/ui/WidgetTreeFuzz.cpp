// A container's layout record with its children: unknown type codes,
// negative and huge counts and truncation must end in a failure report (or
// a tree), never in a fault.
#include "ui/FWidgetFactory.h"
#include "ui/WidgetTreeLoading.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool registered = (FWidgetFactory::registerEngineTypes(), true);
    (void)registered;
    // Every built widget is in the tree and the registry.
    loadWidgetTree(data, size, [](FWidget*) {});
    return 0;
}
