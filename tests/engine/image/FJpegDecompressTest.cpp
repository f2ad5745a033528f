#include "image/FJpegDecompress.h"
#include "image/FJpegHuffmanTable.h"

#include "DecoderTestSupport.h"
#include "JpegStreamBuilder.h"

#include "tools/imagewriters/JpegReference.h"
#include "tools/imagewriters/JpegWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

Bytes jpegOf(int32_t width, int32_t height, JpegOptions options = {}, uint32_t seed = 7)
{
    return writeJpeg(TestPicture::make(width, height, seed), options);
}

// Decodes `jpeg` with the engine's decoder into a fresh image.
void decodeInto(FImage& image, const Bytes& jpeg)
{
    ByteStream bytes(jpeg);
    FJpegDecompress(bytes.stream()).decode(image);
}

const char* samplingName(JpegOptions::Sampling s)
{
    switch (s) {
    case JpegOptions::k444:
        return "4:4:4";
    case JpegOptions::k422:
        return "4:2:2";
    case JpegOptions::k420:
        return "4:2:0";
    case JpegOptions::k440:
        return "4:4:0";
    case JpegOptions::k411:
        return "4:1:1";
    }
    return "?";
}

// Every pixel close to libjpeg-turbo's decode of the same file (accurate
// integer transform, plain chroma replication). The engine's own arithmetic
// sets the bound: its descaling puts negative samples one below a symmetric
// rounding and its colour matrix truncates, so a sample may sit up to 2 below
// the reference in each plane, and blue takes 1.772 times the Cb error on top
// of the luma error and the truncation: at most 7 in any channel. A decoding
// fault (a wrong code, block or chroma sample) shows as far larger errors.
constexpr int k_referenceTolerance = 7;

TEST(FJpegDecompress, MatchesTheReferenceDecoder)
{
    struct Case
    {
        int32_t width, height;
        JpegOptions::Sampling sampling;
        int quality;
    };
    const Case cases[] = {
        {17, 9, JpegOptions::k420, 90},      {1, 1, JpegOptions::k420, 90},
        {2400, 1600, JpegOptions::k420, 85}, {17, 9, JpegOptions::k444, 90},
        {1, 1, JpegOptions::k444, 90},       {2400, 1600, JpegOptions::k444, 85},
        {33, 31, JpegOptions::k420, 100},    {64, 48, JpegOptions::k420, 30},
        {31, 17, JpegOptions::k422, 90},     {45, 13, JpegOptions::k411, 90},
        {2, 3, JpegOptions::k420, 75},
    };
    for (const Case& c : cases) {
        JpegOptions options;
        options.sampling = c.sampling;
        options.quality = c.quality;
        const Bytes jpeg = jpegOf(c.width, c.height, options);
        FImage image;
        decodeInto(image, jpeg);
        const JpegReference reference = JpegReference::decode(jpeg.data(), jpeg.size());
        ASSERT_EQ(image.width(), c.width);
        ASSERT_EQ(image.height(), c.height);
        ASSERT_EQ(image.format(), k_pixelBgra8);
        ASSERT_EQ(image.pitch(), c.width * 4);
        const int difference = maxChannelDifference(topDownPixels(image), reference.bgra);
        std::printf("[ decode   ] %dx%d %s q%d: largest difference %d\n", c.width, c.height,
                    samplingName(c.sampling), c.quality, difference);
        EXPECT_LE(difference, k_referenceTolerance)
            << c.width << "x" << c.height << " " << samplingName(c.sampling);
    }
}

using Builder = JpegStreamBuilder;

// The offset of the first marker `m` (its 0xFF byte).
std::size_t markerOffset(const Bytes& jpeg, uint8_t m)
{
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == m) return i;
    ADD_FAILURE() << "no marker " << int(m);
    return 0;
}

// A 16 x 16 4:2:0 fixture with one byte of its frame header changed
// (offset counted from the frame marker's 0xFF).
Bytes patchedFrame(std::size_t offset, uint8_t value)
{
    Bytes jpeg = jpegOf(16, 16);
    jpeg[markerOffset(jpeg, 0xC0) + offset] = value;
    return jpeg;
}

