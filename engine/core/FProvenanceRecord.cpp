#include "core/FProvenanceRecord.h"

#include "core/FSerializer.h"

void FProvenanceRecord::serialize(FSerializer& serializer)
{
    serializeValue(serializer, "id_provenance_relatif", id_provenance_relatif);
    serializeValue(serializer, "id_type_provenance", id_type_provenance);
}
