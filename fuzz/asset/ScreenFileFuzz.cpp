// The screen-file reader: header, text and asset records with every kind's
// data, and the owner tail. Failure reports are the expected answer to bad
// input; anything else is a fault.
#include "asset/FRawData.h"
#include "asset/FScreenFileReader.h"
#include "asset/FScreenOwner.h"
#include "asset/FScreenRegistry.h"
#include "core/FDebug.h"
#include "core/FErrorHandler.h"
#include "image/FImage.h"
#include "io/FMemoryStreambuf.h"
#include "support/QuietErrorHandler.h"
#include "ui/FFont.h"
#include "ui/FSkin.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

template <class T> FRef made()
{
    T* asset = engineNew<T>(k_memObject);
    return asset != nullptr ? makeHolderRef(asset, &FRefDeleters::deleteObject<FAsset>) : FRef();
}

FRef makeObject(int16_t kind)
{
    switch (kind) {
    case 0:
        return made<FRawData>();
    case 1:
        return made<FFont>();
    case 3:
        return made<FImage>();
    case 6:
        return made<FSkin>();
    default:
        return FRef();
    }
}

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
    FScreenFileReader reader(registry, &makeObject);
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
