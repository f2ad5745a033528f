#pragma once

#include "video/FGWVideoSequence.h"
#include "video/FVideoPlayer.h"

#include "core/FRef.h"

#include <cstdint>
#include <vector>

class FImage;
class FInStream;
class FVideoHost;

// The player of the engine's own animation format (".gwvideo"): a big-endian
// header (version 8, frame count, frame rate, named sequences, a table of key
// frames) and then one record per frame, each a complete picture in one of the
// image area's formats (PNG, JPEG, JPEG32, PVR, each followed by its trailer),
// a delta picture whose pixels of alpha 1 keep the previous picture, or a
// repeat of frame 0.
//
// Without keep-source every frame is decoded when the header is read. With it
// only frame 0 is; other frames are decoded on demand, walking forward from
// the nearest key frame or kept frame.
//
// Every count, offset and frame number from the file is checked before it is
// used: a broken file gives a failure report, never an access out of bounds
// or an allocation larger than the file could fill.
class FGWVideo : public FVideoPlayer
{
public:
    static constexpr uint32_t k_version = 8;
    static constexpr int32_t k_maximumFrames = 100000;
    static constexpr uint32_t k_maximumFrameRate = 100;
    static constexpr int32_t k_maximumKeyFrames = 250;
    static constexpr uint32_t k_maximumNameLength = 1000;
    // Bytes that follow a repeat record and a PVR picture.
    static constexpr int k_recordTail = 16;

    // Record type bytes.
    static constexpr uint8_t k_typeRepeat = 0x00;
    static constexpr uint8_t k_typePpm = 0x01;
    static constexpr uint8_t k_typePvr = 0x02;
    static constexpr uint8_t k_typePng = 0x10;
    static constexpr uint8_t k_typeJpeg = 0x11;
    static constexpr uint8_t k_typeJpeg32 = 0x12;
    static constexpr uint8_t k_typeDelta = 0x08;

    explicit FGWVideo(FVideoHost& host);
    ~FGWVideo() override;

    void unload() override;
    int32_t showKeyFrame(FVideoTarget& target, int32_t key) override;
    int32_t seekFrame(FVideoTarget& target, int32_t frame, bool noOutput = false) override;
    int32_t keyFrameFrame(int32_t key) override;
    int32_t frameCount() override;
    int32_t keyFrameCount() override;
    int32_t keyFrameLength(int32_t key) override;
    void releaseTarget(FVideoTarget& target) override;
    void storeFrame(FVideoTarget& target, int32_t frame) override;
    void dropFrames(int32_t first, int32_t last) override;
    void dropAllFrames() override;
    void readHeader() override;

    const std::vector<FGWVideoSequence>& sequences() const { return m_sequences; }
    bool isFrameStored(int32_t frame) const;
    // Frame records decoded since the player was made (how much work seeks cost).
    int64_t decodeCount() const { return m_decodeCount; }

private:
    void readHeaderAndFrames();
    void readSequences(FInStream& stream);
    void readKeyFrames(FInStream& stream, int32_t frames);
    void checkFrame(int32_t frame) const;
    void checkKey(int32_t key) const;
    // Decodes the record of frame `frame` at `offset` (0: its recorded offset)
    // and makes it the target's picture.
    void decodeFrame(FVideoTarget& target, int32_t frame, int64_t offset);
    FRefT<FImage> decodePicture(int32_t frame, int64_t offset, const FImage* previous);
    FRefT<FImage> frameZeroPicture();
    void showStored(FVideoTarget& target, int32_t frame);
    int32_t numberOfFrames() const { return static_cast<int32_t>(m_frames.size()); }

    FVideoHost& m_host;
    std::vector<FRefT<FImage>> m_frames;
    std::vector<int64_t> m_frameOffsets;
    std::vector<int64_t> m_keyFrameOffsets;
    std::vector<int32_t> m_keyFrameFrames;
    std::vector<FGWVideoSequence> m_sequences;
    int64_t m_decodeCount = 0;
};
