#include "core/FSilhouetteRecord.h"

#include "core/FSerializer.h"

void FSilhouetteRecord::serialize(FSerializer& serializer)
{
    serializeValue(serializer, "id_silhouette", id_silhouette);
    serializeValue(serializer, "description", description);
}
