#include "graphics/FGraphCommon.h"

#include "core/FAction.h"
#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "core/FProcessService.h"
#include "core/FSemaphore.h"
#include "core/FServiceSlots.h"
#include "core/FUtilPlatform.h"
#include "graphics/FCursorImage.h"
#include "graphics/FDisplayListener.h"
#include "graphics/FRenderDevice.h"
#include "graphics/FShapeEmitter.h"
#include "graphics/FTextureRegistry.h"
#include "image/FImage.h"

#include <chrono>
#include <cmath>

namespace {

FAppListener** graphicsSlot()
{
    FApplication* application = FApplication::instance();
    return application == nullptr ? nullptr : application->serviceSlot(k_slotGraphics);
}

FDisplayListener* displayListener()
{
    return findService<FDisplayListener>(k_slotInvalidation);
}

int32_t roundToInt(float value)
{
    return static_cast<int32_t>(std::lround(value));
}

} // namespace

FGraphCommon::FGraphCommon()
    : FGraph(graphicsSlot()), m_mainThread(std::this_thread::get_id()),
      m_context(std::make_unique<FDrawContext>(m_applicationSize)),
      m_textures(std::make_shared<FTextureRegistry>(nullptr))
{
    m_context->setVertexOffset(m_vertexOffset);
    setVideoMemory(64 << 20);
}

FGraphCommon::~FGraphCommon()
{
    m_textures->detachDevice();
}

void FGraphCommon::requestStop()
{
    // The window goes with the graphics module when the run ends.
    if (hasWindow()) destroyWindow();
    FModule::requestStop();
}

void FGraphCommon::runOnMainThread(FAction* action, bool wait)
{
    if (action == nullptr) ZIBBO_FAIL(msgSystemError, "FAction (NULL)");
    auto* process = findService<FProcessService>(k_slotProcess);
    if (isMainThread() || process == nullptr) {
        // Deleted also when the handler fails.
        struct Owner
        {
            FAction* action;
            ~Owner() { engineDelete(action); }
        } owner{action};
        action->execute();
        return;
    }
    if (!wait) {
        process->post(action);
        return;
    }
    action->setWaiter(engineNew<FSemaphore>(k_memObject));
    process->post(action);
    try {
        FUtilPlatform::wait(action->waiter(), FUtilPlatform::k_infinite);
    } catch (...) {
        FAction::abandonWaited(action);
        throw;
    }
    engineDelete(action);
}

void FGraphCommon::createWindowAndDevice(FPointI applicationSize, FPointI windowSize, int32_t mode)
{
    runOnMainThread(
        engineNew<FAction1<FGraphCommon, WindowRequest>>(k_memObject, this, &FGraphCommon::doCreate,
                                                         WindowRequest{applicationSize, windowSize, mode}),
        false);
}

void FGraphCommon::doCreate(FAction&, WindowRequest* request)
{
    if (hasWindow()) {
        // The window exists already: the request only sets sizes and mode.
        setApplicationSize(request->applicationSize);
        setWindowMode(request->mode);
        setWindowSize(request->windowSize);
        return;
    }
    m_applicationSize = request->applicationSize;
    m_context->setApplicationSize(m_applicationSize);
    m_savedWindowSize = request->applicationSize;
    m_backBuffer = request->applicationSize;
    m_transform = FScreenTransform{};
    m_mode = request->mode;
    m_activeMode = request->mode;
    FPointI size = request->windowSize;
    if (m_mode == k_modeFullScreen) {
        applyFullScreenTransform();
        size = displaySize();
    }
    onWindowResized(size);
    m_device = openWindow(size, m_mode);
    if (m_device == nullptr && m_mode == k_modeFullScreen) {
        m_mode = k_modeFixedWindow;
        m_activeMode = k_modeFixedWindow;
        m_transform = FScreenTransform{};
        m_backBuffer = m_applicationSize;
        onWindowResized(m_savedWindowSize);
        m_device = openWindow(m_savedWindowSize, m_mode);
    }
    if (m_device == nullptr) {
        ZIBBO_FAIL(msgGraphicsFrame, "Could not create DX" << 9 << " device!");
    }
    m_textures->attachDevice(m_device);
    m_windowOpen = true;
    ZIBBO_LOG(k_logGraph, false) << "Context properly initialized.";
    ZIBBO_LOG(k_logGraph, false) << "Device properly created.";
    if (FDisplayListener* listener = displayListener()) {
        listener->drawContextChanged(m_context.get());
        listener->frameRendered();
    }
    requestRedraw();
}

