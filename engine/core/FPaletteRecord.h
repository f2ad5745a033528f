#pragma once

// A colour palette entry of a catalogue item, with the resource that holds
// it. Serializes the fields its field mask selects.

#include "core/FResourceRecord.h"

#include <cstdint>

class FSerializer;

class FPaletteRecord
{
public:
    // Key of the palette mask in the serializer's field masks.
    static constexpr std::int32_t k_maskKey = -999998;

    FPaletteRecord() = default;
    FPaletteRecord(const FPaletteRecord&) = default;
    FPaletteRecord& operator=(const FPaletteRecord&) = default;
    virtual ~FPaletteRecord() = default;

    // Saves or loads, in this order, the fields whose bits are set: 0x1
    // "id_palette", 0x2 "id_type_palette", 0x8 "id_palette_resource" (the
    // resource's id_resource), 0x10 "id_group_color", then with 0x4 the colour
    // as "r", "g", "b" (loading rebuilds it opaque). Returns the mask.
    virtual std::uint32_t serialize(FSerializer& serializer);

    std::int32_t id_palette = -1;
    std::int32_t id_type_palette = -1;
    // Bytes blue, green, red, alpha from the lowest; opaque black at first.
    std::uint32_t color = 0xFF000000u;
    FResourceRecord resource;
    std::int32_t id_group_color = -1;
};
