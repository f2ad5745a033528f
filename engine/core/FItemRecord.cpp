#include "core/FItemRecord.h"

#include "core/FSerializer.h"

namespace {

struct IntField
{
    std::uint32_t bit;
    const char* element;
    std::int32_t FItemRecord::*field;
};

// The integer fields before and after the silhouette, in serialization order.
constexpr IntField k_leadingFields[] = {
    {0x1, "id_item", &FItemRecord::id_item},   {0x10000, "id_model", &FItemRecord::id_model},
    {0x2, "id_store", &FItemRecord::id_store}, {0x4, "id_item_category", &FItemRecord::id_item_category},
    {0x8, "id_brand", &FItemRecord::id_brand}, {0x10, "name", &FItemRecord::name},
    {0x20, "id_sex", &FItemRecord::id_sex},
};
constexpr IntField k_middleFields[] = {
    {0x80, "id_rarity", &FItemRecord::id_rarity},
    {0x100, "id_game", &FItemRecord::id_game},
    {0x200, "cost", &FItemRecord::cost},
    {0x400, "cntpromo", &FItemRecord::cntpromo},
    {0x800, "id_resource_preview", &FItemRecord::id_resource_preview},
};

template <std::size_t N>
void serializeFields(FSerializer& serializer, FItemRecord& record, std::uint32_t mask,
                     const IntField (&fields)[N])
{
    for (const IntField& field : fields) {
        if (mask & field.bit) {
            serializeValue(serializer, field.element, record.*field.field);
        }
    }
}

} // namespace

std::uint32_t FItemRecord::serialize(FSerializer& serializer)
{
    std::uint32_t mask = serializer.fieldMask(k_maskKey);
    serializeFields(serializer, *this, mask, k_leadingFields);
    if (mask & 0x40) {
        serializeValue(serializer, "id_silhouette", silhouette.id_silhouette);
    }
    serializeFields(serializer, *this, mask, k_middleFields);
    if (mask & 0x1000) {
        serializeContainer(serializer, "list_id_palettes", palettes);
    }
    if (mask & 0x2000) {
        serializeValue(serializer, "qty", qty);
    }
    if (mask & 0x4000) {
        provenance.serialize(serializer);
    }
    if (mask & 0x8000) {
        serializeContainer(serializer, "list_resources", resources);
    }
    return mask;
}
