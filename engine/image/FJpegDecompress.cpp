#include "image/FJpegDecompress.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "image/FImage.h"
#include "image/FJpegBitReader.h"
#include "image/FJpegHuffmanTable.h"
#include "image/FJpegIdct.h"
#include "image/FYCbCr.h"
#include "io/FInStream.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int32_t k_markerMarker = 0xFF;

// Natural (row-major) position of each zig-zag position.
constexpr uint8_t k_zigZag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                  12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                  35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                  58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The example tables of ITU-T T.81 Annex K (K.1 luminance, K.2 chrominance),
// natural order: quantisation tables 0 and 1 before any is defined.
constexpr uint8_t k_defaultLuminance[64] = {
    16, 11,  10,  16, 24, 40, 51, 61, 12,  12,  14,  19,  26, 58, 60, 55,  14,  13,  16,  24, 40, 57,
    69, 56,  14,  17, 22, 29, 51, 87, 80,  62,  18,  22,  37, 56, 68, 109, 103, 77,  24,  35, 55, 64,
    81, 104, 113, 92, 49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98,  112, 100, 103, 99};
constexpr uint8_t k_defaultChrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                              24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                              99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                              99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// Stands in for an absent quantisation table while the block's coefficients
// are read, so that the missing table is reported after them.
constexpr int32_t k_noQuantisation[64] = {};

std::unique_ptr<int32_t[]> makeTable(const uint8_t* values)
{
    std::unique_ptr<int32_t[]> t(new int32_t[64]);
    for (int i = 0; i < 64; ++i)
        t[i] = values[i];
    return t;
}

} // namespace

FJpegDecompress::FJpegDecompress(FInStream& stream) : m_stream(stream), m_bits(stream)
{
    m_qMatrix[0] = makeTable(k_defaultLuminance);
    m_qMatrix[1] = makeTable(k_defaultChrominance);
}

FJpegDecompress::~FJpegDecompress() = default;

void FJpegDecompress::EngineFreeDeleter::operator()(uint8_t* p) const
{
    engineFree(p);
}

void FJpegDecompress::decode(FImage& image)
{
    FInStreambuf* buffer = m_stream.buffer();
    for (;;) {
        const int32_t b = m_stream.readUInt8();
        if (b != k_markerMarker) {
            if (m_currentMDU >= m_numberMDU)
                ZIBBO_FAIL(msgFileCorrupted, "marker (" << b << ") == k_markerMarker || m_numberMDU ("
                                                        << m_numberMDU << ") > m_currentMDU (" << m_currentMDU
                                                        << ")");
            buffer->sungetc();
            decodeMcus();
            continue;
        }
        const int32_t m = m_stream.readUInt8();
        if (m == 0xFF || m == 0x00) {
            if (m_currentMDU >= m_numberMDU) {
                // Nothing is left to decode: a stuffed byte is stray data, and
                // 0xFF 0xFF is a fill byte before a marker.
                if (m == 0x00)
                    ZIBBO_FAIL(msgFileCorrupted, "marker (" << b << ") == k_markerMarker || m_numberMDU ("
                                                            << m_numberMDU << ") > m_currentMDU ("
                                                            << m_currentMDU << ")");
                buffer->sungetc();
                continue;
            }
            buffer->sungetc();
            buffer->sungetc();
            decodeMcus();
            continue;
        }
        if (m < 0xC0) ZIBBO_FAIL(msgFileCorrupted, "Invalid highMarker (" << (m & 0xF0) << ")");
        switch (m) {
        case 0xC0:
        case 0xC1:
        case 0xC3:
            ZIBBO_LOG(k_logJpeg, false) << "Got Start Of Frame marker.";
            readFrameHeader();
            break;
        case 0xC4:
            ZIBBO_LOG(k_logJpeg, false) << "Got Download Huffman Table marker.";
            readHuffmanTables();
            break;
        case 0xD8:
            ZIBBO_LOG(k_logJpeg, false) << "Got Start Of Image";
            break;
        case 0xD9:
            ZIBBO_LOG(k_logJpeg, false) << "Got End Of Image";
            finishImage(image);
            return;
        case 0xDA:
            ZIBBO_LOG(k_logJpeg, false) << "Got Start Of Scan";
            readScanHeader();
            break;
        case 0xDB:
            ZIBBO_LOG(k_logJpeg, false) << "Got Download Quantization Table";
            readQuantisationTables();
            break;
        case 0xDC:
            ZIBBO_LOG(k_logJpeg, false) << "Got Download Number of Lines";
            readNumberOfLines();
            break;
        case 0xDD:
            ZIBBO_LOG(k_logJpeg, false) << "Got Download Resync Interval";
            readRestartInterval();
            break;
        case 0xDE:
        case 0xDF:
            ZIBBO_LOG(k_logJpeg, false) << "Got hierarchical marker. Skipping";
            skipSegment();
            break;
        default:
            if (m >= 0xC2 && m <= 0xCF)
                ZIBBO_FAIL(msgFileCorrupted, "Unsupported compression (" << (m & 0x0F) << ")");
            if (m >= 0xD0 && m <= 0xD7) break; // restart markers outside the data mean nothing here
            if (m <= 0xEF)
                ZIBBO_LOG(k_logJpeg, false) << "Got Application-specific marker. Skipping.";
            else
                ZIBBO_LOG(k_logJpeg, false) << "Got Jpeg-specific marker. Skipping.";
            skipSegment();
            break;
        }
    }
}

