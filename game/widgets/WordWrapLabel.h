#pragma once

#include "core/FDelegate.h"
#include "core/FRef.h"
#include "core/FString.h"
#include "ui/FContainer.h"

#include <cstdint>

class FImage;
class FImageWidget;
class FLabel;

// The typewriter half of a text box: a label inside a box drawn from three
// pieces types its text one character at a time, and before each word decides
// whether the word still fits on the current line, so that a word never jumps
// to the next line while it is typed. Only its subclass is ever built.
class WordWrapLabel : public FContainer
{
public:
    using ClosedCallback = FDelegate<void()>;

    explicit WordWrapLabel(FContainer* parent);
    WordWrapLabel(FContainer* parent, bool addToParent);
    ~WordWrapLabel() override;

    virtual void setup(const FRefT<FLabel>& label, const FRefT<FWidget>& topPiece,
                       const FRefT<FWidget>& middlePiece, const FRefT<FWidget>& bottomPiece,
                       const FRefT<FImage>& backdropImage);
    virtual void setText(const FString& text);
    virtual void setRevealInterval(int32_t ms) { m_revealInterval = ms; }
    virtual void show() = 0;
    virtual void update(int32_t elapsed) = 0;
    // Types what the elapsed time allows.
    virtual void revealStep();
    // Stores a clone of the callback (null clears it).
    virtual void setClosedCallback(const ClosedCallback* callback);
    virtual bool isDone() const { return m_done; }
    // Shows the whole text at once.
    virtual void finish();

    FLabel* label() const { return m_label.get(); }
    FWidget* topPiece() const { return m_top.get(); }
    FWidget* middlePiece() const { return m_middle.get(); }
    FWidget* bottomPiece() const { return m_bottom.get(); }
    FImageWidget* backdrop() const { return m_backdrop.get(); }
    const FString& fullText() const { return m_fullText; }
    int32_t revealInterval() const { return m_revealInterval; }
    bool isRunning() const { return m_running; }

protected:
    void addRevealTime(int32_t elapsed) { m_revealElapsed += elapsed; }
    void resetReveal()
    {
        m_done = false;
        m_revealElapsed = 0;
    }
    void startTyping() { m_running = true; }
    void invokeClosed();

private:
    // Whether the word that starts at the revealed count needs a line break.
    bool wordNeedsBreak();

    FRefT<FLabel> m_label;
    FRefT<FWidget> m_top;
    FRefT<FWidget> m_middle;
    FRefT<FWidget> m_bottom;
    int32_t m_revealInterval = 65;
    int32_t m_revealElapsed = 0;
    bool m_done = false;
    bool m_running = false;
    ClosedCallback* m_onClosed = nullptr;
    FRefT<FImageWidget> m_backdrop;
    FString m_fullText;
    uint32_t m_revealedCount = 0;
    uint32_t m_wordEnd = 0;
};
