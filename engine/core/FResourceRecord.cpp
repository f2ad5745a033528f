#include "core/FResourceRecord.h"

#include "core/FSerializer.h"

std::uint32_t FResourceRecord::serialize(FSerializer& serializer)
{
    std::uint32_t mask = serializer.fieldMask(k_maskKey);
    if (mask & 0x1) {
        serializeValue(serializer, "id_resource", id_resource);
    }
    if (mask & 0x2) {
        serializeValue(serializer, "id_type_resource", id_type_resource);
    }
    if (mask & 0x4) {
        serializeValue(serializer, "file_name", file_name);
    }
    if (mask & 0x8) {
        serializeValue(serializer, "file_prefix", file_prefix);
    }
    if (mask & 0x10) {
        serializeValue(serializer, "file_checksum", file_checksum);
    }
    if (mask & 0x20) {
        serializeValue(serializer, "file_size", file_size);
    }
    return mask;
}
