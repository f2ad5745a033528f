#include "game/widgets/InvisibleButton.h"

#if __has_include("ui/FButton.h")
InvisibleButton::~InvisibleButton() = default;

void InvisibleButton::draw(FDrawContext&) {}
#endif
