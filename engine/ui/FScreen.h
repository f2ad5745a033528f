#pragma once

#include "ui/FContainer.h"

#include <cstdint>

// The camera of a screen, which depth-projected containers look through.
struct FCamera
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// The root container of a widget tree: it owns the per-pointer capture
// slots and the camera, and answers getScreen for everything below it.
class FScreen : public FContainer
{
public:
    FScreen();
    ~FScreen() override;

    FScreen* getRoot() override { return this; }
    FScreen* getScreen() override { return this; }

    // Capture: the pointer's events go to the widget while it is set.
    void setCapture(int32_t pointer, FWidget* widget) { m_capture[pointer & 3] = widget; }
    void releaseCapture(int32_t pointer) { m_capture[pointer & 3] = nullptr; }
    FWidget* capture(int32_t pointer) const { return m_capture[pointer & 3]; }
    // A widget going away: no focus or capture may keep pointing at it.
    virtual void forgetWidget(FWidget* widget);

    const FCamera& camera() const { return m_camera; }
    void setCamera(const FCamera& camera) { m_camera = camera; }
    // The logical width the screen was laid out for.
    int32_t logicalWidth() const { return m_logicalWidth; }
    void setLogicalWidth(int32_t width) { m_logicalWidth = width; }
    // The size of the picture the graphics interface draws into.
    virtual FPointI displaySize();

    // Whether the application has the input focus; set by the UI module.
    static bool isAppActive() { return s_appActive; }
    static void setAppActive(bool active) { s_appActive = active; }

private:
    FWidget* m_capture[k_pointerCount] = {nullptr, nullptr, nullptr, nullptr};
    FCamera m_camera;
    int32_t m_logicalWidth = 1024;
    static bool s_appActive;
};
