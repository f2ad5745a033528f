#pragma once

#include "ui/FWidget.h"

class FImage;

// One image asset stretched to the rectangle, tinted, rotated about its
// centre or a pivot of its own, and mirrored. Hit tests go by the rectangle or, with an alpha
// threshold, by the alpha of the image pixel under the point. The image
// stays loaded exactly while the widget is visible.
class FImageWidget : public FWidget
{
public:
    enum Blend : int32_t { k_blendAlpha = 0, k_blendAdditive = 1 };
    enum Mirror : int32_t {
        k_mirrorNone = 0,
        k_mirrorHorizontal = 1,
        k_mirrorVertical = 2,
        k_mirrorBoth = 3
    };

    explicit FImageWidget(FContainer* parent);
    // The parent argument form the widget factory uses.
    FImageWidget(FContainer* parent, bool addToParent);
    ~FImageWidget() override;

    bool containsPoint(const FPointI& point) override;
    void setVisible(bool visible) override;
    void draw(FDrawContext& context) override;
    void onMoved() override;
    // The widget part, then a 16-bit image asset id (0: none).
    void load(FInStream& stream, FScreenRegistry& registry, std::vector<int32_t>& ids) override;
    std::string describe() override;

    void setImage(const FRefT<FImage>& image, bool resizeToImage);
    void setImageByValue(FRefT<FImage> image, bool resizeToImage) { setImage(image, resizeToImage); }
    FRefT<FImage> getImage() const { return m_image; }

    uint32_t colour() const { return m_colour; }
    uint32_t widgetColour() const override { return m_colour; }
    void setWidgetColour(uint32_t colour);
    void setWidgetAlpha(uint8_t alpha) override;
    int32_t blendMode() const { return m_blend; }
    void setBlendMode(int32_t mode) { m_blend = mode; }
    float angle() const { return m_angle; }
    void setAngle(float degrees) { m_angle = degrees; }
    // The point the rotation turns about, in the widget's own space (0, 0 its
    // top-left corner); without one it turns about its centre. The pivot
    // moves with the rectangle.
    void setPivot(FPointI pivot);
    void clearPivot();
    bool hasPivot() const { return m_hasPivot; }
    FPointI pivot() const { return m_pivot; }
    int32_t mirror() const { return m_mirror; }
    void setMirror(int32_t mode) { m_mirror = mode; }
    uint8_t alphaThreshold() const { return m_threshold; }
    void setAlphaThreshold(uint8_t threshold) { m_threshold = threshold; }

private:
    bool hitsPixel(FPointI point);

    int32_t m_blend = k_blendAlpha;
    FRefT<FImage> m_image;
    uint32_t m_colour = 0xFFFFFFFFu;
    float m_angle = 0.0f;
    bool m_hasPivot = false;
    FPointI m_pivot{0, 0};
    int32_t m_mirror = k_mirrorNone;
    uint8_t m_threshold = 32;
};
