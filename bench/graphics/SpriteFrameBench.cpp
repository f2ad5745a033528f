// One frame of N alpha-blended 64 x 64 sprites from 8 textures, recorded and
// replayed through the engine's graphics module, side by side with the same
// sprites drawn by SDL's own renderer (SDL_RenderGeometry on its OpenGL
// driver), each in a window of its own on the same video driver. Every frame
// ends with a one-pixel read-back so that the GPU work is done inside the
// timing of both paths.
//
// Arguments: N, and whether the sprites come grouped by texture (1) or
// change texture at every sprite (0). Counters: milliseconds per frame of
// each path and the time ratio engine / SDL (goal: at most 1).
#include "core/FMemory.h"
#include "graphics/FShapeEmitter.h"
#include "image/FImage.h"
#include "platform/FGraphSdl.h"
#include "platform/FRenderDeviceGl.h"

#include <SDL.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <vector>

namespace {

constexpr int k_textures = 8;
constexpr int k_size = 64;
constexpr int k_width = 800;
constexpr int k_height = 600;

struct Sprite
{
    int x;
    int y;
    int texture;
};

std::vector<Sprite> makeSprites(int count, bool grouped)
{
    std::vector<Sprite> sprites;
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) & 0xFFFF);
    };
    for (int i = 0; i < count; ++i) {
        const int texture = grouped ? i * k_textures / count : i % k_textures;
        sprites.push_back({next() % (k_width - k_size), next() % (k_height - k_size), texture});
    }
    return sprites;
}

// Texture t: a soft disc tinted by t, so that blending has work to do.
uint32_t texel(int t, int x, int y)
{
    const int dx = x - 32;
    const int dy = y - 32;
    const uint32_t alpha = dx * dx + dy * dy < 900 ? 0xC0u : 0x30u;
    return alpha << 24 | static_cast<uint32_t>(40 * t) << 16 | static_cast<uint32_t>(x * 4) << 8 |
           static_cast<uint32_t>(y * 4);
}

FRefT<FImage> makeImage(int t)
{
    auto* image = engineNew<FImage>(k_memObject);
    auto* pixels = static_cast<uint8_t*>(engineAlloc(k_memImage, k_size * k_size * 4));
    for (int y = 0; y < k_size; ++y) {
        for (int x = 0; x < k_size; ++x) {
            const uint32_t v = texel(t, x, y);
            uint8_t* p = pixels + (y * k_size + x) * 4;
            p[0] = v & 0xFF;
            p[1] = (v >> 8) & 0xFF;
            p[2] = (v >> 16) & 0xFF;
            p[3] = v >> 24;
        }
    }
    image->setPixels({k_size, k_size}, k_pixelBgra8, pixels, k_size * 4, 1.0f);
    return makeRef(image);
}

class EnginePath
{
public:
    bool open()
    {
        m_graph.createWindowAndDevice({k_width, k_height}, {k_width, k_height}, FGraph::k_modeFixedWindow);
        for (int t = 0; t < k_textures; ++t)
            m_images.push_back(makeImage(t));
        return m_graph.hasWindow();
    }
    std::string error() const { return m_graph.lastError(); }

    void frame(const std::vector<Sprite>& sprites)
    {
        FDrawContext& context = m_graph.beginFrameRecording();
        for (const Sprite& s : sprites)
            FShapeEmitter::drawImage(context, m_images[s.texture], {s.x, s.y});
        m_graph.endFrameRecording();
        m_graph.onPaint();
        benchmark::DoNotOptimize(m_graph.glDevice()->readPixels({0, 0, 1, 1}));
    }

private:
    FGraphSdl m_graph;
    std::vector<FRefT<FImage>> m_images;
};

class SdlRendererPath
{
public:
    ~SdlRendererPath()
    {
        for (SDL_Texture* texture : m_textures)
            SDL_DestroyTexture(texture);
        if (m_renderer != nullptr) SDL_DestroyRenderer(m_renderer);
        if (m_window != nullptr) SDL_DestroyWindow(m_window);
    }

