#include "tools/contentwriters/WidgetRecordWriter.h"

#include "tools/contentwriters/ByteWriter.h"

namespace {

void part(ByteWriter& out, const WidgetPart& p)
{
    out.i16(p.x).i16(p.y).i16(p.width).i16(p.height).u8(p.layoutFlag).u8(p.visible);
}

void label(ByteWriter& out, const LabelRecord& r)
{
    part(out, r.widget);
    out.i16(r.fontId).i16(r.textId).u8(r.horizontalAlignment).u8(r.verticalAlignment);
    out.i32(r.originX).i32(r.originY).u8(r.red).u8(r.green).u8(r.blue).u8(r.wordWrap);
}

} // namespace

std::vector<uint8_t> writeWidgetPart(const WidgetPart& p)
{
    ByteWriter out;
    part(out, p);
    return out.take();
}

std::vector<uint8_t> writeImageRecord(const ImageRecord& r)
{
    ByteWriter out;
    part(out, r.widget);
    out.i16(r.imageId);
    return out.take();
}

std::vector<uint8_t> writeLabelRecord(const LabelRecord& r)
{
    ByteWriter out;
    label(out, r);
    return out.take();
}

std::vector<uint8_t> writeButtonRecord(const ButtonRecord& r)
{
    ByteWriter out;
    part(out, r.widget);
    out.i16(r.skinId).i16(r.captionId).u8(r.imagePlacement).i32(r.imageScaleThousandths);
    out.u8(r.captionHorizontalAlignment)
        .u8(r.captionVerticalAlignment)
        .i32(r.captionOriginX)
        .i32(r.captionOriginY);
    out.u8(r.enabled);
    for (int32_t id : r.neighbours)
        out.i32(id);
    return out.take();
}

std::vector<uint8_t> writeEditBoxRecord(const EditBoxRecord& r)
{
    ByteWriter out;
    label(out, r.label);
    out.u8(r.selectionBlue).u8(r.selectionGreen).u8(r.selectionRed).u8(r.selectionAlpha);
    out.i32(r.previous).i32(r.next);
    return out.take();
}

std::vector<uint8_t> writeContainerRecord(const ContainerRecord& r)
{
    ByteWriter out;
    part(out, r.widget);
    out.i32(r.scrollX)
        .i32(r.scrollY)
        .i32(r.depthThousandths)
        .i32(r.scaleXThousandths)
        .i32(r.scaleYThousandths);
    out.i16(static_cast<int16_t>(r.children.size()));
    for (const ContainerChild& child : r.children)
        out.i32(child.id).u32(child.type).bytes(child.record);
    return out.take();
}