void FGraphCommon::setWindowSize(FPointI size)
{
    runOnMainThread(
        engineNew<FAction1<FGraphCommon, FPointI>>(k_memObject, this, &FGraphCommon::doSetWindowSize, size),
        false);
}

void FGraphCommon::doSetWindowSize(FAction&, FPointI* size)
{
    if (*size == m_clientSize || m_activeMode == k_modeFullScreen || m_activeMode == k_modeDesktopBorderless)
        return;
    if (hasWindow()) applyWindowSize(*size);
    onWindowResized(*size);
    ZIBBO_LOG(k_logDefault, false) << "appsize = " << m_applicationSize.x << ", " << m_applicationSize.y;
    requestRedraw();
}

void FGraphCommon::setWindowMode(int32_t mode)
{
    runOnMainThread(
        engineNew<FAction1<FGraphCommon, int32_t>>(k_memObject, this, &FGraphCommon::doSetWindowMode, mode),
        false);
}

void FGraphCommon::doSetWindowMode(FAction&, int32_t* requested)
{
    const int32_t mode = *requested;
    m_mode = mode;
    const int32_t current = m_activeMode;
    if (mode == current || mode == k_modeDesktopBorderless) return;
    if (current != k_modeFullScreen) m_savedWindowSize = m_clientSize;
    m_transform = FScreenTransform{};
    FPointI size;
    if (mode == k_modeFixedWindow || mode == k_modeResizableWindow) {
        m_backBuffer = m_applicationSize;
        size = m_savedWindowSize;
    } else if (mode == k_modeFullScreen) {
        applyFullScreenTransform();
        size = displaySize();
    } else {
        return;
    }
    m_activeMode = mode;
    if (hasWindow()) applyWindowMode(mode, size);
    onWindowResized(size);
    if (mode != k_modeFullScreen) {
        ZIBBO_LOG(k_logDefault, false) << "size = " << size.x << ", " << size.y;
    }
    if (FDisplayListener* listener = displayListener()) listener->redrawWanted();
    requestRedraw();
}

void FGraphCommon::applyFullScreenTransform()
{
    const AspectClass aspect = aspectClass(displaySize());
    static const char* const k_texts[] = {"aspect ratio: 4/3", "aspect ratio: 16/9", "aspect ratio: 16/10"};
    ZIBBO_LOG(k_logDefault, false) << k_texts[aspect];
    m_transform = aspectTransform(aspect, true);
    m_backBuffer = aspectBackBuffer(aspect);
}

void FGraphCommon::showWindow()
{
    runOnMainThread(engineNew<FAction0<FGraphCommon>>(k_memObject, this, &FGraphCommon::doShowWindow), false);
}

void FGraphCommon::doShowWindow(FAction&)
{
    if (hasWindow()) raiseWindow(false);
}

void FGraphCommon::destroyWindow()
{
    runOnMainThread(engineNew<FAction0<FGraphCommon>>(k_memObject, this, &FGraphCommon::doDestroyWindow),
                    true);
}

void FGraphCommon::doDestroyWindow(FAction&)
{
    if (!hasWindow()) return;
    applyCursorClip(nullptr);
    if (FDisplayListener* listener = displayListener()) listener->drawContextChanged(nullptr);
    m_textures->detachDevice();
    m_windowOpen = false;
    m_device = nullptr;
    closeWindow();
}

void FGraphCommon::minimizeWindow()
{
    ZIBBO_LOG(k_logDefault, false) << "explicit minimize";
    if (hasWindow() && isMainThread()) raiseWindow(true);
}

void FGraphCommon::clipCursor(const FRectI& rect)
{
    runOnMainThread(
        engineNew<FAction1<FGraphCommon, FRectI>>(k_memObject, this, &FGraphCommon::doClipCursor, rect),
        false);
}

void FGraphCommon::doClipCursor(FAction&, FRectI* rect)
{
    if (isFullScreen() || !hasWindow()) return;
    applyCursorClip(rect);
}

void FGraphCommon::releaseCursorClip()
{
    runOnMainThread(engineNew<FAction0<FGraphCommon>>(k_memObject, this, &FGraphCommon::doReleaseCursorClip),
                    false);
}

