#pragma once

// The silhouette of a catalogue item. Serializes both fields, without a mask.

#include <cstdint>

class FSerializer;

class FSilhouetteRecord
{
public:
    FSilhouetteRecord() = default;
    FSilhouetteRecord(const FSilhouetteRecord&) = default;
    FSilhouetteRecord& operator=(const FSilhouetteRecord&) = default;
    virtual ~FSilhouetteRecord() = default;

    // "id_silhouette" and "description".
    virtual void serialize(FSerializer& serializer);

    std::int32_t id_silhouette = 0;
    std::int32_t description = 0;
};
