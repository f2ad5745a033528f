#include "image/FJpegBitReader.h"

#include "core/FErrorMessage.h"
#include "io/FInStream.h"

#include <string>

void FJpegBitReader::reset()
{
    m_bits = 0;
    m_stuffed = 0;
    m_count = 0;
    m_stopped = false;
    m_stopByte = 0;
}

int32_t FJpegBitReader::decodeLong(const FJpegHuffmanTable& table, uint64_t bits, int64_t count,
                                   FInStream* stream, int32_t stopByte, int32_t& length)
{
    // Codes longer than the lookup, one bit at a time.
    int32_t code = 0;
    for (int32_t l = 1; l <= table.m_longest; ++l) {
        code = (code << 1) | static_cast<int32_t>((bits >> (64 - l)) & 1u);
        if (code <= table.m_maxCode[l]) {
            length = l;
            return table.valueOf(l, code);
        }
    }
    if (table.m_longest > count) failPastData(stream, stopByte);
    ZIBBO_FAIL(msgFileCorrupted, "Huffman: code (" << code << ") < maxcode[ml (" << table.m_longest << ")] ("
                                                   << table.m_maxCode[table.m_longest] << ")");
}

void FJpegBitReader::failPastData(FInStream* stream, int32_t stopByte)
{
    if (stopByte < 0) {
        // The data ended: the stream reports it the way every short read does.
        for (;;)
            stream->readUInt8();
    }
    ZIBBO_FAIL(msgFileCorrupted, "Escape: supp (" << stopByte << ") == 0xff || supp == 0x00");
}

void FJpegBitReader::returnUnusedBytes()
{
    // The bits left of the last byte begun are padding; whole bytes behind
    // them were read ahead and go back.
    const int32_t count = static_cast<int32_t>(m_count);
    const int32_t partial = count % 8;
    int32_t rawBytes = 0;
    for (int32_t top = 63 - partial; top >= 63 - count + 8; top -= 8)
        rawBytes += ((m_stuffed >> top) & 1u) != 0 ? 2 : 1;
    FInStreambuf* buffer = m_stream->buffer();
    for (int32_t i = 0; i < rawBytes; ++i)
        buffer->sungetc();
    reset();
}
