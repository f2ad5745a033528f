#pragma once

// What the system-message screens ask of the game module: pausing and
// resuming the game's sounds and cursor around a system prompt, turning
// saving off, rebuilding the save data after a save error, and leaving for
// the machine's own menu. The game module implements it; the screens find it
// as the running user-interface module.
class SystemMessageHost
{
public:
    virtual ~SystemMessageHost() = default;

    virtual void pauseAudioAndCursor(bool stopEffects) = 0;
    virtual void resumeAudioAndCursor(bool force) = 0;
    // Sets the save manager's saves-disabled flag for the rest of the run.
    virtual void disableSaving() = 0;
    // New profile manager, global settings and play session; the settings
    // and profiles are loaded again.
    virtual void rebuildSaveData() = 0;
    // Leaves the game for the machine's own menu, where it has one.
    virtual void returnToSystemMenu() = 0;
};
