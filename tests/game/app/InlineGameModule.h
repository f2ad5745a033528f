#pragma once

#include "game/app/ZibboUserInterface.h"

// The game module without a thread of its own: the test runs its queue.
class InlineGameModule : public ZibboUserInterface
{
public:
    InlineGameModule(FScreenFactory* factory, CursorDevice& cursors) : ZibboUserInterface(factory, cursors)
    {
        setInline(true);
    }
    // The sound channels the launch would make (needs an audio service).
    void makeSoundChannels() { setupSounds(); }
    // Runs every queued action.
    void drain()
    {
        for (int pass = 0; pass < 1000 && queue().size() > 0; ++pass)
            processActions(false);
    }
    // Switches to `kind` and lets its first frame be drawn and presented, so
    // that the screen takes input.
    void showScreen(int32_t kind)
    {
        setScreen(kind, false);
        drain();
        frameConsumed();
        drain();
        framePresented();
        drain();
    }
};
