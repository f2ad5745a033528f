#pragma once

#include <cstdint>
#include <string>

#include "core/FAppListener.h"
#include "core/FRef.h"
#include "graphics/FGeometry.h"

class FCursorImage;
class FDrawCommandBuffer;
class FDrawContext;

// Where the application's logical picture lies in the back buffer.
struct FScreenTransform
{
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float inverseScaleX = 1.0f;
    float inverseScaleY = 1.0f;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    bool operator==(const FScreenTransform&) const = default;
};

// The graphics interface (service slot 15): the game window, the frame cycle,
// the draw context and the cursor. Window, cursor and mode changes are queued
// for the main thread and return at once (destroyWindow waits until it ran);
// the rest runs on the calling thread.
class FGraph : public FAppListener
{
public:
    // Window modes.
    enum Mode : int32_t {
        k_modeFullScreen = 0,
        k_modeFixedWindow = 1,
        k_modeResizableWindow = 2,
        k_modeDesktopBorderless = 3,
    };

    using FAppListener::FAppListener;

    virtual void createWindowAndDevice(FPointI applicationSize, FPointI windowSize, int32_t mode) = 0;
    virtual const FScreenTransform& getScreenTransform() = 0;
    virtual void setWindowSize(FPointI size) = 0;
    virtual void setWindowMode(int32_t mode) = 0;
    virtual void showWindow() = 0;
    virtual void destroyWindow() = 0;
    virtual void minimizeWindow() = 0;
    virtual void clipCursor(const FRectI& rect) = 0;
    virtual void releaseCursorClip() = 0;
    virtual void setCursor(FRefT<FCursorImage> cursor) = 0;
    virtual void showSystemCursor(bool show) = 0;
    virtual void setSystemCursorVisible(bool show) = 0;
    // The window's title bar text (UTF-8); a window made later takes it too.
    virtual void setWindowTitle(const std::string& title) = 0;
    virtual void setVertexOffset(FPointF offset) = 0;
    // Any thread: one more frame is to be rendered.
    virtual void requestRedraw() = 0;
    virtual void onWindowResized(FPointI clientSize) = 0;
    virtual void setApplicationSize(FPointI size) = 0;
    virtual FDrawContext* getDrawContext() = 0;
    // Recording thread: the next frame is recorded through the returned
    // context (an unshown frame recorded before is dropped) until
    // endFrameRecording, which asks for its paint.
    virtual FDrawContext& beginFrameRecording() = 0;
    virtual void endFrameRecording() = 0;
    virtual int32_t getWindowMode() = 0;
    virtual const FPointI& getApplicationSize() = 0;
    virtual const FPointI& getWindowSize() = 0;
    virtual bool isWiderThan4by3() = 0;
    virtual const FRectI& getViewportRect() = 0;
    virtual bool isFullScreen() = 0;
    // Main thread: renders and presents one frame when one is pending.
    virtual void onPaint() = 0;
    virtual void peekFrameSignal() = 0;
    virtual void waitFrameSignal() = 0;
    virtual void setFrameSignal() = 0;
    // Main thread, once per main-loop pass.
    virtual void onProcessTick(int32_t elapsedMs) = 0;
    virtual void drawPointerLayers(FDrawContext& context) = 0;
    virtual void setPointerLayerPosition(int32_t index, FPointI position) = 0;
    virtual void resetDevice() = 0;
};