// A small 4:4:4 stream of flat blocks with the simple tables, changed by the
// caller in one place.
Bytes flatStream(int width, int height)
{
    const int blocks = ((width + 7) / 8) * ((height + 7) / 8) * 3;
    return Builder()
        .soi()
        .frame444(width, height)
        .simpleTables()
        .scan3()
        .raw(Builder::flatBlocks(blocks))
        .eoi()
        .bytes();
}

struct FailureCase
{
    const char* name;
    Bytes jpeg;
    const char* expected; // a part of the failure text
};

std::vector<FailureCase> failureCases()
{
    JpegOptions restarts;
    restarts.restartInterval = 1;
    JpegOptions progressive;
    progressive.progressive = true;
    JpegOptions arithmetic;
    arithmetic.arithmetic = true;
    JpegOptions grey;
    grey.greyscale = true;
    JpegOptions rows440;
    rows440.sampling = JpegOptions::k440;
    Bytes truncated = jpegOf(64, 64);
    truncated.resize(truncated.size() / 2);
    const Bytes flat = Builder::flatBlocks(3);

    return {
        // Streams that encoders write but this decoder does not take.
        {"restart markers", jpegOf(32, 32, restarts), "Escape: supp (208) == 0xff || supp == 0x00"},
        {"progressive", jpegOf(16, 16, progressive), "Unsupported compression (2)"},
        {"arithmetic coding", jpegOf(16, 16, arithmetic), "Unsupported compression (9)"},
        {"greyscale", jpegOf(16, 16, grey), "SOF: m_globalNumberComponents (1) != 3"},
        {"12-bit samples", patchedFrame(4, 12), "SOF: m_dataPrecision (12) != 8"},
        {"truncated data", truncated, "val != eof"},
        {"chroma halved vertically only", jpegOf(16, 16, rows440),
         "EOI: chroma factor (1 x 2) of 1, 2 or 4 alike, or 2 or 4 across only"},
        // Broken markers and segments.
        {"marker below 0xC0", Builder().soi().raw({0xFF, 0x12}).bytes(), "Invalid highMarker (16)"},
        {"end of image before a scan", Builder().soi().eoi().bytes(), "m_yOut (NULL)"},
        {"entropy data before a scan", Builder().soi().raw({0x12}).bytes(),
         "marker (18) == k_markerMarker || m_numberMDU (-1) > m_currentMDU (0)"},
        {"stuffed byte before a scan", Builder().soi().raw({0xFF, 0x00}).bytes(),
         "marker (255) == k_markerMarker || m_numberMDU (-1) > m_currentMDU (0)"},
        {"segment length below 2", Builder().soi().raw({0xFF, 0xE0, 0x00, 0x01}).bytes(),
         "Segment: length (1) >= 2"},
        {"quantisation precision 2", Builder().soi().segment(0xDB, Bytes(65, 0x21)).bytes(),
         "DQT: precision (2) <= 1"},
        {"257 Huffman values",
         Builder()
             .soi()
             .huffman(0, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 2}, Bytes(257, 1))
             .bytes(),
         "DHT: accum (257) < k_huffmanValueIndex"},
        {"Huffman class 2", Builder().soi().huffman(2, 0, Bytes(16, 0), {}).bytes(), "DHT: class (2) <= 1"},
        {"restart interval length", Builder().soi().segment(0xDD, {0, 1, 2}).bytes(),
         "DRI: markerLength (3) == 2"},
        {"standard number-of-lines length", Builder().soi().segment(0xDC, {0, 8}).bytes(),
         "DNL: markerLength (2) == 4"},
        // Frame headers.
        {"frame length", patchedFrame(3, 18),
         "SOF: length (16) == 1+2+2+1+ 3 * m_globalNumberComponents (3)"},
        {"quantisation table 16", patchedFrame(12, 16),
         "SOF: component (1) quantization table (16) < k_maximumDevices"},
        {"sampling factor 0", patchedFrame(11, 0x20), "SOF: component (1) H (2) and V (0) in 1..4"},
        {"width above 16384", Builder().soi().frame444(16385, 8).bytes(),
         "SOF: m_globalWidth (16385) <= 16384 && m_globalHeight (8) <= 16384"},
        // Scan headers.
        {"scan before frame", Builder().soi().simpleTables().scan3().bytes(),
         "m_MDUWide (0) > 0 && m_MDUHigh (0) > 0"},
        {"scan of zero width", Builder().soi().frame444(0, 8).simpleTables().scan3().bytes(),
         "SOS: m_globalHeight (8) > 0 && m_globalWidth (0) > 0"},
        {"scan of 4 components",
         Builder().soi().frame444(8, 8).scan({{1, 0}, {2, 0}, {3, 0}, {4, 0}}).bytes(),
         "SOS: m_numberComponents (4) <= k_maximumComponents && m_scan.m_numberComponents <= "
         "k_maximumSources"},
        {"scan of 1 component", Builder().soi().frame444(8, 8).scan({{1, 0}}).bytes(),
         "SOS: m_scan.m_numberComponents (1) == 3"},
        {"scan length",
         Builder().soi().frame444(8, 8).segment(0xDA, {3, 1, 0, 2, 0, 3, 0, 0, 63, 0, 0}).bytes(),
         "SOS: length (11) == 1 + m_numberComponents (3) * 2 + 3"},
        {"scan of a component outside the frame",
         Builder().soi().frame444(8, 8).scan({{1, 0}, {2, 0}, {9, 0}}).bytes(),
         "SOS: component (9) is in the frame"},
        {"second scan", Builder().soi().frame444(8, 8).simpleTables().scan3().raw(flat).scan3().bytes(),
         "SOS: m_yOut ("},
        // Entropy-coded data.
        {"DC table id past the tables",
         Builder().soi().frame444(8, 8).simpleTables().scan({{1, 0x10}, {2, 0}, {3, 0}}).raw(flat).bytes(),
         "DC: index (1) < m_numberDCTables (1)"},
        {"DC table never defined",
         Builder()
             .soi()
             .frame444(8, 8)
             .huffman(0, 1, {1}, {0})
             .huffman(1, 0, {1}, {0})
             .scan3()
             .raw(flat)
             .bytes(),
         "DC: m_x ("},
        {"AC table id past the tables",
         Builder().soi().frame444(8, 8).simpleTables().scan({{1, 0x01}, {2, 0}, {3, 0}}).raw(flat).bytes(),
         "AC: index (1) < m_numberACTables (1)"},
        {"missing quantisation table",
         Builder()
             .soi()
             .frame(8, 8, {{1, 0x11, 2}, {2, 0x11, 1}, {3, 0x11, 1}})
             .simpleTables()
             .scan3()
             .raw(flat)
             .bytes(),
         "qmatrix (NULL)"},
        {"DC difference of 12 bits",
         Builder()
             .soi()
             .frame444(8, 8)
             .simpleTables()
             .scan3()
             .raw(Builder::Bits().put("10").put(0, 12).finish())
             .bytes(),
         "DC: magnitude (12) <= 11"},
        {"code past the table",
         Builder()
             .soi()
             .frame444(8, 8)
             .huffman(0, 0, {0, 1}, {0})
             .huffman(1, 0, {1}, {0})
             .scan3()
             .raw(Builder::Bits().put("11").finish())
             .bytes(),
         "Huffman: code (3) < maxcode[ml (2)] (1)"},
        {"data running into a marker",
         Builder()
             .soi()
             .frame444(16, 8)
             .simpleTables()
             .scan3()
             .raw(Builder::flatBlocks(3))
             .raw({0xFF, 0xD0})
             .bytes(),
         "Escape: supp (208) == 0xff || supp == 0x00"},
        {"data after the last MCU",
         Builder().soi().frame444(8, 8).simpleTables().scan3().raw(flat).raw({0x12}).eoi().bytes(),
         "marker (18) == k_markerMarker || m_numberMDU (1) > m_currentMDU (1)"},
        {"frame header after the scan",
         Builder().soi().frame444(8, 8).simpleTables().scan3().frame444(16, 16).raw(flat).eoi().bytes(),
         "EOI: Y plane (8 x 8) == image (16 x 16)"},
        {"number of lines growing the picture",
         Builder()
             .soi()
             .frame444(8, 8)
             .simpleTables()
             .scan3()
             .raw(flat)
             .segment(0xDC, {0, 16, 0xFF, 0xFF})
             .eoi()
             .bytes(),
         "DNL: m_globalHeight (16) <= scan height (8)"},
    };
}

