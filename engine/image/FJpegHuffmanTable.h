#pragma once

#include <cstdint>

// One Huffman table of a JPEG stream: its values and the decoding arrays
// MAXCODE, MINCODE and VALPTR by code length, plus a lookup of the codes of up
// to k_fastBits bits that gives the same answers as the bit-by-bit decode.
struct FJpegHuffmanTable
{
    static constexpr int k_valueCount = 256;
    static constexpr int k_fastBits = 11;

    // Builds the code sizes and codes, then the decoding arrays, from the
    // numbers of codes of each length 1 to 16 (whose sum is at most
    // k_valueCount) and the values in code order. The MAXCODE entry of the
    // longest length is one higher than its last code, so the code after it
    // is taken as well; it reads the unused value slot, which holds 0.
    // A DC table's values are the sizes of the differences that follow the
    // codes; an AC table's values hold the size in their low four bits.
    void build(const uint8_t counts[16], const uint8_t* values, bool dc);

    // Fields of m_fastValue entries.
    static int32_t fastSymbol(uint32_t e) { return static_cast<int32_t>(e & 0xFF); }
    static int32_t fastTotalLength(uint32_t e) { return static_cast<int32_t>((e >> 8) & 15); }
    static int32_t fastCodeLength(uint32_t e) { return static_cast<int32_t>((e >> 12) & 15); }
    static int32_t fastValue(uint32_t e) { return static_cast<int16_t>(e >> 16); }

    // The value of `code`, a code of `length` bits that matched at that length.
    // Canonical codes always land inside the values; the bound only guards
    // against a table that breaks that rule.
    uint8_t valueOf(int32_t length, int32_t code) const
    {
        const uint32_t index = static_cast<uint32_t>(m_valPtr[length] + code - m_minCode[length]);
        return index <= k_valueCount ? m_x[index] : 0;
    }

    uint8_t m_x[k_valueCount + 1] = {};
    int32_t m_maxCode[17] = {};
    int32_t m_minCode[17] = {};
    int32_t m_valPtr[17] = {};
    int32_t m_longest = 0; // the longest code length present, 0 when empty
    // Indexed by the next k_fastBits bits: (length << 8) | value for a code
    // of at most k_fastBits bits, 0 when the code is longer or invalid.
    uint16_t m_fast[1 << k_fastBits] = {};
    // Indexed the same way, for a code and the value bits after it that fit
    // in k_fastBits together (a DC difference, or an AC coefficient of size 1
    // or more): the extended value << 16 | code length << 12 | total length
    // << 8 | symbol; 0 when they do not fit.
    uint32_t m_fastValue[1 << k_fastBits] = {};
};