void FGraphCommon::doReleaseCursorClip(FAction&)
{
    if (hasWindow()) applyCursorClip(nullptr);
}

void FGraphCommon::setCursor(FRefT<FCursorImage> cursor)
{
    runOnMainThread(engineNew<FAction1<FGraphCommon, FRefT<FCursorImage>>>(
                        k_memObject, this, &FGraphCommon::doSetCursor, cursor),
                    false);
}

void FGraphCommon::doSetCursor(FAction&, FRefT<FCursorImage>* cursor)
{
    if (cursor->get() == m_cursor.get()) return;
    m_cursor = *cursor;
    if (hasWindow()) applyCursor(m_cursor.get());
}

void FGraphCommon::showSystemCursor(bool show)
{
    runOnMainThread(
        engineNew<FAction1<FGraphCommon, bool>>(k_memObject, this, &FGraphCommon::doShowSystemCursor, show),
        false);
}

void FGraphCommon::doShowSystemCursor(FAction&, bool* show)
{
    if (*show == m_systemCursorShown) return;
    m_systemCursorShown = *show;
    applySystemCursor(*show);
}

void FGraphCommon::setWindowTitle(const std::string& title)
{
    runOnMainThread(engineNew<FAction1<FGraphCommon, std::string>>(k_memObject, this,
                                                                   &FGraphCommon::doSetWindowTitle, title),
                    false);
}

void FGraphCommon::doSetWindowTitle(FAction&, std::string* title)
{
    m_windowTitle = *title;
    applyWindowTitle(m_windowTitle);
}

void FGraphCommon::setVertexOffset(FPointF offset)
{
    m_vertexOffset = offset;
    m_context->setVertexOffset(offset);
}

void FGraphCommon::requestRedraw()
{
    if (hasWindow()) ++m_pendingPaints;
}

void FGraphCommon::onWindowResized(FPointI clientSize)
{
    m_clientSize = clientSize;
    m_viewport =
        pictureRect(clientSize, m_applicationSize, m_mode == k_modeFullScreen, m_backBuffer, m_transform);
}

void FGraphCommon::setApplicationSize(FPointI size)
{
    m_applicationSize = size;
    m_context->setApplicationSize(size);
    m_transform = FScreenTransform{};
    if (m_activeMode == k_modeFullScreen) {
        m_transform = aspectTransform(aspectClass(displaySize()), false);
    } else {
        m_savedWindowSize = size;
    }
    m_backBuffer = size;
    onWindowResized(m_clientSize);
    ZIBBO_LOG(k_logDefault, false) << "appsize (2)= " << size.x << ", " << size.y;
}

FDrawContext* FGraphCommon::getDrawContext()
{
    return m_context.get();
}

FDrawContext& FGraphCommon::beginFrameRecording()
{
    FDrawCommandBuffer* buffer = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_bufferLock);
        // Until it is finished, no paint may take this buffer away.
        m_recordingBusy = true;
        m_frameReady = false;
        buffer = m_recording;
    }
    m_context->beginFrame(*buffer);
    return *m_context;
}

void FGraphCommon::endFrameRecording()
{
    {
        std::lock_guard<std::mutex> lock(m_bufferLock);
        if (!m_recordingBusy) return;
        m_recordingBusy = false;
        m_frameReady = true;
    }
    m_context->setBuffer(nullptr);
    requestRedraw();
}

FDrawCommandBuffer& FGraphCommon::takeFrame(bool& fresh)
{
    std::lock_guard<std::mutex> lock(m_bufferLock);
    fresh = m_frameReady;
    if (m_frameReady) {
        std::swap(m_recording, m_replay);
        m_frameReady = false;
    }
    return *m_replay;
}

bool FGraphCommon::isWiderThan4by3()
{
    return static_cast<float>(m_applicationSize.x) / static_cast<float>(m_applicationSize.y) > 1.3333334f;
}

bool FGraphCommon::isFullScreen()
{
    return m_applicationSize.x >= 800 && m_applicationSize.y >= 600 && m_mode == k_modeFullScreen;
}

