#include "ui/FScreen.h"

#include "core/FApplication.h"
#include "core/FServiceSlots.h"
#include "graphics/FGraph.h"

bool FScreen::s_appActive = true;

FScreen::FScreen() = default;

FScreen::~FScreen() = default;

void FScreen::forgetWidget(FWidget* widget)
{
    for (auto& captured : m_capture) {
        if (captured == widget) captured = nullptr;
    }
}

FPointI FScreen::displaySize()
{
    if (auto* graph = findService<FGraph>(k_slotGraphics)) return graph->getApplicationSize();
    return {0, 0};
}
