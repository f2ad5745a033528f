#pragma once

#include <cstdint>
#include <streambuf>

// Base of every engine input stream buffer (files, memory, archive members).
// Besides the standard byte buffer it knows the total size of its data, so a
// reader can always ask how much is left and pre-size its buffers.
class FInStreambuf : public std::streambuf
{
public:
    explicit FInStreambuf(int64_t dataSize);
    ~FInStreambuf() override;

    // Stream position of the byte at gptr.
    virtual int64_t position() const;
    virtual int64_t remaining() const;
    // True when the bytes come straight from a source that can be repositioned
    // without decoding.
    virtual bool isDirectAccess() const;
    // Called once before the first read by whoever made the buffer; buffers
    // that produce data on a worker start it here.
    virtual void start();

    int64_t dataSize() const { return m_dataSize; }

protected:
    // Neutral standard operations; each concrete buffer overrides what it serves.
    std::streambuf* setbuf(char_type* s, std::streamsize n) override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode mode) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode mode) override;
    int sync() override;
    std::streamsize showmanyc() override;
    int_type underflow() override;
    int_type pbackfail(int_type c) override;
    int_type overflow(int_type c) override;

    // The refill shared by buffers that read their source in blocks: keeps up
    // to 64 bytes before gptr for putback, then reads the next block.
    // sourceLeft bounds the read in addition to remaining().
    int_type bufferedUnderflow(int64_t bufferSize, int64_t sourceLeft);
    // Hooks of bufferedUnderflow. backUpSource may move the source back by up
    // to `wanted` bytes (so a putback area exists after a seek) and answers how
    // far it went; readSource reads exactly `count` bytes or fails.
    virtual int64_t backUpSource(int64_t wanted);
    virtual void readSource(char* dest, int64_t count);
    // Called with every block of data bytes that bufferedUnderflow reads, at
    // its stream position (members check their CRC-32 here).
    virtual void onBlockRead(int64_t streamPos, const char* data, int64_t count);
    // Drops the get area, e.g. after a seek outside it.
    void clearGetArea();

    int64_t m_dataSize;
    int64_t m_currentEback = 0;

private:
    char* m_refillBuffer = nullptr;
    int64_t m_refillSize = 0;
};
