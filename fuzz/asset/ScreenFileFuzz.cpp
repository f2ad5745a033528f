// The screen-file reader: header, text and asset records with every kind's
// data, and the owner tail. Failure reports are the expected answer to bad
// input; anything else is a fault.
#include "FuzzStream.h"
#include "asset/FScreenFileReader.h"
#include "asset/FScreenOwner.h"
#include "asset/FScreenRegistry.h"
#include "io/FInStream.h"
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
    readFuzzInput(data, size, [](FInStream& stream) {
        FScreenRegistry registry;
        std::vector<int32_t> ids;
        TailOwner owner;
        FScreenFileReader reader(registry, &FAssetKinds::create);
        FScreenFileReader::Options options;
        options.folder = 1;
        reader.read(stream, options, ids);
        if (stream.remaining() > 0) reader.readOwnerTail(stream, owner, ids);
    });
    return 0;
}
