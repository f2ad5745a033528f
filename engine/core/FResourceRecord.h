#pragma once

// A downloadable resource of the catalogue: a file with its name, prefix,
// checksum and size. Serializes the fields its field mask selects.

#include "core/FString.h"

#include <cstdint>

class FSerializer;

class FResourceRecord
{
public:
    // Key of the resource mask in the serializer's field masks.
    static constexpr std::int32_t k_maskKey = -999997;

    FResourceRecord() = default;
    FResourceRecord(const FResourceRecord&) = default;
    FResourceRecord& operator=(const FResourceRecord&) = default;
    virtual ~FResourceRecord() = default;

    // Saves or loads the fields whose bits are set in the mask: 0x1 id_resource,
    // 0x2 id_type_resource, 0x4 file_name, 0x8 file_prefix, 0x10 file_checksum,
    // 0x20 file_size. Returns the mask.
    virtual std::uint32_t serialize(FSerializer& serializer);

    std::int32_t id_resource = -1;
    std::int32_t id_type_resource = -1;
    FString file_name;
    FString file_prefix;
    FString file_checksum;
    std::int32_t file_size = 0;
    // Copied with the record, never serialized.
    FString note;
};