int32_t FJpegDecompress::readSegmentLength()
{
    return m_stream.readUInt16();
}

void FJpegDecompress::skipSegment()
{
    const int32_t length = readSegmentLength();
    // The length counts its own two bytes; a smaller one would move backwards.
    if (length < 2) ZIBBO_FAIL(msgFileCorrupted, "Segment: length (" << length << ") >= 2");
    char scratch[256];
    int32_t left = length - 2;
    while (left > 0) {
        const int32_t chunk = std::min<int32_t>(left, sizeof scratch);
        if (m_stream.buffer()->sgetn(scratch, chunk) != chunk)
            m_stream.readUInt8(); // past the end: the stream's own failure
        left -= chunk;
    }
}

void FJpegDecompress::computeGeometry()
{
    m_hMax = 1;
    m_vMax = 1;
    for (const Component& c : m_components) {
        m_hMax = std::max(m_hMax, c.m_h);
        m_vMax = std::max(m_vMax, c.m_v);
    }
    for (Component& c : m_components) {
        if (c.m_h <= 0) continue;
        c.m_planeWidth = (c.m_h * m_globalWidth - 1) / m_hMax + 1;
        c.m_planeHeight = m_globalHeight == 0 ? 0 : (c.m_v * m_globalHeight - 1) / m_vMax + 1;
    }
    m_MDUWide = ((m_globalWidth - 1) / m_hMax) / 8 + 1;
    m_MDUHigh = m_globalHeight == 0 ? 0 : ((m_globalHeight - 1) / m_vMax) / 8 + 1;
}

void FJpegDecompress::checkGeometry() const
{
    for (const Component& c : m_components) {
        if (c.m_h <= 0) continue;
        const int32_t testWide = (c.m_planeWidth - 1) / c.m_h / 8 + 1;
        if (testWide != m_MDUWide)
            ZIBBO_FAIL(msgFileCorrupted, "m_MDUWide (" << m_MDUWide << ") == testWide (" << testWide << ")");
        if (m_MDUHigh > 0) {
            const int32_t testHigh = (c.m_planeHeight - 1) / c.m_v / 8 + 1;
            if (testHigh != m_MDUHigh)
                ZIBBO_FAIL(msgFileCorrupted,
                           "m_MDUHigh (" << m_MDUHigh << ") == testHigh (" << testHigh << ")");
        }
    }
}

void FJpegDecompress::readFrameHeader()
{
    // Rows converted so far were placed for the old frame.
    m_pixels.reset();
    const int32_t length = readSegmentLength();
    const int32_t precision = m_stream.readUInt8();
    if (precision != 8) ZIBBO_FAIL(msgFileCorrupted, "SOF: m_dataPrecision (" << precision << ") != 8");
    m_globalHeight = m_stream.readUInt16();
    m_globalWidth = m_stream.readUInt16();
    for (Component& c : m_components)
        c = Component();
    m_globalNumberComponents = m_stream.readUInt8();
    if (m_globalNumberComponents != 3)
        ZIBBO_FAIL(msgFileCorrupted,
                   "SOF: m_globalNumberComponents (" << m_globalNumberComponents << ") != 3");
    for (int32_t i = 0; i < m_globalNumberComponents; ++i) {
        const int32_t id = m_stream.readUInt8();
        const int32_t hv = m_stream.readUInt8();
        const int32_t tq = m_stream.readUInt8();
        Component& c = m_components[id];
        c.m_h = hv >> 4;
        c.m_v = hv & 15;
        c.m_quantTable = tq;
        // Factors of 0 would divide by zero below, and a table id past the
        // last table would read outside the tables.
        if (c.m_h < 1 || c.m_h > 4 || c.m_v < 1 || c.m_v > 4)
            ZIBBO_FAIL(msgFileCorrupted,
                       "SOF: component (" << id << ") H (" << c.m_h << ") and V (" << c.m_v << ") in 1..4");
        if (tq >= k_maximumDevices)
            ZIBBO_FAIL(msgFileCorrupted,
                       "SOF: component (" << id << ") quantization table (" << tq << ") < k_maximumDevices");
    }
    if (m_globalWidth > k_maximumDimension || m_globalHeight > k_maximumDimension)
        ZIBBO_FAIL(msgFileCorrupted, "SOF: m_globalWidth (" << m_globalWidth << ") <= " << k_maximumDimension
                                                            << " && m_globalHeight (" << m_globalHeight
                                                            << ") <= " << k_maximumDimension);
    computeGeometry();
    checkGeometry();
    if (length - 2 != 3 * m_globalNumberComponents + 6)
        ZIBBO_FAIL(msgFileCorrupted, "SOF: length (" << length - 2
                                                     << ") == 1+2+2+1+ 3 * m_globalNumberComponents ("
                                                     << m_globalNumberComponents << ")");
}

