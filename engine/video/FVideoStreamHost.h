#pragma once

#include "video/FVideoHost.h"

#include "core/FRef.h"

// A video host over a stream of its own, for players used outside the asset
// system (tools, tests, benchmarks): keeps what the player reports.
class FVideoStreamHost : public FVideoHost
{
public:
    FVideoStreamHost(FRefT<FInStream> stream, bool keepSource);

    void complete() override {}
    bool keepsSource() const override { return m_keepSource; }
    FInStream& sourceStream() override { return *m_stream; }
    FRefT<FInStream> sourceStreamHandle() override { return m_stream; }
    void setFrameRate(uint32_t framesPerSecond) override { m_frameRate = framesPerSecond; }
    void setPictureSize(int32_t width, int32_t height) override;
    void requestRedraw() override { ++m_redraws; }

    uint32_t frameRate() const { return m_frameRate; }
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    int32_t redraws() const { return m_redraws; }

private:
    FRefT<FInStream> m_stream;
    bool m_keepSource;
    uint32_t m_frameRate = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_redraws = 0;
};
