#pragma once

#include "image/FJpegBitReader.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

class FImage;
class FInStream;

// The engine's own decoder of baseline JPEG streams: sequential, Huffman coded,
// 8-bit samples, three components in one interleaved scan. Everything else
// (progressive, arithmetic coding, restart intervals in the data, greyscale,
// other precisions) ends in a failure report.
//
// The samples are decoded into three planes (Y, Cb, Cr); at the end of the
// image they become rows of 32-bit B, G, R, A pixels, lowest row first, which
// the image receives. Bytes after the end-of-image marker are left unread.
class FJpegDecompress
{
public:
    static constexpr int k_maximumDevices = 16;     // quantisation tables
    static constexpr int k_maximumComponents = 256; // component ids
    static constexpr int k_maximumSources = 3;      // components of the one scan
    static constexpr int k_huffmanTables = 16;      // table ids per class
    static constexpr int k_huffmanValueIndex = 256; // values per Huffman table
    // Larger pictures are refused before anything is allocated for them.
    static constexpr int k_maximumDimension = 16384;

    explicit FJpegDecompress(FInStream& stream);
    ~FJpegDecompress();
    FJpegDecompress(const FJpegDecompress&) = delete;
    FJpegDecompress& operator=(const FJpegDecompress&) = delete;

    // Runs the marker loop up to and including the end-of-image marker and
    // hands the pixels to image (kind k_pixelBgra8, the whole logical image).
    // Every failure is raised as a failure report; image then stays as it was.
    void decode(FImage& image);

private:
    struct Component
    {
        int32_t m_h = 0;
        int32_t m_v = 0;
        int32_t m_quantTable = 0;
        int32_t m_planeWidth = 0;
        int32_t m_planeHeight = 0;
    };
    // One component of the scan and where its samples go.
    struct OutputRecord
    {
        int32_t m_component = 0;
        int32_t m_dcTable = 0;
        int32_t m_acTable = 0;
        int32_t m_blocksAcross = 0; // H
        int32_t m_blocksDown = 0;   // V
        int32_t m_quantTable = 0;
        int32_t m_planeWidth = 0;
        int32_t m_planeHeight = 0;
        uint8_t* m_plane = nullptr;
        int32_t m_predictor = 0;
        int32_t m_blockX = 0; // position of the current block in samples
        int32_t m_blockY = 0;
    };
    struct FreeDeleter
    {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    struct EngineFreeDeleter
    {
        void operator()(uint8_t* p) const;
    };

    // Marker segments.
    void readFrameHeader();
    void readHuffmanTables();
    void readQuantisationTables();
    void readNumberOfLines();
    void readRestartInterval();
    void readScanHeader();
    void finishImage(FImage& image);
    bool chromaFactors(int32_t& fx, int32_t& fy) const;
    void startConversion();
    uint8_t* allocatePixels() const;
    void convertDecodedRows();
    void clearUndecodedSamples();
    void convertRows(uint8_t* pixels, int32_t first, int32_t end) const;
    void skipSegment();
    int32_t readSegmentLength();
    void computeGeometry();
    void checkGeometry() const;

    // Entropy-coded data.
    void decodeMcus();
    // The MCUs of a scan whose tables are all present: the tables are looked
    // up once, and the reader's state stays in registers throughout.
    void decodeMcusLean();
    bool prepareLeanTables();
    void decodeBlock(OutputRecord& out, int32_t* coefficients);
    FInStream& m_stream;

    FJpegBitReader m_bits;

    std::unique_ptr<int32_t[]> m_qMatrix[k_maximumDevices];
    std::unique_ptr<FJpegHuffmanTable> m_dcTables[k_huffmanTables];
    std::unique_ptr<FJpegHuffmanTable> m_acTables[k_huffmanTables];
    int32_t m_numberDCTables = 0;
    int32_t m_numberACTables = 0;

    int32_t m_dataPrecision = 8;
    int32_t m_globalHeight = 0;
    int32_t m_globalWidth = 0;
    int32_t m_globalNumberComponents = 0;
    Component m_components[k_maximumComponents];
    int32_t m_hMax = 1;
    int32_t m_vMax = 1;
    int32_t m_MDUWide = 0;
    int32_t m_MDUHigh = 0;
    int32_t m_restartInterval = 0;

    int32_t m_scanComponents = 0;
    OutputRecord m_outDU[k_maximumSources];
    std::unique_ptr<uint8_t, FreeDeleter> m_yOut;
    int32_t m_allocatedHeight = 0; // the height the planes were made for
    int32_t m_numberMDU = -1;
    int32_t m_currentMDU = 0;

    // The pixels, converted MCU row by MCU row while the scan is decoded.
    std::unique_ptr<uint8_t, EngineFreeDeleter> m_pixels;
    int32_t m_convertedRows = 0;
    // The MCU grid of the scan, where its blocks go.
    int32_t m_scanMDUWide = 1;
    int32_t m_scanMDUHigh = 0;

    // Per component of the scan, for the lean decoding: its tables, and its
    // quantisation table in zig-zag order with the coefficients' scale of 256
    // already applied.
    const FJpegHuffmanTable* m_leanDc[k_maximumSources] = {};
    const FJpegHuffmanTable* m_leanAc[k_maximumSources] = {};
    alignas(64) uint32_t m_leanQuant[k_maximumSources][64] = {};
};
