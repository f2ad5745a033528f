#include "platform/FGraphSdl.h"

#include "core/FApplication.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "core/FProcessModule.h"
#include "core/FServiceSlots.h"
#include "graphics/FDisplayListener.h"
#include "graphics/FTextureRegistry.h"
#include "image/FImage.h"
#include "image/FJpegLoader.h"
#include "io/FFileInStream.h"
#include "io/FInStream.h"
#include "platform/FCursorSdl.h"
#include "platform/FPlatformSpecificModuleSdl.h"
#include "platform/FRenderDeviceGl.h"

#include <SDL.h>

#include <filesystem>

namespace {

constexpr int64_t k_fallbackVideoMemory = 64 << 20;

std::string defaultWindowTitle()
{
    FRefT<FString> title = FProcessModule::productTitle();
    return title.isNull() ? std::string("Zibbo Far Afield") : title->toUtf8();
}

Uint32 windowFlags(int32_t mode)
{
    switch (mode) {
    case FGraph::k_modeFullScreen:
        return SDL_WINDOW_FULLSCREEN_DESKTOP;
    case FGraph::k_modeResizableWindow:
        return SDL_WINDOW_RESIZABLE;
    case FGraph::k_modeDesktopBorderless:
        return SDL_WINDOW_BORDERLESS;
    default:
        return 0;
    }
}

int32_t clampVideoMemory(int64_t bytes)
{
    if (bytes <= 0) {
        ZIBBO_LOG(k_logWarn, false) << "Could not get VRAM size, or 4 gigabytes (a little bit big I think)";
        return static_cast<int32_t>(k_fallbackVideoMemory);
    }
    if (bytes > 0x7FFFFFFF) {
        ZIBBO_LOG(k_logWarn, false) << "VRAM higher than 2 gigabytes.";
        return 0x7FFFFFFF;
    }
    return static_cast<int32_t>(bytes);
}

} // namespace

FGraphSdl::FGraphSdl()
{
    // Recorded vertices need no half-pixel shift on OpenGL.
    setVertexOffset(FPointF{0.0f, 0.0f});
    m_videoStarted = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!m_videoStarted) m_error = SDL_GetError();
}

