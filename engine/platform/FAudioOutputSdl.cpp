#include "platform/FAudioOutputSdl.h"

#include "audio/FAudioRing.h"
#include "core/FLogChannel.h"
#include "core/FLogStream.h"

#include <SDL.h>

FAudioOutputSdl::~FAudioOutputSdl()
{
    close();
}

std::unique_ptr<FAudioOutput> FAudioOutputSdl::create()
{
    return std::make_unique<FAudioOutputSdl>();
}

void FAudioOutputSdl::callback(void* ring, std::uint8_t* stream, int length)
{
    static_cast<FAudioRing*>(ring)->read(stream, static_cast<std::size_t>(length));
}

bool FAudioOutputSdl::open(FAudioRing& ring)
{
    const bool opened = openDevice(ring);
    // SDL keeps per-thread data (its error text) for the calling thread, which
    // is one of our workers, not an SDL thread: nothing would free it.
    SDL_TLSCleanup();
    return opened;
}

bool FAudioOutputSdl::openDevice(FAudioRing& ring)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        // The one line a player sees: the game goes on, silent.
        ZIBBO_LOG(k_logRelease, false)
            << "No sound device could be opened (" << SDL_GetError() << "); the game plays without sound.";
        return false;
    }
    m_subsystem = true;
    SDL_AudioSpec wanted{};
    wanted.freq = 44100;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = k_deviceFrames;
    wanted.callback = &FAudioOutputSdl::callback;
    wanted.userdata = &ring;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the hardware takes.
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (m_device == 0) {
        ZIBBO_LOG(k_logRelease, false)
            << "No sound device could be opened (" << SDL_GetError() << "); the game plays without sound.";
        close();
        return false;
    }
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void FAudioOutputSdl::close()
{
    if (m_device != 0) {
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }
    if (m_subsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_subsystem = false;
    }
}
