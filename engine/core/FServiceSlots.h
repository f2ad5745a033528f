#pragma once

// Indices of the application's service slots.

enum FServiceSlot : int {
    k_slotAppEvents = 0,   // UI module: close, minimise, restore, set screen ...
    k_slotZip = 1,         // zip archives
    k_slotZipMethod12 = 2, // never filled
    k_slotZlib = 3,        // zlib streams
    k_slotZipMethod9 = 4,  // never filled
    k_slotAudio = 5,
    k_slotClock = 6, // FClockService
    k_slotGamePads = 7,
    k_slotPointerEvents = 8, // UI module
    k_slotDebugChannel = 9,  // FLogListener (the remote debug channel)
    k_slotKeyedMap = 11,
    k_slotFileSystems = 12,
    k_slotAssetRelease = 13,
    k_slotAppService = 14,
    k_slotGraphics = 15,
    k_slotInvalidation = 16, // UI module: redraw requests
    k_slotKeyEvents = 18,    // UI module
    k_slotNetwork = 19,
    k_slotNetworkNotifications = 20, // UI module
    k_slotUiExtra = 21,              // UI module
    k_slotProcess = 23,              // main loop
    k_slotRandom = 24,
    k_slotRawDataLoader = 25,
    k_slotFontLoader = 26,
    k_slotMusicLoader = 27, // never filled
    k_slotGwSampleLoader = 28,
    k_slotGwVideoLoader = 29,
    k_slotJpegLoader = 30,
    k_slotJpeg32Loader = 31,
    k_slotPngLoader = 32,
    k_slotPpmLoader = 33, // never filled
    k_slotPvrLoader = 34,
    k_slotScreen = 35,
    k_slotSpeexLoader = 36, // never filled
    k_slotTheoraLoader = 37,
    k_slotVorbisLoader = 38,
    k_slotPlatform = 40, // message pump, window procedure
    k_slotThreadPool = 41,
    k_slotUiExtra2 = 45, // UI module
    k_slotUiHook = 47,   // never filled
    k_serviceSlotCount = 48
};
