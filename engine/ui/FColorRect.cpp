#include "ui/FColorRect.h"

#include "graphics/FShapeEmitter.h"
#include "io/FInStream.h"

FColorRect::FColorRect(FContainer* parent, bool addToParent) : FWidget(parent, addToParent) {}

void FColorRect::draw(FDrawContext& context)
{
    drawDecoration(context);
    if ((m_colour >> 24) > 0) FShapeEmitter::pushColouredPolygon(context, m_colour, rect());
}

void FColorRect::load(FInStream& stream, FScreenRegistry& registry, std::vector<int32_t>& ids)
{
    FWidget::load(stream, registry, ids);
    const uint32_t red = stream.readUInt8();
    const uint32_t green = stream.readUInt8();
    const uint32_t blue = stream.readUInt8();
    const uint32_t alpha = stream.readUInt8();
    setColour(alpha << 24 | red << 16 | green << 8 | blue);
}

void FColorRect::setColour(uint32_t colour)
{
    m_colour = colour;
    requestRedraw();
}
