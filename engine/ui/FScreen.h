#pragma once

#include "asset/FScreenOwner.h"
#include "ui/FContainer.h"

#include <cstdint>
#include <vector>

class FScreenRegistry;

// The camera of a screen, which depth-projected containers look through.
struct FCamera
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    bool operator==(const FCamera&) const = default;
};

// The root container of one screen's widget tree and the base of every
// screen: key and pad focus with navigation, one capture slot per pointer,
// the camera keys and design size of the screen file, and the hooks through
// which the UI module drives it. UI thread only, except construction and
// loading, which run on the thread that builds the screen.
class FScreen : public FContainer, public FScreenOwner
{
public:
    FScreen();
    ~FScreen() override = 0;

    FScreen* getRoot() override { return this; }
    FScreen* getScreen() override { return this; }
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;
    void playSound(const FRef& sample) override;

    // Hooks of the UI module; empty unless noted.
    // A newly built screen: the UI module's screen cache is emptied.
    virtual void onLoaded();
    virtual void setFocus(FWidget* widget);
    virtual void onFocusChanged(FWidget*) {}
    virtual void onKeyPreview(uint32_t) {}
    // The three save-event defaults log that the screen ignores the event.
    virtual void onSaveGameError(int32_t id);
    virtual void onSaveGameWarning(int32_t id, int32_t data);
    virtual void onSaveCompleted();
    virtual void onNetworkError(int32_t, int32_t) {}
    virtual void onRequestSent(int32_t) {}
    virtual void onNetworkHook(int32_t, int32_t) {}
    virtual void onReplyReceived(int32_t, int32_t) {}
    virtual void onPostSent(int32_t) {}
    virtual void onRequestCompleted(int32_t) {}
    virtual void onSpareHook1(int32_t) {}
    virtual void onDeviceHook3(int32_t, int32_t, int32_t) {}
    virtual void onSpareHook2(int32_t) {}
    virtual void onAppActivated() {}
    virtual void onAppDeactivated() {}
    virtual void onWindowMinimized() {}
    virtual void onWindowRestored() {}
    virtual void update(int32_t) {}
    virtual void onActivate() {}
    virtual void onEnter() {}
    // Stops the UI module's UI sound channels.
    virtual void stopSounds();
    virtual void reloadTexts(int32_t language) = 0;

    // The key-down path the UI module calls for the current screen.
    void routeKeyDown(uint32_t key);
    FWidget* focus() const { return m_focus; }
    bool isEntered() const { return m_entered; }
    void setEntered(bool entered) { m_entered = entered; }

    // Capture: the pointer's events go to the widget while it is set.
    void setCapture(int32_t pointer, FWidget* widget) { m_capture[pointer & 3] = widget; }
    void releaseCapture(int32_t pointer) { m_capture[pointer & 3] = nullptr; }
    FWidget* capture(int32_t pointer) const { return m_capture[pointer & 3]; }
    // A widget going away: no focus or capture may keep pointing at it.
    void forgetWidget(FWidget* widget);

    // The camera block: a 16-bit count, then x, y and z per key (y and z in
    // thousandths).
    void loadCameraKeys(FInStream& stream);
    const std::vector<FCamera>& cameraKeys() const { return m_cameraKeys; }
    const FCamera& camera() const { return m_camera; }
    void setCamera(const FCamera& camera) { m_camera = camera; }
    // The design size the screen was laid out for.
    int32_t logicalWidth() const { return m_logicalWidth; }
    int32_t logicalHeight() const { return m_logicalHeight; }
    void setLogicalWidth(int32_t width) { m_logicalWidth = width; }
    // The size of the picture the graphics interface draws into.
    virtual FPointI displaySize();
    FScreenRegistry* registry() const { return m_registry; }

    // The screen file's owner tail.
    void setCameraKeys(std::vector<FCameraKey> keys) override;
    void setLayoutValue(int index, int32_t value) override;
    void loadWidgetTree(FInStream& reader, FScreenRegistry& registry, std::vector<int32_t>& ids) override;

    // Whether the application has the input focus; set by the UI module.
    static bool isAppActive() { return s_appActive; }
    static void setAppActive(bool active) { s_appActive = active; }

private:
    // The capture widget's handling of a pointer event, if one holds it.
    FWidget* captured(int32_t pointer, const FPointI& point, FPointI& local);
    void takeCameraKeys(std::vector<FCamera> keys);

    bool m_entered = false;
    FWidget* m_focus;
    FScreenRegistry* m_registry = nullptr;
    std::vector<FCamera> m_cameraKeys;
    FCamera m_camera;
    int32_t m_logicalWidth = 0;
    int32_t m_logicalHeight = 0;
    FWidget* m_capture[k_pointerCount] = {nullptr, nullptr, nullptr, nullptr};
    static bool s_appActive;
};
