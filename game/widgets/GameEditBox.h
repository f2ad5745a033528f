#pragma once

#include "ui/FEditBox.h"

// The edit box the game's screen layouts build: the engine's edit box with a
// destructor of its own and nothing else.
class GameEditBox : public FEditBox
{
public:
    using FEditBox::FEditBox;
    ~GameEditBox() override;
};
