#pragma once

#include "core/FDelegate.h"
#include "ui/FLabel.h"
#include "ui/FSkin.h"
#include "ui/FWidget.h"

// The skinned push button: the skin gives an image, colours, a caption font,
// a sound and a pad rumble for each of the states normal, hover, pressed and
// disabled. A press captures the pointer; a release inside the rectangle by
// the same pointer is a click, which may flip the button when it toggles.
// Its own cursors show only while it is enabled. UI thread only.
class FButton : public FWidget
{
public:
    using ClickCallback = FDelegate<void(FButton&)>;
    // Asked before a click callback runs; false swallows the click.
    using ClickFilter = FDelegate<bool(FButton&)>;

    // How the state image sits in the rectangle: 0-8 a cell of a 3 x 3 grid
    // (column = placement mod 3, row = placement / 3) at the image's scaled
    // size; 9 the image over the whole rectangle at its own pixel scale.
    static constexpr int32_t k_placementFill = 9;
    static constexpr int32_t k_recordSize = 54;

    explicit FButton(FContainer* parent);
    // The parent argument form the widget factory uses; the button joins the
    // parent's children as the last step of its construction.
    FButton(FContainer* parent, bool addToParent);
    ~FButton() override;

    bool containsPoint(const FPointI& point) override;
    void setVisible(bool visible) override;
    void draw(FDrawContext& context) override;
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onPointerLeave(int32_t pointer) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;
    void onTargetChange() override;
    // The widget part, skin and caption ids, placement, scale, the caption's
    // alignments and origin, enabled, then six neighbour ids.
    void load(FInStream& stream, FScreenRegistry& registry, std::vector<int32_t>& ids) override;
    void resetPointerState() override;
    void setCursorImage(const FRefT<FCursorImage>& cursor, int32_t pointer) override;

    void setSkin(const FRefT<FSkin>& skin);
    const FRefT<FSkin>& skin() const { return m_skin; }
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    // Stores a clone of the callback (null clears it).
    void setOnClick(const ClickCallback* callback);
    // The click callback in force (null: none); callers copy it with clone.
    ClickCallback* onClick() const { return m_onClick; }
    bool isToggleMode() const { return m_toggleMode; }
    void setToggleMode(bool toggles) { m_toggleMode = toggles; }
    bool isToggled() const { return m_toggled; }
    void setToggled(bool toggled);
    bool isHovered() const { return m_hovered; }
    bool isPressed() const { return m_pressed; }
    int32_t imagePlacement() const { return m_imagePlacement; }
    void setImagePlacement(int32_t placement);
    float imageScale() const { return m_imageScale; }
    void setImageScale(float scale);
    FLabel& caption() { return m_caption; }
    const FRefT<FCursorImage>& ownCursor(int32_t pointer) const { return m_cursors[pointer & 3]; }

    // The skin state the button draws now (FSkin::StateIndex).
    int32_t drawnState() const;
    // The rectangle a point must lie in besides the plain one: the skin's
    // insets applied to the rectangle's edges.
    FRectI hitRect();
    // Where placement 0-8 puts an image of the given size (already scaled).
    FRectI placeImage(FPointI size) const;

    // The UI module's click filter; it keeps ownership. Null: none.
    static void setClickFilter(ClickFilter* filter) { s_clickFilter = filter; }

private:
    const FSkin::StateRecord* stateRecord(int32_t index) const;
    void playStateSound(int32_t index);

    FLabel m_caption{nullptr, false};
    int32_t m_imagePlacement = k_placementFill;
    float m_imageScale = 1.0f;
    FRefT<FSkin> m_skin;
    ClickCallback* m_onClick = nullptr;
    bool m_enabled = true;
    bool m_hovered = false;
    bool m_toggled = false;
    bool m_toggleMode = false;
    bool m_pressed = false;
    FRefT<FCursorImage> m_cursors[k_pointerCount];
    static ClickFilter* s_clickFilter;
};
