#pragma once

#include "image/FJpegHuffmanTable.h"
#include "io/FInStream.h"

#include <cstdint>

// Reads the entropy-coded data of a JPEG scan: bits most significant first,
// Huffman codes and the signed values that follow them.
//
// Whole bytes are read ahead into a 64-bit word (a stuffed 0xFF 0x00, and also
// 0xFF 0xFF, give one 0xFF). A marker or the end of the data stops the filling
// and is left in the stream; using bits beyond it is a failure report (see
// checkData). Once the scan is decoded, returnUnusedBytes puts the whole bytes read
// ahead back, so that the stream stands right after the last byte begun.
//
// The decoder keeps a copy in a local variable while it decodes a block, so
// that the state stays in registers.
class FJpegBitReader
{
public:
    explicit FJpegBitReader(FInStream& stream) : m_stream(&stream) {}

    // Drops what was read ahead; decoding starts on a byte boundary.
    void reset();

    // The lookup entry (FJpegHuffmanTable::m_fastValue) of the next bits;
    // makes sure that a code and its value bits are read ahead.
    uint32_t peekValue(const FJpegHuffmanTable& table)
    {
        if (m_count < 32) fill();
        return table.m_fastValue[m_bits >> (64 - FJpegHuffmanTable::k_fastBits)];
    }

    // Moves past bits already looked at.
    void skip(int32_t count) { consume(count); }

    // The value of the next Huffman code of table (T.81 F.2.2.3 DECODE).
    int32_t decode(const FJpegHuffmanTable& table)
    {
        if (m_count < 32) fill();
        const uint16_t entry = table.m_fast[m_bits >> (64 - FJpegHuffmanTable::k_fastBits)];
        if (entry != 0) {
            consume(entry >> 8);
            return entry & 0xFF;
        }
        int32_t length = 0;
        const int32_t value = decodeLong(table, m_bits, m_count, m_stream, m_stopByte, length);
        consume(length);
        return value;
    }

    // The next `bits` bits (1 to 16) as a signed value (T.81 F.2.2.1 EXTEND);
    // right after decode, the bits are already read ahead.
    int32_t receiveExtend(int32_t bits)
    {
        const int32_t value = static_cast<int32_t>(m_bits >> (64 - bits));
        consume(bits);
        return value < (1 << (bits - 1)) ? value - (1 << bits) + 1 : value;
    }

    // Bits past a marker or the end of the data read as zeros; this fails
    // once any of them has been used. Checked after each block and before
    // reporting malformed data (which such bits may have caused).
    void checkData() const
    {
        if (m_count < 0) failPastData(m_stream, m_stopByte);
    }

    void returnUnusedBytes();

private:
    void consume(int32_t count)
    {
        m_bits <<= count;
        m_stuffed <<= count;
        m_count -= count;
    }

    // Inlined where it is used, so that the reader's state can stay in
    // registers while a block is decoded.
    __attribute__((always_inline)) void fill();
    // The slow paths take the state as values: were the reader's address
    // passed on, the compiler would keep its state in memory throughout.
    // decodeLong answers the value of a code longer than the lookup and sets
    // its length.
    static int32_t decodeLong(const FJpegHuffmanTable& table, uint64_t bits, int64_t count, FInStream* stream,
                              int32_t stopByte, int32_t& length);
    [[noreturn]] static void failPastData(FInStream* stream, int32_t stopByte);

    FInStream* m_stream;
    uint64_t m_bits = 0;
    uint64_t m_stuffed = 0; // aligned with m_bits: the top bit of each byte that came as two bytes
    // 64-bit, unlike the coefficients that the decoder stores while it holds
    // the reader, so that those stores cannot be taken to change it.
    int64_t m_count = 0; // bits of data in m_bits
    bool m_stopped = false;
    int32_t m_stopByte = 0; // the byte after 0xFF that stopped the filling, -1 for the end of the data
};

inline void FJpegBitReader::fill()
{
    FInStreambuf* buffer = m_stream->buffer();
    constexpr int32_t eof = std::char_traits<char>::eof();
    while (m_count <= 56 && !m_stopped) {
        const int32_t c = buffer->sgetc();
        if (c == eof) {
            m_stopped = true;
            m_stopByte = -1;
            break;
        }
        buffer->sbumpc();
        if (c == 0xFF) {
            const int32_t follower = buffer->sgetc();
            if (follower != 0x00 && follower != 0xFF) {
                // A marker (or the end of the data): leave it to the marker loop.
                buffer->sungetc();
                m_stopped = true;
                m_stopByte = follower == eof ? -1 : follower;
                break;
            }
            buffer->sbumpc();
            m_stuffed |= uint64_t{1} << (63 - m_count);
        }
        m_bits |= static_cast<uint64_t>(c) << (56 - m_count);
        m_count += 8;
    }
}