    bool open()
    {
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
        m_window = SDL_CreateWindow("SDL renderer", 0, 0, k_width, k_height, SDL_WINDOW_OPENGL);
        if (m_window == nullptr) return false;
        m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_ACCELERATED);
        if (m_renderer == nullptr) return false;
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(m_renderer, &info);
        m_name = info.name;
        std::vector<uint32_t> pixels(k_size * k_size);
        for (int t = 0; t < k_textures; ++t) {
            for (int y = 0; y < k_size; ++y)
                for (int x = 0; x < k_size; ++x)
                    pixels[y * k_size + x] = texel(t, x, k_size - 1 - y); // rows top first
            SDL_Texture* texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888,
                                                     SDL_TEXTUREACCESS_STATIC, k_size, k_size);
            if (texture == nullptr) return false;
            SDL_UpdateTexture(texture, nullptr, pixels.data(), k_size * 4);
            SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
            // Filtered like the engine's textures, so both do the same work.
            SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
            m_textures.push_back(texture);
        }
        return true;
    }
    const std::string& name() const { return m_name; }

    void frame(const std::vector<Sprite>& sprites)
    {
        SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
        SDL_RenderClear(m_renderer);
        static const int k_indices[6] = {0, 1, 2, 0, 2, 3};
        for (const Sprite& s : sprites) {
            const auto x0 = static_cast<float>(s.x);
            const auto y0 = static_cast<float>(s.y);
            const float x1 = x0 + k_size;
            const float y1 = y0 + k_size;
            const SDL_Color white{255, 255, 255, 255};
            const SDL_Vertex quad[4] = {{{x0, y0}, white, {0, 0}},
                                        {{x1, y0}, white, {1, 0}},
                                        {{x1, y1}, white, {1, 1}},
                                        {{x0, y1}, white, {0, 1}}};
            SDL_RenderGeometry(m_renderer, m_textures[s.texture], quad, 4, k_indices, 6);
        }
        SDL_RenderPresent(m_renderer);
        uint32_t pixel = 0;
        const SDL_Rect one{0, 0, 1, 1};
        SDL_RenderReadPixels(m_renderer, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
        benchmark::DoNotOptimize(pixel);
    }

private:
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    std::vector<SDL_Texture*> m_textures;
    std::string m_name;
};

void BM_SpriteFrameSideBySide(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        state.SkipWithError("SDL video could not start");
        return;
    }
    {
        const std::vector<Sprite> sprites =
            makeSprites(static_cast<int>(state.range(0)), state.range(1) != 0);
        EnginePath engine;
        SdlRendererPath sdl;
        if (!engine.open()) {
            state.SkipWithError(("No OpenGL context for the engine: " + engine.error()).c_str());
            return;
        }
        if (!sdl.open()) {
            state.SkipWithError("SDL's opengl renderer could not be made");
            return;
        }
        // Warm up: textures made, buffers grown.
        engine.frame(sprites);
        sdl.frame(sprites);
        using Clock = std::chrono::steady_clock;
        Clock::duration engineTime{};
        Clock::duration sdlTime{};
        for (auto _ : state) {
            const auto t0 = Clock::now();
            engine.frame(sprites);
            const auto t1 = Clock::now();
            sdl.frame(sprites);
            const auto t2 = Clock::now();
            engineTime += t1 - t0;
            sdlTime += t2 - t1;
        }
        const double frames = static_cast<double>(state.iterations());
        const double engineMs = std::chrono::duration<double, std::milli>(engineTime).count() / frames;
        const double sdlMs = std::chrono::duration<double, std::milli>(sdlTime).count() / frames;
        state.counters["engine ms/frame"] = engineMs;
        state.counters["SDL ms/frame"] = sdlMs;
        state.counters["time ratio"] = engineMs / sdlMs;
        state.SetLabel(std::string("SDL driver ") + sdl.name());
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

} // namespace

BENCHMARK(BM_SpriteFrameSideBySide)
    ->ArgNames({"sprites", "grouped"})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_MAIN();
