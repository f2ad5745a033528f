#pragma once

#include "ui/FWidget.h"

// The hidden widget built for layout-only entries: it marks a place and
// never draws or takes a hit.
class FMarkerWidget : public FWidget
{
public:
    explicit FMarkerWidget(FContainer* parent);

    void draw(FDrawContext&) override {}
};
