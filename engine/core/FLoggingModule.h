#pragma once

#include "core/FModule.h"

// Marks the start and the end of logging on the "System" channel.
class FLoggingModule : public FModule
{
public:
    static constexpr int k_priority = 2;

    FLoggingModule();
    ~FLoggingModule() override;

    int priority() const override { return k_priority; }
};