void FJpegDecompress::readQuantisationTables()
{
    int32_t left = readSegmentLength() - 2;
    while (left > 0) {
        const int32_t pqtq = m_stream.readUInt8();
        const int32_t precision = pqtq >> 4;
        if (precision > 1) ZIBBO_FAIL(msgFileCorrupted, "DQT: precision (" << precision << ") <= 1");
        std::unique_ptr<int32_t[]>& table = m_qMatrix[pqtq & 15];
        if (!table) table.reset(new int32_t[64]());
        for (int32_t k = 0; k < 64; ++k) {
            int32_t value = precision == 0 ? m_stream.readUInt8() : m_stream.readUInt16();
            if (k == 0 && value == 0) value = 16;
            table[k_zigZag[k]] = value;
        }
        left -= 1 + 64 * (precision + 1);
    }
}

void FJpegDecompress::readHuffmanTables()
{
    int32_t left = readSegmentLength() - 2;
    while (left > 0) {
        const int32_t tcth = m_stream.readUInt8();
        const int32_t tableClass = tcth >> 4;
        const int32_t id = tcth & 15;
        if (tableClass > 1) ZIBBO_FAIL(msgFileCorrupted, "DHT: class (" << tableClass << ") <= 1");
        uint8_t counts[16];
        int32_t accum = 0;
        for (uint8_t& count : counts) {
            count = m_stream.readUInt8();
            accum += count;
        }
        if (accum > k_huffmanValueIndex)
            ZIBBO_FAIL(msgFileCorrupted, "DHT: accum (" << accum << ") < k_huffmanValueIndex");
        uint8_t values[k_huffmanValueIndex];
        for (int32_t i = 0; i < accum; ++i)
            values[i] = m_stream.readUInt8();
        auto table = std::make_unique<FJpegHuffmanTable>();
        table->build(counts, values, tableClass == 0);
        if (tableClass == 0) {
            m_dcTables[id] = std::move(table);
            m_numberDCTables = std::max(m_numberDCTables, id + 1);
        } else {
            m_acTables[id] = std::move(table);
            m_numberACTables = std::max(m_numberACTables, id + 1);
        }
        left -= 17 + accum;
    }
}

void FJpegDecompress::readNumberOfLines()
{
    const int32_t length = readSegmentLength();
    if (length != 6) ZIBBO_FAIL(msgFileCorrupted, "DNL: markerLength (" << length - 2 << ") == 4");
    const int32_t height = m_stream.readUInt16();
    // The planes were made for the height known at the scan; a larger one
    // would put rows outside them.
    if (m_yOut && height > m_allocatedHeight)
        ZIBBO_FAIL(msgFileCorrupted,
                   "DNL: m_globalHeight (" << height << ") <= scan height (" << m_allocatedHeight << ")");
    m_globalHeight = height;
    if (!m_yOut) return;
    // The rows move: the end of the image converts them all again.
    m_pixels.reset();
    computeGeometry();
    checkGeometry();
    if (m_globalHeight <= 0 || m_globalWidth <= 0)
        ZIBBO_FAIL(msgFileCorrupted, "m_globalHeight (" << m_globalHeight << ") > 0 && m_globalWidth ("
                                                        << m_globalWidth << ") > 0");
    if (m_MDUWide <= 0 || m_MDUHigh <= 0)
        ZIBBO_FAIL(msgFileCorrupted,
                   "m_MDUWide (" << m_MDUWide << ") > 0 && m_MDUHigh (" << m_MDUHigh << ") > 0");
    for (int32_t s = 0; s < m_scanComponents; ++s) {
        OutputRecord& out = m_outDU[s];
        out.m_planeWidth = m_components[out.m_component].m_planeWidth;
        out.m_planeHeight = m_components[out.m_component].m_planeHeight;
    }
    m_numberMDU = m_MDUWide * m_MDUHigh;
}

