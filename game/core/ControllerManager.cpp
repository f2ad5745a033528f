#include "game/core/ControllerManager.h"

#include "core/FApplication.h"
#include "core/FGamePadService.h"
#include "core/FLogStream.h"
#include "game/core/CursorDevice.h"

ControllerManager::ControllerManager(CursorDevice& cursors) : m_cursors(cursors) {}

void ControllerManager::onControllerConnected(int32_t)
{
    ZIBBO_LOG(k_logDefault, false) << "ControllerManager::onControllerConnected()";
    if (auto* pads = findService<FGamePadService>(k_slotGamePads)) {
        for (int32_t pad = 0; pad < k_padCount; ++pad)
            pads->controllerConnected(pad, true);
    }
    // One system pointer serves both players.
    m_cursors.showSystemCursor(false);
}
