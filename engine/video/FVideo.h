#pragma once

#include "asset/FAsset.h"
#include "video/FVideoHost.h"

#include <cstdint>

class FVideoPlayer;

// The video asset: a GW video (".gwvideo") or a Theora video (".theora"),
// played through the player that the file's extension chooses, with the
// loader of that kind. Loading reads the header (and, without keep-source,
// every GW frame); unloading lets the player release what it decoded. Frame
// images of video sprites show its frames through the player.
class FVideo : public FAsset, public FVideoHost
{
public:
    FVideo();
    ~FVideo() override;

    // The kind data: the loop flag byte, then the player and loader chosen
    // by the first candidate file's extension.
    void readKindData(FInStream& reader) override;
    void releaseData(bool forced) override;

    // Makes the player and loader of a video file with this extension (exact
    // text); any other extension leaves the video without either.
    void choosePlayer(const FString& extension);
    // Takes a player made with engineNew in place of the current one (tests
    // play through recording players).
    void adoptPlayer(FVideoPlayer* player);

    // FVideoHost: the asset's own completion, source and fields.
    void complete() override;
    bool keepsSource() const override;
    FInStream& sourceStream() override;
    FRefT<FInStream> sourceStreamHandle() override;
    void setFrameRate(uint32_t framesPerSecond) override { m_framePerSecond = framesPerSecond; }
    void setPictureSize(int32_t width, int32_t height) override;

    FVideoPlayer* player() const { return m_player; }
    bool loops() const { return m_loop; }
    uint32_t framePerSecond() const { return m_framePerSecond; }
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }

private:
    FVideoPlayer* m_player = nullptr;
    bool m_loop = false;
    uint32_t m_framePerSecond = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
};
