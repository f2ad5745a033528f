// A container's layout record with its children: unknown type codes,
// negative and huge counts and truncation must end in a failure report (or
// a tree), never in a fault.
#include "asset/FScreenRegistry.h"
#include "core/FDebug.h"
#include "core/FErrorHandler.h"
#include "io/FInStream.h"
#include "io/FMemoryStreambuf.h"
#include "support/QuietErrorHandler.h"
#include "ui/FContainer.h"
#include "ui/FWidgetFactory.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QuietErrorHandler quiet;
    static FErrorHandler* const previous = FErrorHandler::install(&quiet);
    (void)previous;
    static const bool registered = (FWidgetFactory::registerEngineTypes(), true);
    (void)registered;
    std::vector<uint8_t> bytes(data, data + size);
    FInStream stream(
        engineNew<FMemoryStreambuf>(k_memStream, bytes.data(), static_cast<int64_t>(bytes.size())));
    FScreenRegistry registry;
    std::vector<int32_t> ids;
    FContainer root;
    try {
        root.load(stream, registry, ids);
        // Every built widget is in the tree and the registry.
        for (int32_t id : ids) {
            if (registry.findInFirst(id).get() == nullptr) __builtin_trap();
        }
    } catch (const FDebug::VellumcoreException&) {
    } catch (const FDebug::TreatedException&) {
    }
    return 0;
}
