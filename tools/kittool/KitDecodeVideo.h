#pragma once

#include "tools/kittool/KitCommand.h"

// kittool decode: videos (".gwvideo", ".theora") through the engine's own
// players, every other file to the image decoder.
int kitDecodeMedia(const KitArgs& args);