void FGraphCommon::onPaint()
{
    if (!hasWindow()) return;
    FApplication* application = FApplication::instance();
    const bool statistics = application != nullptr && application->showStatistics() != 0;
    bool pendingTaken = false;
    int32_t pending = m_pendingPaints.load();
    while (pending > 0 && !pendingTaken)
        pendingTaken = m_pendingPaints.compare_exchange_weak(pending, pending - 1);
    // The statistics line shows on every paint: without a pending frame the
    // last one is drawn again under it.
    if (!pendingTaken && !statistics) return;
    renderFrame(statistics);
    if (pendingTaken) {
        if (FDisplayListener* listener = displayListener()) listener->framePresented();
    }
    presentFrame();
}

void FGraphCommon::renderFrame(bool withStatistics)
{
    bool fresh = false;
    FDrawCommandBuffer& frame = takeFrame(fresh);
    FRenderDevice& device = *m_device;
    device.beginFrame(m_clientSize);
    device.setViewport(FRectI{0, 0, m_clientSize.x, m_clientSize.y}, m_applicationSize);
    device.clear(0xFF000000u);
    m_textures->releaseDeferredTextures();
    if (!m_background.isNull()) {
        if (const uint32_t texture = m_textures->textureFor(m_background)) {
            const auto w = static_cast<float>(m_applicationSize.x);
            const auto h = static_cast<float>(m_applicationSize.y);
            const FTexturedVertex quad[4] = {{0.0f, 0.0f, 0.0f, 0xFFFFFFFFu, 0.0f, 0.0f},
                                             {w, 0.0f, 0.0f, 0xFFFFFFFFu, 1.0f, 0.0f},
                                             {w, h, 0.0f, 0xFFFFFFFFu, 1.0f, 1.0f},
                                             {0.0f, h, 0.0f, 0xFFFFFFFFu, 0.0f, 1.0f}};
            device.draw(k_primTriangleFan, k_vertexTextured, texture, quad, 4);
        }
    }
    device.setViewport(m_viewport, m_applicationSize);
    frame.replay(device, *m_textures);
    if (withStatistics) drawStatistics(device, fresh);
    ++m_presentedFrames;
    device.endFrame();
    // Only a newly recorded frame frees its buffer for the next recording;
    // painting the last frame again tells the recorder nothing.
    if (!fresh) return;
    if (FDisplayListener* listener = displayListener()) listener->frameRendered();
}

void FGraphCommon::drawStatistics(FRenderDevice& device, bool freshFrame)
{
    FApplication* application = FApplication::instance();
    if (application == nullptr) return;
    if (freshFrame) m_statistics.frameShown();
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    // The memory counters are read once a second, with the rate.
    if (m_statistics.advance(now.count())) {
        if (FUtilPlatform* utilities = application->platformUtilities()) utilities->memoryUse();
    }
    const std::string line =
        FStatisticsLine::format(application->ramKB(), application->ramPeakKB(), application->vramInUse(),
                                application->vramPeak(), m_statistics.framesPerSecond());
    FStatisticsLine::draw(device, m_clientSize, line);
}

void FGraphCommon::peekFrameSignal()
{
    m_frameSignal.wait();
    m_frameSignal.set();
}

void FGraphCommon::waitFrameSignal()
{
    m_frameSignal.wait();
}

void FGraphCommon::setFrameSignal()
{
    m_frameSignal.set();
}

void FGraphCommon::onProcessTick(int32_t) {}

void FGraphCommon::drawPointerLayers(FDrawContext& context)
{
    for (const PointerLayer& layer : m_layers) {
        if (!layer.visible || layer.image.isNull()) continue;
        FShapeEmitter::drawImage(
            context, layer.image,
            FPointI{layer.position.x - layer.hotSpot.x, layer.position.y - layer.hotSpot.y});
    }
}

void FGraphCommon::setPointerLayerPosition(int32_t index, FPointI position)
{
    if (index >= 0 && index < 4) m_layers[index].position = position;
}

void FGraphCommon::setPointerLayerImage(int32_t index, FRefT<FImage> image, FPointI hotSpot)
{
    if (index < 0 || index >= 4) return;
    m_layers[index].image = std::move(image);
    m_layers[index].hotSpot = hotSpot;
}

void FGraphCommon::setBackgroundImage(FRefT<FImage> image)
{
    m_background = std::move(image);
}

void FGraphCommon::resetDevice()
{
    if (!hasWindow()) return;
    ZIBBO_LOG(k_logGraph, false) << "Device properly reset.";
    if (FDisplayListener* listener = displayListener()) listener->redrawWanted();
    requestRedraw();
}

