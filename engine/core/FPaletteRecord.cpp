#include "core/FPaletteRecord.h"

#include "core/FSerializer.h"

std::uint32_t FPaletteRecord::serialize(FSerializer& serializer)
{
    std::uint32_t mask = serializer.fieldMask(k_maskKey);
    if (mask & 0x1) {
        serializeValue(serializer, "id_palette", id_palette);
    }
    if (mask & 0x2) {
        serializeValue(serializer, "id_type_palette", id_type_palette);
    }
    if (mask & 0x8) {
        serializeValue(serializer, "id_palette_resource", resource.id_resource);
    }
    if (mask & 0x10) {
        serializeValue(serializer, "id_group_color", id_group_color);
    }
    if (mask & 0x4) {
        auto red = static_cast<unsigned char>(color >> 16);
        auto green = static_cast<unsigned char>(color >> 8);
        auto blue = static_cast<unsigned char>(color);
        serializeValue(serializer, "r", red);
        serializeValue(serializer, "g", green);
        serializeValue(serializer, "b", blue);
        if (serializer.isLoading()) {
            color = 0xFF000000u | (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
        }
    }
    return mask;
}
