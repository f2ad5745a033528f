#pragma once

#include "core/FAppListener.h"

class FDrawContext;

// The UI module's display interface (service slot 16), called by the graphics
// module. The UI module starts recording the next frame only after it was
// told that the last one was rendered.
class FDisplayListener : public FAppListener4
{
public:
    using FAppListener4::FAppListener4;

    // The picture must be drawn again (after the device was reset).
    virtual void redrawWanted() = 0;
    // The recorded frame was replayed; its buffer may be recorded again.
    virtual void frameRendered() = 0;
    // Main thread: the context to draw through; null when the window goes.
    virtual void drawContextChanged(FDrawContext* context) = 0;
    // Called just before the frame is presented.
    virtual void framePresented() = 0;
};
