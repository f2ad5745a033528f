#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "core/FModule.h"
#include "core/FSignal.h"
#include "graphics/FDrawCommandBuffer.h"
#include "graphics/FDrawContext.h"
#include "graphics/FGraph.h"
#include "graphics/FStatisticsLine.h"

class FAction;
class FString;
class FImage;
class FRenderDevice;
class FTextureRegistry;

// The graphics module without its platform: window modes and the aspect
// classes of full screen, the letterbox viewport, the two command buffers and
// the frame cycle (a redraw request counts a pending paint; a paint on the
// main thread swaps the buffers, replays the recorded one through the device
// and presents it), the texture registry and the pointer layers. The platform
// derives from it and makes the window, the device and the cursor.
class FGraphCommon : public FModule, public FGraph
{
public:
    static constexpr int k_priority = 14;

    // Aspect classes of full screen, from the display's ratio.
    enum AspectClass : int32_t { k_aspect4by3 = 0, k_aspect16by9 = 1, k_aspect16by10 = 2 };

    FGraphCommon();
    ~FGraphCommon() override;

    int priority() const override { return k_priority; }
    void requestStop() override;

    // FGraph
    void createWindowAndDevice(FPointI applicationSize, FPointI windowSize, int32_t mode) override;
    const FScreenTransform& getScreenTransform() override { return m_transform; }
    void setWindowSize(FPointI size) override;
    void setWindowMode(int32_t mode) override;
    void showWindow() override;
    void destroyWindow() override;
    void minimizeWindow() override;
    void clipCursor(const FRectI& rect) override;
    void releaseCursorClip() override;
    void setCursor(FRefT<FCursorImage> cursor) override;
    void showSystemCursor(bool show) override;
    void setSystemCursorVisible(bool show) override { showSystemCursor(show); }
    void setWindowTitle(const std::string& title) override;
    // The last title asked for (empty: none yet); main thread.
    const std::string& windowTitle() const { return m_windowTitle; }
    void setVertexOffset(FPointF offset) override;
    void requestRedraw() override;
    void onWindowResized(FPointI clientSize) override;
    void setApplicationSize(FPointI size) override;
    FDrawContext* getDrawContext() override;
    FDrawContext& beginFrameRecording() override;
    void endFrameRecording() override;
    int32_t getWindowMode() override { return m_mode; }
    const FPointI& getApplicationSize() override { return m_applicationSize; }
    const FPointI& getWindowSize() override { return m_clientSize; }
    bool isWiderThan4by3() override;
    const FRectI& getViewportRect() override { return m_viewport; }
    bool isFullScreen() override;
    void onPaint() override;
    void peekFrameSignal() override;
    void waitFrameSignal() override;
    void setFrameSignal() override;
    void onProcessTick(int32_t elapsedMs) override;
    void drawPointerLayers(FDrawContext& context) override;
    void setPointerLayerPosition(int32_t index, FPointI position) override;
    void resetDevice() override;

    // How pointer layers get their pictures.
    void setPointerLayerImage(int32_t index, FRefT<FImage> image, FPointI hotSpot);
    // The picture drawn behind every frame (the strips around a letterboxed
    // picture show it); empty for none.
    void setBackgroundImage(FRefT<FImage> image);

    // What the device offers, answered by the platform's device: a text of
    // its features between a first and a last line of their own, the bits
    // of a back-buffer pixel, the largest texture edge and whether a GPU
    // rasterizes (false for a software renderer). Without a device: the two
    // lines alone, 0 and false.
    virtual void describeFeatures(FString& out) = 0;
    virtual int32_t getColourBits() = 0;
    virtual int32_t getMaxTextureSize() = 0;
    virtual bool hasHardwareRasterization() = 0;

    bool hasWindow() const { return m_windowOpen.load(); }
    int32_t pendingPaints() const { return m_pendingPaints.load(); }
    uint32_t presentedFrames() const { return m_presentedFrames.load(); }
    int32_t videoMemory() const { return m_videoMemory; }
    int32_t videoMemoryTier() const { return m_videoMemoryTier; }
    FTextureRegistry& textures() { return *m_textures; }

