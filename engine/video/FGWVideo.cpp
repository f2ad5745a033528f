#include "video/FGWVideo.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "image/FImage.h"
#include "image/FJpeg32Loader.h"
#include "image/FJpegLoader.h"
#include "image/FPngLoader.h"
#include "image/FPvrLoader.h"
#include "io/FInStream.h"
#include "video/FVideoHost.h"
#include "video/FVideoTarget.h"

#include <algorithm>
#include <limits>

namespace {

// Smallest file size of a sequence record: name length, loop flag, entry count.
constexpr int64_t k_sequenceHeaderSize = 12;
constexpr int64_t k_keyFrameEntrySize = 8;

int64_t streamEnd(const FInStream& stream)
{
    return stream.position() + stream.remaining();
}

void moveTo(FInStream& stream, int64_t offset)
{
    stream.clear();
    const auto reached = stream.buffer()->pubseekpos(offset, std::ios_base::in);
    if (static_cast<int64_t>(reached) != offset)
        ZIBBO_FAIL(msgFileCorrupted,
                   "seek (" << offset << ") within the video (" << streamEnd(stream) << ")");
}

void skipBytes(FInStream& stream, int count)
{
    char skipped[FGWVideo::k_recordTail];
    const std::streamsize got = stream.buffer()->sgetn(skipped, count);
    if (got != count)
        ZIBBO_FAIL(msgFileCorrupted,
                   "sizeRead (" << static_cast<int64_t>(got) << ") == sizeToRead (" << count << ")");
}

using Loader = void (*)(FInStream&, FImage&);

// Loaders by the low three bits of a picture record's type; null: none.
constexpr Loader k_pictureLoaders[8] = {FPngLoader::load, FJpegLoader::load, FJpeg32Loader::load};

} // namespace

FGWVideo::FGWVideo(FVideoHost& host) : m_host(host) {}

FGWVideo::~FGWVideo() = default;

void FGWVideo::unload()
{
    m_frames.clear();
    m_frameOffsets.clear();
    m_keyFrameOffsets.clear();
    m_keyFrameFrames.clear();
    m_sequences.clear();
}

void FGWVideo::readHeader()
{
    unload();
    try {
        readHeaderAndFrames();
    } catch (...) {
        // A half-read header must not answer for frames it does not hold.
        unload();
        throw;
    }
}

void FGWVideo::readHeaderAndFrames()
{
    FInStream& stream = m_host.sourceStream();

    const uint32_t version = stream.readUInt32();
    if (version != k_version) ZIBBO_FAIL(msgFileCorrupted, "version (" << version << ") == " << k_version);
    const int32_t frames = stream.readInt32();
    if (static_cast<uint32_t>(frames) > static_cast<uint32_t>(k_maximumFrames))
        ZIBBO_FAIL(msgFileCorrupted,
                   "numberOfFrames (" << frames << ") >= 0 && numberOfFrames <= " << k_maximumFrames);
    const uint32_t framePerSecond = stream.readUInt32();
    if (framePerSecond < 1 || framePerSecond > k_maximumFrameRate)
        ZIBBO_FAIL(msgFileCorrupted, "m_framePerSecond ("
                                         << framePerSecond
                                         << ") >= 1 && m_framePerSecond <= " << k_maximumFrameRate);
    m_host.setFrameRate(framePerSecond);
    if (stream.readUInt32() != 0) readSequences(stream);
    readKeyFrames(stream, frames);

    m_frames.assign(static_cast<std::size_t>(frames), FRefT<FImage>());
    m_frameOffsets.assign(static_cast<std::size_t>(frames), 0);
    if (frames == 0) {
        m_host.setPictureSize(0, 0);
        return;
    }
    m_frameOffsets[0] = stream.position();

    FVideoTarget target;
    const int32_t decoded = m_host.keepsSource() ? 1 : frames;
    for (int32_t i = 0; i < decoded; ++i) {
        target.setCurrentFrame(i);
        decodeFrame(target, i, 0);
        storeFrame(target, i);
    }
    const FImage* picture = target.sourceImage().get();
    m_host.setPictureSize(picture != nullptr ? picture->width() : 0,
                          picture != nullptr ? picture->height() : 0);
}

