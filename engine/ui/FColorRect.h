#pragma once

#include "ui/FWidget.h"

// A rectangle filled with one colour (alpha in the top byte, then red,
// green, blue); nothing is drawn while alpha is 0.
class FColorRect : public FWidget
{
public:
    FColorRect(FContainer* parent, bool addToParent);

    void draw(FDrawContext& context) override;
    // The widget part, then red, green, blue and alpha bytes.
    void load(FInStream& stream, FScreenRegistry& registry, std::vector<int32_t>& ids) override;

    uint32_t colour() const { return m_colour; }
    void setColour(uint32_t colour);

private:
    uint32_t m_colour = 0xFF000000u;
};