TEST(FJpegDecompress, RefusesWhatItCannotDecode)
{
    for (const FailureCase& c : failureCases()) {
        FImage image;
        const std::string text = failureOf([&] { decodeInto(image, c.jpeg); });
        EXPECT_NE(text.find(c.expected), std::string::npos) << c.name << ": " << text;
        EXPECT_EQ(image.pixels(), nullptr) << c.name;
    }
}

bool allPixelsAre(const FImage& image, Bgra pixel)
{
    const Bytes pixels = topDownPixels(image);
    for (std::size_t i = 0; i < pixels.size(); i += 4)
        if (Bgra{pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3]} != pixel) return false;
    return true;
}

TEST(FJpegDecompress, FlatBlocksDecodeToMidGrey)
{
    FImage image;
    decodeInto(image, flatStream(12, 10));
    EXPECT_EQ(image.width(), 12);
    EXPECT_EQ(image.height(), 10);
    EXPECT_EQ(image.pixelRect(), (FImageRect{0, 0, 12, 10}));
    EXPECT_EQ(image.pitch(), 48);
    EXPECT_TRUE(allPixelsAre(image, {128, 128, 128, 255}));
}

// A DC difference of 8 in the luma block: with a quantisation table whose DC
// entry reads 0, the entry counts as 16 and the block comes out at 144.
TEST(FJpegDecompress, ZeroDcQuantisationCountsAs16)
{
    const Bytes data = Builder::Bits().put("01").put("1000").put("0").put("000").put("000").finish();
    for (const bool zeroDc : {true, false}) {
        Bytes table(64, 0);
        table[0] = zeroDc ? 0 : 16;
        const Bytes jpeg = Builder()
                               .soi()
                               .quantTable(0, table)
                               .frame444(8, 8)
                               .simpleTables()
                               .scan3()
                               .raw(data)
                               .eoi()
                               .bytes();
        FImage image;
        decodeInto(image, jpeg);
        EXPECT_TRUE(allPixelsAre(image, {144, 144, 144, 255})) << "DC entry " << (zeroDc ? 0 : 16);
    }
}