void FJpegDecompress::readRestartInterval()
{
    const int32_t length = readSegmentLength();
    if (length != 4) ZIBBO_FAIL(msgFileCorrupted, "DRI: markerLength (" << length - 2 << ") == 2");
    // Kept only: the entropy decoder does not act on restart intervals.
    m_restartInterval = m_stream.readUInt16();
}

void FJpegDecompress::readScanHeader()
{
    const int32_t length = readSegmentLength();
    const int32_t count = m_stream.readUInt8();
    if (count >= 4)
        ZIBBO_FAIL(msgFileCorrupted, "SOS: m_numberComponents ("
                                         << count << ") <= k_maximumComponents && "
                                         << "m_scan.m_numberComponents <= k_maximumSources");
    // The planes have room for one interleaved scan of the three components.
    if (count != k_maximumSources)
        ZIBBO_FAIL(msgFileCorrupted,
                   "SOS: m_scan.m_numberComponents (" << count << ") == " << k_maximumSources);
    int32_t ids[k_maximumSources];
    int32_t tables[k_maximumSources];
    for (int32_t i = 0; i < count; ++i) {
        ids[i] = m_stream.readUInt8();
        tables[i] = m_stream.readUInt8();
    }
    for (int32_t i = 0; i < 3; ++i)
        m_stream.readUInt8(); // spectral selection and successive approximation
    if (length - 2 != 2 * count + 4)
        ZIBBO_FAIL(msgFileCorrupted,
                   "SOS: length (" << length - 2 << ") == 1 + m_numberComponents (" << count << ") * 2 + 3");
    // One scan carries the whole image: a second one would drop the first's
    // samples.
    if (m_yOut)
        ZIBBO_FAIL(msgFileCorrupted,
                   "SOS: m_yOut (" << static_cast<const void*>(m_yOut.get()) << ") == NULL");
    if (m_MDUWide <= 0 || m_MDUHigh <= 0)
        ZIBBO_FAIL(msgFileCorrupted,
                   "m_MDUWide (" << m_MDUWide << ") > 0 && m_MDUHigh (" << m_MDUHigh << ") > 0");
    if (m_globalHeight <= 0 || m_globalWidth <= 0)
        ZIBBO_FAIL(msgFileCorrupted, "SOS: m_globalHeight (" << m_globalHeight << ") > 0 && m_globalWidth ("
                                                             << m_globalWidth << ") > 0");
    std::size_t total = 0;
    for (int32_t i = 0; i < count; ++i) {
        const Component& c = m_components[ids[i]];
        if (c.m_h <= 0) ZIBBO_FAIL(msgFileCorrupted, "SOS: component (" << ids[i] << ") is in the frame");
        OutputRecord& out = m_outDU[i];
        out = OutputRecord();
        out.m_component = ids[i];
        out.m_dcTable = tables[i] >> 4;
        out.m_acTable = tables[i] & 15;
        out.m_blocksAcross = c.m_h;
        out.m_blocksDown = c.m_v;
        out.m_quantTable = c.m_quantTable;
        out.m_planeWidth = c.m_planeWidth;
        out.m_planeHeight = c.m_planeHeight;
        total += static_cast<std::size_t>(c.m_planeWidth) * static_cast<std::size_t>(c.m_planeHeight);
    }
    // Samples that the data never reaches are cleared at the end of the image.
    m_yOut.reset(static_cast<uint8_t*>(std::malloc(total == 0 ? 1 : total)));
    if (!m_yOut) ZIBBO_FAIL(msgSystemError, "malloc (" << static_cast<uint64_t>(total) << ") (NULL)");
    uint8_t* plane = m_yOut.get();
    for (int32_t i = 0; i < count; ++i) {
        m_outDU[i].m_plane = plane;
        plane += static_cast<std::size_t>(m_outDU[i].m_planeWidth) * m_outDU[i].m_planeHeight;
    }
    m_scanComponents = count;
    m_allocatedHeight = m_globalHeight;
    m_numberMDU = m_MDUWide * m_MDUHigh;
    // Blocks go where this grid puts them, whatever later segments say.
    m_scanMDUWide = m_MDUWide;
    m_scanMDUHigh = m_MDUHigh;
    startConversion();
}

// ---- Entropy-coded data ----

