#pragma once

#include "asset/FAsset.h"

#include <cstdint>

// An asset that is a file's bytes in memory (game data, scripts, tables).
// Its data holder lives as long as the asset; a load replaces the block under
// every handle to it. Releasing the data does nothing, so an unloaded asset
// keeps its bytes until it loads again or goes away.
class FRawData : public FAsset
{
public:
    FRawData();

    // The raw-data loader's load: the whole source into a new block.
    void readAll();

    // The holder of the bytes (its target is null until loaded).
    const FRef& dataHandle() const { return m_data; }
    const uint8_t* data() const { return static_cast<const uint8_t*>(m_data.get()); }
    int64_t dataSize() const { return m_dataSize; }

private:
    FRef m_data;
    int64_t m_dataSize = 0;
};
