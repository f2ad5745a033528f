#include "game/widgets/StepSlider.h"

#include "game/widgets/ClickSoundHost.h"
#include "image/FImage.h"
#include "ui/FImageWidget.h"
#include "ui/FScreen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

FRefT<FImageWidget> newImageWidget(FContainer* parent)
{
    return makeRef(engineNew<FImageWidget>(k_memObject, parent, true));
}

int32_t truncated(double value)
{
    return static_cast<int32_t>(std::trunc(value));
}

} // namespace

StepSlider::StepSlider(FContainer* parent) : StepSlider(parent, true) {}

StepSlider::StepSlider(FContainer* parent, bool addToParent) : FContainer(parent, addToParent)
{
    setHitTestDisabled(true);
}

StepSlider::~StepSlider() = default;

void StepSlider::setKnobSize(int32_t width, int32_t height)
{
    m_knobWidth = width;
    m_knobHeight = height;
}

void StepSlider::setTrackSize(int32_t width, int32_t height)
{
    m_trackWidth = width;
    m_trackHeight = height;
}

void StepSlider::setOverlaySize(int32_t width, int32_t height)
{
    m_overlayWidth = width;
    m_overlayHeight = height;
}

void StepSlider::buildTrack(const FRefT<FImage>& image)
{
    if (m_trackWidth == 0) m_trackWidth = width();
    if (m_trackHeight == 0) m_trackHeight = height() * 3 / 2;
    if (m_baseHeight == 0) m_baseHeight = height();
    if (m_track.get() == nullptr) m_track = newImageWidget(this);
    m_track->setImage(image, true);
    m_track->setWidgetPosition(0, 0);
    m_track->setWidgetWidth(m_trackWidth);
    m_track->setWidgetHeight(m_trackHeight);
    setWidgetHeight(2 * m_trackHeight);
    moveWidgetBy(0, -m_baseHeight / 4);
    m_track->moveWidgetBy(0, m_baseHeight / 4);
}

void StepSlider::buildKnob(const FRefT<FImage>& knobImage, const FRefT<FImage>& overlayImage)
{
    if (parent() == nullptr) return;
    if (m_knobHeight == 0) m_knobHeight = height();
    if (m_knobWidth == 0) m_knobWidth = truncated(width() / 5.0);
    m_knobImage = knobImage;
    if (m_knob.get() == nullptr) m_knob = newImageWidget(parent());
    m_knob->setImage(knobImage, true);
    m_knob->setWidgetPosition(rect().left, truncated(rect().top * 0.95));
    m_knob->setWidgetWidth(m_knobWidth);
    m_knob->setWidgetHeight(m_knobHeight);
    m_knob->bringToFront();
    if (m_overlay.get() == nullptr) m_overlay = newImageWidget(parent());
    if (m_overlayWidth == 0 && m_overlayHeight == 0) {
        m_overlayWidth = m_knob->width();
        m_overlayHeight = m_knob->height();
    }
    m_overlay->setImage(overlayImage, true);
    m_overlay->setWidgetPosition(m_knob->rect().left, m_knob->rect().top);
    m_overlay->setWidgetSize(m_overlayWidth, m_overlayHeight);
    m_overlay->setWidgetHeight(m_knobHeight);
    m_overlay->bringToFront();
}

void StepSlider::setKnobHoverImage(const FRefT<FImage>& image)
{
    m_knobHoverImage = image;
    if (m_overlay.get() != nullptr) m_overlay->setHitTestDisabled(true);
}

void StepSlider::setStep(int32_t step)
{
    const int32_t count = steps();
    step = std::clamp(step, 0, count);
    if (FImageWidget* knob = m_knob.get()) {
        const int32_t segment = width() / (count + 1);
        knob->setWidgetPosition(step * segment - m_knobWidth / 2 + rect().left, knob->rect().top);
        if (FImageWidget* overlay = m_overlay.get())
            overlay->setWidgetPosition(knob->rect().left, knob->rect().top);
    }
    m_step = step;
    if (step == count && m_knob.get() != nullptr) {
        // The last step pushes the knob a fifth of its width past the end.
        FImageWidget* knob = m_knob.get();
        const int32_t right = truncated(rect().right + m_knobWidth * 0.2);
        const int32_t shift = right - knob->rect().right;
        knob->moveWidgetBy(shift, 0);
        if (FImageWidget* overlay = m_overlay.get()) overlay->moveWidgetBy(shift, 0);
    }
}

bool StepSlider::isOnTrack(const FPointI& point) const
{
    const int32_t half = m_knobWidth / 2;
    const int32_t sliderHeight = rect().bottom - rect().top;
    const int32_t limit = sliderHeight - truncated(sliderHeight * 0.15);
    const int32_t sliderWidth = rect().right - rect().left;
    return -half < point.x && point.x < sliderWidth + half && 0 < point.y && point.y < limit;
}

void StepSlider::onPointerDown(int32_t, int32_t, const FPointI& point)
{
    if (isOnTrack(point)) m_dragging = true;
}

void StepSlider::onPointerUp(int32_t, int32_t, const FPointI&)
{
    m_dragging = false;
}

void StepSlider::onPointerMove(int32_t, const FPointI& point)
{
    if (!m_dragging) {
        if (!isVisible() || m_knob.get() == nullptr) return;
        const FPointI p{point.x + rect().left, point.y + rect().top};
        const bool over =
            m_knob->containsPoint(p) || (m_overlay.get() != nullptr && m_overlay->containsPoint(p));
        showKnobImage(over ? m_knobHoverImage : m_knobImage);
        return;
    }
    if (!isVisible()) return;
    if (point.x < 0) {
        setStep(0);
        return;
    }
    if (point.x > width()) {
        setStep(steps());
        return;
    }
    const int32_t segment = width() / steps();
    const int32_t before = m_step;
    for (int32_t i = 0; i <= steps(); ++i) {
        if (std::abs(point.x - i * segment) < segment / 2) {
            setStep(i);
            break;
        }
    }
    if (m_step != before) playClickSound();
}

void StepSlider::showKnobImage(const FRefT<FImage>& image)
{
    if (image.get() == nullptr || image.get() == m_knob->getImage().get()) return;
    m_knob->setImage(image, true);
    m_knob->setWidgetSize(m_overlayWidth, m_overlayHeight);
}

void StepSlider::playClickSound()
{
    if (auto* host = dynamic_cast<ClickSoundHost*>(getScreen())) host->playClickSound();
}
