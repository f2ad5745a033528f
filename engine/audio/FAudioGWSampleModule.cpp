#include "audio/FAudioGWSampleModule.h"

#include "audio/FAudioStreamTask.h"
#include "audio/FGwSampleReader.h"
#include "audio/FSample.h"
#include "core/FErrorMessage.h"
#include "core/FServiceSlots.h"

#include <algorithm>

namespace {

constexpr int k_chunkFrames = 16384;

FGwSampleReader::Header readHeader(FInStream& stream)
{
    uint8_t bytes[FGwSampleReader::k_headerBytes];
    stream.read(reinterpret_cast<char*>(bytes), sizeof(bytes));
    if (stream.gcount() != static_cast<std::streamsize>(sizeof(bytes)))
        ZIBBO_FAIL(msgFileCorrupted, "header (" << stream.gcount() << ") == " << sizeof(bytes));
    return FGwSampleReader::parseHeader(bytes);
}

void setLoop(FSample& sample, const FGwSampleReader::Header& header)
{
    sample.setLoop((header.flags & FGwSampleReader::k_flagLoops) != 0,
                   (header.flags & FGwSampleReader::k_flagSecond) != 0, static_cast<int>(header.loopStart),
                   static_cast<int>(header.loopLength));
}

} // namespace

FAudioGWSampleModule::FAudioGWSampleModule() : FAssetLoaderModule(k_slotGwSampleLoader) {}

FAsset* FAudioGWSampleModule::newAsset()
{
    return engineNew<FSample>(k_memObject);
}

void FAudioGWSampleModule::load(FAsset& asset)
{
    auto* sample = dynamic_cast<FSample*>(&asset);
    if (sample == nullptr) ZIBBO_FAIL(msgIllegalOperation, "asset (" << asset.id() << ") is a sample");
    FInStream* stream = asset.waitSource();
    if (stream == nullptr) ZIBBO_FAIL(msgIllegalOperation, "source of asset (" << asset.id() << ") != NULL");
    const FGwSampleReader::Header header = readHeader(*stream);
    setLoop(*sample, header);
    if ((asset.entryFlags() & FAsset::k_flagKeepSource) != 0) {
        sample->setStreamDecoder(&FAudioGWSampleModule::decodeStream, asset.sourceHandle());
        return;
    }
    const int channels = header.channels();
    const int frames = header.frames();
    // The data must hold every frame the header promises before the buffer
    // for them is allocated: a damaged size would claim gigabytes.
    const std::streamoff dataStart = stream->tellg();
    stream->seekg(0, std::ios::end);
    const std::streamoff available = stream->tellg() - dataStart;
    stream->seekg(dataStart);
    const int64_t needed = channels == 2 ? frames : (static_cast<int64_t>(frames) + 1) / 2;
    if (!*stream || available < needed)
        ZIBBO_FAIL(msgFileCorrupted, "ADPCM data (" << available << ") >= " << needed);
    FRefT<FAudioBuffer> data =
        FAudioBuffer::make(FAudioBuffer::k_int16, channels, static_cast<float>(header.rate), frames);
    if (data.get() == nullptr) ZIBBO_FAIL(msgSystemError, "PCM buffer (" << header.pcmBytes << ") != NULL");
    FGwSampleReader reader(header, [stream, dataStart](int64_t offset, void* buffer, int64_t size) {
        stream->seekg(dataStart + offset);
        stream->read(static_cast<char*>(buffer), size);
        return static_cast<int64_t>(stream->gcount());
    });
    reader.decode(reinterpret_cast<int16_t*>(data->frameAddress(0)), frames);
    sample->setData(static_cast<FRefT<FAudioBuffer>&&>(data));
}

void FAudioGWSampleModule::decodeStream(FAudioStreamTask& task)
{
    FSample& sample = task.sample();
    uint8_t bytes[FGwSampleReader::k_headerBytes];
    if (sample.readStream(0, bytes, sizeof(bytes)) != static_cast<int64_t>(sizeof(bytes)))
        ZIBBO_FAIL(msgFileCorrupted, "header (short) == " << sizeof(bytes));
    const FGwSampleReader::Header header = FGwSampleReader::parseHeader(bytes);
    FGwSampleReader reader(header, [&sample](int64_t offset, void* buffer, int64_t size) {
        return sample.readStream(FGwSampleReader::k_headerBytes + offset, buffer, size);
    });
    const int end = std::min(header.frames(), task.passEnd());
    const int chunk = std::max(k_chunkFrames, static_cast<int>(header.rate / 2));
    for (int start = 0; start >= 0; start = task.nextPass(reader.frame())) {
        reader.seek(start);
        while (reader.frame() < end) {
            const int n = std::min(chunk, end - reader.frame());
            FRefT<FAudioBuffer>* entry = task.nextEntry();
            if (entry == nullptr) return;
            FRefT<FAudioBuffer> data = FAudioBuffer::make(FAudioBuffer::k_int16, header.channels(),
                                                          static_cast<float>(header.rate), n, reader.frame());
            if (data.get() == nullptr) ZIBBO_FAIL(msgSystemError, "PCM chunk (" << n << ") != NULL");
            reader.decode(reinterpret_cast<int16_t*>(data->frameAddress(0)), n);
            *entry = static_cast<FRefT<FAudioBuffer>&&>(data);
            task.deliver();
        }
    }
}
