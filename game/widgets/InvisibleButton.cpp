#include "game/widgets/InvisibleButton.h"

InvisibleButton::~InvisibleButton() = default;

void InvisibleButton::draw(FDrawContext&) {}
