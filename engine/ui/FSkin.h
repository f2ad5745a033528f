#pragma once

#include "asset/FAsset.h"
#include "core/FRef.h"

#include <array>
#include <cstdint>

// A button style made of other assets: per button state an image, a font and
// a sound, with colours and values for the widgets that draw with it, and
// four insets. A skin decodes nothing itself; it forwards its references and
// users to its parts, exactly as often as it holds them, and gives them back
// when it goes.
class FSkin : public FAsset
{
public:
    enum StateIndex { k_normal = 0, k_hover = 1, k_pressed = 2, k_disabled = 3 };

    struct Part
    {
        FRef asset;
        uint32_t colour = 0xFF000000; // A in the top byte, then R, G, B
        int32_t values[2] = {0, 0};
    };

    struct StateRecord
    {
        Part image;
        Part font;
        Part sound;
        int32_t imageId = 0;
        int32_t fontId = 0;
        int32_t soundId = 0;
    };

    ~FSkin() override;

    void complete() override;
    void ensureLoaded() override;
    int32_t addRef() override;
    int32_t release() override;
    void addUser() override;
    void dropUser() override;
    void resolveLinks(FScreenRegistry& registry) override;
    void readKindData(FInStream& reader) override;

    // The insets as fractions of the first state image found (normal,
    // pressed, hover, disabled); all 0 without one.
    std::array<float, 4> getInsets() const;

    const StateRecord& state(int index) const { return m_states[index]; }
    const float* insets() const { return m_insets; }

private:
    // Calls `action` on every part asset that is set.
    template <class Action> void forEachPart(Action action);
    // Moves this skin's references and users from the part's asset to `asset`.
    void replacePart(Part& part, FRef asset);

    float m_insets[4] = {0, 0, 0, 0};
    StateRecord m_states[4];
};
