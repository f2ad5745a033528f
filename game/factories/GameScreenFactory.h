#pragma once

#include "ui/FScreenFactory.h"

// The user-interface module's screen factory for the game: each kind is
// built by createScreen, so a kind whose screen does not exist yet fails with
// the report naming it. It holds nothing, so one instance serves every module.
class GameScreenFactory : public FScreenFactory
{
public:
    FRefT<FScreen> createScreen(int32_t kind) override;
};