void FGraphCommon::setVideoMemory(int32_t bytes)
{
    m_videoMemory = bytes;
    m_videoMemoryTier = videoMemoryTierOf(bytes);
}

FGraphCommon::AspectClass FGraphCommon::aspectClass(FPointI displaySize)
{
    if (displaySize.y <= 0) return k_aspect4by3;
    const float ratio = static_cast<float>(displaySize.x) / static_cast<float>(displaySize.y);
    ZIBBO_LOG(k_logDefault, false) << "width=" << displaySize.x << ", height=" << displaySize.y
                                   << ", ar = " << ratio;
    if (ratio > 1.55f && ratio < 1.7f) return k_aspect16by10;
    if (ratio >= 1.7f && ratio < 1.8f) return k_aspect16by9;
    return k_aspect4by3;
}

FScreenTransform FGraphCommon::aspectTransform(AspectClass aspect, bool withOffsets)
{
    switch (aspect) {
    case k_aspect16by10:
        return {1.0f, 1.2f, 1.0f, 0.8333333f, withOffsets ? 112.0f : 0.0f, withOffsets ? 24.0f : 0.0f};
    case k_aspect16by9:
        return {1.0f, 1.28f, 1.0f, 0.78125f, withOffsets ? 112.0f : 0.0f, 0.0f};
    default:
        return {};
    }
}

FPointI FGraphCommon::aspectBackBuffer(AspectClass aspect)
{
    return aspect == k_aspect4by3 ? FPointI{800, 600} : FPointI{1024, 768};
}

int32_t FGraphCommon::videoMemoryTierOf(int32_t bytes)
{
    if (bytes <= 12582912) return 0;
    if (bytes <= 33554432) return 1;
    if (bytes <= 71303168) return 2;
    if (bytes <= 138412032) return 3;
    if (bytes <= 272629760) return 4;
    return 5;
}

void FGraphCommon::letterboxFit(FPointI clientSize, FPointI applicationSize, FRectI& rect)
{
    if (applicationSize.x <= 0 || applicationSize.y <= 0) return;
    const float m =
        std::min(static_cast<float>(rect.right - rect.left) / static_cast<float>(applicationSize.x),
                 static_cast<float>(rect.bottom - rect.top) / static_cast<float>(applicationSize.y));
    rect.right = rect.left + static_cast<int32_t>(static_cast<float>(applicationSize.x) * m);
    rect.bottom = rect.top + static_cast<int32_t>(m * static_cast<float>(applicationSize.y));
    if (static_cast<float>(clientSize.x) < static_cast<float>(rect.right - rect.left) * 1.01f)
        rect.right = rect.left + clientSize.x;
    if (static_cast<float>(clientSize.y) < static_cast<float>(rect.bottom - rect.top) * 1.01f)
        rect.bottom = rect.top + clientSize.y;
    const auto left = static_cast<int32_t>(static_cast<uint32_t>(rect.left + clientSize.x - rect.right) / 2);
    const auto top = static_cast<int32_t>(static_cast<uint32_t>(rect.top + clientSize.y - rect.bottom) / 2);
    rect.right += left - rect.left;
    rect.bottom += top - rect.top;
    rect.left = left;
    rect.top = top;
}

FRectI FGraphCommon::pictureRect(FPointI clientSize, FPointI applicationSize, bool fullScreen,
                                 FPointI backBuffer, const FScreenTransform& transform)
{
    if (!fullScreen) {
        FRectI rect{0, 0, clientSize.x, clientSize.y};
        letterboxFit(clientSize, applicationSize, rect);
        return rect;
    }
    // The back buffer fills the screen; the transform places the picture in it.
    if (backBuffer.x <= 0 || backBuffer.y <= 0) return FRectI{0, 0, clientSize.x, clientSize.y};
    const float kx = static_cast<float>(clientSize.x) / static_cast<float>(backBuffer.x);
    const float ky = static_cast<float>(clientSize.y) / static_cast<float>(backBuffer.y);
    const float left = transform.offsetX * kx;
    const float top = transform.offsetY * ky;
    return FRectI{roundToInt(left), roundToInt(top),
                  roundToInt(left + static_cast<float>(applicationSize.x) * transform.scaleX * kx),
                  roundToInt(top + static_cast<float>(applicationSize.y) * transform.scaleY * ky)};
}
