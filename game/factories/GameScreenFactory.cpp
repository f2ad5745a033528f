#include "game/factories/GameScreenFactory.h"

#include "game/factories/ScreenFactory.h"
#include "ui/FScreen.h"

FRefT<FScreen> GameScreenFactory::createScreen(int32_t kind)
{
    return ::createScreen(kind);
}
