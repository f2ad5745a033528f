#include "audio/FAudioVorbisModule.h"

#include "audio/FAudioStreamTask.h"
#include "audio/FSample.h"
#include "audio/FVorbisDecoder.h"
#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FServiceSlots.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// "name=" followed by at most nine characters of a decimal number.
bool readTag(const char* comment, int length, const char* name, int& value)
{
    const int nameLength = static_cast<int>(std::strlen(name));
    if (length < nameLength || std::strncmp(comment, name, static_cast<size_t>(nameLength)) != 0)
        return false;
    if (length > nameLength + 9) ZIBBO_FAIL(msgFileCorrupted, "Invalid comment length");
    char digits[10] = {};
    std::memcpy(digits, comment + nameLength, static_cast<size_t>(length - nameLength));
    value = std::atoi(digits);
    return true;
}

FRefT<FAudioBuffer> bufferOf(const std::vector<int16_t>& samples, int channels, float rate, int firstFrame)
{
    const int frames = static_cast<int>(samples.size() / static_cast<size_t>(channels));
    FRefT<FAudioBuffer> data = FAudioBuffer::make(FAudioBuffer::k_int16, channels, rate, frames, firstFrame);
    if (data.get() == nullptr) ZIBBO_FAIL(msgSystemError, "PCM buffer (" << frames << ") != NULL");
    if (frames > 0) std::memcpy(data->frameAddress(0), samples.data(), samples.size() * sizeof(int16_t));
    return data;
}

} // namespace

FAudioVorbisModule::FAudioVorbisModule() : FAssetLoaderModule(k_slotVorbisLoader) {}

FAsset* FAudioVorbisModule::newAsset()
{
    return engineNew<FSample>(k_memObject);
}

void FAudioVorbisModule::readLoopComments(const vorbis_comment& comments, FSample& sample)
{
    int loopStart = 0;
    int loopLength = 0;
    bool haveStart = false;
    bool haveLength = false;
    for (int i = 0; i < comments.comments; ++i) {
        const char* text = comments.user_comments[i];
        const int length = comments.comment_lengths[i];
        if (text == nullptr) continue;
        if (readTag(text, length, "loopstart=", loopStart))
            haveStart = true;
        else if (readTag(text, length, "looplength=", loopLength))
            haveLength = true;
    }
    if (haveStart != haveLength) ZIBBO_FAIL(msgFileCorrupted, "Corrupted tags");
    sample.setLoop(haveStart, false, haveStart ? loopStart : 0, haveLength ? loopLength : 0);
}

void FAudioVorbisModule::load(FAsset& asset)
{
    auto* sample = dynamic_cast<FSample*>(&asset);
    if (sample == nullptr) ZIBBO_FAIL(msgIllegalOperation, "asset (" << asset.id() << ") is a sample");
    FInStream* stream = asset.waitSource();
    if (stream == nullptr) ZIBBO_FAIL(msgIllegalOperation, "source of asset (" << asset.id() << ") != NULL");
    const std::streamoff start = stream->tellg();
    FVorbisDecoder decoder([stream, start](int64_t offset, void* buffer, int64_t size) {
        stream->seekg(start + offset);
        stream->read(static_cast<char*>(buffer), size);
        return static_cast<int64_t>(stream->gcount());
    });
    decoder.readHeaders();
    readLoopComments(decoder.comments(), *sample);
    if ((asset.entryFlags() & FAsset::k_flagKeepSource) != 0) {
        sample->setStreamDecoder(&FAudioVorbisModule::decodeStream, asset.sourceHandle());
        return;
    }
    char serial[16];
    std::snprintf(serial, sizeof(serial), "%lx", static_cast<unsigned long>(decoder.serial()));
    ZIBBO_LOG(k_logFile, false) << "Ogg logical stream " << serial << " is Vorbis version "
                                << decoder.info().version << " Rate " << decoder.info().rate << " (bitrate "
                                << decoder.info().bitrate_lower << ".." << decoder.info().bitrate_nominal
                                << ".." << decoder.info().bitrate_upper
                                << " - window = " << decoder.info().bitrate_window
                                << "), channels = " << decoder.info().channels;
    std::vector<int16_t> samples;
    while (decoder.decode(samples, std::numeric_limits<int>::max())) {
    }
    sample->setData(bufferOf(samples, decoder.channels(), static_cast<float>(decoder.rate()), 0));
}

void FAudioVorbisModule::decodeStream(FAudioStreamTask& task)
{
    FSample& sample = task.sample();
    FVorbisDecoder decoder([&sample](int64_t offset, void* buffer, int64_t size) {
        return sample.readStream(offset, buffer, size);
    });
    decoder.readHeaders();
    const int channels = decoder.channels();
    const auto rate = static_cast<float>(decoder.rate());
    const int end = task.passEnd();
    int reached = 0;
    for (int start = 0; start >= 0; start = task.nextPass(reached)) {
        decoder.seek(start);
        reached = start;
        for (bool more = true; more && reached < end;) {
            std::vector<int16_t> chunk;
            more = decoder.decode(chunk, static_cast<size_t>(decoder.rate()));
            // A pass ends at the loop end, inside the chunk that holds it.
            const auto frames = std::min(static_cast<int64_t>(chunk.size() / static_cast<size_t>(channels)),
                                         int64_t{end} - reached);
            chunk.resize(static_cast<size_t>(frames) * static_cast<size_t>(channels));
            // An empty last chunk takes no ring entry.
            if (chunk.empty()) break;
            FRefT<FAudioBuffer>* entry = task.nextEntry();
            if (entry == nullptr) return;
            FRefT<FAudioBuffer> data = bufferOf(chunk, channels, rate, reached);
            reached += data->frames();
            *entry = static_cast<FRefT<FAudioBuffer>&&>(data);
            task.deliver();
        }
    }
}
