#pragma once

// Where a catalogue item comes from. Serializes both fields, without a mask.

#include <cstdint>

class FSerializer;

class FProvenanceRecord
{
public:
    FProvenanceRecord() = default;
    FProvenanceRecord(const FProvenanceRecord&) = default;
    FProvenanceRecord& operator=(const FProvenanceRecord&) = default;
    virtual ~FProvenanceRecord() = default;

    // "id_provenance_relatif" and "id_type_provenance".
    virtual void serialize(FSerializer& serializer);

    std::int32_t id_provenance_relatif = 0;
    std::int32_t id_type_provenance = 0;
};