    static AspectClass aspectClass(FPointI displaySize);
    static FScreenTransform aspectTransform(AspectClass aspect, bool withOffsets);
    static FPointI aspectBackBuffer(AspectClass aspect);
    static int32_t videoMemoryTierOf(int32_t bytes);
    // Fits the application picture into rect of the client, centred; a side
    // within 1 % of the client's takes the client's.
    static void letterboxFit(FPointI clientSize, FPointI applicationSize, FRectI& rect);
    // Where the picture goes in a client of clientSize: in full screen the
    // back buffer fills the client and the transform places the picture in
    // it; in a window the picture is letterboxed.
    static FRectI pictureRect(FPointI clientSize, FPointI applicationSize, bool fullScreen,
                              FPointI backBuffer, const FScreenTransform& transform);

protected:
    // Platform hooks, main thread.
    // Makes the window of clientSize in mode and the device; null on failure.
    virtual FRenderDevice* openWindow(FPointI clientSize, int32_t mode) = 0;
    virtual void closeWindow() = 0;
    virtual void applyWindowMode(int32_t mode, FPointI clientSize) = 0;
    virtual void applyWindowSize(FPointI clientSize) = 0;
    virtual void raiseWindow(bool minimize) = 0;
    virtual void presentFrame() = 0;
    // The display's size in pixels.
    virtual FPointI displaySize() = 0;
    virtual void applyCursorClip(const FRectI* rect) = 0;
    virtual void applyCursor(FCursorImage* cursor) = 0;
    virtual void applySystemCursor(bool show) = 0;
    // A platform without a title bar ignores it.
    virtual void applyWindowTitle(const std::string&) {}

    // Sets the measured adapter memory and its tier.
    void setVideoMemory(int32_t bytes);
    bool isMainThread() const { return std::this_thread::get_id() == m_mainThread; }
    FRenderDevice* device() const { return m_device; }

private:
    struct WindowRequest
    {
        FPointI applicationSize;
        FPointI windowSize;
        int32_t mode;
    };
    struct PointerLayer
    {
        FRefT<FImage> image;
        FPointI hotSpot;
        FPointI position;
        bool visible = true;
    };

    // Runs handler on the main thread: at once when called there (or with no
    // main loop), else queued; wait makes the caller wait until it ran.
    void runOnMainThread(FAction* action, bool wait);

    void doCreate(FAction&, WindowRequest* request);
    void doSetWindowSize(FAction&, FPointI* size);
    void doSetWindowMode(FAction&, int32_t* mode);
    void doShowWindow(FAction&);
    void doDestroyWindow(FAction&);
    void doClipCursor(FAction&, FRectI* rect);
    void doReleaseCursorClip(FAction&);
    void doSetCursor(FAction&, FRefT<FCursorImage>* cursor);
    void doShowSystemCursor(FAction&, bool* show);
    void doSetWindowTitle(FAction&, std::string* title);

    void applyFullScreenTransform();
    // withStatistics draws the statistics line over the frame.
    void renderFrame(bool withStatistics);
    void drawStatistics(FRenderDevice& device, bool freshFrame);
    // The buffer to replay: the newly finished frame when there is one
    // (the buffers change places; fresh is set), else the last one again.
    FDrawCommandBuffer& takeFrame(bool& fresh);

    std::thread::id m_mainThread;
    FScreenTransform m_transform;
    FPointI m_applicationSize{800, 600};
    FPointI m_savedWindowSize{800, 600};
    FPointI m_clientSize;
    FRectI m_viewport;
    FPointI m_backBuffer{800, 600};
    // The mode asked for last, and the mode the window has.
    std::atomic<int32_t> m_mode{k_modeFixedWindow};
    int32_t m_activeMode = k_modeFixedWindow;
    FPointF m_vertexOffset{-0.5f, 0.5f};
    std::unique_ptr<FDrawContext> m_context;
    std::mutex m_bufferLock;
    FDrawCommandBuffer m_buffers[2];
    FDrawCommandBuffer* m_recording = &m_buffers[0];
    FDrawCommandBuffer* m_replay = &m_buffers[1];
    // Guarded by m_bufferLock: the recording buffer holds a finished frame;
    // it is being recorded.
    bool m_frameReady = false;
    bool m_recordingBusy = false;
    std::shared_ptr<FTextureRegistry> m_textures;
    FRenderDevice* m_device = nullptr;
    std::atomic<bool> m_windowOpen{false};
    std::atomic<int32_t> m_pendingPaints{0};
    std::atomic<uint32_t> m_presentedFrames{0};
    bool m_systemCursorShown = true;
    std::string m_windowTitle;
    FRefT<FCursorImage> m_cursor;
    FRefT<FImage> m_background;
    FSignal m_frameSignal;
    PointerLayer m_layers[4];
    FStatisticsLine m_statistics;
    int32_t m_videoMemory = 64 << 20;
    int32_t m_videoMemoryTier = 3;
};