void FGWVideo::readSequences(FInStream& stream)
{
    stream.readInt32();
    stream.readInt32();
    const uint32_t count = stream.readUInt32();
    // Each record takes at least its three counts, so a count the file cannot
    // hold is refused before anything is allocated.
    if (count > stream.remaining() / k_sequenceHeaderSize)
        ZIBBO_FAIL(msgFileCorrupted, "sequences (" << count << ") <= bytes left / " << k_sequenceHeaderSize
                                                   << " (" << stream.remaining() / k_sequenceHeaderSize
                                                   << ")");
    m_sequences.resize(count);
    for (FGWVideoSequence& sequence : m_sequences) {
        const uint32_t length = stream.readUInt32();
        if (length > k_maximumNameLength || length > stream.remaining())
            ZIBBO_FAIL(msgFileCorrupted, "sequence name length (" << length << ") <= " << k_maximumNameLength
                                                                  << " && <= bytes left ("
                                                                  << stream.remaining() << ")");
        sequence.m_name.resize(length);
        if (stream.buffer()->sgetn(sequence.m_name.data(), length) != static_cast<std::streamsize>(length))
            ZIBBO_FAIL(msgFileCorrupted, "sequence name (" << length << ") read in full");
        sequence.m_loop = stream.readUInt32() == 1;
        const uint32_t entries = stream.readUInt32();
        if (entries > stream.remaining() / FGWVideoSequenceEntry::k_fileSize)
            ZIBBO_FAIL(msgFileCorrupted,
                       "sequence entries (" << entries << ") <= bytes left / "
                                            << FGWVideoSequenceEntry::k_fileSize << " ("
                                            << stream.remaining() / FGWVideoSequenceEntry::k_fileSize << ")");
        for (uint32_t e = 0; e < entries; ++e) {
            FGWVideoSequenceEntry entry;
            entry.m_key = stream.readUInt32();
            entry.m_kind = stream.readUInt32();
            const bool startsGroup = stream.readUInt8() != 0;
            for (uint32_t& value : entry.m_values)
                value = stream.readUInt32();
            if (startsGroup || sequence.m_groups.empty()) sequence.m_groups.emplace_back();
            sequence.m_groups.back().push_back(entry);
        }
    }
}

void FGWVideo::readKeyFrames(FInStream& stream, int32_t frames)
{
    const int32_t count = stream.readInt32();
    if (count < 0 || count > k_maximumKeyFrames)
        ZIBBO_FAIL(msgFileCorrupted,
                   "numberOfKeyFrames (" << count << ") >= 0 && numberOfKeyFrames <= " << k_maximumKeyFrames);
    if (count > stream.remaining() / k_keyFrameEntrySize)
        ZIBBO_FAIL(msgFileCorrupted,
                   "numberOfKeyFrames (" << count << ") <= bytes left / " << k_keyFrameEntrySize);
    const int64_t end = streamEnd(stream);
    for (int32_t k = 0; k < count; ++k) {
        const int32_t frame = stream.readInt32();
        const int32_t offset = stream.readInt32();
        if (frame < 0 || frame >= frames)
            ZIBBO_FAIL(msgFileCorrupted, "keyFrameFrame (" << frame
                                                           << ") >= 0 && keyFrameFrame < numberOfFrames ("
                                                           << frames << ")");
        if (offset <= 0 || offset >= end)
            ZIBBO_FAIL(msgFileCorrupted,
                       "keyFrameOffset (" << offset << ") > 0 && keyFrameOffset < size (" << end << ")");
        m_keyFrameFrames.push_back(frame);
        m_keyFrameOffsets.push_back(offset);
    }
}