void FJpegDecompress::decodeBlock(OutputRecord& out, int32_t* block)
{
    FJpegBitReader bits = m_bits;
    if (out.m_dcTable >= m_numberDCTables)
        ZIBBO_FAIL(msgFileCorrupted,
                   "DC: index (" << out.m_dcTable << ") < m_numberDCTables (" << m_numberDCTables << ")");
    const FJpegHuffmanTable* dc = m_dcTables[out.m_dcTable].get();
    if (dc == nullptr)
        ZIBBO_FAIL(msgFileCorrupted, "DC: m_x (" << static_cast<const void*>(nullptr) << ") && m_d ("
                                                 << static_cast<const void*>(nullptr) << ")");
    const uint32_t dcEntry = bits.peekValue(*dc);
    int32_t difference = 0;
    if (dcEntry != 0) {
        bits.skip(FJpegHuffmanTable::fastTotalLength(dcEntry));
        difference = FJpegHuffmanTable::fastValue(dcEntry);
    } else {
        const int32_t magnitude = bits.decode(*dc);
        // Eight-bit samples need at most 11 bits of DC difference; more would
        // overflow the reader.
        if (magnitude > 11) {
            bits.checkData();
            ZIBBO_FAIL(msgFileCorrupted, "DC: magnitude (" << magnitude << ") <= 11");
        }
        if (magnitude != 0) difference = bits.receiveExtend(magnitude);
    }
    out.m_predictor =
        static_cast<int32_t>(static_cast<uint32_t>(out.m_predictor) + static_cast<uint32_t>(difference));

    if (out.m_acTable >= m_numberACTables)
        ZIBBO_FAIL(msgFileCorrupted,
                   "AC: index (" << out.m_acTable << ") < m_numberACTables (" << m_numberACTables << ")");
    const FJpegHuffmanTable* ac = m_acTables[out.m_acTable].get();
    if (ac == nullptr)
        ZIBBO_FAIL(msgFileCorrupted, "AC: m_x (" << static_cast<const void*>(nullptr) << ") && m_d ("
                                                 << static_cast<const void*>(nullptr) << ")");
    const int32_t* q = m_qMatrix[out.m_quantTable].get();
    const int32_t* quant = q != nullptr ? q : k_noQuantisation;

    // Coefficients are dequantised and scaled by 256 as they arrive; the
    // arithmetic wraps so that corrupt data cannot overflow.
    auto scaled = [quant](int32_t value, int32_t pos) {
        return static_cast<int32_t>((static_cast<uint32_t>(value) * static_cast<uint32_t>(quant[pos])) << 8);
    };
    uint32_t rowMask = 1;
    uint32_t acRowMask = 0;
    block[0] = scaled(out.m_predictor, 0);
    for (int32_t k = 1; k < 64;) {
        int32_t value = 0;
        const uint32_t entry = bits.peekValue(*ac);
        if (entry != 0) {
            // A code and its value in one look-up (sizes of 1 or more only).
            k += FJpegHuffmanTable::fastSymbol(entry) >> 4;
            if (k > 63) {
                bits.skip(FJpegHuffmanTable::fastCodeLength(entry));
                break;
            }
            bits.skip(FJpegHuffmanTable::fastTotalLength(entry));
            value = FJpegHuffmanTable::fastValue(entry);
        } else {
            const int32_t rs = bits.decode(*ac);
            const int32_t s = rs & 15;
            const int32_t r = rs >> 4;
            if (s == 0) {
                if (r != 15) break;
                k += 16;
                continue;
            }
            k += r;
            if (k > 63) break;
            value = bits.receiveExtend(s);
        }
        const int32_t pos = k_zigZag[k];
        block[pos] = scaled(value, pos);
        rowMask |= 1u << (pos >> 3);
        acRowMask |= ((pos & 7) != 0 ? 1u : 0u) << (pos >> 3);
        ++k;
    }
    bits.checkData();
    m_bits = bits;
    if (q == nullptr) ZIBBO_FAIL(msgFileCorrupted, "qmatrix (NULL)");

    const int32_t x = out.m_blockX;
    const int32_t y = out.m_blockY;
    const int32_t cols = std::min(8, out.m_planeWidth - x);
    const int32_t rows = std::min(8, out.m_planeHeight - y);
    if (cols > 0 && rows > 0)
        FJpegIdct::transform(block, rowMask, acRowMask,
                             out.m_plane + static_cast<std::ptrdiff_t>(y) * out.m_planeWidth + x,
                             out.m_planeWidth, cols, rows);
    for (uint32_t r = 0; r < 8; ++r)
        if ((rowMask >> r) & 1u) std::memset(block + r * 8, 0, 8 * sizeof(int32_t));
}

