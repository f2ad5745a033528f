#pragma once

#include "core/FAppServiceModule.h"

// The game's application service: every service operation does nothing
// (operations return, queries are not asked of it).
class NullAppServiceModule : public FAppServiceModule
{
public:
    void serviceHookA() override {}
    void serviceHookB() override {}
    void onServiceValue(int32_t) override {}
    void onServiceCall() override {}
};
