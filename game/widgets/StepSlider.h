#pragma once

#include "core/FRef.h"
#include "ui/FContainer.h"

#include <cstdint>

class FImage;
class FImageWidget;

// A horizontal slider with a whole number of steps: a track inside it, and a
// knob with an overlay drawn over it that live beside it in its parent. The
// container routing never picks the slider: its host forwards the pointer
// events after its own test with isOnTrack. A drag that changes the step asks
// the screen (a ClickSoundHost) to play its click sound.
class StepSlider : public FContainer
{
public:
    explicit StepSlider(FContainer* parent);
    StepSlider(FContainer* parent, bool addToParent);
    ~StepSlider() override;

    // Hosts call it after writing the step count.
    virtual void onStepCountChanged() {}

    // Points are in the slider's own space.
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;

    void buildTrack(const FRefT<FImage>& image);
    void buildKnob(const FRefT<FImage>& knobImage, const FRefT<FImage>& overlayImage);
    void setKnobHoverImage(const FRefT<FImage>& image);
    void setStep(int32_t step);
    bool isOnTrack(const FPointI& point) const;

    int32_t stepCount() const { return m_stepCount; }
    // A count below 1 is taken as 1 by the step maths.
    void setStepCount(int32_t count) { m_stepCount = count; }
    int32_t step() const { return m_step; }
    bool isDragging() const { return m_dragging; }
    void setKnobSize(int32_t width, int32_t height);
    void setTrackSize(int32_t width, int32_t height);
    void setBaseHeight(int32_t height) { m_baseHeight = height; }
    void setOverlaySize(int32_t width, int32_t height);
    FImageWidget* track() const { return m_track.get(); }
    FImageWidget* knob() const { return m_knob.get(); }
    FImageWidget* knobOverlay() const { return m_overlay.get(); }

private:
    int32_t steps() const { return m_stepCount < 1 ? 1 : m_stepCount; }
    void showKnobImage(const FRefT<FImage>& image);
    void playClickSound();

    FRefT<FImageWidget> m_track;
    FRefT<FImageWidget> m_overlay;
    FRefT<FImageWidget> m_knob;
    FRefT<FImage> m_knobImage;
    FRefT<FImage> m_knobHoverImage;
    int32_t m_knobHeight = 0;
    int32_t m_knobWidth = 0;
    int32_t m_trackHeight = 0;
    int32_t m_trackWidth = 0;
    int32_t m_baseHeight = 0;
    int32_t m_overlayWidth = 0;
    int32_t m_overlayHeight = 0;
    int32_t m_stepCount = 1;
    bool m_dragging = false;
    int32_t m_step = 0;
};
