#pragma once

#include "graphics/FGraphCommon.h"
#include "platform/FWindowHost.h"

#include <memory>
#include <string>

class FCursorSdl;
class FRenderDeviceGl;
struct SDL_Cursor;
struct SDL_Window;

// The graphics module on an SDL window with an OpenGL 2.1 context: modes 1
// and 2 are ordinary (fixed or resizable) windows, 0 a desktop full-screen
// window and 3 a borderless window of the desktop's size; the picture is
// letterboxed into whatever size the window has. The window is handed to the
// window module, whose pump calls onPaint once per main-loop pass.
class FGraphSdl : public FGraphCommon, public FWindowHost
{
public:
    FGraphSdl();
    ~FGraphSdl() override;

    // Both interfaces ask the same questions.
    const FPointI& getWindowSize() override { return FGraphCommon::getWindowSize(); }
    const FRectI& getViewportRect() override { return FGraphCommon::getViewportRect(); }
    bool isFullScreen() override { return FGraphCommon::isFullScreen(); }
    void resetDevice() override { FGraphCommon::resetDevice(); }
    // Follows the window's size, then renders a pending frame.
    void onPaint() override;
    // Without paint messages, every main-loop pass paints what is pending.
    void onProcessTick(int32_t elapsedMs) override;
    // Opens the game window at the application's size when the module
    // starts; a later createWindowAndDevice only changes its size and mode.
    void main() override;

    void describeFeatures(FString& out) override;
    int32_t getColourBits() override;
    int32_t getMaxTextureSize() override;
    bool hasHardwareRasterization() override;

    SDL_Window* window() const { return m_window; }
    FRenderDeviceGl* glDevice() const { return m_device.get(); }
    // What the last failed window or context creation said.
    const std::string& lastError() const { return m_error; }

protected:
    FRenderDevice* openWindow(FPointI clientSize, int32_t mode) override;
    void closeWindow() override;
    void applyWindowMode(int32_t mode, FPointI clientSize) override;
    void applyWindowSize(FPointI clientSize) override;
    void raiseWindow(bool minimize) override;
    void presentFrame() override;
    FPointI displaySize() override;
    void applyCursorClip(const FRectI* rect) override;
    void applyCursor(FCursorImage* cursor) override;
    void applySystemCursor(bool show) override;
    void applyWindowTitle(const std::string& title) override;

private:
    void followDrawableSize();
    void loadBackground();

    bool m_videoStarted = false;
    SDL_Window* m_window = nullptr;
    void* m_context = nullptr;
    std::unique_ptr<FRenderDeviceGl> m_device;
    std::unique_ptr<FCursorSdl> m_ownCursor;
    SDL_Cursor* m_arrow = nullptr;
    std::string m_error;
};
