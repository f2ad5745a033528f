#pragma once

// Builds the scene of a world (index 0 to 11) behind a scene handle.

#include "core/FRef.h"

#include <cstdint>

// An empty scene handle whose holder deletes a scene through its interface.
FRef makeWorldSceneHandle();

// Builds world `index`'s scene and makes it the handle's target: the scene the
// handle held is destroyed first, and every handle of the family sees the new
// one. An index outside 0 to 11 (it comes from saved and game data) is a
// failure report naming it; a failed build leaves the handle as it was.
void createWorldScene(FRef& handle, int32_t index);
