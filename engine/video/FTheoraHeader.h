#pragma once

#include "video/FTheoraStreamState.h"

#include <theora/theoradec.h>

#include <cstdint>

class FInStream;

// What the three Theora headers of an Ogg file give: the stream's serial
// number, its information and setup, and where the frame data begins (the
// first page after the pages that begin logical streams).
class FTheoraHeader
{
public:
    static constexpr uint32_t k_maximumDimension = 16384;

    explicit FTheoraHeader(FRefT<FInStream> source);
    ~FTheoraHeader();

    FTheoraHeader(const FTheoraHeader&) = delete;
    FTheoraHeader& operator=(const FTheoraHeader&) = delete;

    // Reads from the source's current position; a failure report when no
    // Theora stream or not all its headers are found.
    void read();

    const th_info& info() const { return m_info; }
    const th_setup_info* setup() const { return m_setup; }
    int serial() const { return m_reader.serial(); }
    int64_t dataStart() const { return m_dataStart; }
    const FRefT<FInStream>& source() const { return m_source; }

private:
    void findTheoraStream();
    void readRemainingHeaders();

    FRefT<FInStream> m_source;
    FTheoraStreamState m_reader;
    th_info m_info;
    th_comment m_comment;
    th_setup_info* m_setup = nullptr;
    int64_t m_dataStart = 0;
    int m_headersRead = 0;
};