void FJpegDecompress::decodeMcus()
{
    // The tables cannot change while the data runs: markers are read between
    // calls. With a table missing, every block goes through the checked path,
    // which reports the fault where the block needs the table.
    if (prepareLeanTables()) {
        decodeMcusLean();
        return;
    }
    m_bits.reset();
    alignas(32) int32_t block[64] = {};
    while (m_currentMDU < m_numberMDU) {
        const int32_t mcuX = m_currentMDU % m_scanMDUWide;
        const int32_t mcuY = m_currentMDU / m_scanMDUWide;
        for (int32_t s = 0; s < m_scanComponents; ++s) {
            OutputRecord& out = m_outDU[s];
            for (int32_t by = 0; by < out.m_blocksDown; ++by) {
                for (int32_t bx = 0; bx < out.m_blocksAcross; ++bx) {
                    out.m_blockX = (mcuX * out.m_blocksAcross + bx) * 8;
                    out.m_blockY = (mcuY * out.m_blocksDown + by) * 8;
                    decodeBlock(out, block);
                }
            }
        }
        ++m_currentMDU;
        convertDecodedRows();
    }
    m_bits.returnUnusedBytes();
}

bool FJpegDecompress::prepareLeanTables()
{
    for (int32_t s = 0; s < m_scanComponents; ++s) {
        const OutputRecord& out = m_outDU[s];
        if (out.m_dcTable >= m_numberDCTables || out.m_acTable >= m_numberACTables) return false;
        const int32_t* q = m_qMatrix[out.m_quantTable].get();
        m_leanDc[s] = m_dcTables[out.m_dcTable].get();
        m_leanAc[s] = m_acTables[out.m_acTable].get();
        if (m_leanDc[s] == nullptr || m_leanAc[s] == nullptr || q == nullptr) return false;
        // (v x q) << 8 and v x (q << 8) agree modulo 2^32.
        for (int32_t k = 0; k < 64; ++k)
            m_leanQuant[s][k] = static_cast<uint32_t>(q[k_zigZag[k]]) << 8;
    }
    return true;
}

namespace {

// The rows (bit r for row r) among the positions set in a natural-order mask
// of the block.
inline uint32_t jpegRowsOf(uint64_t positions)
{
    positions |= positions >> 4;
    positions |= positions >> 2;
    positions |= positions >> 1;
    positions &= 0x0101010101010101ull;
    return static_cast<uint32_t>((positions * 0x0102040810204080ull) >> 56);
}

// One block with the reader's state, the tables and the block in registers;
// the same coefficients and failures as FJpegDecompress::decodeBlock with
// every table present. Answers the natural-order mask of the positions
// written (the DC always). Kept out of the MCU loop, whose own variables
// would otherwise push the reader's state out of the registers.
__attribute__((noinline)) uint64_t jpegLeanBlock(FJpegBitReader& reader, const FJpegHuffmanTable& dc,
                                                 const FJpegHuffmanTable& ac, const uint32_t* quant,
                                                 int32_t& predictor, int32_t* block)
{
    FJpegBitReader bits = reader;
    const uint32_t dcEntry = bits.peekValue(dc);
    int32_t difference = 0;
    if (dcEntry != 0) {
        bits.skip(FJpegHuffmanTable::fastTotalLength(dcEntry));
        difference = FJpegHuffmanTable::fastValue(dcEntry);
    } else {
        const int32_t magnitude = bits.decode(dc);
        if (magnitude > 11) {
            bits.checkData();
            ZIBBO_FAIL(msgFileCorrupted, "DC: magnitude (" << magnitude << ") <= 11");
        }
        if (magnitude != 0) difference = bits.receiveExtend(magnitude);
    }
    predictor = static_cast<int32_t>(static_cast<uint32_t>(predictor) + static_cast<uint32_t>(difference));
    block[0] = static_cast<int32_t>(static_cast<uint32_t>(predictor) * quant[0]);

    uint64_t written = 1;
    for (int32_t k = 1; k < 64;) {
        int32_t value = 0;
        const uint32_t entry = bits.peekValue(ac);
        if (__builtin_expect(entry != 0, 1)) {
            k += FJpegHuffmanTable::fastSymbol(entry) >> 4;
            if (k > 63) {
                bits.skip(FJpegHuffmanTable::fastCodeLength(entry));
                break;
            }
            bits.skip(FJpegHuffmanTable::fastTotalLength(entry));
            value = FJpegHuffmanTable::fastValue(entry);
        } else {
            const int32_t rs = bits.decode(ac);
            const int32_t size = rs & 15;
            const int32_t run = rs >> 4;
            if (size == 0) {
                if (run != 15) break;
                k += 16;
                continue;
            }
            k += run;
            if (k > 63) break;
            value = bits.receiveExtend(size);
        }
        const uint32_t pos = k_zigZag[k];
        block[pos] = static_cast<int32_t>(static_cast<uint32_t>(value) * quant[k]);
        written |= uint64_t{1} << pos;
        ++k;
    }
    bits.checkData();
    reader = bits;
    return written;
}

} // namespace

