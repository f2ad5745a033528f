#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One entry of a named sequence in a GW video header: a key-frame index, a
// kind and thirteen values that the player keeps for whoever reads them.
struct FGWVideoSequenceEntry
{
    static constexpr int k_valueCount = 13;
    // Bytes an entry takes in the file: key, kind, group flag, the values.
    static constexpr int64_t k_fileSize = 4 + 4 + 1 + 4 * k_valueCount;

    uint32_t m_key = 0;
    uint32_t m_kind = 0;
    std::array<uint32_t, k_valueCount> m_values{};
};

// A named sequence: its entries split into groups (a set group flag starts a
// new one; the first entry always does).
struct FGWVideoSequence
{
    std::string m_name;
    bool m_loop = false;
    std::vector<std::vector<FGWVideoSequenceEntry>> m_groups;
};
