#pragma once

// A push button that draws nothing: it keeps everything else of the engine's
// button (layout record, hit test, hover and press handling, sounds, cursors,
// click callback).
#if __has_include("ui/FButton.h")
#include "ui/FButton.h"

class InvisibleButton : public FButton
{
public:
    using FButton::FButton;
    ~InvisibleButton() override;

    void draw(FDrawContext& context) override;
};
#endif
