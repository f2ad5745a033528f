#pragma once

#include "ScreenLayout11.h"

#include <cstdint>

// A picture that waits for a press with any button, then shows the intro
// slides (kind 6; no screen asks for it).
class ClickToContinueScreen : public ScreenLayout11
{
public:
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
};
