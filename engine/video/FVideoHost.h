#pragma once

#include "core/FRef.h"
#include "io/FInStream.h"

#include <cstdint>

// What a video player needs of the video it plays: the source stream, the
// keep-source choice, and where the frame rate and picture size go. The video
// asset implements it; tools and tests use FVideoStreamHost.
class FVideoHost
{
public:
    virtual ~FVideoHost() = default;

    // Finishes loading the video before a player operation that needs it
    // (a no-op once the header has been read).
    virtual void complete() = 0;
    // True when frames are decoded on demand from the kept source stream
    // rather than all at once when the header is read.
    virtual bool keepsSource() const = 0;
    // The source stream; players move it to where they read.
    virtual FInStream& sourceStream() = 0;
    // A handle on it, for players that read it after the load (it stays
    // alive while they hold the handle).
    virtual FRefT<FInStream> sourceStreamHandle() = 0;
    virtual void setFrameRate(uint32_t framesPerSecond) = 0;
    virtual void setPictureSize(int32_t width, int32_t height) = 0;
    // A new picture is ready to be shown.
    virtual void requestRedraw() {}
};