void FJpegDecompress::decodeMcusLean()
{
    m_bits.reset();
    FJpegBitReader bits = m_bits;
    alignas(32) int32_t block[64] = {};
    while (m_currentMDU < m_numberMDU) {
        const int32_t mcuX = m_currentMDU % m_scanMDUWide;
        const int32_t mcuY = m_currentMDU / m_scanMDUWide;
        for (int32_t s = 0; s < m_scanComponents; ++s) {
            OutputRecord& out = m_outDU[s];
            const FJpegHuffmanTable& dc = *m_leanDc[s];
            const FJpegHuffmanTable& ac = *m_leanAc[s];
            const uint32_t* quant = m_leanQuant[s];
            const int32_t across = out.m_blocksAcross;
            const int32_t down = out.m_blocksDown;
            const int32_t width = out.m_planeWidth;
            const int32_t height = out.m_planeHeight;
            int32_t predictor = out.m_predictor;
            for (int32_t by = 0; by < down; ++by) {
                const int32_t y = (mcuY * down + by) * 8;
                for (int32_t bx = 0; bx < across; ++bx) {
                    const int32_t x = (mcuX * across + bx) * 8;
                    const uint64_t written = jpegLeanBlock(bits, dc, ac, quant, predictor, block);
                    const uint32_t rowMask = jpegRowsOf(written);
                    const int32_t cols = std::min(8, width - x);
                    const int32_t rows = std::min(8, height - y);
                    if (cols > 0 && rows > 0)
                        FJpegIdct::transform(block, rowMask, jpegRowsOf(written & 0xFEFEFEFEFEFEFEFEull),
                                             out.m_plane + static_cast<std::ptrdiff_t>(y) * width + x, width,
                                             cols, rows);
                    for (uint32_t r = 0; r < 8; ++r)
                        if ((rowMask >> r) & 1u) std::memset(block + r * 8, 0, 8 * sizeof(int32_t));
                }
            }
            out.m_predictor = predictor;
        }
        ++m_currentMDU;
        convertDecodedRows();
    }
    m_bits = bits;
    m_bits.returnUnusedBytes();
}

// ---- End of image ----

bool FJpegDecompress::chromaFactors(int32_t& fx, int32_t& fy) const
{
    const OutputRecord& y = m_outDU[0];
    const OutputRecord& cb = m_outDU[1];
    const OutputRecord& cr = m_outDU[2];
    fx = 0;
    fy = 0;
    if (y.m_planeWidth != m_globalWidth || y.m_planeHeight != m_globalHeight) return false;
    const bool sameChroma = cb.m_blocksAcross == cr.m_blocksAcross && cb.m_blocksDown == cr.m_blocksDown &&
                            cb.m_planeWidth == cr.m_planeWidth && cb.m_planeHeight == cr.m_planeHeight;
    if (!sameChroma || y.m_blocksAcross % cb.m_blocksAcross != 0 || y.m_blocksDown % cb.m_blocksDown != 0)
        return false;
    fx = y.m_blocksAcross / cb.m_blocksAcross;
    fy = y.m_blocksDown / cb.m_blocksDown;
    const bool known = (fx == fy && (fx == 1 || fx == 2 || fx == 4)) || (fy == 1 && (fx == 2 || fx == 4));
    return known && cb.m_planeWidth >= (m_globalWidth + fx - 1) / fx &&
           cb.m_planeHeight >= (m_globalHeight + fy - 1) / fy;
}

void FJpegDecompress::startConversion()
{
    // Rows are converted as soon as their MCU row is decoded, while the
    // planes are still in the cache. That needs the planes to have the shape
    // the conversion reads; otherwise everything waits for the end of image,
    // which reports what is wrong.
    int32_t fx = 0;
    int32_t fy = 0;
    const OutputRecord& y = m_outDU[0];
    if (!chromaFactors(fx, fy) || y.m_blocksAcross != m_hMax || y.m_blocksDown != m_vMax) return;
    m_pixels.reset(allocatePixels());
    m_convertedRows = 0;
}

uint8_t* FJpegDecompress::allocatePixels() const
{
    const std::size_t size =
        static_cast<std::size_t>(m_globalWidth) * 4 * static_cast<std::size_t>(m_globalHeight);
    uint8_t* pixels = static_cast<uint8_t*>(engineAlloc(k_memImage, size));
    if (pixels == nullptr)
        ZIBBO_FAIL(msgSystemError, "engineAlloc (" << static_cast<uint64_t>(size) << ") (NULL)");
    return pixels;
}

void FJpegDecompress::convertDecodedRows()
{
    if (!m_pixels || m_currentMDU % m_scanMDUWide != 0) return;
    const int32_t done =
        std::min(m_globalHeight, (m_currentMDU / m_scanMDUWide) * 8 * m_outDU[0].m_blocksDown);
    if (done > m_convertedRows) convertRows(m_pixels.get(), m_convertedRows, done);
    m_convertedRows = std::max(m_convertedRows, done);
}

