#pragma once

#include "core/FRef.h"
#include "ui/FContainer.h"

#include <cstdint>

class FButton;
class FFont;
class FImage;
class FImageWidget;
class FLabel;
class FScreenRegistry;
class FVideo;
class VideoSprite;

// A front-end menu entry whose face is a short video clip. When the pointer
// moves onto it the entry comes to the front, plays its hover clip and sound
// and tilts its frame back and forth once; when the pointer leaves it plays
// its return clip. It shows a caption laid out from a template button, an
// optional icon and a number badge, and fades as a whole. Its host advances
// the clip sprite and the wiggle every frame.
//
// The clips come from the host's menu-clip layout part and the hover sound
// from its shared sound part, both looked up by asset id in the registry
// that the part binds.
class AnimatedMenuButton : public FContainer
{
public:
    enum WigglePhase : int32_t { k_still = 0, k_tilting = 1, k_swinging = 2, k_holding = 4, k_returning = 5 };

    explicit AnimatedMenuButton(FContainer* parent);
    AnimatedMenuButton(FContainer* parent, bool addToParent);
    ~AnimatedMenuButton() override;

    void setVisible(bool visible) override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onPointerLeave(int32_t pointer) override;

    // The front-end screens name the frame the "badge holder" and the
    // template button the "click target" of this set-up.
    void setup(const FRefT<FLabel>& caption, const FRefT<VideoSprite>& clipSprite,
               const FRefT<FContainer>& frame, const FRefT<FButton>& templateButton,
               const FScreenRegistry* clipTable, const FScreenRegistry* soundPart);
    // Selects the clip pair of a kind (0-8); the new clips show at the next
    // hover or leave, or with playPressedClip. The front-end screens call
    // this selection setClipState.
    void setClipKind(int32_t kind);
    // Shows the hover clip of the selected pair from its first frame at the
    // image size and plays it once (the screens start their buttons' clips
    // with it when they open).
    void playPressedClip();
    void updateWiggle(int32_t elapsed);
    void stopWiggle();
    void fitLabelText();
    void setAlpha(uint8_t alpha);
    void setIcon(const FRefT<FImageWidget>& icon);
    // (x, y) is an absolute point.
    void placeIcon(int32_t x, int32_t y);
    void moveImageTo(int32_t x, int32_t y);
    void offsetLabel(int32_t dx, int32_t dy);
    void resizeIcon(int32_t width, int32_t height);
    void setImageSize(int32_t width, int32_t height);
    void alignLabel();
    void releaseClips();
    void setBadgesVisible(bool visible);
    void setNumberText(int32_t number);
    void setBadgeFont(const FRefT<FFont>& font);
    void setBadgeImage(const FRefT<FImage>& image);
    void layoutBadges(const FWidget& reference);

    bool isReady() const { return m_ready; }
    bool isHovered() const { return m_hovered; }
    uint8_t alpha() const { return m_alpha; }
    int32_t clipKind() const { return m_clipKind; }
    int32_t wigglePhase() const { return m_wigglePhase; }
    FPointI imageSize() const { return {m_imageWidth, m_imageHeight}; }
    const FRefT<FVideo>& hoverClip() const { return m_hoverClip; }
    const FRefT<FVideo>& returnClip() const { return m_returnClip; }
    VideoSprite* clipSprite() const { return m_clipSprite.get(); }
    FLabel* caption() const { return m_caption.get(); }
    FContainer* frame() const { return m_frame.get(); }
    FImageWidget* icon() const { return m_icon.get(); }
    FImageWidget* badgePicture() const { return m_badgePicture.get(); }
    FLabel* badgeLabel() const { return m_badgeLabel.get(); }

private:
    void selectClips(int32_t kind);
    // The hover and the return clip alike: the button takes the next hover.
    void onClipEnded(VideoSprite& sprite);
    void playClip(const FRefT<FVideo>& clip);

    FRefT<FLabel> m_caption;
    FRefT<VideoSprite> m_clipSprite;
    FRefT<FContainer> m_frame;
    FRefT<FButton> m_templateButton;
    FRefT<FImageWidget> m_icon;
    FRefT<FImageWidget> m_badgePicture;
    FRefT<FLabel> m_badgeLabel;
    bool m_ready = true;
    bool m_hovered = false;
    uint8_t m_alpha = 255;
    int32_t m_wiggleElapsed = 0;
    int32_t m_imageWidth = 0;
    int32_t m_imageHeight = 0;
    int32_t m_clipKind = 2;
    int32_t m_wigglePhase = k_still;
    FRefT<FVideo> m_hoverClip;
    FRefT<FVideo> m_returnClip;
    const FScreenRegistry* m_clipTable = nullptr;
    const FScreenRegistry* m_soundPart = nullptr;
};
