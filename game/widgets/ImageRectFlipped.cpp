#include "game/widgets/ImageRectFlipped.h"

#include "graphics/FShapeEmitter.h"
#include "image/FImage.h"

FRectI getImageRectFlipped(const FImage* image)
{
    const FImage* root = FShapeEmitter::rootImage(image);
    if (root == nullptr) return {};
    const FImageRect& stored = root->pixelRect();
    const int32_t height = root->height();
    return {stored.left, height - stored.top, stored.right, height - stored.bottom};
}
