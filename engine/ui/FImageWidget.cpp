#include "ui/FImageWidget.h"

#include "asset/FScreenRegistry.h"
#include "graphics/FDrawCommandBuffer.h"
#include "graphics/FDrawContext.h"
#include "graphics/FGeometry.h"
#include "graphics/FShapeEmitter.h"
#include "image/FImage.h"
#include "io/FInStream.h"

#include <cmath>
#include <sstream>

namespace {

constexpr double k_degreesToRadians = 0.017453292519943295;
constexpr uint32_t k_debugOutline = 0xFFE9967Au;

} // namespace

FImageWidget::FImageWidget(FContainer* parent) : FWidget(parent, true) {}

FImageWidget::FImageWidget(FContainer* parent, bool addToParent) : FWidget(parent, addToParent) {}

FImageWidget::~FImageWidget()
{
    releaseShownAsset(m_image);
}

void FImageWidget::setImage(const FRefT<FImage>& image, bool resizeToImage)
{
    FImagePoint size;
    if (resizeToImage && image.get() != nullptr && image->hasPixels()) {
        size = image->getRootImageSize();
    } else {
        resizeToImage = false;
    }
    replaceShownAsset(m_image, image);
    if (resizeToImage) {
        setWidgetWidth(size.x);
        setWidgetHeight(size.y);
    }
    requestRedraw();
}

void FImageWidget::setVisible(bool visible)
{
    storeVisibleShowing(visible, m_image);
}

void FImageWidget::setWidgetColour(uint32_t colour)
{
    m_colour = colour;
    requestRedraw();
}

void FImageWidget::setWidgetAlpha(uint8_t alpha)
{
    m_colour = (m_colour & 0x00FFFFFFu) | uint32_t(alpha) << 24;
    requestRedraw();
}

void FImageWidget::setPivot(FPointI pivot)
{
    m_pivot = pivot;
    m_hasPivot = true;
    requestRedraw();
}

void FImageWidget::clearPivot()
{
    m_hasPivot = false;
    requestRedraw();
}

void FImageWidget::onMoved()
{
    requestRedraw();
}

void FImageWidget::draw(FDrawContext& context)
{
    drawDecoration(context);
    if (m_image.get() != nullptr && (m_colour >> 24) > 0) {
        const FImagePoint size = m_image->getRootImageSize();
        if (size.x > 0 && size.y > 0) {
            if (FDrawCommandBuffer* buffer = context.buffer()) buffer->pushBlendMode(m_blend);
            const float scaleX = static_cast<float>(width()) / static_cast<float>(size.x);
            const float scaleY = static_cast<float>(height()) / static_cast<float>(size.y);
            FPointI at{rect().left, rect().top};
            if (m_hasPivot && m_angle != 0.0f) {
                // The quad turns about the picture's centre: shift it so that
                // the pivot stays where it is.
                const FPointF centre{static_cast<float>(at.x + size.x / 2),
                                     static_cast<float>(at.y + size.y / 2)};
                const FPointF pivot{static_cast<float>(at.x + m_pivot.x),
                                    static_cast<float>(at.y + m_pivot.y)};
                const FPointF turned = rotatePoint(-static_cast<double>(m_angle), pivot, centre);
                at.x += static_cast<int32_t>(std::lround(pivot.x - turned.x));
                at.y += static_cast<int32_t>(std::lround(pivot.y - turned.y));
            }
            FShapeEmitter::pushTexturedPolygon({0, 0, size.x, size.y}, context, m_image, at, scaleX, scaleY,
                                               m_colour, m_angle, m_mirror);
        }
    }
    if (debugOverlayLevel() == 2) FShapeEmitter::pushColouredPolygon(context, k_debugOutline, rect());
}

bool FImageWidget::containsPoint(const FPointI& point)
{
    FPointI p = point;
    if (m_angle != 0.0f) {
        const FPointI c =
            m_hasPivot ? FPointI{rect().left + m_pivot.x, rect().top + m_pivot.y} : getWidgetCenter();
        const double q = m_angle * k_degreesToRadians;
        const double dx = p.x - c.x;
        const double dy = p.y - c.y;
        p = {c.x + static_cast<int32_t>(std::trunc(dx * std::cos(q) - dy * std::sin(q))),
             c.y + static_cast<int32_t>(std::trunc(dx * std::sin(q) + dy * std::cos(q)))};
    }
    if (!FWidget::containsPoint(p)) return false;
    if (m_threshold == 0) return true;
    return hitsPixel(p);
}

bool FImageWidget::hitsPixel(FPointI p)
{
    FImage* image = m_image.get();
    if (image == nullptr || !image->hasPixels()) return false;
    int32_t lx = p.x - rect().left;
    int32_t ly = p.y - rect().top;
    if (m_mirror == k_mirrorHorizontal || m_mirror == k_mirrorBoth) lx = width() - lx - 1;
    if (m_mirror == k_mirrorVertical || m_mirror == k_mirrorBoth) ly = height() - ly - 1;
    const FImagePoint size = image->getRootImageSize();
    if (size.x != width() || size.y != height()) {
        // The rectangle is not empty here (the point lies inside it).
        lx = static_cast<int32_t>(int64_t(size.x) * lx / width());
        ly = static_cast<int32_t>(int64_t(size.y) * ly / height());
        if (lx < 0 || lx >= size.x || ly < 0 || ly >= size.y) return false;
    }
    const FImage* root = FShapeEmitter::rootImage(image);
    if (!root->usesAlphaHitTest()) return true;
    // Pixel rows are stored bottom-up.
    const auto pixel = getImagePixel(*root, {lx, root->height() - ly - 1});
    return pixel[3] >= m_threshold;
}

void FImageWidget::load(FInStream& stream, FScreenRegistry& registry, std::vector<int32_t>& ids)
{
    FWidget::load(stream, registry, ids);
    const int32_t id = stream.readUInt16();
    if (id == 0) return;
    FRef asset = registry.findInSecond(id);
    // Only an image asset can be shown; an id naming anything else is ignored.
    if (dynamic_cast<FImage*>(static_cast<FAsset*>(asset.get())) == nullptr) return;
    setImage(FRefT<FImage>(asset), false);
}

std::string FImageWidget::describe()
{
    std::ostringstream text;
    text << FWidget::describe() << m_angle << " | ";
    return text.str();
}
