#pragma once

#include "image/FImage.h"

#include <cstdint>

class FVideoTargetState;

// An image that shows one frame of a video: the player sets its source image
// to the frame's picture. It knows the number of the frame it shows and holds
// the player's per-target decoder state, if any.
class FVideoTarget : public FImage
{
public:
    FVideoTarget();
    ~FVideoTarget() override;

    // -1 until a frame has been shown.
    int32_t currentFrame() const { return m_currentFrame; }
    void setCurrentFrame(int32_t frame) { m_currentFrame = frame; }

    FVideoTargetState* decoderState() const { return m_decoderState; }
    // Takes ownership (made with engineNew); deletes the previous state.
    void setDecoderState(FVideoTargetState* state);

private:
    int32_t m_currentFrame = -1;
    FVideoTargetState* m_decoderState = nullptr;
};