FGraphSdl::~FGraphSdl()
{
    if (m_window != nullptr) {
        textures().detachDevice();
        closeWindow();
    }
    if (m_arrow != nullptr) SDL_FreeCursor(m_arrow);
    if (m_videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void FGraphSdl::main()
{
    if (!hasWindow()) {
        const FPointI size = FGraphCommon::getApplicationSize();
        createWindowAndDevice(size, size, k_modeFixedWindow);
    }
}

FRenderDevice* FGraphSdl::openWindow(FPointI clientSize, int32_t mode)
{
    if (!m_videoStarted) return nullptr;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    FPointI size = clientSize;
    if (mode == k_modeDesktopBorderless || mode == k_modeFullScreen) size = displaySize();
    const int position = mode == k_modeDesktopBorderless ? 0 : SDL_WINDOWPOS_UNDEFINED;
    const std::string title = windowTitle().empty() ? defaultWindowTitle() : windowTitle();
    m_window = SDL_CreateWindow(title.c_str(), position, position, size.x, size.y,
                                SDL_WINDOW_OPENGL | windowFlags(mode));
    if (m_window == nullptr) {
        m_error = std::string("SDL_CreateWindow: ") + SDL_GetError();
        ZIBBO_LOG(k_logWarn, false) << m_error;
        return nullptr;
    }
    m_context = SDL_GL_CreateContext(m_window);
    if (m_context == nullptr) {
        m_error = std::string("SDL_GL_CreateContext: ") + SDL_GetError();
        ZIBBO_LOG(k_logWarn, false) << m_error;
        SDL_DestroyWindow(m_window);
        m_window = nullptr;
        return nullptr;
    }
    SDL_GL_SetSwapInterval(1);
    m_device = FRenderDeviceGl::create(m_error);
    if (m_device == nullptr) {
        ZIBBO_LOG(k_logWarn, false) << "OpenGL device: " << m_error;
        closeWindow();
        return nullptr;
    }
    ZIBBO_LOG(k_logGraph, false) << "Renderer: " << m_device->rendererName();
    setVideoMemory(clampVideoMemory(m_device->queryVideoMemory()));
    followDrawableSize();
    loadBackground();
    if (FPlatformSpecificModuleSdl* platform = FPlatformSpecificModuleSdl::current())
        platform->attachWindow(m_window, this);
    return m_device.get();
}

void FGraphSdl::closeWindow()
{
    if (FPlatformSpecificModuleSdl* platform = FPlatformSpecificModuleSdl::current())
        platform->attachWindow(nullptr, nullptr);
    m_ownCursor.reset();
    if (m_context != nullptr) SDL_GL_MakeCurrent(m_window, m_context);
    m_device.reset();
    if (m_context != nullptr) SDL_GL_DeleteContext(m_context);
    m_context = nullptr;
    if (m_window != nullptr) SDL_DestroyWindow(m_window);
    m_window = nullptr;
}

void FGraphSdl::loadBackground()
{
    char* base = SDL_GetBasePath();
    if (base == nullptr) return;
    const bool wide = aspectClass(displaySize()) == k_aspect16by9;
    const std::string path = std::string(base) + (wide ? "texture_169.jpg" : "texture_1610.jpg");
    SDL_free(base);
    ZIBBO_LOG(k_logDefault, false) << "Texture path: " << path;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return;
    try {
        FRefT<FInStream> stream = FFileInStream::open(FString(path.c_str()));
        auto* image = engineNew<FImage>(k_memObject);
        FRefT<FImage> handle = makeRef(image);
        if (image == nullptr || stream.isNull()) return;
        FJpegLoader::load(*stream, *image);
        setBackgroundImage(handle);
    } catch (const std::exception& failure) {
        // Without its file the frame simply has no background.
        ZIBBO_LOG(k_logWarn, false) << "Background not loaded: " << failure.what();
    }
}

void FGraphSdl::followDrawableSize()
{
    if (m_window == nullptr) return;
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(m_window, &width, &height);
    if (width <= 0 || height <= 0) return;
    const FPointI size{width, height};
    if (size == FGraphCommon::getWindowSize()) return;
    onWindowResized(size);
    if (auto* listener = findService<FDisplayListener>(k_slotInvalidation)) listener->redrawWanted();
    requestRedraw();
}

void FGraphSdl::onPaint()
{
    followDrawableSize();
    FGraphCommon::onPaint();
}

void FGraphSdl::onProcessTick(int32_t)
{
    onPaint();
}

void FGraphSdl::applyWindowMode(int32_t mode, FPointI clientSize)
{
    if (m_window == nullptr) return;
    SDL_SetWindowFullscreen(m_window, mode == k_modeFullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    SDL_SetWindowBordered(m_window, mode == k_modeDesktopBorderless ? SDL_FALSE : SDL_TRUE);
    SDL_SetWindowResizable(m_window, mode == k_modeResizableWindow ? SDL_TRUE : SDL_FALSE);
    if (mode != k_modeFullScreen) SDL_SetWindowSize(m_window, clientSize.x, clientSize.y);
    SDL_ShowWindow(m_window);
    followDrawableSize();
}

void FGraphSdl::applyWindowSize(FPointI clientSize)
{
    if (m_window == nullptr) return;
    SDL_SetWindowSize(m_window, clientSize.x, clientSize.y);
    followDrawableSize();
}

void FGraphSdl::raiseWindow(bool minimize)
{
    if (m_window == nullptr) return;
    if (minimize) {
        SDL_MinimizeWindow(m_window);
    } else {
        SDL_ShowWindow(m_window);
    }
}

void FGraphSdl::presentFrame()
{
    if (m_window != nullptr) SDL_GL_SwapWindow(m_window);
}

FPointI FGraphSdl::displaySize()
{
    const int display = m_window != nullptr ? SDL_GetWindowDisplayIndex(m_window) : 0;
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0 || mode.w <= 0 || mode.h <= 0)
        return FGraphCommon::getApplicationSize();
    return FPointI{mode.w, mode.h};
}

void FGraphSdl::describeFeatures(FString& out)
{
    std::string text = "OpenGL features\n";
    if (m_device != nullptr) text += m_device->featureLines();
    text += "End of OpenGL features";
    out = FString(text.c_str());
}

int32_t FGraphSdl::getColourBits()
{
    return m_device != nullptr ? m_device->colourBits() : 0;
}

int32_t FGraphSdl::getMaxTextureSize()
{
    return m_device != nullptr ? m_device->maxTextureSize() : 0;
}

bool FGraphSdl::hasHardwareRasterization()
{
    return m_device != nullptr && m_device->hardwareRasterization();
}

void FGraphSdl::applyCursorClip(const FRectI* rect)
{
    if (m_window == nullptr) return;
    if (rect == nullptr) {
        SDL_SetWindowMouseRect(m_window, nullptr);
        return;
    }
    // The rectangle is in application units: map it into the picture, then
    // from drawable pixels into window points.
    const FRectI& view = FGraphCommon::getViewportRect();
    const FPointI& app = getApplicationSize();
    const FPointI& drawable = FGraphCommon::getWindowSize();
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GetWindowSize(m_window, &windowWidth, &windowHeight);
    if (app.x <= 0 || app.y <= 0 || drawable.x <= 0 || drawable.y <= 0) return;
    auto mapX = [&](int32_t x) {
        return (view.left + x * (view.right - view.left) / app.x) * windowWidth / drawable.x;
    };
    auto mapY = [&](int32_t y) {
        return (view.top + y * (view.bottom - view.top) / app.y) * windowHeight / drawable.y;
    };
    const SDL_Rect area{mapX(rect->left), mapY(rect->top), mapX(rect->right) - mapX(rect->left),
                        mapY(rect->bottom) - mapY(rect->top)};
    SDL_SetWindowMouseRect(m_window, &area);
}

void FGraphSdl::applyCursor(FCursorImage* cursor)
{
    SDL_Cursor* handle = nullptr;
    if (cursor != nullptr) {
        if (auto* own = dynamic_cast<FCursorSdl*>(cursor)) {
            handle = own->cursor();
        } else {
            m_ownCursor = std::make_unique<FCursorSdl>(cursor->image(), cursor->hotSpot());
            handle = m_ownCursor->cursor();
        }
    }
    if (handle == nullptr) {
        if (m_arrow == nullptr) m_arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
        handle = m_arrow;
    }
    if (handle != nullptr) SDL_SetCursor(handle);
}

void FGraphSdl::applyWindowTitle(const std::string& title)
{
    if (m_window != nullptr) SDL_SetWindowTitle(m_window, title.c_str());
}

void FGraphSdl::applySystemCursor(bool show)
{
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}
