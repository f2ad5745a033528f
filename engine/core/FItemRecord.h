#pragma once

// A catalogue item with its silhouette, provenance, palettes and resources.
// Serializes the fields its field mask selects.

#include "core/FPaletteRecord.h"
#include "core/FProvenanceRecord.h"
#include "core/FResourceRecord.h"
#include "core/FSilhouetteRecord.h"

#include <cstdint>
#include <vector>

class FSerializer;

class FItemRecord
{
public:
    // Key of the item mask in the serializer's field masks.
    static constexpr std::int32_t k_maskKey = -1000000;

    FItemRecord() = default;
    FItemRecord(const FItemRecord&) = default;
    FItemRecord& operator=(const FItemRecord&) = default;
    virtual ~FItemRecord() = default;

    // Saves or loads, in this order, the fields whose bits are set: 0x1
    // "id_item", 0x10000 "id_model", 0x2 "id_store", 0x4 "id_item_category",
    // 0x8 "id_brand", 0x10 "name", 0x20 "id_sex", 0x40 "id_silhouette", 0x80
    // "id_rarity", 0x100 "id_game", 0x200 "cost", 0x400 "cntpromo", 0x800
    // "id_resource_preview", 0x1000 the array "list_id_palettes", 0x2000 "qty",
    // 0x4000 the provenance's own fields, 0x8000 the array "list_resources".
    // Returns the mask.
    virtual std::uint32_t serialize(FSerializer& serializer);

    std::int32_t id_item = 0;
    std::int32_t id_model = 0;
    std::int32_t id_store = 0;
    std::int32_t id_item_category = 0;
    std::int32_t id_brand = 0;
    std::int32_t name = 0;
    std::int32_t id_sex = 0;
    FSilhouetteRecord silhouette;
    std::int32_t id_rarity = 0;
    std::int32_t id_game = 0;
    std::int32_t cost = 0;
    std::int32_t cntpromo = 0;
    std::int32_t id_resource_preview = 0;
    std::int32_t qty = 0;
    std::vector<FPaletteRecord> palettes;
    FProvenanceRecord provenance;
    std::vector<FResourceRecord> resources;
};