// Samples of MCUs that no data reached read as 0: Y = Cb = Cr = 0.
TEST(FJpegDecompress, EndOfImageRightAfterTheScanGivesZeroSamples)
{
    FImage image;
    decodeInto(image, Builder().soi().frame444(9, 9).simpleTables().scan3().eoi().bytes());
    EXPECT_TRUE(allPixelsAre(image, {0, 135, 0, 255}));
}

TEST(FJpegDecompress, MarkersInAnyOrderAndFillBytes)
{
    const Bytes data = Builder::flatBlocks(3);
    // No start-of-image marker, an application segment, a restart marker
    // between segments, and fill bytes before the end of image.
    const Bytes jpeg = Builder()
                           .segment(0xE1, {'a', 'b', 'c'})
                           .raw({0xFF, 0xD3})
                           .frame444(8, 8)
                           .simpleTables()
                           .segment(0xFE, {'x'})
                           .scan3()
                           .raw(data)
                           .raw({0xFF, 0xFF, 0xFF})
                           .eoi()
                           .bytes();
    FImage image;
    decodeInto(image, jpeg);
    EXPECT_TRUE(allPixelsAre(image, {128, 128, 128, 255}));
}

// A number-of-lines segment may shrink the picture after the scan (its length
// field reads 6: the two bytes after the height are left to the marker loop,
// here fill bytes).
TEST(FJpegDecompress, NumberOfLinesShrinksThePicture)
{
    const Bytes jpeg = Builder()
                           .soi()
                           .frame444(8, 16)
                           .simpleTables()
                           .scan3()
                           .raw(Builder::flatBlocks(6))
                           .segment(0xDC, {0, 5, 0xFF, 0xFF})
                           .eoi()
                           .bytes();
    FImage image;
    decodeInto(image, jpeg);
    EXPECT_EQ(image.height(), 5);
    EXPECT_TRUE(allPixelsAre(image, {128, 128, 128, 255}));
}

