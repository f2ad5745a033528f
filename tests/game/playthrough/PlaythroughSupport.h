#pragma once

// What the played-through test and the soak share: running a piece of work
// on the UI thread of the running game, pushing input as SDL events through
// the platform layer, and standard error caught in a file.

#include "core/FAction.h"
#include "core/FApplication.h"
#include "core/FProcessService.h"
#include "core/FServiceSlots.h"
#include "game/app/ZibboUserInterface.h"
#include "graphics/FGeometry.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

namespace playthrough {

// Runs a piece of the scripted player on the UI thread, where every screen
// and widget lives.
class PlaythroughProbe
{
public:
    explicit PlaythroughProbe(std::function<void()> work) : m_work(std::move(work)) {}
    void run(FAction&)
    {
        m_work();
        m_done.set_value();
    }
    std::future<void> done() { return m_done.get_future(); }

private:
    std::function<void()> m_work;
    std::promise<void> m_done;
};

// `work`'s answer, computed by the thread behind `post` (which takes the
// action); a default answer when it does not answer within 5 s.
template <class Post, class F> auto answerFrom(Post post, F work) -> decltype(work())
{
    using Result = decltype(work());
    auto result = std::make_shared<Result>();
    auto* probe = new PlaythroughProbe([result, work] { *result = work(); });
    std::future<void> done = probe->done();
    post(makeAction<FAction0<PlaythroughProbe>>(probe, &PlaythroughProbe::run));
    // A probe that does not answer is left behind, so that a late run
    // still finds it.
    if (done.wait_for(std::chrono::seconds(5)) != std::future_status::ready) return Result{};
    delete probe;
    return *result;
}

// `work`'s answer, computed on the UI thread, where every screen and widget
// lives; a default answer when the game module is gone.
template <class F> auto onUi(F work) -> decltype(work())
{
    ZibboUserInterface* ui = ZibboUserInterface::getInstance();
    if (ui == nullptr) return decltype(work()){};
    return answerFrom([ui](FAction* action) { ui->postAction(action); }, work);
}

// `work`'s answer, computed on the main thread, which owns the window and
// the OpenGL device; a default answer when the main loop is gone.
template <class F> auto onMainThread(F work) -> decltype(work())
{
    auto* process = findService<FProcessService>(k_slotProcess);
    if (process == nullptr) return decltype(work()){};
    return answerFrom([process](FAction* action) { process->post(action); }, work);
}

// A pointer event of the left button (or a move) at a point of the window.
inline void pushPointer(Uint32 type, const FPointI& point)
{
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
        event.motion.x = point.x;
        event.motion.y = point.y;
    } else {
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = 1;
        event.button.x = point.x;
        event.button.y = point.y;
    }
    SDL_PushEvent(&event);
}

inline void pushKey(Uint32 type, SDL_Keycode key)
{
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    SDL_PushEvent(&event);
}

// Standard error of this process goes to a file while it lives.
class CapturedErrors
{
public:
    explicit CapturedErrors(const std::string& path) : m_path(path)
    {
        std::fflush(stderr);
        m_saved = ::dup(2);
        const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(file, 2);
        ::close(file);
    }
    ~CapturedErrors() { restore(); }
    std::string restore()
    {
        if (m_saved >= 0) {
            std::fflush(stderr);
            ::dup2(m_saved, 2);
            ::close(m_saved);
            m_saved = -1;
        }
        std::ifstream in(m_path);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::string m_path;
    int m_saved = -1;
};

} // namespace playthrough
