#include "game/frontend/ClickToContinueScreen.h"

#include "game/app/ZibboUserInterface.h"
#include "game/core/ScreenKind.h"

void ClickToContinueScreen::onPointerDown(int32_t, int32_t, const FPointI&)
{
    if (ZibboUserInterface* game = ZibboUserInterface::getInstance())
        game->setScreen(k_introSlidesScreen, false);
}
