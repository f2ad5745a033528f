#include "game/widgets/AutoGrowTextBox.h"

#include "core/FErrorMessage.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t k_growStepTime = 50;
constexpr int32_t k_growSteps = 12;
// The top and bottom pieces overlap the frame by this much each, so the box
// is closed when the frame is twice as high.
constexpr int32_t k_pieceOverlap = 2;
constexpr int32_t k_closedFrameHeight = 2 * k_pieceOverlap;

} // namespace

AutoGrowTextBox::AutoGrowTextBox(FContainer* parent) : WordWrapLabel(parent) {}

AutoGrowTextBox::AutoGrowTextBox(FContainer* parent, bool addToParent) : WordWrapLabel(parent, addToParent) {}

AutoGrowTextBox::~AutoGrowTextBox() = default;

void AutoGrowTextBox::setup(const FRefT<FLabel>& label, const FRefT<FWidget>& topPiece,
                            const FRefT<FWidget>& middlePiece, const FRefT<FWidget>& bottomPiece,
                            const FRefT<FImage>& backdropImage)
{
    // The box reads no parts from its layout record: its screen hands them
    // over here, and a box left without one would fault on its first update.
    const char* missing = label.get() == nullptr             ? "label"
                          : topPiece.get() == nullptr        ? "top piece"
                          : middlePiece.get() == nullptr     ? "middle piece"
                          : bottomPiece.get() == nullptr     ? "bottom piece"
                          : middlePiece->parent() == nullptr ? "frame (the middle piece's parent)"
                                                             : nullptr;
    if (missing != nullptr) ZIBBO_FAIL_TEXT("AutoGrowTextBox: set up without its " << missing);
    WordWrapLabel::setup(label, topPiece, middlePiece, bottomPiece, backdropImage);
    m_frame = middlePiece->parent();
    if (m_frame != nullptr) m_frame->setWidgetPosition(m_frame->rect().left - 10, m_frame->rect().top);
    if (label.get() != nullptr) label->setVisible(false);
}

void AutoGrowTextBox::show()
{
    FLabel* text = label();
    if (text == nullptr || m_frame == nullptr || bottomPiece() == nullptr) return;
    setVisible(true);
    if (FContainer* holder = text->parent())
        holder->setWidgetPosition(holder->rect().left, bottomPiece()->rect().top - text->height());
    resetReveal();
    backdrop()->setVisible(true);
    text->setText(FString());
    m_growing = true;
    m_shrinking = false;
    m_sizeIncrement = (m_frame->height() - middlePiece()->height()) / k_growSteps;
    // A middle piece less than twelve steps taller would never be reached.
    if (m_sizeIncrement == 0 && m_frame->height() < middlePiece()->height()) m_sizeIncrement = -1;
}

bool AutoGrowTextBox::isComplete() const
{
    return m_frame != nullptr;
}

void AutoGrowTextBox::update(int32_t elapsed)
{
    // A box its screen never completed has nothing to type or grow.
    if (!isComplete()) return;
    if (isRunning()) {
        addRevealTime(elapsed);
        revealStep();
    }
    if (!m_growing) return;
    m_growElapsed += elapsed;
    while (m_growing && m_growElapsed > k_growStepTime) {
        m_growElapsed -= k_growStepTime;
        growStep();
    }
}

void AutoGrowTextBox::growStep()
{
    FContainer* frame = m_frame;
    FWidget* top = topPiece();
    FWidget* bottom = bottomPiece();
    FWidget* middle = middlePiece();
    int32_t height = frame->height() - m_sizeIncrement;
    // Closing stops where the top and bottom pieces meet, whatever the steps.
    if (m_shrinking) height = std::max(height, k_closedFrameHeight);
    frame->setWidgetHeight(height);
    const int32_t left = width() / 2 - 12 - frame->width() / 2;
    const int32_t topEdge = this->height() / 2 - frame->height() / 2;
    frame->setWidgetRect({left, topEdge, left + frame->width(), topEdge + frame->height()});
    top->setWidgetPosition(top->rect().left, frame->rect().top - top->height() + k_pieceOverlap);
    bottom->setWidgetPosition(bottom->rect().left, frame->rect().bottom - k_pieceOverlap);
    middle->centerWidgetOnPoint({frame->width() / 2, frame->height() / 2});
    if (m_shrinking) {
        if (top->rect().bottom < bottom->rect().top) return;
        m_growing = false;
        m_shrinking = false;
        setVisible(false);
        invokeClosed();
        return;
    }
    if (frame->height() < middle->height()) return;
    m_growing = false;
    FLabel* text = label();
    text->setVisible(true);
    const int32_t frameWidth = frame->width();
    const int32_t frameHeight = frame->height();
    text->setWidgetSize(static_cast<int32_t>(std::trunc(frameWidth * 0.8)),
                        static_cast<int32_t>(std::trunc(frameHeight * 0.9)));
    text->setWidgetPosition(static_cast<int32_t>(std::trunc(frameWidth * 0.1)),
                            static_cast<int32_t>(std::trunc(frameHeight * 0.05)));
    startTyping();
}

void AutoGrowTextBox::onPointerDown(int32_t, int32_t, const FPointI&)
{
    if (m_growing || !isComplete()) return;
    if (isDone()) {
        m_shrinking = true;
        m_growing = true;
        // Closing retraces the opening; a box that opened without growing
        // still shrinks.
        m_sizeIncrement = std::max(-m_sizeIncrement, 1);
        if (FLabel* text = label()) text->setVisible(false);
        return;
    }
    finish();
}