TEST(FJpegDecompress, LeavesTheBytesAfterTheEndOfImage)
{
    Bytes jpeg = jpegOf(17, 9);
    const std::size_t end = jpeg.size();
    jpeg.insert(jpeg.end(), {1, 2, 3, 4, 5});
    ByteStream bytes(jpeg);
    FImage image;
    FJpegDecompress(bytes.stream()).decode(image);
    EXPECT_EQ(bytes.position(), static_cast<int64_t>(end));
    EXPECT_EQ(bytes.remaining(), 5);
}

} // namespace

namespace {

// What the bit-by-bit decode answers for the next k_fastBits bits `prefix`:
// the entries the lookups must hold (0 where the code is longer).
void decodeByBits(const FJpegHuffmanTable& table, bool dc, int32_t prefix, uint16_t& fast,
                  uint32_t& fastValue)
{
    constexpr int32_t bits = FJpegHuffmanTable::k_fastBits;
    fast = 0;
    fastValue = 0;
    for (int32_t l = 1; l <= std::min(table.m_longest, bits); ++l) {
        const int32_t code = prefix >> (bits - l);
        if (code > table.m_maxCode[l]) continue;
        const int32_t symbol = table.valueOf(l, code);
        fast = static_cast<uint16_t>((l << 8) | symbol);
        const int32_t size = dc ? symbol : (symbol & 15);
        if ((dc || size > 0) && l + size <= bits) {
            const int32_t raw = (prefix >> (bits - l - size)) & ((1 << size) - 1);
            const int32_t value = size == 0 ? 0 : (raw < (1 << (size - 1)) ? raw - (1 << size) + 1 : raw);
            fastValue = (static_cast<uint32_t>(value) << 16) | static_cast<uint32_t>(l << 12) |
                        static_cast<uint32_t>((l + size) << 8) | static_cast<uint32_t>(symbol);
        }
        return;
    }
}

} // namespace

// The lookups agree with the bit-by-bit decode on every prefix, for usual
// tables, tables with gaps and long codes, and tables that claim more codes
// than their lengths hold.
TEST(FJpegHuffmanTable, LookupsAgreeWithTheBitByBitDecode)
{
    struct Case
    {
        const char* name;
        std::vector<uint8_t> counts;
    };
    const Case cases[] = {
        {"luminance DC", {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}},
        {"luminance AC", {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 125}},
        {"one code", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"gaps", {0, 0, 3, 0, 0, 0, 9, 0, 0, 0, 40, 0, 0, 0, 0, 0}},
        {"long codes only", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 200, 0, 0, 0}},
        {"over-subscribed", {3, 5, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"empty", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        for (const bool dc : {true, false}) {
            std::vector<uint8_t> values(256);
            for (size_t i = 0; i < values.size(); ++i)
                values[i] = static_cast<uint8_t>(dc ? i % 12 : (i * 37 + 1) % 256);
            auto table = std::make_unique<FJpegHuffmanTable>();
            table->build(c.counts.data(), values.data(), dc);
            int32_t mismatches = 0;
            for (int32_t prefix = 0; prefix < (1 << FJpegHuffmanTable::k_fastBits); ++prefix) {
                uint16_t fast = 0;
                uint32_t fastValue = 0;
                decodeByBits(*table, dc, prefix, fast, fastValue);
                if (fast != table->m_fast[prefix] || fastValue != table->m_fastValue[prefix]) ++mismatches;
            }
            EXPECT_EQ(mismatches, 0) << c.name << (dc ? " (DC)" : " (AC)");
        }
    }
}
