#include "game/core/GameVersion.h"

FString getVersionString()
{
    return FString("1.0.3");
}
