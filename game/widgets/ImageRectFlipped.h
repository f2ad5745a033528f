#pragma once

#include "graphics/FGeometry.h"

class FImage;

// The stored part of a picture inside its full (logical) size, read top-down
// in root-image pixels. An item picture is a layer as large as the scene, so
// this is the item's rectangle on the map. Empty for a missing image.
FRectI getImageRectFlipped(const FImage* image);
