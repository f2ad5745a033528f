#pragma once

#include <cstdint>

class FVideoTarget;

// The interface of the two video players (GW video and Theora). A player
// belongs to one video (its host) and shows frames in targets: each call sets
// the target's source image to the picture of the frame it names. Callers
// update the target's current frame with the number a call answers.
class FVideoPlayer
{
public:
    // Answered by players that cannot tell how long a video is, and by the
    // Theora player when the video has ended.
    static constexpr int32_t k_endOfVideo = 2147483647;

    virtual ~FVideoPlayer() = default;

    // Releases every decoded frame and what the header gave.
    virtual void unload() = 0;
    // Shows key frame `key`; answers its frame number.
    virtual int32_t showKeyFrame(FVideoTarget& target, int32_t key) = 0;
    // Shows frame `frame` (noOutput: advance without making a picture, where
    // the player can); answers the frame number shown.
    virtual int32_t seekFrame(FVideoTarget& target, int32_t frame, bool noOutput = false) = 0;
    virtual int32_t keyFrameFrame(int32_t key) = 0;
    virtual int32_t frameCount() = 0;
    virtual int32_t keyFrameCount() = 0;
    // Frames from key frame `key` up to the next one (or the end).
    virtual int32_t keyFrameLength(int32_t key) = 0;
    // Lets go of the target's decoder state (when the target goes).
    virtual void releaseTarget(FVideoTarget& target) = 0;
    // Keeps the target's picture as frame `frame` (-1: the target's current frame).
    virtual void storeFrame(FVideoTarget& target, int32_t frame) = 0;
    // Releases kept frames first .. last - 1.
    virtual void dropFrames(int32_t first, int32_t last) = 0;
    virtual void dropAllFrames() = 0;
    // Reads the header from the host's source stream (and, by mode, frames).
    virtual void readHeader() = 0;
};
