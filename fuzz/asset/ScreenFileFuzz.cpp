// The screen-file reader: header, text and asset records with every kind's
// data, and the owner tail. Failure reports are the expected answer to bad
// input; anything else is a fault.
#include "asset/FScreenFileReader.h"
#include "asset/FScreenOwner.h"
#include "asset/FScreenRegistry.h"
#include "core/FDebug.h"
#include "core/FErrorHandler.h"
#include "io/FInStream.h"
#include "io/FMemoryStreambuf.h"
#include "support/QuietErrorHandler.h"
#include "ui/FAssetKinds.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

class TailOwner : public FScreenOwner
{
public:
    void setCameraKeys(std::vector<FCameraKey>) override {}
    void setLayoutValue(int, int32_t) override {}
    void loadWidgetTree(FInStream& reader, FScreenRegistry&, std::vector<int32_t>&) override
    {
        while (reader.remaining() > 0)
            reader.readUInt8();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QuietErrorHandler quiet;
    static FErrorHandler* const previous = FErrorHandler::install(&quiet);
    (void)previous;
    std::vector<uint8_t> bytes(data, data + size);
    FInStream stream(
        engineNew<FMemoryStreambuf>(k_memStream, bytes.data(), static_cast<int64_t>(bytes.size())));
    FScreenRegistry registry;
    std::vector<int32_t> ids;
    TailOwner owner;
    FScreenFileReader reader(registry, &FAssetKinds::create);
    try {
        FScreenFileReader::Options options;
        options.folder = 1;
        reader.read(stream, options, ids);
        if (stream.remaining() > 0) reader.readOwnerTail(stream, owner, ids);
    } catch (const FDebug::VellumcoreException&) {
    } catch (const FDebug::TreatedException&) {
    }
    return 0;
}
