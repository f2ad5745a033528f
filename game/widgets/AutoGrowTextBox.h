#pragma once

#include "game/widgets/WordWrapLabel.h"

#include <cstdint>

// The typewriter text box: before typing, its frame grows from its layout
// height to the height of the middle piece in steps of 50 ms; a click types
// the rest at once, a click on a finished box shrinks the frame back and
// closes the box, calling the owner back. The owner calls update every frame.
// Setup refuses a missing part with a failure report.
class AutoGrowTextBox : public WordWrapLabel
{
public:
    explicit AutoGrowTextBox(FContainer* parent);
    AutoGrowTextBox(FContainer* parent, bool addToParent);
    ~AutoGrowTextBox() override;

    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void setup(const FRefT<FLabel>& label, const FRefT<FWidget>& topPiece, const FRefT<FWidget>& middlePiece,
               const FRefT<FWidget>& bottomPiece, const FRefT<FImage>& backdropImage) override;
    void show() override;
    void update(int32_t elapsed) override;

    bool isGrowing() const { return m_growing; }
    bool isShrinking() const { return m_shrinking; }
    int32_t sizeIncrement() const { return m_sizeIncrement; }
    FContainer* frame() const { return m_frame; }
    // Whether setup gave the box its parts; until then it ignores updates
    // and presses.
    bool isComplete() const;

private:
    void growStep();

    bool m_growing = false;
    int32_t m_growElapsed = 0;
    bool m_shrinking = false;
    FContainer* m_frame = nullptr;
    int32_t m_sizeIncrement = 0;
};
