#include "game/widgets/WordWrapLabel.h"

#include "image/FImage.h"
#include "ui/FFont.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"

#include <limits>

namespace {

constexpr uint32_t k_noSpace = std::numeric_limits<uint32_t>::max();

// The lines the label shows: one unless it wraps.
int32_t shownLines(const FLabel& label)
{
    return label.wordWrap() ? static_cast<int32_t>(label.lineCount()) : 1;
}

} // namespace

WordWrapLabel::WordWrapLabel(FContainer* parent) : WordWrapLabel(parent, true) {}

WordWrapLabel::WordWrapLabel(FContainer* parent, bool addToParent) : FContainer(parent, addToParent)
{
    setVisible(false);
    requestRedraw();
}

WordWrapLabel::~WordWrapLabel()
{
    freeAndNull(m_onClosed);
}

void WordWrapLabel::setup(const FRefT<FLabel>& label, const FRefT<FWidget>& topPiece,
                          const FRefT<FWidget>& middlePiece, const FRefT<FWidget>& bottomPiece,
                          const FRefT<FImage>& backdropImage)
{
    m_label = label;
    m_top = topPiece;
    m_middle = middlePiece;
    m_bottom = bottomPiece;
    m_backdrop = makeRef(engineNew<FImageWidget>(k_memObject, this, true));
    m_backdrop->setImage(backdropImage, true);
    m_backdrop->setVisible(false);
    m_backdrop->setWidgetSize(width(), height());
    m_backdrop->setWidgetAlpha(0);
    // Invisible, yet every point of the box hits it.
    m_backdrop->setAlphaThreshold(0);
    if (children().front() != m_backdrop.get()) m_backdrop->placeBelow(*children().front());
    bringToFront();
}

void WordWrapLabel::setText(const FString& text)
{
    m_revealedCount = 0;
    m_wordEnd = 0;
    m_fullText = text;
    FLabel* label = m_label.get();
    if (label == nullptr) return;
    label->setText(m_fullText);
    const int32_t lines = shownLines(*label);
    label->setWidgetHeight(lines * label->lineHeight());
}

void WordWrapLabel::setClosedCallback(const ClosedCallback* callback)
{
    ClosedCallback::assign(m_onClosed, callback);
}

void WordWrapLabel::invokeClosed()
{
    if (m_onClosed != nullptr) m_onClosed->invoke();
}

void WordWrapLabel::finish()
{
    if (m_done) return;
    m_done = true;
    m_revealElapsed = 0;
    if (FLabel* label = m_label.get()) label->setText(m_fullText);
}

bool WordWrapLabel::wordNeedsBreak()
{
    FLabel* label = m_label.get();
    const std::u16string_view text = m_fullText.view();
    const std::size_t space = text.find(u' ', m_revealedCount);
    m_wordEnd = space == std::u16string_view::npos ? k_noSpace : static_cast<uint32_t>(space);
    const std::u16string_view word = text.substr(
        m_revealedCount, m_wordEnd == k_noSpace ? std::u16string_view::npos : m_wordEnd - m_revealedCount);
    FFont* font = label->font().get();
    if (font == nullptr) return false;
    const int32_t wordWidth = font->measureString(FString(word)).x;
    const int32_t lines = shownLines(*label);
    const int32_t lineWidth = lines >= 1 ? font->measureString(label->getLine(lines - 1)).x : 0;
    return lineWidth + wordWidth > label->width();
}

void WordWrapLabel::revealStep()
{
    FLabel* label = m_label.get();
    if (m_done || label == nullptr) return;
    while (m_revealElapsed > m_revealInterval) {
        m_revealElapsed -= m_revealInterval;
        if (m_revealedCount >= m_fullText.length()) {
            label->setText(m_fullText);
            m_done = true;
            m_revealElapsed = 0;
            break;
        }
        FString shown = label->text();
        if (m_revealedCount >= m_wordEnd && wordNeedsBreak()) shown += u'\n';
        shown += m_fullText[m_revealedCount];
        label->setText(shown);
        ++m_revealedCount;
    }
}
