#include "game/widgets/GameEditBox.h"

GameEditBox::~GameEditBox() = default;