void FJpegDecompress::clearUndecodedSamples()
{
    // Samples of the MCUs that the data never reached read as 0.
    if (m_currentMDU >= m_scanMDUWide * m_scanMDUHigh) return;
    const int32_t mcuX = m_currentMDU % m_scanMDUWide;
    const int32_t mcuY = m_currentMDU / m_scanMDUWide;
    for (int32_t s = 0; s < m_scanComponents; ++s) {
        const OutputRecord& out = m_outDU[s];
        const int32_t top = std::min(out.m_planeHeight, mcuY * out.m_blocksDown * 8);
        const int32_t below = std::min(out.m_planeHeight, top + out.m_blocksDown * 8);
        const int32_t left = std::min(out.m_planeWidth, mcuX * out.m_blocksAcross * 8);
        for (int32_t row = top; row < below; ++row)
            std::memset(out.m_plane + static_cast<std::ptrdiff_t>(row) * out.m_planeWidth + left, 0,
                        static_cast<std::size_t>(out.m_planeWidth - left));
        std::memset(out.m_plane + static_cast<std::ptrdiff_t>(below) * out.m_planeWidth, 0,
                    static_cast<std::size_t>(out.m_planeHeight - below) * out.m_planeWidth);
    }
}

void FJpegDecompress::finishImage(FImage& image)
{
    if (!m_yOut) ZIBBO_FAIL(msgFileCorrupted, "m_yOut (NULL)");
    const OutputRecord& y = m_outDU[0];
    // The conversion reads the planes with the image's size: they must match
    // it, whatever the segments said after the scan.
    if (y.m_planeWidth != m_globalWidth || y.m_planeHeight != m_globalHeight)
        ZIBBO_FAIL(msgFileCorrupted, "EOI: Y plane (" << y.m_planeWidth << " x " << y.m_planeHeight
                                                      << ") == image (" << m_globalWidth << " x "
                                                      << m_globalHeight << ")");
    int32_t fx = 0;
    int32_t fy = 0;
    if (!chromaFactors(fx, fy))
        ZIBBO_FAIL(msgFileCorrupted, "EOI: chroma factor (" << fx << " x " << fy
                                                            << ") of 1, 2 or 4 alike, or 2 or 4 across only");
    clearUndecodedSamples();
    if (!m_pixels) {
        m_pixels.reset(allocatePixels());
        m_convertedRows = 0;
    }
    if (m_convertedRows < m_globalHeight) convertRows(m_pixels.get(), m_convertedRows, m_globalHeight);
    // The rows hold B, G, R, A whatever kind the image was meant to hold.
    image.setPixels({m_globalWidth, m_globalHeight}, k_pixelBgra8, m_pixels.release(), m_globalWidth * 4,
                    1.0f);
}

void FJpegDecompress::convertRows(uint8_t* pixels, int32_t first, int32_t end) const
{
    const OutputRecord& y = m_outDU[0];
    const OutputRecord& cb = m_outDU[1];
    const OutputRecord& cr = m_outDU[2];
    const int32_t w = m_globalWidth;
    const int32_t h = m_globalHeight;
    const int32_t pitch = w * 4;
    const int32_t fx = y.m_blocksAcross / cb.m_blocksAcross;
    const int32_t fy = y.m_blocksDown / cb.m_blocksDown;
    const int32_t ys = y.m_planeWidth;
    const int32_t cs = cb.m_planeWidth;
    // Plane row r is output row h - 1 - r and takes chroma row r / fy.
    auto rowsAt = [&](int32_t r, int32_t count, int32_t f, int32_t chromaRow) {
        const std::ptrdiff_t c = static_cast<std::ptrdiff_t>(chromaRow) * cs;
        convertYCbCrFull(pixels + static_cast<std::ptrdiff_t>(h - r - count) * pitch, pitch, cr.m_plane + c,
                         cb.m_plane + c, f, w, count, ys, cs,
                         y.m_plane + static_cast<std::ptrdiff_t>(r) * ys);
    };
    if (fx != fy) {
        // Subsampled across only: every row has a chroma row of its own.
        for (int32_t r = first; r < end; ++r)
            rowsAt(r, 1, fx, r);
        return;
    }
    // The conversion groups rows from the bottom of what it is given, which
    // matches r / f for runs of whole groups that start on a group; the rows
    // after the last whole group (at the bottom of the picture) go separately.
    const int32_t f = fx;
    const int32_t whole = (end - first) / f * f;
    if (whole > 0) rowsAt(first, whole, f, first / f);
    if (first + whole < end) rowsAt(first + whole, end - first - whole, f, (first + whole) / f);
}