void FGWVideo::checkFrame(int32_t frame) const
{
    if (frame < 0 || frame >= numberOfFrames())
        ZIBBO_FAIL(msgIllegalOperation,
                   "frame (" << frame << ") >= 0 && frame < numberOfFrames (" << numberOfFrames() << ")");
}

void FGWVideo::checkKey(int32_t key) const
{
    if (key < 0 || key >= static_cast<int32_t>(m_keyFrameFrames.size()))
        ZIBBO_FAIL(msgIllegalOperation,
                   "key (" << key << ") >= 0 && key < numberOfKeyFrames (" << m_keyFrameFrames.size() << ")");
}

bool FGWVideo::isFrameStored(int32_t frame) const
{
    return frame >= 0 && frame < numberOfFrames() && !m_frames[frame].isNull() &&
           m_frames[frame].get() != nullptr;
}

void FGWVideo::decodeFrame(FVideoTarget& target, int32_t frame, int64_t offset)
{
    FRefT<FImage> picture = decodePicture(frame, offset, target.sourceImage().get());
    target.setSourceImage(std::move(picture));
}

FRefT<FImage> FGWVideo::decodePicture(int32_t frame, int64_t offset, const FImage* previous)
{
    m_host.complete();
    const int64_t at = offset != 0 ? offset : m_frameOffsets[frame];
    // Only frame 0 starts right after the header; any other record's place is
    // known once the frame before it has been decoded.
    if (at == 0) ZIBBO_FAIL(msgIllegalOperation, "offset of frame (" << frame << ") known");
    FInStream& stream = m_host.sourceStream();
    moveTo(stream, at);
    ++m_decodeCount;

    FRefT<FImage> picture = makeRef(engineNew<FImage>(k_memObject));
    if (picture.get() == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (NULL)");
    const uint8_t type = stream.readUInt8();
    if (type >= 0x20) ZIBBO_FAIL(msgFileCorrupted, "Unsupported type (" << int(type) << ") & 0xf0");
    if (type == k_typeRepeat) {
        const int64_t tail = stream.position();
        // Frame 0 repeating itself shows nothing.
        if (frame != 0) picture = frameZeroPicture();
        if (stream.position() != tail) moveTo(stream, tail);
        skipBytes(stream, k_recordTail);
    } else if (type == k_typePpm) {
        // No loader reads that format, so the record's length is unknown.
        ZIBBO_FAIL(msgFileCorrupted, "Unsupported type (" << int(type) << ") & 0xf0");
    } else if (type == k_typePvr) {
        FPvrLoader::load(stream, *picture);
        skipBytes(stream, k_recordTail);
    } else if (type >= 0x10) {
        const Loader load = k_pictureLoaders[type & 7];
        if (load != nullptr) {
            load(stream, *picture);
            if ((type & k_typeDelta) != 0 && previous != nullptr) picture->replaceKeyedPixels(*previous, 1);
        }
    }
    if (frame + 1 < numberOfFrames()) m_frameOffsets[frame + 1] = stream.position();
    return picture;
}

FRefT<FImage> FGWVideo::frameZeroPicture()
{
    if (isFrameStored(0)) return m_frames[0];
    // Kept frames were dropped: decode frame 0 again, then carry on where the
    // repeat record ends (the caller moves the stream back).
    return decodePicture(0, 0, nullptr);
}

void FGWVideo::showStored(FVideoTarget& target, int32_t frame)
{
    target.setSourceImage(m_frames[frame]);
}

void FGWVideo::storeFrame(FVideoTarget& target, int32_t frame)
{
    if (frame == -1) frame = target.currentFrame();
    checkFrame(frame);
    if (!isFrameStored(frame)) m_frames[frame] = target.sourceImage();
}

int32_t FGWVideo::showKeyFrame(FVideoTarget& target, int32_t key)
{
    m_host.complete();
    checkKey(key);
    const int32_t frame = m_keyFrameFrames[key];
    if (m_host.keepsSource() && !isFrameStored(frame))
        decodeFrame(target, frame, m_keyFrameOffsets[key]);
    else
        showStored(target, frame);
    return frame;
}

int32_t FGWVideo::seekFrame(FVideoTarget& target, int32_t frame, bool)
{
    m_host.complete();
    checkFrame(frame);
    if (isFrameStored(frame) || !m_host.keepsSource()) {
        showStored(target, frame);
        return frame;
    }
    if (frame == 0) {
        decodeFrame(target, 0, 0);
        return 0;
    }
    const int32_t current = target.currentFrame();
    if (frame == current) return frame;
    if (current >= 0 && current < frame && frame == current + 1 && m_frameOffsets[frame] != 0) {
        decodeFrame(target, frame, 0);
        return frame;
    }

    // The nearest start below the frame: the current frame when it is below
    // and its successor's place is known, else the closest key frame below.
    int32_t start = -1;
    int32_t key = -1;
    int64_t best = std::numeric_limits<int64_t>::max();
    if (current >= 0 && current < frame && m_frameOffsets[current + 1] != 0) {
        start = current;
        best = frame - current;
    }
    for (int32_t k = 0; k < static_cast<int32_t>(m_keyFrameFrames.size()); ++k) {
        const int32_t keyFrame = m_keyFrameFrames[k];
        if (keyFrame == frame) return showKeyFrame(target, k);
        if (keyFrame < frame && frame - keyFrame < best) {
            best = frame - keyFrame;
            key = k;
            start = keyFrame;
        }
    }
    // A kept frame closer to the target needs no key frame.
    bool startsStored = false;
    for (int32_t f = std::max(start, 0); f < frame; ++f) {
        if (isFrameStored(f)) {
            start = f;
            key = -1;
            startsStored = true;
        }
    }
    ZIBBO_LOG(k_logWarn, false) << "EVIL! Trying to skip in a unloaded animation sequence. Will have to skip "
                                << frame - start << " frames (From " << start << " to " << frame << ")";

    if (key >= 0) {
        showKeyFrame(target, key);
        storeFrame(target, start);
    } else if (startsStored) {
        // A delta frame after the start needs the start's picture before it.
        showStored(target, start);
    } else if (start < 0) {
        // Nothing below the frame to start from: the walk begins at frame 0.
        decodeFrame(target, 0, 0);
        storeFrame(target, 0);
        start = 0;
    }
    for (int32_t f = start + 1; f <= frame; ++f) {
        decodeFrame(target, f, 0);
        storeFrame(target, f);
    }
    return frame;
}

int32_t FGWVideo::keyFrameFrame(int32_t key)
{
    m_host.complete();
    checkKey(key);
    return m_keyFrameFrames[key];
}

int32_t FGWVideo::frameCount()
{
    m_host.complete();
    return numberOfFrames();
}

int32_t FGWVideo::keyFrameCount()
{
    m_host.complete();
    return static_cast<int32_t>(m_keyFrameFrames.size());
}

int32_t FGWVideo::keyFrameLength(int32_t key)
{
    m_host.complete();
    checkKey(key);
    const int32_t next = key + 1 < static_cast<int32_t>(m_keyFrameFrames.size()) ? m_keyFrameFrames[key + 1]
                                                                                 : numberOfFrames();
    return next - m_keyFrameFrames[key];
}

void FGWVideo::releaseTarget(FVideoTarget&) {}

void FGWVideo::dropFrames(int32_t first, int32_t last)
{
    if (!m_host.keepsSource()) return;
    first = std::clamp(first, 0, numberOfFrames());
    last = std::clamp(last, 0, numberOfFrames());
    for (int32_t f = first; f < last; ++f)
        m_frames[f] = FRefT<FImage>();
}

void FGWVideo::dropAllFrames()
{
    dropFrames(0, numberOfFrames());
}
