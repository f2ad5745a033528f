// Loads arbitrary bytes as an XML serializer file and reads every kind of
// value from it. Failure reports are expected; crashes, overruns and leaks
// are not.

#include "fuzz/core/XmlFuzzDocument.h"
#include "support/QuietErrorHandler.h"

#include "core/FErrorHandler.h"
#include "core/FXmlSerializer.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QuietErrorHandler::installForProcess(false);

    std::string text(reinterpret_cast<const char*>(data), size);
    try {
        FRefT<std::istringstream> file = makeSignaledRef(engineNew<std::istringstream>(k_memObject, text));
        FXmlSerializer serializer(file);
        XmlFuzzDocument document;
        for (auto& step : document.steps()) {
            try {
                step(serializer);
            } catch (const std::exception&) {
            }
        }
    } catch (const std::exception&) {
    }
    return 0;
}
