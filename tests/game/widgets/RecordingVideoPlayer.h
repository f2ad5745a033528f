#pragma once

// A video player that decodes nothing: it records every call in a shared log
// ("name:show 3", "name:skip 2", "name:drop 2") and answers frame numbers as
// a player of `length` frames would. With an unknown length it reports the
// count players give when they cannot tell and answers the end marker past
// the real end.

#include "core/FMemory.h"
#include "core/FRef.h"
#include "video/FVideo.h"
#include "video/FVideoPlayer.h"
#include "video/FVideoTarget.h"

#include <string>
#include <vector>

class RecordingVideoPlayer : public FVideoPlayer
{
public:
    RecordingVideoPlayer(std::string name, int32_t length, bool lengthKnown, std::vector<std::string>& log)
        : m_name(std::move(name)), m_length(length), m_known(lengthKnown), m_log(log)
    {
    }

    void unload() override {}
    int32_t showKeyFrame(FVideoTarget&, int32_t) override { return 0; }
    int32_t seekFrame(FVideoTarget&, int32_t frame, bool noOutput) override
    {
        m_log.push_back(m_name + (noOutput ? ":skip " : ":show ") + std::to_string(frame));
        ++decodes;
        return frame >= m_length ? k_endOfVideo : frame;
    }
    int32_t keyFrameFrame(int32_t) override { return 0; }
    int32_t frameCount() override { return m_known ? m_length : k_endOfVideo; }
    int32_t keyFrameCount() override { return 1; }
    int32_t keyFrameLength(int32_t) override { return m_length; }
    void releaseTarget(FVideoTarget&) override { ++releases; }
    void storeFrame(FVideoTarget&, int32_t) override {}
    void dropFrames(int32_t first, int32_t) override
    {
        m_log.push_back(m_name + ":drop " + std::to_string(first));
    }
    void dropAllFrames() override {}
    void readHeader() override {}

    int32_t decodes = 0;
    int32_t releases = 0;

private:
    std::string m_name;
    int32_t m_length;
    bool m_known;
    std::vector<std::string>& m_log;
};

// A video asset played by a recording player.
inline FRefT<FVideo> recordedVideo(const std::string& name, int32_t length, std::vector<std::string>& log,
                                   bool lengthKnown = true, RecordingVideoPlayer** player = nullptr)
{
    FRefT<FVideo> video = makeRef(engineNew<FVideo>(k_memObject));
    auto* made = engineNew<RecordingVideoPlayer>(k_memObject, name, length, lengthKnown, log);
    video->adoptPlayer(made);
    if (player != nullptr) *player = made;
    return video;
}
