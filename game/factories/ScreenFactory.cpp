#include "game/factories/ScreenFactory.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"
#include "game/core/ScreenKind.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/worldmap/WorldMapScreen.h"
#include "ui/FScreen.h"

FRefT<FScreen> createScreen(std::int32_t kind)
{
    const char* name = screenClassName(kind);
    if (name == nullptr) ZIBBO_FAIL(msgIllegalOperation, "screen kind " << kind << " is unknown");
    // Each kind's case constructs its screen class once that class exists.
    switch (kind) {
    case k_worldMapScreen:
        return makeRef<FScreen>(engineNew<WorldMapScreen>(k_memObject));
    case k_storyModeScreen:
        return makeRef<FScreen>(engineNew<StoryModeScreen>(k_memObject));
    default:
        break;
    }
    ZIBBO_FAIL(msgIllegalOperation, "screen kind " << kind << " (" << name << ") is not built yet");
}
