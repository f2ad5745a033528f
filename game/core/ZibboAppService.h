#pragma once

#include "core/FAppServiceModule.h"

// The game's application service: the engine's service with nothing to add.
class ZibboAppService : public FAppServiceModule
{
public:
    void serviceHookA() override {}
    void serviceHookB() override {}
};
